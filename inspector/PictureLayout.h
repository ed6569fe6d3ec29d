// Where the inspector draws the picture of the inspected window and its frame on the selected
// child. The picture keeps its aspect ratio, sits at the top-left of the picture area, and is
// shrunk to fit the area but never enlarged.
#pragma once
#include <windows.h>

#include <optional>

namespace inspector {

struct PictureLayout {
  double scale = 0.0;      // drawn pixels per window pixel
  bool stretched = false;  // StretchBlt to the drawn size; otherwise a 1:1 copy
  int drawWidth = 0;
  int drawHeight = 0;
  int clipWidth = 0;       // the frame is kept inside this size from the area's corner
  int clipHeight = 0;
};

// A picture smaller than the area in both directions is copied 1:1 (the frame may use the
// whole area); any other is scaled to the area's width or height, whichever binds, with the
// drawn size as the frame's bounds.
PictureLayout LayOutPicture(LONG pictureWidth, LONG pictureHeight, int areaWidth, int areaHeight);

// True when the rectangle has no width or no height.
bool IsEmptyRect(const RECT& rect);

// The frame of a child rectangle (relative to the window's top-left corner) on the drawn
// picture, in dialog pixels: scaled, truncated toward zero, offset by the area's corner and
// lowered on the right and bottom to the clip size. Empty when the child rectangle is.
std::optional<RECT> FrameOnPicture(const RECT& child, const PictureLayout& layout, POINT areaCorner);

// The window point under a point of the drawn picture (relative to the area's corner); empty
// while no picture has been drawn at a usable scale.
std::optional<POINT> PictureToWindowPoint(POINT picturePoint, double scale);

}  // namespace inspector
