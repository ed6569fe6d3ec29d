#include "platform/ViewPlacement.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "platform/Dpi.h"

namespace platform {
namespace {

long long OverlapArea(const RECT& a, const RECT& b) {
  const long long w = std::min(a.right, b.right) - std::max(a.left, b.left);
  const long long h = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
  return w > 0 && h > 0 ? w * h : 0;
}

struct OwnedWindows {
  HWND owner;
  HWND view;
  std::vector<RECT>* taken;
};

BOOL CALLBACK CollectOwned(HWND hwnd, LPARAM lParam) {
  auto* owned = reinterpret_cast<OwnedWindows*>(lParam);
  if (hwnd != owned->view && ::IsWindowVisible(hwnd) && !::IsIconic(hwnd) && ::GetWindow(hwnd, GW_OWNER) == owned->owner) {
    RECT rect{};
    if (::GetWindowRect(hwnd, &rect)) owned->taken->push_back(rect);
  }
  return TRUE;
}

}  // namespace

POINT ChooseViewPlace(SIZE view, const RECT& owner, const std::vector<RECT>& taken, const RECT& work, int cascadeStep) {
  const int width = view.cx, height = view.cy;
  // Candidate columns and rows: against the owner's and each taken window's edges, and the
  // work area's.
  std::vector<LONG> xs{owner.right, owner.left - width, owner.left, work.left, work.right - width};
  std::vector<LONG> ys{owner.top, owner.bottom, owner.top - height, work.top, work.bottom - height};
  for (const RECT& other : taken) {
    xs.insert(xs.end(), {other.right, other.left - width, other.left});
    ys.insert(ys.end(), {other.top, other.bottom, other.top - height});
  }
  // The least covered wins (the owner counts four times another window), then the nearest to
  // the owner's top-right corner: a place that covers nothing whenever there is one.
  bool found = false;
  POINT best{};
  long long bestCovered = LLONG_MAX, bestDistance = LLONG_MAX;
  for (LONG x : xs) {
    for (LONG y : ys) {
      const RECT at{x, y, x + width, y + height};
      if (at.left < work.left || at.top < work.top || at.right > work.right || at.bottom > work.bottom) continue;
      long long covered = 4 * OverlapArea(at, owner);
      for (const RECT& other : taken) covered += OverlapArea(at, other);
      const long long distance = std::llabs(static_cast<long long>(x) - owner.right) + std::llabs(static_cast<long long>(y) - owner.top);
      if (covered < bestCovered || (covered == bestCovered && distance < bestDistance)) {
        bestCovered = covered;
        bestDistance = distance;
        best = POINT{x, y};
        found = true;
      }
    }
  }
  if (found) return best;
  // Larger than the work area: right of the owner a cascade step down, kept inside as far as it goes.
  POINT at{owner.right + cascadeStep, owner.top + cascadeStep};
  at.x = std::max(work.left, std::min(at.x, work.right - width));
  at.y = std::max(work.top, std::min(at.y, work.bottom - height));
  return at;
}

void PlaceBesideOwner(HWND view, HWND owner, int cascade) {
  // Without an owner there is nothing to stand beside (and every unowned window of the desktop
  // would count as taken): the view stays where it was made.
  if (!owner) return;
  RECT ownerRect{}, own{};
  ::GetWindowRect(owner, &ownerRect);
  ::GetWindowRect(view, &own);
  MONITORINFO monitor{sizeof(monitor)};
  if (!::GetMonitorInfoA(::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) return;
  std::vector<RECT> taken;
  OwnedWindows owned{owner, view, &taken};
  ::EnumWindows(CollectOwned, reinterpret_cast<LPARAM>(&owned));
  const int step = ScaleForDpi(24, WindowDpi(owner)) * (cascade % 8);
  const POINT at = ChooseViewPlace(SIZE{own.right - own.left, own.bottom - own.top}, ownerRect, taken, monitor.rcWork, step);
  ::SetWindowPos(view, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace platform
