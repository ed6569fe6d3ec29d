// The main list taken away as text: the selected row copied as one tab-separated line, the
// whole list saved as CSV.
#include "mainlist/QuorvelDlg.h"
#include "platform/ListCommands.h"
#include "res/resource.h"

namespace {
constexpr int kColumns = 4;
}  // namespace

LRESULT CQuorvelDlg::OnListKeyDown(NMHDR* header) {
  if (platform::IsCopyKey(header)) CopySelectedRow();
  return 0;
}

std::optional<LRESULT> CQuorvelDlg::OnContextMenu(WPARAM wParam, LPARAM lParam) {
  HWND list = m_list.GetSafeHwnd();
  if (reinterpret_cast<HWND>(wParam) != list) return std::nullopt;
  switch (platform::TrackListMenu(GetSafeHwnd(), list, lParam)) {
    case platform::kListCopyCommand:
      CopySelectedRow();
      break;
    case platform::kListSaveCommand:
      platform::SaveListAsCsv(GetSafeHwnd(), list, kColumns, "ウィンドウ一覧");
      break;
  }
  return 0;
}

void CQuorvelDlg::CopySelectedRow() {
  const int row = platform::SelectedListRow(m_list.GetSafeHwnd());
  if (row < 0) return;
  const platform::CsvRow cells = platform::ListRowTexts(m_list.GetSafeHwnd(), row, kColumns);
  std::wstring line;
  for (size_t i = 0; i < cells.size(); ++i) line += (i ? L"\t" : L"") + cells[i];
  platform::CopyListText(GetSafeHwnd(), line);
}
