#include <gtest/gtest.h>

#include "operations/MovePresets.h"

using operations::MovePosition;
using operations::MovePreset;
using operations::PresetPosition;

namespace {

void ExpectAt(MovePosition actual, int x, int y) {
  EXPECT_EQ(x, actual.x);
  EXPECT_EQ(y, actual.y);
}

const RECT kFullHd = {0, 0, 1920, 1080};

}  // namespace

TEST(MovePresetsTest, PutsAWindowIntoEachCornerAndTheCentreOfTheDesktop) {
  ExpectAt(PresetPosition(MovePreset::TopLeft, kFullHd, 400, 300), 0, 0);
  ExpectAt(PresetPosition(MovePreset::TopRight, kFullHd, 400, 300), 1520, 0);
  ExpectAt(PresetPosition(MovePreset::BottomLeft, kFullHd, 400, 300), 0, 780);
  ExpectAt(PresetPosition(MovePreset::BottomRight, kFullHd, 400, 300), 1520, 780);
  ExpectAt(PresetPosition(MovePreset::Center, kFullHd, 400, 300), 760, 390);
  // An odd remainder loses its half pixel.
  ExpectAt(PresetPosition(MovePreset::Center, kFullHd, 401, 301), 759, 389);
}

TEST(MovePresetsTest, WindowsLargerThanTheDesktopGoPastItsLeftAndTopEdges) {
  // 1920 - 1921 = -1: the centre halves toward zero, the right edge keeps the -1.
  ExpectAt(PresetPosition(MovePreset::Center, kFullHd, 1921, 300), 0, 390);
  ExpectAt(PresetPosition(MovePreset::TopRight, kFullHd, 1921, 300), -1, 0);
  // -5 / 2 is -2, not -3.
  ExpectAt(PresetPosition(MovePreset::Center, kFullHd, 1925, 1085), -2, -2);
  ExpectAt(PresetPosition(MovePreset::BottomRight, kFullHd, 1925, 1085), -5, -5);
  ExpectAt(PresetPosition(MovePreset::BottomLeft, kFullHd, 1925, 1085), 0, -5);
}

TEST(MovePresetsTest, EachMonitorsOwnEdgesCountLeftOfAndAboveThePrimaryToo) {
  // Left of the primary monitor, and above it: their left and top take the place of 0, and the
  // centre halves the room toward zero from the monitor's own corner.
  const RECT left = {-1280, 56, 0, 1080}, above = {100, -1024, 1381, 0};
  ExpectAt(PresetPosition(MovePreset::TopLeft, left, 400, 300), -1280, 56);
  ExpectAt(PresetPosition(MovePreset::BottomRight, left, 400, 300), -400, 780);
  ExpectAt(PresetPosition(MovePreset::Center, left, 400, 300), -840, 418);
  ExpectAt(PresetPosition(MovePreset::BottomLeft, above, 400, 301), 100, -301);
  ExpectAt(PresetPosition(MovePreset::Center, above, 1290, 1030), 96, -1027);
}
