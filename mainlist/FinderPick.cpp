#include "mainlist/FinderPick.h"

#include "platform/Format.h"
#include "platform/WideText.h"

namespace mainlist {

WindowTreeReader SystemWindowTree() {
  WindowTreeReader tree;
  // The desktop is no window to pick.
  tree.windowAt = [](POINT screen) {
    const HWND window = ::WindowFromPoint(screen);
    return window == ::GetDesktopWindow() ? nullptr : window;
  };
  tree.childAt = [](HWND parent, POINT client) {
    return ::ChildWindowFromPointEx(parent, client, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
  };
  tree.clientOrigin = [](HWND hwnd, POINT* origin) {
    *origin = POINT{0, 0};
    return ::ClientToScreen(hwnd, origin) != FALSE;
  };
  tree.rootOf = [](HWND hwnd) { return ::GetAncestor(hwnd, GA_ROOT); };
  tree.processOf = [](HWND hwnd) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    return pid;
  };
  return tree;
}

HWND DeepestWindowAt(POINT screen, const WindowTreeReader& tree) {
  HWND current = tree.windowAt(screen);
  for (int level = 0; current && level < kMaxFinderDepth; ++level) {
    POINT origin{};
    if (!tree.clientOrigin(current, &origin)) break;
    const HWND child = tree.childAt(current, POINT{screen.x - origin.x, screen.y - origin.y});
    if (!child || child == current) break;
    current = child;
  }
  return current;
}

std::optional<FinderPick> PickWindowAt(POINT screen, DWORD ownPid, const WindowTreeReader& tree) {
  const HWND window = DeepestWindowAt(screen, tree);
  if (!window) return std::nullopt;
  const HWND root = tree.rootOf(window);
  if (!root) return std::nullopt;
  const DWORD pid = tree.processOf(root);
  if (pid == 0 || pid == ownPid || tree.processOf(window) == ownPid) return std::nullopt;
  return FinderPick{window, root};
}

std::wstring FinderLabel(HWND hwnd, const std::wstring& className, const std::wstring& text) {
  return platform::WidenAnsi(platform::FormatHandle(hwnd)) + L"  " + className + L"  \"" + text + L"\"";
}

}  // namespace mainlist
