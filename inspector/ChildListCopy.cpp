// The child list taken away as text: the selected child copied for a bug report, the whole
// list saved as CSV.
#include "inspector/ChildInfomationDlg.h"
#include "inspector/ChildReport.h"
#include "platform/ListCommands.h"

LRESULT CChildInfomationDlg::OnListKeyDown(NMHDR* header) {
  if (platform::IsCopyKey(header)) CopySelectedChild();
  return 0;
}

std::optional<LRESULT> CChildInfomationDlg::OnContextMenu(WPARAM wParam, LPARAM lParam) {
  HWND list = m_list.GetSafeHwnd();
  if (reinterpret_cast<HWND>(wParam) != list) return std::nullopt;
  switch (platform::TrackListMenu(GetSafeHwnd(), list, lParam)) {
    case platform::kListCopyCommand:
      CopySelectedChild();
      break;
    case platform::kListSaveCommand:
      platform::SaveListAsCsv(GetSafeHwnd(), list, inspector::kChildColumns, "子ウィンドウ一覧");
      break;
  }
  return 0;
}

void CChildInfomationDlg::CopySelectedChild() {
  HWND list = m_list.GetSafeHwnd();
  const int row = platform::SelectedListRow(list);
  if (row < 0 || static_cast<size_t>(row) >= m_children.size()) return;
  // Neither the rectangles nor the style words wait for the child's program.
  const HWND child = m_children[static_cast<size_t>(row)].hwnd;
  std::optional<inspector::ChildLiveState> live;
  inspector::ChildLiveState state{};
  if (::GetWindowRect(child, &state.window) && ::GetClientRect(child, &state.client)) {
    state.style = static_cast<DWORD>(::GetWindowLongW(child, GWL_STYLE));
    state.exStyle = static_cast<DWORD>(::GetWindowLongW(child, GWL_EXSTYLE));
    live = state;
  }
  platform::CopyListText(GetSafeHwnd(), inspector::ChildReport(platform::ListHeadings(list, inspector::kChildColumns),
                                                        platform::ListRowTexts(list, row, inspector::kChildColumns),
                                                        live));
}
