#include "platform/ListCommands.h"

#include <windowsx.h>

#include "platform/Clipboard.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/PopupMenu.h"
#include "platform/WideText.h"

namespace platform {

namespace {
const char kSaveFailedMessage[] = "一覧を保存できませんでした。";
// More than any cell of our lists holds (titles of 255 bytes, child texts of 510).
constexpr int kCellChars = 1024;
}  // namespace

// The texts of the first columns cells, each read into a buffer of kCellChars by read(index, buffer).
template <class Read>
CsvRow ReadCells(int columns, Read read) {
  CsvRow cells;
  for (int i = 0; i < columns; ++i) {
    wchar_t text[kCellChars] = {};
    read(i, text);
    cells.emplace_back(text);
  }
  return cells;
}

CsvRow ListHeadings(HWND list, int columns) {
  return ReadCells(columns, [list](int i, wchar_t* text) {
    LVCOLUMNW column{LVCF_TEXT, 0, 0, text, kCellChars};
    ::SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
  });
}

CsvRow ListRowTexts(HWND list, int row, int columns) {
  return ReadCells(columns, [list, row](int i, wchar_t* text) {
    LVITEMW item{0, 0, i, 0, 0, text, kCellChars};
    ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  });
}

int SelectedListRow(HWND list) {
  return static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

std::wstring CopiedListRows(HWND list, int columns, bool selectedOnly) {
  std::wstring text;
  const int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = selectedOnly ? ListView_GetNextItem(list, -1, LVNI_SELECTED) : (count > 0 ? 0 : -1); row >= 0 && row < count;
       row = selectedOnly ? ListView_GetNextItem(list, row, LVNI_SELECTED) : row + 1)
    text += CopiedRow(ListRowTexts(list, row, columns));
  return text;
}

bool IsCopyKey(const NMHDR* header) {
  const auto* key = reinterpret_cast<const NMLVKEYDOWN*>(header);
  return key->wVKey == 'C' && ::GetKeyState(VK_CONTROL) < 0 && ::GetKeyState(VK_MENU) >= 0;
}

POINT ListMenuPoint(HWND list, LPARAM contextPoint) {
  POINT screen{GET_X_LPARAM(contextPoint), GET_Y_LPARAM(contextPoint)};
  if (screen.x == -1 && screen.y == -1) {
    const int row = SelectedListRow(list);
    RECT rect{};
    if (row < 0 || !ListView_GetItemRect(list, row, &rect, LVIR_LABEL)) ::GetClientRect(list, &rect);
    screen = POINT{rect.left, rect.bottom};
    ::ClientToScreen(list, &screen);
  }
  return screen;
}

UINT TrackListMenu(const RowCopy& copy, HWND list, LPARAM contextPoint) {
  const bool anyRows = ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) > 0;
  return TrackRowMenu(copy, ListMenuPoint(list, contextPoint), SelectedListRow(list) >= 0, anyRows, {},
                      {{kListSaveCommand, "一覧を保存…", true}});
}

void CopyListText(HWND owner, const std::wstring& text) {
  if (!CopyTextToClipboard(owner, text)) PanelMessageBox(owner, kClipboardBusyMessage);
}

void SaveListAsCsv(HWND owner, HWND list, int columns, const std::string& proposedName) {
  SaveFileRequest request;
  static const wchar_t kCsvFilter[] = L"CSV (*.csv)\0*.csv\0";
  request.fileName = WidenAnsi(proposedName);
  request.filter.assign(kCsvFilter, std::size(kCsvFilter) - 1);
  request.defaultExtension = L"csv";
  const std::optional<SaveFileChoice> choice = ShowSaveFileDialog(owner, request);
  if (!choice) return;
  const int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  int next = 0;
  const std::string reason = WriteCsvFile(choice->path, ListHeadings(list, columns), [&](CsvRow& row) {
    if (next >= count) return false;
    row = ListRowTexts(list, next++, columns);
    return true;
  });
  if (!reason.empty()) PanelMessageBox(owner, std::string(kSaveFailedMessage) + "\r\n" + reason);
}

}  // namespace platform
