// Where a view of one window opens: beside the main dialog that owns it.
#pragma once
#include <windows.h>

namespace platform {

// An owned window stays above its owner: the view goes right of the owner where the monitor
// has room, else below it, else over it, each further view (cascade) a step down and right.
void PlaceBesideOwner(HWND view, HWND owner, int cascade);

}  // namespace platform
