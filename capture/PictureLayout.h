// How large a picture is drawn in a box, for the capture view and the inspector alike: small
// pictures unscaled, larger ones fitted into the box keeping their proportions. Also where the
// capture view puts its box.
#pragma once
#include <windows.h>

namespace capture {

// The capture view's picture: client pixel of its top-left corner and the box larger pictures
// are fitted into, at 96 DPI (the view scales them by its DPI).
constexpr int kPictureLeft = 10;
constexpr int kPictureTop = 70;
constexpr int kPictureBoxWidth = 300;
constexpr int kPictureBoxHeight = 200;

struct DrawnSize {
  LONG width = 0;
  LONG height = 0;
  bool scaled = false;  // drawn with StretchBlt rather than copied pixel for pixel
  double scale = 0.0;   // drawn pixels per picture pixel; 0 when nothing is drawn
};

// The size a width x height picture is drawn at in a box: a picture smaller than the box in
// both directions is copied 1:1; any other is scaled to the box's width or height, whichever
// binds (a tie goes to the height), truncated toward zero. A picture without area draws
// nothing (0 x 0 at scale 0).
DrawnSize FitPicture(LONG width, LONG height, int boxWidth, int boxHeight);

}  // namespace capture
