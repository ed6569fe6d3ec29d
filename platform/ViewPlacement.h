// Where a view of ours (a message log, a properties or accessibility view, the window tree) opens:
// beside the main dialog that owns it, covering neither it nor the other windows it owns while
// the owner's monitor has room.
#pragma once
#include <windows.h>

#include <vector>

namespace platform {

// The top-left corner for a view of that size inside the work area: a place that overlaps
// neither the owner nor any of the taken rectangles, the nearest to the owner's top-right corner
// (right of the owner first, then below, left or above it, or beside another view). Without
// such a place, the one that covers the least (the owner counting four times). A view larger
// than the work area goes right of the owner, a cascade step down, as far inside as it goes.
POINT ChooseViewPlace(SIZE view, const RECT& owner, const std::vector<RECT>& taken, const RECT& work, int cascadeStep);

// Places the view by ChooseViewPlace among the other shown windows the owner owns, on the
// owner's monitor; cascade is how many views of its kind are open (the fallback's step).
// Nothing without an owner.
void PlaceBesideOwner(HWND view, HWND owner, int cascade);

}  // namespace platform
