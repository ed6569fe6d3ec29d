#include "capture/PictureLayout.h"

namespace capture {

DrawnSize PictureDrawnSize(LONG width, LONG height) {
  DrawnSize drawn;
  // Without this a 0-wide picture would divide by zero below.
  if (width <= 0 || height <= 0) return drawn;
  if (width < kPictureBoxWidth && height < kPictureBoxHeight) {
    drawn.width = width;
    drawn.height = height;
    return drawn;
  }
  const double a = static_cast<double>(kPictureBoxWidth) / width;
  const double b = static_cast<double>(kPictureBoxHeight) / height;
  drawn.scaled = true;
  if (b > a) {
    drawn.width = kPictureBoxWidth;
    drawn.height = static_cast<LONG>(a * height);
  } else {
    drawn.width = static_cast<LONG>(b * width);
    drawn.height = kPictureBoxHeight;
  }
  return drawn;
}

}  // namespace capture
