// One copy behaviour for every view that shows rows in a list or a tree: Ctrl+C copies the
// selected rows, and the right-click menu offers "コピー" (the selected rows) and "すべてコピー"
// (every row shown), beside the view's own items. A row is copied as shown: its cells
// tab-separated, each escaped (EscapedLine) so the row stays one line, ended with CR LF.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/PopupMenu.h"
#include "platform/TreeCtrl.h"

namespace platform {

// The menu's copy commands; a view's own commands stay below them.
constexpr UINT kCopyRowsCommand = 0xC001;
constexpr UINT kCopyAllRowsCommand = 0xC002;

// One row as copied: "cell<TAB>cell…" and CR LF.
std::wstring CopiedRow(const std::vector<std::wstring>& cells);

// A tree's rows as copied: the item's text (none for a null item); every item shown (each whose
// parents are open), two spaces further in for each level, in the order the tree shows them.
std::wstring CopiedTreeItem(const CTreeCtrl& tree, HTREEITEM item);
std::wstring CopiedTreeRows(const CTreeCtrl& tree);

// Where a tree's menu opens for a WM_CONTEXTMENU point, and on which item: there, or from the
// keyboard (-1, -1) below the selected item. The item is null when there is none.
HTREEITEM TreeMenuItem(const CTreeCtrl& tree, LPARAM contextPoint, POINT& screen);

// What a view copies: the text of its selected rows, and of all its rows, each as CopiedRow
// makes them ("" when there is none). Asked only when the user copies.
struct RowCopy {
  HWND owner = nullptr;  // the view: the clipboard's window and a busy clipboard's box
  std::function<std::wstring()> selectedRows;
  std::function<std::wstring()> allRows;
};

// Whether a list's or a tree's key notice (LVN_KEYDOWN, TVN_KEYDOWN: both carry the key alike)
// is Ctrl+C; if so, copies the selected rows.
bool CopyOnKey(const RowCopy& copy, const NMHDR* keyNotice);

// Runs a copy command of the menu; false for any other command.
bool RunCopyCommand(const RowCopy& copy, UINT command);

// The view's menu at a screen point: `before`, "コピー" (enabled with a row selected),
// "すべてコピー" (enabled with any row), then `after`. Runs a copy command chosen; returns any
// other command chosen, else 0.
UINT TrackRowMenu(const RowCopy& copy, POINT screen, bool anySelected, bool anyRows,
                  const std::vector<PopupMenuItem>& before = {}, const std::vector<PopupMenuItem>& after = {});

}  // namespace platform
