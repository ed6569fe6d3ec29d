#include "platform/RowCopy.h"

#include "platform/ListCommands.h"
#include "platform/WideText.h"

namespace platform {

std::wstring CopiedRow(const std::vector<std::wstring>& cells) {
  std::wstring line;
  for (size_t i = 0; i < cells.size(); ++i) line.append(i ? L"\t" : L"").append(EscapedLine(cells[i]));
  return line.append(L"\r\n");
}

std::wstring CopiedTreeItem(const CTreeCtrl& tree, HTREEITEM item) {
  return item ? CopiedRow({tree.GetItemText(item)}) : std::wstring();
}

std::wstring CopiedTreeRows(const CTreeCtrl& tree) {
  std::wstring text;
  // Depth first without recursion: the open items' parents, one per level.
  std::vector<HTREEITEM> parents;
  for (HTREEITEM item = tree.GetNextItem(nullptr, TVGN_ROOT); item;) {
    text.append(2 * parents.size(), L' ').append(CopiedTreeItem(tree, item));
    HTREEITEM next = tree.IsExpanded(item) ? tree.GetChild(item) : nullptr;
    if (next) {
      parents.push_back(item);
    } else {
      next = tree.GetNextSibling(item);
      while (!next && !parents.empty()) {
        next = tree.GetNextSibling(parents.back());
        parents.pop_back();
      }
    }
    item = next;
  }
  return text;
}

HTREEITEM TreeMenuItem(const CTreeCtrl& tree, LPARAM contextPoint, POINT& screen) {
  screen = POINT{static_cast<short>(LOWORD(contextPoint)), static_cast<short>(HIWORD(contextPoint))};
  if (screen.x != -1 || screen.y != -1) {
    POINT client = screen;
    ::ScreenToClient(tree.GetSafeHwnd(), &client);
    return tree.HitTest(client);
  }
  const HTREEITEM item = tree.GetSelection();
  const std::optional<RECT> rect = item ? tree.GetItemRect(item, true) : std::nullopt;
  RECT at{};
  if (rect) at = *rect;
  else ::GetClientRect(tree.GetSafeHwnd(), &at);
  screen = POINT{at.left, rect ? at.bottom : at.top};
  ::ClientToScreen(tree.GetSafeHwnd(), &screen);
  return rect ? item : nullptr;
}

bool CopyOnKey(const RowCopy& copy, const NMHDR* keyNotice) {
  if (!IsCopyKey(keyNotice)) return false;
  const std::wstring text = copy.selectedRows();
  if (!text.empty()) CopyListText(copy.owner, text);
  return true;
}

bool RunCopyCommand(const RowCopy& copy, UINT command) {
  if (command != kCopyRowsCommand && command != kCopyAllRowsCommand) return false;
  const std::wstring text = command == kCopyRowsCommand ? copy.selectedRows() : copy.allRows();
  if (!text.empty()) CopyListText(copy.owner, text);
  return true;
}

UINT TrackRowMenu(const RowCopy& copy, POINT screen, bool anySelected, bool anyRows,
                  const std::vector<PopupMenuItem>& before, const std::vector<PopupMenuItem>& after) {
  std::vector<PopupMenuItem> items = before;
  items.push_back({kCopyRowsCommand, "コピー", anySelected});
  items.push_back({kCopyAllRowsCommand, "すべてコピー", anyRows});
  items.insert(items.end(), after.begin(), after.end());
  const UINT command = ShowPopupMenu(copy.owner, screen, items);
  return RunCopyCommand(copy, command) ? 0 : command;
}

}  // namespace platform
