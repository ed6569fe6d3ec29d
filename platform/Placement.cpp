#include "platform/Placement.h"

#include <algorithm>

#include "platform/Dpi.h"

namespace platform {

void PlaceBesideOwner(HWND hwnd, HWND owner, int cascade) {
  RECT ownerRect{}, own{};
  ::GetWindowRect(owner, &ownerRect);
  ::GetWindowRect(hwnd, &own);
  MONITORINFO monitor{sizeof(monitor)};
  if (!::GetMonitorInfoA(::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) return;
  const RECT& work = monitor.rcWork;
  const int width = own.right - own.left, height = own.bottom - own.top;
  const int step = ScaleForDpi(24, WindowDpi(owner)) * (cascade % 8);
  POINT at{ownerRect.left + step, ownerRect.top + step};
  if (ownerRect.right + width <= work.right)
    at = POINT{ownerRect.right, ownerRect.top + step};
  else if (ownerRect.bottom + height <= work.bottom)
    at = POINT{ownerRect.left + step, ownerRect.bottom};
  at.x = std::max(work.left, std::min(at.x, work.right - width));
  at.y = std::max(work.top, std::min(at.y, work.bottom - height));
  ::SetWindowPos(hwnd, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace platform
