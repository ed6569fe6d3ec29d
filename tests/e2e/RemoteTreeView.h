// A tree view of another process, read and driven through memory allocated in that process,
// as RemoteListView reads list views.
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
    HTREEITEM Selected() const;
    bool Expand(HTREEITEM item) const;
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
