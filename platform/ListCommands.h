// What a list view shows, taken away as text: its rows read as shown, the right-click menu
// "コピー" / "一覧を保存…", Ctrl+C, and the whole list saved as CSV through the Save As dialog.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "platform/CsvFile.h"

namespace platform {

// Commands of the list menu.
constexpr UINT kListCopyCommand = 1;
constexpr UINT kListSaveCommand = 2;

// The headings of the first columns, and the cells of one row, as the list shows them.
CsvRow ListHeadings(HWND list, int columns);
CsvRow ListRowTexts(HWND list, int row, int columns);
// The selected row, or -1.
int SelectedListRow(HWND list);

// Whether a list's key notice (LVN_KEYDOWN) is Ctrl+C.
bool IsCopyKey(const NMHDR* header);

// Where a list's menu opens for a WM_CONTEXTMENU point: there, or from the keyboard (-1, -1)
// below the selected row.
POINT ListMenuPoint(HWND list, LPARAM contextPoint);

// The list's right-click menu for a WM_CONTEXTMENU point (-1, -1 from the keyboard: at the
// selected row); "コピー" only with a selected row. The command chosen, or 0.
UINT TrackListMenu(HWND owner, HWND list, LPARAM contextPoint);

// Copies the text, telling the user in a box of owner when another program held the clipboard.
void CopyListText(HWND owner, const std::wstring& text);

// Every row as shown, under the headings, to a CSV file the user names in the Save As dialog
// (proposedName without extension); a failure is told in a box of owner with its reason.
void SaveListAsCsv(HWND owner, HWND list, int columns, const std::string& proposedName);

}  // namespace platform
