#include <gtest/gtest.h>

#include <vector>

#include "capture/CaptureChoice.h"

namespace {

TEST(CaptureChoice, ScreenPartCoversEveryMonitorAndNothingOffThem) {
  // One monitor at 0,0, and a virtual screen with monitors left of and above the primary one.
  const RECT single = {0, 0, 1920, 1080}, leftAndAbove = {-1280, -1024, 1920, 1080};
  const struct { RECT screen, window, part; } cases[] = {
      {single, {-50, 1000, 300, 1200}, {0, 1000, 300, 1080}},
      {leftAndAbove, {-1200, 100, -800, 400}, {-1200, 100, -800, 400}},
      {leftAndAbove, {-1300, -1030, -1000, -1000}, {-1280, -1024, -1000, -1000}},
      {leftAndAbove, {-3000, 0, -1280, 300}, {0, 0, 0, 0}},  // off every monitor: 0 x 0
  };
  for (const auto& c : cases) {
    const RECT part = ScreenPart(c.screen, c.window);
    EXPECT_TRUE(::EqualRect(&part, &c.part)) << part.left << "," << part.top << "," << part.right << "," << part.bottom;
  }
  // A window shown out of sight is on no monitor, on a desktop of four 4K monitors side by side too.
  const RECT wide = {-3840, 0, 11520, 2160};
  for (const RECT& screen : {single, leftAndAbove, wide}) {
    const POINT away = OffScreenOrigin(screen);
    const RECT window = {away.x, away.y, away.x + 3840, away.y + 2160};
    const RECT part = ScreenPart(screen, window);
    EXPECT_TRUE(::IsRectEmpty(&part)) << away.x << "," << away.y;
  }
}

TEST(CaptureChoice, FullContentFromWindows81OnAndBlackOnlyWithoutAnyColour) {
  EXPECT_EQ(PrintFlagsFor(6, 2), 0u);
  EXPECT_EQ(PrintFlagsFor(6, 3), kPrintRenderFullContent);
  EXPECT_EQ(PrintFlagsFor(10, 0), kPrintRenderFullContent);
  std::vector<DWORD> pixels(1920 * 32, 0xFF000000u);  // the top byte is no colour
  EXPECT_TRUE(AllBlack(pixels.data(), pixels.size()));
  pixels.back() = 0x00000001u;  // one dark blue pixel at the very end
  EXPECT_FALSE(AllBlack(pixels.data(), pixels.size()));
  EXPECT_FALSE(AllBlack(pixels.data(), 0));
}

}  // namespace
