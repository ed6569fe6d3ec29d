#include "operations/MovePresets.h"

namespace operations {

MovePosition PresetPosition(MovePreset preset, const RECT& desktop, int width, int height) {
  const int right = desktop.right - width;
  const int bottom = desktop.bottom - height;
  switch (preset) {
    case MovePreset::TopLeft:
      return {0, 0};
    case MovePreset::TopRight:
      return {right, 0};
    case MovePreset::BottomLeft:
      return {0, bottom};
    case MovePreset::BottomRight:
      return {right, bottom};
    case MovePreset::Center:
      return {right / 2, bottom / 2};
  }
  return {0, 0};
}

}  // namespace operations
