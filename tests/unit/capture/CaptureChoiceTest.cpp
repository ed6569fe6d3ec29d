#include <gtest/gtest.h>

#include <vector>

#include "capture/CaptureChoice.h"

namespace {

void ExpectRect(const RECT& actual, LONG left, LONG top, LONG right, LONG bottom) {
  EXPECT_EQ(actual.left, left);
  EXPECT_EQ(actual.top, top);
  EXPECT_EQ(actual.right, right);
  EXPECT_EQ(actual.bottom, bottom);
}

TEST(CaptureChoice, ScreenPartCoversEveryMonitorAndNothingOffThem) {
  // One monitor at 0,0: the desktop's rectangle, as ever.
  const RECT single = {0, 0, 1920, 1080};
  ExpectRect(ScreenPart(single, {100, 100, 500, 400}), 100, 100, 500, 400);
  ExpectRect(ScreenPart(single, {-50, 1000, 300, 1200}), 0, 1000, 300, 1080);
  // A second monitor left of the primary and a third above it: a window there is copied whole.
  const RECT leftAndAbove = {-1280, -1024, 1920, 1080};
  ExpectRect(ScreenPart(leftAndAbove, {-1200, 100, -800, 400}), -1200, 100, -800, 400);
  ExpectRect(ScreenPart(leftAndAbove, {200, -900, 600, -600}), 200, -900, 600, -600);
  ExpectRect(ScreenPart(leftAndAbove, {-1300, -1030, -1000, -1000}), -1280, -1024, -1000, -1000);
  // Off every monitor: 0 x 0.
  ExpectRect(ScreenPart(leftAndAbove, {-3000, 0, -1280, 300}), 0, 0, 0, 0);
  ExpectRect(ScreenPart(single, {10000, 10000, 10400, 10300}), 0, 0, 0, 0);
}

TEST(CaptureChoice, FullContentPrintFromWindows81On) {
  EXPECT_EQ(PrintFlagsFor(5, 1), 0u);
  EXPECT_EQ(PrintFlagsFor(6, 1), 0u);
  EXPECT_EQ(PrintFlagsFor(6, 2), 0u);
  EXPECT_EQ(PrintFlagsFor(6, 3), kPrintRenderFullContent);
  EXPECT_EQ(PrintFlagsFor(10, 0), kPrintRenderFullContent);
  EXPECT_EQ(PrintFlagsFor(0, 0), 0u);  // no version known
}

TEST(CaptureChoice, BlackOnlyWhenEveryColourIsZero) {
  std::vector<DWORD> pixels(1920 * 32, 0xFF000000u);  // the top byte is no colour
  EXPECT_TRUE(AllBlack(pixels.data(), pixels.size()));
  pixels.back() = 0x00000001u;  // one dark blue pixel at the very end
  EXPECT_FALSE(AllBlack(pixels.data(), pixels.size()));
  EXPECT_TRUE(AllBlack(pixels.data(), pixels.size() - 1));
  EXPECT_FALSE(AllBlack(pixels.data(), 0));
}

}  // namespace
