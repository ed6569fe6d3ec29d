#include "WindowState.h"

#include <cstdio>

namespace e2e {
namespace {

std::string Text(const RECT& r) {
    char text[64];
    std::snprintf(text, sizeof(text), "(%ld,%ld,%ld,%ld)", r.left, r.top, r.right, r.bottom);
    return text;
}

std::string Text(long value) {
    char text[32];
    std::snprintf(text, sizeof(text), "0x%08lx", static_cast<unsigned long>(value));
    return text;
}

void Compare(std::string& out, const char* name, const std::string& before, const std::string& after) {
    if (before != after) out += std::string(name) + ": " + before + " -> " + after + "\n";
}

}  // namespace

WindowState ReadWindowState(HWND hwnd) {
    WindowState state;
    state.style = GetWindowLongA(hwnd, GWL_STYLE);
    state.exStyle = GetWindowLongA(hwnd, GWL_EXSTYLE);
    state.placement.length = sizeof(state.placement);
    GetWindowPlacement(hwnd, &state.placement);
    state.visible = IsWindowVisible(hwnd) != FALSE;
    state.iconic = IsIconic(hwnd) != FALSE;
    state.zoomed = IsZoomed(hwnd) != FALSE;
    state.layeredRead =
        GetLayeredWindowAttributes(hwnd, &state.colorKey, &state.alpha, &state.layeredFlags) != FALSE;
    GetWindowRect(hwnd, &state.rect);
    return state;
}

std::string WindowStateDifferences(const WindowState& before, const WindowState& after) {
    std::string out;
    Compare(out, "style", Text(before.style), Text(after.style));
    Compare(out, "extended style", Text(before.exStyle), Text(after.exStyle));
    Compare(out, "placement flags", Text(static_cast<long>(before.placement.flags)),
            Text(static_cast<long>(after.placement.flags)));
    Compare(out, "placement show command", Text(static_cast<long>(before.placement.showCmd)),
            Text(static_cast<long>(after.placement.showCmd)));
    Compare(out, "normal rectangle", Text(before.placement.rcNormalPosition),
            Text(after.placement.rcNormalPosition));
    Compare(out, "visible", before.visible ? "yes" : "no", after.visible ? "yes" : "no");
    Compare(out, "minimised", before.iconic ? "yes" : "no", after.iconic ? "yes" : "no");
    Compare(out, "maximised", before.zoomed ? "yes" : "no", after.zoomed ? "yes" : "no");
    Compare(out, "layered attributes readable", before.layeredRead ? "yes" : "no",
            after.layeredRead ? "yes" : "no");
    if (before.layeredRead && after.layeredRead) {
        Compare(out, "colour key", Text(static_cast<long>(before.colorKey)), Text(static_cast<long>(after.colorKey)));
        Compare(out, "alpha", Text(static_cast<long>(before.alpha)), Text(static_cast<long>(after.alpha)));
        Compare(out, "layered flags", Text(static_cast<long>(before.layeredFlags)),
                Text(static_cast<long>(after.layeredFlags)));
    }
    Compare(out, "rectangle", Text(before.rect), Text(after.rect));
    return out;
}

}  // namespace e2e
