#include "inspector/ChildHitTest.h"

namespace inspector {

bool ReadWindowRect(HWND hwnd, RECT* rect) { return ::GetWindowRect(hwnd, rect) != FALSE; }

HWND FindChildAt(const std::vector<CChildWindowItem>& snapshot, HWND parent, POINT screen,
                 const WindowRectReader& rectOf) {
  for (const CChildWindowItem& item : snapshot) {
    if (!item.visible || !item.enabled || item.parent != parent) continue;
    RECT rect{};
    if (rectOf(item.hwnd, &rect) && ::PtInRect(&rect, screen)) return item.hwnd;
  }
  return parent;
}

DeepestChild FindDeepestChildAt(const std::vector<CChildWindowItem>& snapshot, HWND root, POINT screen,
                                const WindowRectReader& rectOf) {
  DeepestChild result;
  HWND current = FindChildAt(snapshot, root, screen, rectOf);
  result.first = current;
  if (!current) return result;
  for (int level = 0; level < kMaxHitDepth; ++level) {
    HWND next = FindChildAt(snapshot, current, screen, rectOf);
    if (next == current) {
      result.deepest = current;
      return result;
    }
    current = next;
  }
  return result;
}

}  // namespace inspector
