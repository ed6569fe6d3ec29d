#include "platform/Controls.h"

#include <algorithm>
#include <vector>

namespace platform {

std::string CWindow::GetWindowText() const {
  int length = ::GetWindowTextLengthA(m_hWnd);
  std::vector<char> buffer(static_cast<size_t>(length) + 2, '\0');
  ::GetWindowTextA(m_hWnd, buffer.data(), static_cast<int>(buffer.size()));
  return buffer.data();
}

int CListCtrl::InsertColumn(int index, const char* heading, int format, int width) const {
  LVCOLUMNA column{};
  column.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
  column.fmt = format;
  column.cx = width;
  column.pszText = const_cast<char*>(heading);
  return static_cast<int>(Send(LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)));
}

int CListCtrl::InsertItem(int index, const std::string& text) const {
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.iItem = index;
  item.pszText = const_cast<char*>(text.c_str());
  return static_cast<int>(Send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void CListCtrl::SetItemText(int index, int subItem, const std::string& text) const {
  LVITEMA item{};
  item.iSubItem = subItem;
  item.pszText = const_cast<char*>(text.c_str());
  Send(LVM_SETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

std::string CListCtrl::GetItemText(int index, int subItem) const {
  std::vector<char> buffer(1024, '\0');
  LVITEMA item{};
  item.iSubItem = subItem;
  item.pszText = buffer.data();
  item.cchTextMax = static_cast<int>(buffer.size());
  Send(LVM_GETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  return buffer.data();
}

int CListCtrl::InsertItem(int index, const std::wstring& text) const {
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = index;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  return static_cast<int>(::SendMessageW(m_hWnd, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void CListCtrl::SetItemText(int index, int subItem, const std::wstring& text) const {
  LVITEMW item{};
  item.iSubItem = subItem;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  ::SendMessageW(m_hWnd, LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

std::wstring CListCtrl::GetItemTextW(int index, int subItem) const {
  std::vector<wchar_t> buffer(1024, L'\0');
  LVITEMW item{};
  item.iSubItem = subItem;
  item.pszText = buffer.data();
  item.cchTextMax = static_cast<int>(buffer.size());
  ::SendMessageW(m_hWnd, LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  return buffer.data();
}

void CListCtrl::SetItemState(int index, UINT state, UINT mask) const {
  LVITEMA item{};
  item.stateMask = mask;
  item.state = state;
  Send(LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

void CListCtrl::SelectRow(int row) const {
  SetSelectionMark(row);
  SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
  SetHotItem(row);
  EnsureVisible(row, false);
}

void CListCtrl::ClearSelection() const {
  // Only rows that have a state to lose are written: a state written to every row costs as much
  // as the rows, on every refresh.
  for (int row = GetNextItem(-1, LVNI_SELECTED); row >= 0; row = GetNextItem(row, LVNI_SELECTED))
    SetItemState(row, 0, LVIS_SELECTED);
  const int focused = GetNextItem(-1, LVNI_FOCUSED);
  if (focused >= 0) SetItemState(focused, 0, LVIS_FOCUSED);
  SetSelectionMark(-1);
  SetHotItem(-1);
}

int CListCtrl::FindRow(int column, const std::string& text) const {
  const int count = GetItemCount();
  for (int row = 0; row < count; ++row)
    if (GetItemText(row, column) == text) return row;
  return -1;
}

bool CListCtrl::UpdateRows(const std::vector<ListRow>& shown, const std::vector<ListRow>& rows) const {
  static const std::vector<ListRow> kNone;
  const bool believed = GetItemCount() == static_cast<int>(shown.size());
  if (believed && shown == rows) return false;
  const std::vector<ListRow>& before = believed ? shown : kNone;
  SetRedraw(false);
  if (!believed) DeleteAllItems();
  const size_t kept = std::min(before.size(), rows.size());
  for (size_t row = 0; row < kept; ++row) {
    const ListRow& was = before[row];
    const ListRow& now = rows[row];
    for (size_t column = 0; column < now.size(); ++column)
      if (column >= was.size() || was[column] != now[column])
        SetItemText(static_cast<int>(row), static_cast<int>(column), now[column]);
  }
  for (size_t row = before.size(); row > rows.size(); --row) Send(LVM_DELETEITEM, static_cast<WPARAM>(row - 1));
  for (size_t row = kept; row < rows.size(); ++row) {
    const ListRow& now = rows[row];
    const int index = InsertItem(static_cast<int>(row), now.empty() ? std::wstring() : now[0]);
    for (size_t column = 1; column < now.size(); ++column) SetItemText(index, static_cast<int>(column), now[column]);
  }
  SetRedraw(true);
  return true;
}

}  // namespace platform
