#include "platform/PopupMenu.h"

#include <memory>
#include <type_traits>

#include "platform/ActionBudget.h"

namespace platform {

namespace {
PopupMenuHook& Hook() {
  static PopupMenuHook hook;
  return hook;
}

struct MenuDeleter {
  void operator()(HMENU menu) const { ::DestroyMenu(menu); }
};
}  // namespace

PopupMenuHook SetPopupMenuHook(PopupMenuHook hook) {
  PopupMenuHook old = std::move(Hook());
  Hook() = std::move(hook);
  return old;
}

UINT ShowPopupMenu(HWND owner, POINT screen, const std::vector<PopupMenuItem>& items) {
  if (Hook()) return Hook()(owner, screen, items);
  std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDeleter> menu(::CreatePopupMenu());
  if (!menu) return 0;
  for (const PopupMenuItem& item : items)
    ::AppendMenuA(menu.get(), MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED), item.command, item.text.c_str());
  // The menu's loop is the user's time, not the action's.
  const CActionBudgetPause userAnswers;
  return static_cast<UINT>(::TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, screen.x,
                                            screen.y, 0, owner, nullptr));
}

}  // namespace platform
