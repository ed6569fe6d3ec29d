#include "inspector/PictureLayout.h"

#include <algorithm>

#include "capture/PictureLayout.h"

namespace inspector {

PictureLayout LayOutPicture(LONG pictureWidth, LONG pictureHeight, int areaWidth, int areaHeight) {
  const capture::DrawnSize drawn = capture::FitPicture(pictureWidth, pictureHeight, areaWidth, areaHeight);
  PictureLayout layout;
  layout.scale = drawn.scale;
  layout.stretched = drawn.scaled;
  layout.drawWidth = drawn.width;
  layout.drawHeight = drawn.height;
  // Copied 1:1 the frame may use the whole area; scaled, only the drawn picture.
  const bool wholeArea = drawn.scale > 0.0 && !drawn.scaled;
  layout.clipWidth = wholeArea ? areaWidth : drawn.width;
  layout.clipHeight = wholeArea ? areaHeight : drawn.height;
  return layout;
}

bool IsEmptyRect(const RECT& rect) { return rect.right - rect.left == 0 || rect.bottom - rect.top == 0; }

std::optional<RECT> FrameOnPicture(const RECT& child, const PictureLayout& layout, POINT areaCorner) {
  if (IsEmptyRect(child) || !(layout.scale > 0.0)) return std::nullopt;
  auto scaled = [&](LONG value, LONG origin) { return origin + static_cast<LONG>(value * layout.scale); };
  RECT frame{scaled(child.left, areaCorner.x), scaled(child.top, areaCorner.y), scaled(child.right, areaCorner.x),
             scaled(child.bottom, areaCorner.y)};
  const LONG maxX = areaCorner.x + layout.clipWidth;
  const LONG maxY = areaCorner.y + layout.clipHeight;
  frame.left = std::min(frame.left, maxX);
  frame.right = std::min(frame.right, maxX);
  frame.top = std::min(frame.top, maxY);
  frame.bottom = std::min(frame.bottom, maxY);
  return frame;
}

std::optional<POINT> PictureToWindowPoint(POINT picturePoint, double scale) {
  if (!(scale > 0.0)) return std::nullopt;
  return POINT{static_cast<LONG>(picturePoint.x / scale), static_cast<LONG>(picturePoint.y / scale)};
}

}  // namespace inspector
