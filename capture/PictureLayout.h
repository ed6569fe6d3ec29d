// Where and how large the capture view draws a picture: top-left corner fixed below the
// buttons, small pictures unscaled, larger ones fitted into a box keeping their proportions.
#pragma once
#include <windows.h>

namespace capture {

// Client pixel of the picture's top-left corner, and the box larger pictures are fitted into.
constexpr int kPictureLeft = 10;
constexpr int kPictureTop = 70;
constexpr int kPictureBoxWidth = 300;
constexpr int kPictureBoxHeight = 200;

struct DrawnSize {
  LONG width = 0;
  LONG height = 0;
  bool scaled = false;  // drawn with StretchBlt rather than copied pixel for pixel
};

// The size a width x height picture is drawn at. A picture without area draws nothing (0 x 0).
DrawnSize PictureDrawnSize(LONG width, LONG height);

}  // namespace capture
