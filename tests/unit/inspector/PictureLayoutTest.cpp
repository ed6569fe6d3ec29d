// The picture's scale and placement, the red frame on it, and the way back from a picture
// point to a window point.
#include <gtest/gtest.h>
#include <windows.h>

#include "inspector/PictureLayout.h"

namespace {

using inspector::LayOutPicture;
using inspector::PictureLayout;

void ExpectLayout(const PictureLayout& layout, double scale, bool stretched, int drawW, int drawH, int clipW,
                  int clipH) {
  EXPECT_DOUBLE_EQ(layout.scale, scale);
  EXPECT_EQ(layout.stretched, stretched);
  EXPECT_EQ(layout.drawWidth, drawW);
  EXPECT_EQ(layout.drawHeight, drawH);
  EXPECT_EQ(layout.clipWidth, clipW);
  EXPECT_EQ(layout.clipHeight, clipH);
}

void ExpectRect(const RECT& rect, LONG left, LONG top, LONG right, LONG bottom) {
  EXPECT_EQ(rect.left, left);
  EXPECT_EQ(rect.top, top);
  EXPECT_EQ(rect.right, right);
  EXPECT_EQ(rect.bottom, bottom);
}

// The fitting itself is capture::FitPicture's (tests/unit/capture); here what the inspector
// adds: the frame's bounds and the scale it maps clicks with.
TEST(PictureLayout, ScaleAndFrameBounds) {
  // Smaller in both directions: 1:1, the frame may use the whole area.
  ExpectLayout(LayOutPicture(100, 100, 300, 200), 1.0, false, 100, 100, 300, 200);
  // As wide as the area: stretched at 1.0, bounded by the drawn picture.
  ExpectLayout(LayOutPicture(300, 100, 300, 200), 1.0, true, 300, 100, 300, 100);
  ExpectLayout(LayOutPicture(400, 400, 300, 200), 0.5, true, 200, 200, 200, 200);
  ExpectLayout(LayOutPicture(1000, 333, 300, 200), 0.3, true, 300, 99, 300, 99);
  // The area at 144 DPI.
  ExpectLayout(LayOutPicture(420, 320, 450, 300), 300.0 / 320, true, 393, 300, 393, 300);
  // No picture, or one without width or height: nothing drawn, no scale, no frame.
  for (const SIZE& size : {SIZE{0, 0}, SIZE{600, 0}, SIZE{0, 400}}) {
    const PictureLayout none = LayOutPicture(size.cx, size.cy, 300, 200);
    ExpectLayout(none, 0.0, false, 0, 0, 0, 0);
    EXPECT_FALSE(inspector::FrameOnPicture({10, 20, 50, 60}, none, {20, 250}));
  }
}

TEST(PictureLayout, FramePositionAndClipping) {
  const POINT corner{20, 250};
  // 1:1, anywhere inside the area.
  auto frame = inspector::FrameOnPicture({10, 20, 50, 60}, LayOutPicture(100, 100, 300, 200), corner);
  ASSERT_TRUE(frame);
  ExpectRect(*frame, 30, 270, 70, 310);
  // At 1:1 the clip is the whole area, beyond the picture itself.
  frame = inspector::FrameOnPicture({50, 150, 400, 260}, LayOutPicture(100, 100, 300, 200), corner);
  ASSERT_TRUE(frame);
  ExpectRect(*frame, 70, 400, 320, 450);
  // Half scale, clipped at the drawn 300 x 100 on the right and bottom only.
  frame = inspector::FrameOnPicture({500, 100, 700, 300}, LayOutPicture(600, 200, 300, 200), corner);
  ASSERT_TRUE(frame);
  ExpectRect(*frame, 270, 300, 320, 350);
  // Wholly right of the picture: both sides pressed onto the edge.
  frame = inspector::FrameOnPicture({650, 10, 700, 20}, LayOutPicture(600, 200, 300, 200), corner);
  ASSERT_TRUE(frame);
  ExpectRect(*frame, 320, 255, 320, 260);
  // Negative values truncate toward zero and are not clipped on the left or top.
  frame = inspector::FrameOnPicture({-3, -5, 9, 7}, LayOutPicture(400, 400, 300, 200), corner);
  ASSERT_TRUE(frame);
  ExpectRect(*frame, 19, 248, 24, 253);
  // No width or no height: no frame.
  EXPECT_FALSE(inspector::FrameOnPicture({10, 10, 10, 50}, LayOutPicture(100, 100, 300, 200), corner));
  EXPECT_FALSE(inspector::FrameOnPicture({0, 0, 0, 0}, LayOutPicture(100, 100, 300, 200), corner));
}

TEST(PictureLayout, PicturePointToWindowPoint) {
  EXPECT_FALSE(inspector::PictureToWindowPoint({10, 10}, 0.0));
  auto point = inspector::PictureToWindowPoint({100, 50}, 0.5);
  ASSERT_TRUE(point);
  EXPECT_EQ(point->x, 200);
  EXPECT_EQ(point->y, 100);
  point = inspector::PictureToWindowPoint({1, 2}, 0.3);
  ASSERT_TRUE(point);
  EXPECT_EQ(point->x, 3);
  EXPECT_EQ(point->y, 6);
}

}  // namespace
