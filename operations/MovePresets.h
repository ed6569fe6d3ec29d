// Where the move dialog's preset buttons put a window's top-left corner.
#pragma once
#include <windows.h>

namespace operations {

enum class MovePreset { TopLeft, TopRight, BottomLeft, BottomRight, Center };

struct MovePosition {
  int x;
  int y;
};

// The top-left corner that puts a window of the size into the preset's place on the monitor (its
// full rectangle in screen coordinates: the primary one starts at 0,0, one left of or above it at
// negative coordinates). The centre halves the room left over with signed division truncating
// toward zero, counted from the monitor's left and top.
MovePosition PresetPosition(MovePreset preset, const RECT& monitor, int width, int height);

}  // namespace operations
