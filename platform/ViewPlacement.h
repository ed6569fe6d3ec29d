// Where a view of ours (a message log, a properties or accessibility view, the window tree) opens: beside the main dialog
// that owns it, so neither covers the other.
#pragma once
#include <windows.h>

namespace platform {

// Right of the owner where its monitor has room, else below it, else over it; each further
// view (cascade) a step down and right; always inside the monitor's work area.
void PlaceBesideOwner(HWND view, HWND owner, int cascade);

}  // namespace platform
