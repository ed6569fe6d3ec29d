// Where the move dialog's preset buttons put a window's top-left corner.
#pragma once
#include <windows.h>

namespace operations {

enum class MovePreset { TopLeft, TopRight, BottomLeft, BottomRight, Center };

struct MovePosition {
  int x;
  int y;
};

// The top-left corner that puts a window of the size into the preset's place on the desktop.
// Only the desktop's right and bottom edges count: the left and top places are 0 whatever the
// desktop's origin. The centre halves with signed division truncating toward zero.
MovePosition PresetPosition(MovePreset preset, const RECT& desktop, int width, int height);

}  // namespace operations
