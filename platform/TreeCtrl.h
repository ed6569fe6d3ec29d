// A non-owning wrapper around a tree-view control: the one place that speaks its messages, in
// UTF-16, so a view that shows a tree says what it does (insert, open, select) and not how.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>

#include "platform/Controls.h"

namespace platform {

// What an item carries besides its text: the caller's value and its marks (TVIS_*).
struct TreeItemFields {
  LPARAM data = 0;
  UINT state = 0;
  UINT stateMask = 0;
  // Whether it shows the button that opens it: 1 or 0, or -1 to let its children decide.
  int hasChildren = -1;
};

class CTreeCtrl : public CWindow {
 public:
  using CWindow::CWindow;
  // Makes the control keep and report its texts in UTF-16, whatever its window's form.
  void SetUnicodeFormat() const { Send(TVM_SETUNICODEFORMAT, TRUE); }
  // The images items show left of their text by their state image index (TVIS_STATEIMAGEMASK):
  // image n for index n, index 0 showing none. The caller keeps the list.
  void SetStateImageList(HIMAGELIST images) const { Send(TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(images)); }

  // The new item, last under parent (TVI_ROOT for a root) or after `after`; null when refused.
  HTREEITEM InsertItem(HTREEITEM parent, const std::wstring& text, const TreeItemFields& fields = {},
                       HTREEITEM after = TVI_LAST) const;
  bool DeleteItem(HTREEITEM item) const { return Send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item)) != 0; }
  void DeleteAllItems() const { DeleteItem(TVI_ROOT); }
  // Sets the item's value and marks, and its text when one is given.
  bool SetItem(HTREEITEM item, LPARAM data, UINT state, UINT stateMask, const std::wstring* text = nullptr) const;
  // Shows or hides the button that opens the item.
  bool SetHasChildren(HTREEITEM item, bool hasChildren) const;

  // The caller's value of the item; none for an item the control does not hold.
  std::optional<LPARAM> GetItemData(HTREEITEM item) const;
  std::wstring GetItemText(HTREEITEM item) const;
  UINT GetItemState(HTREEITEM item, UINT mask) const {
    return static_cast<UINT>(Send(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), mask));
  }
  bool IsExpanded(HTREEITEM item) const { return (GetItemState(item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0; }
  int GetCount() const { return static_cast<int>(Send(TVM_GETCOUNT)); }

  // TVGN_* relations: the root, an item's first child or next sibling, the selection, the first
  // item shown.
  HTREEITEM GetNextItem(HTREEITEM item, UINT relation) const {
    return reinterpret_cast<HTREEITEM>(Send(TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
  }
  HTREEITEM GetSelection() const { return GetNextItem(nullptr, TVGN_CARET); }
  HTREEITEM GetFirstVisible() const { return GetNextItem(nullptr, TVGN_FIRSTVISIBLE); }
  HTREEITEM GetChild(HTREEITEM item) const { return GetNextItem(item, TVGN_CHILD); }
  HTREEITEM GetNextSibling(HTREEITEM item) const { return GetNextItem(item, TVGN_NEXT); }

  // code: TVE_EXPAND, TVE_COLLAPSE or TVE_TOGGLE.
  bool Expand(HTREEITEM item, UINT code = TVE_EXPAND) const {
    return Send(TVM_EXPAND, code, reinterpret_cast<LPARAM>(item)) != 0;
  }
  bool SelectItem(HTREEITEM item) const { return Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) != 0; }
  bool SelectSetFirstVisible(HTREEITEM item) const {
    return Send(TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(item)) != 0;
  }
  bool EnsureVisible(HTREEITEM item) const { return Send(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item)) != 0; }
  // The item's rectangle in client coordinates (of its text only, or of its whole line).
  std::optional<RECT> GetItemRect(HTREEITEM item, bool textOnly) const;
  // The item at a point of the client area, or null when the point is on no item's text or icon.
  HTREEITEM HitTest(POINT client) const;
  void SetRedraw(bool redraw) const { Send(WM_SETREDRAW, redraw ? TRUE : FALSE); }
};

}  // namespace platform
