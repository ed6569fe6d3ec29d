// Quorvel on a screen of 144 DPI (run by at-dpi.sh in a wine prefix of its own): the pixel
// figures of the panels scale with their templates, so the capture view's picture starts at
// (15, 105) of its client area and the inspector's at (30, 375).
#include "E2eDriver.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using e2e::HandleText;

constexpr int kListId = 1000;
constexpr int kHandleColumn = 3;
constexpr int kPathLabelId = 1033;
constexpr int kPrintWindowId = 1015;
constexpr int kSurfaceCaptureId = 1017;
constexpr int kMainChildInfoId = 1082;
constexpr COLORREF kRed = RGB(255, 0, 0);

// This test reads the screen in physical pixels, as a per-monitor aware program does.
void BecomeDpiAware() {
  using SetContext = BOOL(WINAPI*)(HANDLE);
  auto set = reinterpret_cast<SetContext>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetProcessDpiAwarenessContext")));
  if (!set || !set(reinterpret_cast<HANDLE>(-4))) SetProcessDPIAware();
}

COLORREF ClientPixel(HWND window, int x, int y) {
  RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW);
  POINT point{x, y};
  ClientToScreen(window, &point);
  HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, point.x, point.y);
  ReleaseDC(nullptr, screen);
  return colour;
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

TEST(DpiTest, At144DpiThePicturesStartWhereTheirTemplatesScaledPutThem) {
  BecomeDpiAware();
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  ASSERT_EQ(dpi, 144) << "the wine prefix is not at 144 DPI";

  e2e::FixtureClient fixture;
  ASSERT_TRUE(fixture.Start());
  // Below the main dialog, which at 144 DPI is some 1040 x 820 pixels at the top-left corner.
  HWND red = fixture.Create("title=\"red at 144\" style=WS_POPUP x=1000 y=850 w=240 h=160 color=0x0000ff");
  ASSERT_TRUE(IsWindow(red));
  // The capture copies the screen: wait until the window is on it.
  ASSERT_TRUE(e2e::WaitUntil([&] {
    RECT rect{};
    GetWindowRect(red, &rect);
    HDC screen = GetDC(nullptr);
    const COLORREF centre = GetPixel(screen, (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    ReleaseDC(nullptr, screen);
    return centre == kRed;
  }, 5000));
  e2e::ChildProcess quorvel;
  ASSERT_TRUE(quorvel.Start(e2e::QuorvelExePath(), {}));
  HWND dialog = e2e::WaitForTopLevelWindow(quorvel.Pid(), "#32770", "Tsuravi", 20000);
  ASSERT_NE(dialog, nullptr);
  HWND panel = nullptr;
  for (HWND child = FindWindowExA(dialog, nullptr, "#32770", nullptr); child;
       child = FindWindowExA(dialog, child, "#32770", nullptr))
    if (GetDlgItem(child, kPrintWindowId)) panel = child;
  ASSERT_NE(panel, nullptr);

  e2e::RemoteListView rows(GetDlgItem(dialog, kListId));
  ASSERT_TRUE(e2e::WaitUntil([&] { return rows.FindRow(kHandleColumn, HandleText(red)) >= 0; }, 8000, 100));
  // The click is handled once the path label, emptied first, is written: the hand-over's last step.
  HWND label = GetDlgItem(dialog, kPathLabelId);
  ASSERT_TRUE(e2e::SendWithTimeout(label, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""), nullptr));
  ASSERT_TRUE(rows.ClickRow(rows.FindRow(kHandleColumn, HandleText(red))));
  ASSERT_TRUE(e2e::WaitUntil([&] { return !e2e::WindowText(label).empty(); }, 5000));
  ASSERT_TRUE(e2e::SendWithTimeout(GetDlgItem(panel, kSurfaceCaptureId), BM_CLICK, 0, 0, nullptr, 10000));
  // 240 x 160 is smaller than the 450 x 300 box: copied pixel for pixel from (15, 105).
  // The view repaints on its own thread: first the copied picture, then where it starts.
  ASSERT_TRUE(e2e::WaitUntil([&] { return ClientPixel(panel, 15 + 120, 105 + 80) == kRed; }, 3000));
  ExpectPictureCorner(panel, {15, 105}, "capture view");
  EXPECT_EQ(ClientPixel(panel, 15, 105), kRed);
  EXPECT_EQ(ClientPixel(panel, 15 + 239, 105 + 159), kRed);
  EXPECT_NE(ClientPixel(panel, 15 + 240, 105 + 80), kRed) << "drawn wider than the window";

  ASSERT_TRUE(e2e::PressButton(GetDlgItem(dialog, kMainChildInfoId)));
  const std::string caption = "子ウィンドウ情報（親ハンドル=" + HandleText(red) + ")";
  HWND inspector = nullptr;
  ASSERT_TRUE(e2e::WaitUntil([&] {
    inspector = e2e::FindTopLevelWindow(quorvel.Pid(), "#32770", caption.c_str());
    return inspector && IsWindowVisible(inspector);
  }, 5000));
  ExpectPictureCorner(inspector, {30, 375}, "inspector");

  e2e::CloseDialogProgram(quorvel, dialog);
  fixture.Quit();
}

}  // namespace
