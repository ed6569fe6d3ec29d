// Where views open: beside the main dialog, covering neither it nor each other while the work
// area has room, and inside the work area when it has none.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "platform/ViewPlacement.h"

namespace {

bool Overlap(const RECT& a, const RECT& b) {
  RECT both{};
  return ::IntersectRect(&both, &a, &b) != FALSE;
}

TEST(ViewPlacement, ViewsOpenBesideTheOwnerAndEachOtherUntilTheScreenIsFullThenStayOnIt) {
  const RECT work{0, 0, 1280, 1024};
  const RECT owner{0, 0, 500, 400};
  std::vector<RECT> views;
  // The first opens right of the owner, level with its top.
  const POINT first = platform::ChooseViewPlace(SIZE{300, 250}, owner, views, work, 0);
  EXPECT_EQ(first.x, 500);
  EXPECT_EQ(first.y, 0);
  // Seven views of 300 x 250 (the case that stacked 24 px apart): none covers the owner or
  // another, all inside the work area.
  for (int i = 0; i < 7; ++i) {
    const POINT at = platform::ChooseViewPlace(SIZE{300, 250}, owner, views, work, 24 * i);
    const RECT placed{at.x, at.y, at.x + 300, at.y + 250};
    EXPECT_FALSE(Overlap(placed, owner)) << i;
    for (const RECT& other : views) EXPECT_FALSE(Overlap(placed, other)) << i;
    EXPECT_TRUE(placed.left >= work.left && placed.top >= work.top && placed.right <= work.right && placed.bottom <= work.bottom) << i;
    views.push_back(placed);
  }
  // A view that only just fits (to the pixel) beside the owner goes there; one a pixel wider
  // covers the least it can: a pixel column of the owner.
  const RECT narrow{0, 0, 800, 300};
  const POINT exact = platform::ChooseViewPlace(SIZE{300, 300}, RECT{0, 0, 500, 300}, {}, narrow, 0);
  EXPECT_EQ(exact.x, 500);
  EXPECT_EQ(exact.y, 0);
  const POINT wider = platform::ChooseViewPlace(SIZE{301, 300}, RECT{0, 0, 500, 300}, {}, narrow, 24);
  EXPECT_EQ(wider.x, 800 - 301);
  EXPECT_EQ(wider.y, 0);
  // A window over the middle of the owner (the inspector) leaves no free place for a large
  // view: it covers the least of it and nothing of the owner, rather than stacking.
  const RECT middle{302, 264, 978, 760};
  const POINT large = platform::ChooseViewPlace(SIZE{761, 417}, RECT{0, 0, 732, 549}, {middle}, work, 0);
  const RECT largeAt{large.x, large.y, large.x + 761, large.y + 417};
  EXPECT_FALSE(Overlap(largeAt, RECT{0, 0, 732, 549}));
  EXPECT_EQ(large.y, 1024 - 417);
  // Larger than the work area: kept inside as far as it goes.
  const POINT huge = platform::ChooseViewPlace(SIZE{2000, 300}, RECT{0, 0, 500, 300}, {}, narrow, 24);
  EXPECT_EQ(huge.x, 0);
  EXPECT_EQ(huge.y, 0);
  // A work area left of and above the primary monitor (negative coordinates).
  const RECT left{-1280, -200, 0, 824};
  const POINT there = platform::ChooseViewPlace(SIZE{300, 250}, RECT{-1280, -200, -780, 200}, {}, left, 0);
  EXPECT_EQ(there.x, -780);
  EXPECT_EQ(there.y, -200);
}

}  // namespace
