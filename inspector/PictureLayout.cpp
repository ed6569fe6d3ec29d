#include "inspector/PictureLayout.h"

#include <algorithm>

namespace inspector {

PictureLayout LayOutPicture(LONG pictureWidth, LONG pictureHeight, int areaWidth, int areaHeight) {
  PictureLayout layout;
  if (pictureWidth < areaWidth && pictureHeight < areaHeight) {
    layout.scale = 1.0;
    layout.drawWidth = pictureWidth;
    layout.drawHeight = pictureHeight;
    layout.clipWidth = areaWidth;
    layout.clipHeight = areaHeight;
    return layout;
  }
  layout.stretched = true;
  // A side of 0 sets no bound: the other side alone gives the scale.
  const double sx = pictureWidth > 0 ? static_cast<double>(areaWidth) / pictureWidth : 0.0;
  const double sy = pictureHeight > 0 ? static_cast<double>(areaHeight) / pictureHeight : 0.0;
  if (pictureWidth > 0 && (pictureHeight <= 0 || sy > sx)) {
    layout.scale = sx;
    layout.drawWidth = areaWidth;
    layout.drawHeight = static_cast<int>(pictureHeight * sx);
  } else {
    layout.scale = sy;
    layout.drawWidth = static_cast<int>(pictureWidth * sy);
    layout.drawHeight = areaHeight;
  }
  layout.clipWidth = layout.drawWidth;
  layout.clipHeight = layout.drawHeight;
  return layout;
}

bool IsEmptyRect(const RECT& rect) { return rect.right - rect.left == 0 || rect.bottom - rect.top == 0; }

std::optional<RECT> FrameOnPicture(const RECT& child, const PictureLayout& layout, POINT areaCorner) {
  if (IsEmptyRect(child)) return std::nullopt;
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
