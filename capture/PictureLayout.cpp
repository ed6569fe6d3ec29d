#include "capture/PictureLayout.h"

namespace capture {

DrawnSize FitPicture(LONG width, LONG height, int boxWidth, int boxHeight) {
  DrawnSize drawn;
  // Without this a 0-wide picture would divide by zero below.
  if (width <= 0 || height <= 0 || boxWidth <= 0 || boxHeight <= 0) return drawn;
  if (width < boxWidth && height < boxHeight) {
    drawn.width = width;
    drawn.height = height;
    drawn.scale = 1.0;
    return drawn;
  }
  const double a = static_cast<double>(boxWidth) / width;
  const double b = static_cast<double>(boxHeight) / height;
  drawn.scaled = true;
  if (b > a) {
    drawn.scale = a;
    drawn.width = boxWidth;
    drawn.height = static_cast<LONG>(a * height);
  } else {
    drawn.scale = b;
    drawn.width = static_cast<LONG>(b * width);
    drawn.height = boxHeight;
  }
  return drawn;
}

}  // namespace capture
