// Quorvel on a screen of 144 DPI (run by at-dpi.sh in a wine prefix of its own): the pixel
// figures of the panels scale with their templates, so the capture view's picture starts at
// (15, 105) of its client area and the inspector's at (30, 375).
#include "E2eDriver.h"
#include "E2eSuite.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using e2e::ClientPixel;

constexpr COLORREF kRed = RGB(255, 0, 0);

// This test reads the screen in physical pixels, as a per-monitor aware program does.
void BecomeDpiAware() {
  using SetContext = BOOL(WINAPI*)(HANDLE);
  auto set = reinterpret_cast<SetContext>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetProcessDpiAwarenessContext")));
  if (!set || !set(reinterpret_cast<HANDLE>(-4))) SetProcessDPIAware();
}

// The picture's top-left pixel is at corner: it has the picture's colour (taken well inside
// it), and the pixels left of it and above it do not.
void ExpectPictureCorner(HWND window, POINT corner, const char* what) {
  COLORREF inside = CLR_INVALID;
  ASSERT_TRUE(e2e::WaitUntil([&] {
    inside = ClientPixel(window, corner.x + 60, corner.y + 60);
    return ClientPixel(window, corner.x, corner.y) == inside && ClientPixel(window, corner.x - 1, corner.y) != inside &&
           ClientPixel(window, corner.x, corner.y - 1) != inside;
  }, 3000)) << what << ": no picture starting at " << corner.x << "," << corner.y << " (" << std::hex
            << ClientPixel(window, corner.x, corner.y) << " there, " << inside << " inside, "
            << ClientPixel(window, corner.x - 1, corner.y) << " left, " << ClientPixel(window, corner.x, corner.y - 1)
            << " above)";
}

using DpiTest = e2e::E2eSuite;

TEST_F(DpiTest, At144DpiThePicturesStartWhereTheirTemplatesScaledPutThem) {
  BecomeDpiAware();
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  ASSERT_EQ(dpi, 144) << "the wine prefix is not at 144 DPI";

  // Below the main dialog, which at 144 DPI is some 1040 x 820 pixels at the top-left corner.
  HWND red = fixture.Create("title=\"red at 144\" style=WS_POPUP x=1000 y=850 w=240 h=160 color=0x0000ff");
  ASSERT_TRUE(IsWindow(red));
  // The capture copies the screen: wait until the window is on it.
  ASSERT_TRUE(e2e::WaitUntil([&] { return ClientPixel(red, 120, 80) == kRed; }, 5000));
  ASSERT_NO_FATAL_FAILURE(StartQuorvel(20000));
  HWND panel = e2e::DialogHolding(dialog, IDC_CPT_SAVEPICTURE);  // 1015 to 1019 are the operations panel's too
  ASSERT_NE(panel, nullptr);

  // The row click's automatic capture copies the window from the screen.
  ASSERT_NO_FATAL_FAILURE(ClickRow(red));
  // 240 x 160 is smaller than the 450 x 300 box: copied pixel for pixel from (15, 105).
  // The view repaints on its own thread: first the copied picture, then where it starts.
  ASSERT_TRUE(e2e::WaitUntil([&] { return ClientPixel(panel, 15 + 120, 105 + 80) == kRed; }, 3000));
  ExpectPictureCorner(panel, {15, 105}, "capture view");
  EXPECT_EQ(ClientPixel(panel, 15, 105), kRed);
  EXPECT_EQ(ClientPixel(panel, 15 + 239, 105 + 159), kRed);
  EXPECT_NE(ClientPixel(panel, 15 + 240, 105 + 80), kRed) << "drawn wider than the window";

  HWND inspector = OpenInspector(red);
  ASSERT_NE(inspector, nullptr);
  ExpectPictureCorner(inspector, {30, 375}, "inspector");
}

}  // namespace
