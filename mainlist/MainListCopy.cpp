// The main list taken away as text: rows copied as every view copies them, the whole list saved
// as CSV.
#include "mainlist/QuorvelDlg.h"
#include "platform/ListCommands.h"
#include "res/resource.h"

namespace {
constexpr int kColumns = 4;
}  // namespace

platform::RowCopy CQuorvelDlg::ListCopy() const {
  const HWND list = m_list.GetSafeHwnd();
  return {GetSafeHwnd(), [list] { return platform::CopiedListRows(list, kColumns, true); },
          [list] { return platform::CopiedListRows(list, kColumns, false); }};
}

LRESULT CQuorvelDlg::OnListKeyDown(NMHDR* header) {
  platform::CopyOnKey(ListCopy(), header);
  return 0;
}

std::optional<LRESULT> CQuorvelDlg::OnContextMenu(WPARAM wParam, LPARAM lParam) {
  const HWND list = m_list.GetSafeHwnd();
  if (reinterpret_cast<HWND>(wParam) != list) return std::nullopt;
  if (platform::TrackListMenu(ListCopy(), list, lParam) == platform::kListSaveCommand)
    platform::SaveListAsCsv(GetSafeHwnd(), list, kColumns, "ウィンドウ一覧");
  return 0;
}
