#include "operations/MovePresets.h"

namespace operations {

MovePosition PresetPosition(MovePreset preset, const RECT& monitor, int width, int height) {
  const int left = monitor.left;
  const int top = monitor.top;
  const int right = monitor.right - width;
  const int bottom = monitor.bottom - height;
  switch (preset) {
    case MovePreset::TopLeft:
      return {left, top};
    case MovePreset::TopRight:
      return {right, top};
    case MovePreset::BottomLeft:
      return {left, bottom};
    case MovePreset::BottomRight:
      return {right, bottom};
    case MovePreset::Center:
      return {left + (right - left) / 2, top + (bottom - top) / 2};
  }
  return {left, top};
}

}  // namespace operations
