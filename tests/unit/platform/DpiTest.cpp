// The 96-DPI pixel figures at other DPIs (a window's DPI is read at 144 end to end).
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/Dpi.h"

TEST(Dpi, FiguresScaleByMulDivAndStayThemselvesAt96) {
  using platform::ScaleForDpi;
  EXPECT_EQ(ScaleForDpi(300, 96), 300);
  EXPECT_EQ(ScaleForDpi(300, 144), 450);
  EXPECT_EQ(ScaleForDpi(300, 192), 600);
  EXPECT_EQ(ScaleForDpi(35, 120), 44);  // 43.75 rounds to nearest, as MulDiv does
  EXPECT_EQ(ScaleForDpi(-3, 144), -5);  // -4.5 rounds away from zero
  const POINT corner = ScaleForDpi(POINT{10, 70}, 144);
  EXPECT_EQ(corner.x, 15);
  EXPECT_EQ(corner.y, 105);
  const RECT area = ScaleForDpi(RECT{20, 250, 320, 450}, 144);
  const RECT expected{30, 375, 480, 675};
  EXPECT_TRUE(::EqualRect(&area, &expected));
}
