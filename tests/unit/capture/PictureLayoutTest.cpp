// The one fitting of a picture into a box, used by the capture view and the inspector.
#include <gtest/gtest.h>

#include "capture/PictureLayout.h"

using capture::FitPicture;

namespace {

void ExpectDrawn(LONG width, LONG height, LONG drawnWidth, LONG drawnHeight, bool scaled, double scale,
                 int boxWidth = capture::kPictureBoxWidth, int boxHeight = capture::kPictureBoxHeight) {
  capture::DrawnSize drawn = FitPicture(width, height, boxWidth, boxHeight);
  EXPECT_EQ(drawnWidth, drawn.width) << width << " x " << height;
  EXPECT_EQ(drawnHeight, drawn.height) << width << " x " << height;
  EXPECT_EQ(scaled, drawn.scaled) << width << " x " << height;
  EXPECT_DOUBLE_EQ(scale, drawn.scale) << width << " x " << height;
}

}  // namespace

TEST(PictureLayoutTest, SmallPicturesAreCopiedAndLargerOnesFittedKeepingTheirProportions) {
  ExpectDrawn(299, 199, 299, 199, false, 1.0);
  ExpectDrawn(100, 100, 100, 100, false, 1.0);
  ExpectDrawn(1, 1, 1, 1, false, 1.0);
  // Reaching the box in one direction is enough to go through the scaling path.
  ExpectDrawn(300, 100, 300, 100, true, 1.0);
  ExpectDrawn(100, 200, 100, 200, true, 1.0);
  ExpectDrawn(600, 200, 300, 100, true, 0.5);
  ExpectDrawn(400, 400, 200, 200, true, 0.5);
  ExpectDrawn(600, 100, 300, 50, true, 0.5);
  ExpectDrawn(100, 400, 50, 200, true, 0.5);
  // A tie goes to the height.
  ExpectDrawn(600, 400, 300, 200, true, 0.5);
  // Cut toward zero, never rounded: 1080 * 300/1920 = 168.75, 301 * 0.3 = 90.3, 333 * 0.3 = 99.9,
  // 1000 * 200/999 = 200.2.
  ExpectDrawn(1920, 1080, 300, 168, true, 300.0 / 1920);
  ExpectDrawn(1000, 301, 300, 90, true, 0.3);
  ExpectDrawn(1000, 333, 300, 99, true, 0.3);
  ExpectDrawn(1000, 999, 200, 200, true, 200.0 / 999);
  // Any box: the capture view's at 144 DPI is 450 x 300 (1080 * 450/1920 = 253.125).
  ExpectDrawn(1920, 1080, 450, 253, true, 450.0 / 1920, 450, 300);
  ExpectDrawn(449, 299, 449, 299, false, 1.0, 450, 300);
}

TEST(PictureLayoutTest, APictureWithoutAreaDrawsNothing) {
  ExpectDrawn(0, 0, 0, 0, false, 0.0);
  ExpectDrawn(0, 500, 0, 0, false, 0.0);
  ExpectDrawn(600, 0, 0, 0, false, 0.0);
  ExpectDrawn(-5, 10, 0, 0, false, 0.0);
  ExpectDrawn(100, 100, 0, 0, false, 0.0, 0, 200);
}
