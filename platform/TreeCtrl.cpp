#include "platform/TreeCtrl.h"

#include <cstring>
#include <vector>

namespace platform {

HTREEITEM CTreeCtrl::InsertItem(HTREEITEM parent, const std::wstring& text, const TreeItemFields& fields,
                                HTREEITEM after) const {
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent;
  insert.hInsertAfter = after;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM;
  insert.item.pszText = const_cast<wchar_t*>(text.c_str());
  insert.item.lParam = fields.data;
  if (fields.stateMask) {
    insert.item.mask |= TVIF_STATE;
    insert.item.state = fields.state;
    insert.item.stateMask = fields.stateMask;
  }
  if (fields.hasChildren >= 0) {
    insert.item.mask |= TVIF_CHILDREN;
    insert.item.cChildren = fields.hasChildren;
  }
  return reinterpret_cast<HTREEITEM>(Send(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

bool CTreeCtrl::SetItem(HTREEITEM item, LPARAM data, UINT state, UINT stateMask, const std::wstring* text) const {
  TVITEMW fields{};
  fields.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_STATE | (text ? TVIF_TEXT : 0);
  fields.hItem = item;
  fields.lParam = data;
  fields.state = state;
  fields.stateMask = stateMask;
  if (text) fields.pszText = const_cast<wchar_t*>(text->c_str());
  return Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&fields)) != 0;
}

bool CTreeCtrl::SetHasChildren(HTREEITEM item, bool hasChildren) const {
  TVITEMW data{};
  data.mask = TVIF_HANDLE | TVIF_CHILDREN;
  data.hItem = item;
  data.cChildren = hasChildren ? 1 : 0;
  return Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&data)) != 0;
}

std::optional<LPARAM> CTreeCtrl::GetItemData(HTREEITEM item) const {
  if (!item) return std::nullopt;
  TVITEMW data{};
  data.mask = TVIF_HANDLE | TVIF_PARAM;
  data.hItem = item;
  if (!Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data))) return std::nullopt;
  return data.lParam;
}

std::wstring CTreeCtrl::GetItemText(HTREEITEM item) const {
  std::vector<wchar_t> buffer(1024, L'\0');
  TVITEMW data{};
  data.mask = TVIF_HANDLE | TVIF_TEXT;
  data.hItem = item;
  data.pszText = buffer.data();
  data.cchTextMax = static_cast<int>(buffer.size());
  if (!item || !Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data))) return std::wstring();
  buffer.back() = L'\0';
  return data.pszText ? std::wstring(data.pszText) : std::wstring();
}

std::optional<RECT> CTreeCtrl::GetItemRect(HTREEITEM item, bool textOnly) const {
  if (!item) return std::nullopt;
  RECT rect{};
  // The message takes the item in the rectangle's place.
  std::memcpy(&rect, &item, sizeof(item));
  if (!Send(TVM_GETITEMRECT, textOnly ? TRUE : FALSE, reinterpret_cast<LPARAM>(&rect))) return std::nullopt;
  return rect;
}

HTREEITEM CTreeCtrl::HitTest(POINT client) const {
  TVHITTESTINFO hit{};
  hit.pt = client;
  HTREEITEM item = reinterpret_cast<HTREEITEM>(Send(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  return (hit.flags & TVHT_ONITEM) ? item : nullptr;
}

}  // namespace platform
