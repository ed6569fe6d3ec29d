// The child list taken away as text: the selected child copied as a report for a bug report,
// every row as every view copies them, the whole list saved as CSV.
#include "inspector/ChildInfomationDlg.h"
#include "inspector/ChildReport.h"
#include "platform/ListCommands.h"

platform::RowCopy CChildInfomationDlg::ListCopy() const {
  const HWND list = m_list.GetSafeHwnd();
  return {GetSafeHwnd(), [this] { return SelectedChildReport(); },
          [list] { return platform::CopiedListRows(list, inspector::kChildColumns, false); }};
}

LRESULT CChildInfomationDlg::OnListKeyDown(NMHDR* header) {
  platform::CopyOnKey(ListCopy(), header);
  return 0;
}

std::optional<LRESULT> CChildInfomationDlg::OnContextMenu(WPARAM wParam, LPARAM lParam) {
  const HWND list = m_list.GetSafeHwnd();
  if (reinterpret_cast<HWND>(wParam) != list) return std::nullopt;
  if (platform::TrackListMenu(ListCopy(), list, lParam) == platform::kListSaveCommand)
    platform::SaveListAsCsv(GetSafeHwnd(), list, inspector::kChildColumns, "子ウィンドウ一覧");
  return 0;
}

std::wstring CChildInfomationDlg::SelectedChildReport() const {
  const HWND list = m_list.GetSafeHwnd();
  const int row = platform::SelectedListRow(list);
  if (row < 0 || static_cast<size_t>(row) >= m_children.size()) return {};
  // Neither the rectangles nor the style words wait for the child's program.
  const HWND child = m_children[static_cast<size_t>(row)].hwnd;
  std::optional<inspector::ChildLiveState> live;
  inspector::ChildLiveState state{};
  if (::GetWindowRect(child, &state.window) && ::GetClientRect(child, &state.client)) {
    state.style = static_cast<DWORD>(::GetWindowLongW(child, GWL_STYLE));
    state.exStyle = static_cast<DWORD>(::GetWindowLongW(child, GWL_EXSTYLE));
    live = state;
  }
  return inspector::ChildReport(platform::ListHeadings(list, inspector::kChildColumns),
                                platform::ListRowTexts(list, row, inspector::kChildColumns), live);
}
