// A tree view of another process, read through memory allocated in that process: items, their
// texts in UTF-16, the selection; items expanded and selected as the keyboard would.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace e2e {

class RemoteTreeView {
public:
    explicit RemoteTreeView(HWND tree);
    ~RemoteTreeView();
    RemoteTreeView(const RemoteTreeView&) = delete;
    RemoteTreeView& operator=(const RemoteTreeView&) = delete;

    bool Valid() const { return m_remote != nullptr; }
    HTREEITEM Root() const { return Next(nullptr, TVGN_ROOT); }
    HTREEITEM Selected() const { return Next(nullptr, TVGN_CARET); }
    HTREEITEM Parent(HTREEITEM item) const { return Next(item, TVGN_PARENT); }
    std::vector<HTREEITEM> Children(HTREEITEM item) const;
    std::wstring Text(HTREEITEM item) const;
    std::vector<std::wstring> ChildTexts(HTREEITEM item) const;
    // The first child with that text, or null.
    HTREEITEM FindChild(HTREEITEM parent, const std::wstring& text) const;
    bool Expand(HTREEITEM item) const;
    bool Select(HTREEITEM item) const;

private:
    HTREEITEM Next(HTREEITEM item, UINT relation) const;
    HWND m_tree;
    HANDLE m_process = nullptr;
    void* m_remote = nullptr;  // a TVITEMW followed by the text buffer
};

}  // namespace e2e
