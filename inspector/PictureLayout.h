// Where the inspector draws the picture of the inspected window and its frame on the selected
// child. The picture is fitted into the area as the capture view fits its own
// (capture::FitPicture) and sits at the area's top-left; the inspector adds the frame's bounds
// and the way back from a picture point to a window point.
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

// The picture fitted into the area. Copied 1:1, the frame may use the whole area; scaled, the
// drawn size bounds the frame. A picture without area draws nothing and has scale 0.
PictureLayout LayOutPicture(LONG pictureWidth, LONG pictureHeight, int areaWidth, int areaHeight);

// True when the rectangle has no width or no height.
bool IsEmptyRect(const RECT& rect);

// The frame of a child rectangle (relative to the window's top-left corner) on the drawn
// picture, in dialog pixels: scaled, truncated toward zero, offset by the area's corner and
// lowered on the right and bottom to the clip size. Empty when the child rectangle is, or
// when no picture is drawn.
std::optional<RECT> FrameOnPicture(const RECT& child, const PictureLayout& layout, POINT areaCorner);

// The window point under a point of the drawn picture (relative to the area's corner); empty
// while no picture has been drawn at a usable scale.
std::optional<POINT> PictureToWindowPoint(POINT picturePoint, double scale);

}  // namespace inspector
