// Where a view of ours opens: beside the dialog that owns it, so that both stay in sight.
#pragma once
#include <windows.h>

namespace platform {

// Moves the window right of its owner where the owner's monitor has room, else below it, else
// over it; the cascade-th view of a kind a step further down (and right), kept inside the
// monitor's work area.
void PlaceBesideOwner(HWND hwnd, HWND owner, int cascade = 0);

}  // namespace platform
