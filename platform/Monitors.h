// Where the monitors are, in screen coordinates. On one monitor both rectangles are the desktop
// window's; with several, a monitor left of or above the primary one has negative coordinates.
#pragma once
#include <windows.h>

namespace platform {

// The rectangle around every monitor (SM_XVIRTUALSCREEN and its three companions).
RECT VirtualScreenRect();

// The full rectangle (rcMonitor) of the monitor the window is on, the nearest one when it is on
// none, the primary one for no window; the desktop window's rectangle when the system gives no monitor.
RECT MonitorRectOf(HWND window);

}  // namespace platform
