#include <gtest/gtest.h>

#include "capture/PictureLayout.h"

using capture::PictureDrawnSize;

namespace {

void ExpectDrawn(LONG width, LONG height, LONG drawnWidth, LONG drawnHeight, bool scaled) {
  capture::DrawnSize drawn = PictureDrawnSize(width, height);
  EXPECT_EQ(drawnWidth, drawn.width) << width << " x " << height;
  EXPECT_EQ(drawnHeight, drawn.height) << width << " x " << height;
  EXPECT_EQ(scaled, drawn.scaled) << width << " x " << height;
}

}  // namespace

TEST(PictureLayoutTest, SmallPicturesAreCopiedAndLargerOnesFittedKeepingTheirProportions) {
  ExpectDrawn(299, 199, 299, 199, false);
  ExpectDrawn(1, 1, 1, 1, false);
  // Reaching the box in one direction is enough to go through the scaling path.
  ExpectDrawn(300, 100, 300, 100, true);
  ExpectDrawn(100, 200, 100, 200, true);
  ExpectDrawn(600, 400, 300, 200, true);
  ExpectDrawn(600, 100, 300, 50, true);
  ExpectDrawn(100, 400, 50, 200, true);
  // Cut toward zero, never rounded: 1080 * 300/1920 = 168.75, 301 * 0.3 = 90.3, 1000 * 200/999 = 200.2.
  ExpectDrawn(1920, 1080, 300, 168, true);
  ExpectDrawn(1000, 301, 300, 90, true);
  ExpectDrawn(1000, 999, 200, 200, true);
}

TEST(PictureLayoutTest, APictureWithoutAreaDrawsNothing) {
  ExpectDrawn(0, 0, 0, 0, false);
  ExpectDrawn(0, 500, 0, 0, false);
  ExpectDrawn(500, 0, 0, 0, false);
  ExpectDrawn(-5, 10, 0, 0, false);
}
