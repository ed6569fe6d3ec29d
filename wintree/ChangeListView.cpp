#include "wintree/ChangeListView.h"

#include <iterator>

#include "platform/CsvFile.h"
#include "platform/FileDialog.h"
#include "platform/FileSave.h"
#include "platform/ListCommands.h"
#include "platform/MessageBox.h"
#include "platform/RowCopy.h"
#include "platform/WideText.h"

namespace wintree {

namespace {

const char kSaveFailedMessage[] = "変化の一覧を保存できませんでした。";
// Column widths at 96 DPI.
constexpr int kWidths[kChangeColumns] = {84, 44, 200, 110, 150, 150};

}  // namespace

void CChangeListView::Attach(HWND owner, HWND list) {
  m_owner = owner;
  m_list = list;
  ::SendMessageW(list, CCM_SETUNICODEFORMAT, TRUE, 0);
  ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
  const platform::CsvRow headings = ChangeHeadings();
  for (int column = 0; column < kChangeColumns; ++column) {
    LVCOLUMNW header{};
    header.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    header.pszText = const_cast<wchar_t*>(headings[column].c_str());
    header.cx = kWidths[column];
    header.iSubItem = column;
    ::SendMessageW(list, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&header));
  }
}

void CChangeListView::Update() {
  const int count = static_cast<int>(m_rows.Size());
  const int selected = static_cast<int>(::SendMessageW(m_list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  ::SendMessageW(m_list, LVM_SETITEMCOUNT, count, LVSICF_NOSCROLL);
  if (count > 0 && (selected < 0 || selected == count - 1))
    ::SendMessageW(m_list, LVM_ENSUREVISIBLE, count - 1, FALSE);
}

void CChangeListView::Clear() {
  m_rows.Clear();
  ::SendMessageW(m_list, LVM_SETITEMCOUNT, 0, 0);
}

LRESULT CChangeListView::OnGetDispInfoW(NMHDR* header) {
  LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
  if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return 0;
  if (item.iItem < 0 || static_cast<size_t>(item.iItem) >= m_rows.Size()) return 0;
  m_cell = CellText(m_rows.Row(static_cast<size_t>(item.iItem)), item.iSubItem);
  lstrcpynW(item.pszText, m_cell.c_str(), item.cchTextMax);
  return 0;
}

LRESULT CChangeListView::OnGetDispInfoA(NMHDR* header) {
  LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(header)->item;
  if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return 0;
  if (item.iItem < 0 || static_cast<size_t>(item.iItem) >= m_rows.Size()) return 0;
  m_narrowCell = platform::CodePageFromWide(CellText(m_rows.Row(static_cast<size_t>(item.iItem)), item.iSubItem), CP_ACP);
  lstrcpynA(item.pszText, m_narrowCell.c_str(), item.cchTextMax);
  return 0;
}

std::vector<size_t> CChangeListView::SelectedRows() const {
  std::vector<size_t> rows;
  for (int row = -1;;) {
    row = static_cast<int>(::SendMessageW(m_list, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED));
    if (row < 0 || static_cast<size_t>(row) >= m_rows.Size()) break;
    rows.push_back(static_cast<size_t>(row));
  }
  return rows;
}

platform::RowCopy CChangeListView::Copy() const {
  return {m_owner, [this] { return RowsAsText(m_rows, SelectedRows()); },
          [this] {
            std::vector<size_t> all(m_rows.Size());
            for (size_t i = 0; i < all.size(); ++i) all[i] = i;
            return RowsAsText(m_rows, all);
          }};
}

LRESULT CChangeListView::OnKeyDown(NMHDR* header) {
  platform::CopyOnKey(Copy(), header);
  return 0;
}

void CChangeListView::OnContextMenu(LPARAM point) {
  enum : UINT { kSave = 1 };
  const bool any = m_rows.Size() > 0;
  if (platform::TrackRowMenu(Copy(), platform::ListMenuPoint(m_list, point), platform::SelectedListRow(m_list) >= 0, any, {},
                             {{kSave, "一覧を保存…", any}}) == kSave)
    Save();
}

void CChangeListView::Save() {
  static const wchar_t kFilter[] = L"CSV (*.csv)\0*.csv\0JSON Lines (*.jsonl)\0*.jsonl\0";
  platform::SaveFileRequest request;
  request.fileName = platform::WidenAnsi("変化");
  request.filter.assign(kFilter, std::size(kFilter) - 1);
  request.defaultExtension = L"csv";
  const std::optional<platform::SaveFileChoice> choice = platform::ShowSaveFileDialog(m_owner, request);
  if (!choice) return;
  const std::wstring& path = choice->path;
  const bool jsonLines = choice->filterIndex == 2 ||
                         (path.size() >= 6 && ::lstrcmpiW(path.c_str() + path.size() - 6, L".jsonl") == 0);
  std::string reason;
  size_t next = 0;
  if (jsonLines) {
    reason = platform::WriteFileInChunks(path, [&](std::string& chunk) {
      while (next < m_rows.Size() && chunk.size() < 64 * 1024) next = AppendJsonLine(m_rows, next, chunk);
      return next < m_rows.Size();
    });
  } else {
    reason = platform::WriteCsvFile(path, ChangeHeadings(), [&](platform::CsvRow& row) {
      if (next >= m_rows.Size()) return false;
      row = RowCells(m_rows.Row(next++));
      return true;
    });
  }
  if (!reason.empty()) platform::PanelMessageBox(m_owner, std::string(kSaveFailedMessage) + "\r\n" + reason);
}

}  // namespace wintree
