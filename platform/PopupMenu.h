// Pop-up menus at a point of the screen, through one function that tests can answer (a hook),
// as they answer message boxes.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace platform {

struct PopupMenuItem {
  UINT command;
  std::string text;
  bool enabled = true;
};

using PopupMenuHook = std::function<UINT(HWND owner, POINT screen, const std::vector<PopupMenuItem>& items)>;

// Replaces the system's menu (tests); an empty hook restores it. Returns the old hook.
PopupMenuHook SetPopupMenuHook(PopupMenuHook hook);

// Shows the items as a menu at the screen point; the command chosen, or 0.
UINT ShowPopupMenu(HWND owner, POINT screen, const std::vector<PopupMenuItem>& items);

}  // namespace platform
