// What a list view shows, taken away as text: its rows read as shown, copied as every view copies
// (RowCopy: Ctrl+C, "コピー", "すべてコピー"), and the whole list saved as CSV through the Save As
// dialog ("一覧を保存…").
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "platform/CsvFile.h"
#include "platform/RowCopy.h"

namespace platform {

// The list menu's own command, below the copy commands.
constexpr UINT kListSaveCommand = 2;

// The headings of the first columns, and the cells of one row, as the list shows them.
CsvRow ListHeadings(HWND list, int columns);
CsvRow ListRowTexts(HWND list, int row, int columns);
// The selected row, or -1.
int SelectedListRow(HWND list);
// The list's selected rows, or all of them, as shown (the first columns) and copied (CopiedRow).
std::wstring CopiedListRows(HWND list, int columns, bool selectedOnly);

// Whether a list's key notice (LVN_KEYDOWN) is Ctrl+C.
bool IsCopyKey(const NMHDR* header);

// Where a list's menu opens for a WM_CONTEXTMENU point: there, or from the keyboard (-1, -1)
// below the selected row.
POINT ListMenuPoint(HWND list, LPARAM contextPoint);

// The list's right-click menu for a WM_CONTEXTMENU point (-1, -1 from the keyboard: at the
// selected row): "コピー" (with a selected row), "すべてコピー" (with any row), run here, and
// "一覧を保存…". kListSaveCommand when that was chosen, else 0.
UINT TrackListMenu(const RowCopy& copy, HWND list, LPARAM contextPoint);

// Copies the text, telling the user in a box of owner when another program held the clipboard.
void CopyListText(HWND owner, const std::wstring& text);

// Every row as shown, under the headings, to a CSV file the user names in the Save As dialog
// (proposedName without extension); a failure is told in a box of owner with its reason.
void SaveListAsCsv(HWND owner, HWND list, int columns, const std::string& proposedName);

}  // namespace platform
