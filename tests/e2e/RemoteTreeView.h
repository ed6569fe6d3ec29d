// A tree view of another process, read and driven through memory allocated in that process,
// as RemoteListView reads list views: items with their UTF-16 texts and states, the selection;
// items expanded and selected as the keyboard would, or clicked with real input.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace e2e {

struct RemoteTreeItem {
    HTREEITEM item = nullptr;
    HTREEITEM parent = nullptr;  // null for a root
    int depth = 0;
    std::wstring text;
    UINT state = 0;  // TVIS_ flags
};

class RemoteTreeView {
public:
    explicit RemoteTreeView(HWND tree);
    ~RemoteTreeView();
    RemoteTreeView(const RemoteTreeView&) = delete;
    RemoteTreeView& operator=(const RemoteTreeView&) = delete;

    bool Valid() const { return m_remote != nullptr; }
    // Every item, expanded or not, in the order shown (depth first); empty when the tree does
    // not answer.
    std::vector<RemoteTreeItem> Items() const;
    // The first item whose text starts with prefix; a null item when none.
    RemoteTreeItem Find(const std::wstring& prefix) const;
    HTREEITEM Root() const { return Next(nullptr, TVGN_ROOT); }
    HTREEITEM Selected() const { return Next(nullptr, TVGN_CARET); }
    HTREEITEM Parent(HTREEITEM item) const { return Next(item, TVGN_PARENT); }
    std::vector<HTREEITEM> Children(HTREEITEM item) const;
    // The item's text; "" when it does not answer.
    std::wstring Text(HTREEITEM item) const;
    std::vector<std::wstring> ChildTexts(HTREEITEM item) const;
    // The first child with that text, or null.
    HTREEITEM FindChild(HTREEITEM parent, const std::wstring& text) const;
    bool Expand(HTREEITEM item) const;
    bool Select(HTREEITEM item) const;
    // Clicks the middle of the item's text with real input.
    bool Click(HTREEITEM item) const;

private:
    HTREEITEM Next(HTREEITEM item, UINT relation) const;
    bool Read(HTREEITEM item, RemoteTreeItem* read) const;

    HWND m_tree;
    HANDLE m_process = nullptr;
    void* m_remote = nullptr;  // a TVITEMW / RECT followed by the text buffer
};

}  // namespace e2e
