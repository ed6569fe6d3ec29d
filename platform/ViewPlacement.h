// Where a view of ours (a message log, a properties or accessibility view, the window tree) opens:
// beside the main dialog that owns it, covering neither it nor the other windows it owns while
// the owner's monitor has room.
#pragma once
#include <windows.h>

#include <vector>

namespace platform {

// The top-left corner for a view of that size: a place inside the work area that overlaps
// neither the owner nor any of the taken rectangles, the nearest to the owner's top-right
// corner (right of the owner first, then below, left or above, or beside another view). When
// nothing fits, right of the owner (else below it, else over it) a cascade step down and right
// per view already open, inside the work area.
POINT ChooseViewPlace(SIZE view, const RECT& owner, const std::vector<RECT>& taken, const RECT& work, int cascadeStep);

// Places the view by ChooseViewPlace among the other shown windows the owner owns, on the
// owner's monitor; cascade is how many views of its kind are open (the fallback's step).
void PlaceBesideOwner(HWND view, HWND owner, int cascade);

}  // namespace platform
