#include "platform/Monitors.h"

namespace platform {

RECT VirtualScreenRect() {
  const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
  return {left, top, left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN), top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

RECT MonitorRectOf(HWND window) {
  MONITORINFO info = {};
  info.cbSize = sizeof(info);
  HMONITOR monitor = window ? ::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)
                            : ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  if (monitor && ::GetMonitorInfoA(monitor, &info)) return info.rcMonitor;
  RECT desktop = {};
  ::GetWindowRect(::GetDesktopWindow(), &desktop);
  return desktop;
}

}  // namespace platform
