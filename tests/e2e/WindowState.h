// Everything about a top-level window that a program may change and must put back, read from
// outside, and a comparison that names each difference.
#pragma once
#include <windows.h>

#include <string>

namespace e2e {

struct WindowState {
    LONG style = 0;
    LONG exStyle = 0;
    WINDOWPLACEMENT placement = {};
    bool visible = false;
    bool iconic = false;
    bool zoomed = false;
    bool layeredRead = false;
    COLORREF colorKey = 0;
    BYTE alpha = 0;
    DWORD layeredFlags = 0;
    RECT rect = {};
};

WindowState ReadWindowState(HWND hwnd);

// "" when equal; otherwise one "name: before -> after" line per differing field. Layered
// attributes are compared only when both were readable.
std::string WindowStateDifferences(const WindowState& before, const WindowState& after);

}  // namespace e2e
