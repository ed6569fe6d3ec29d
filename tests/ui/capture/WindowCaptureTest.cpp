// The capture methods on windows of the test process, on the test's thread and on a thread of
// their own: picture sizes and contents, the automatic choice, and every window put back as it
// was, also when its thread stops answering in the middle of a capture.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "CaptureTargets.h"
#include "E2eDriver.h"
#include "capture/WindowCapture.h"
#include "platform/Monitors.h"
#include "platform/WindowCalls.h"
#include "support/UiTestSupport.h"

namespace {

using capturetest::kBlue;
using capturetest::kGreen;
using capturetest::kRed;
using capturetest::kWhite;
using capturetest::ExpectSameState;
using capturetest::PixelOf;
using capturetest::ReadState;
using capturetest::TargetThread;
using capturetest::WindowState;

const char kLayeredQuestion[] = "レイヤー情報が取得できません。レイヤーパラメータが失われますが続行しますか?";

class WindowCaptureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_owner = ::CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(m_owner, nullptr);
  }
  void TearDown() override {
    EXPECT_TRUE(platform::WaitForDeferredWindowCalls(10000));
    for (HWND hwnd : m_windows) ::DestroyWindow(hwnd);
    ::DestroyWindow(m_owner);
    m_picture = WindowPicture{};
    m_gdi.ExpectBalanced();
  }

  // Windows to destroy at the end, on whichever thread made them.
  HWND Keep(HWND hwnd) {
    m_windows.push_back(hwnd);
    return hwnd;
  }
  HWND Own(COLORREF colour, int showCommand, DWORD exStyle = 0) {
    return Keep(capturetest::CreateFilledWindow(colour, 100, 120, 240, 160, showCommand, exStyle));
  }
  HWND Other(COLORREF colour, int showCommand, DWORD exStyle = 0) {
    return Keep(m_thread->CreateFilledWindow(colour, 100, 120, 240, 160, showCommand, exStyle));
  }

  void ExpectPicture(LONG width, LONG height, COLORREF centre) {
    EXPECT_EQ(m_picture.width, width);
    EXPECT_EQ(m_picture.height, height);
    ASSERT_NE(m_picture.bitmap, nullptr);
    m_gdi.Watch(m_picture.bitmap.get());
    EXPECT_EQ(PixelOf(m_picture.bitmap.get(), width / 2, height / 2), centre);
  }

  uitest::GdiOwnerBalance m_gdi;
  HWND m_owner = nullptr;
  std::unique_ptr<TargetThread> m_thread = std::make_unique<TargetThread>();
  WindowPicture m_picture;
  std::vector<HWND> m_windows;
};

// Minimises a window the way a user does, from whatever state it is in.
void Minimise(TargetThread* thread, HWND hwnd, bool maximiseFirst) {
  auto work = [=] {
    if (maximiseFirst) ::ShowWindow(hwnd, SW_MAXIMIZE);
    ::ShowWindow(hwnd, SW_MINIMIZE);
  };
  if (thread)
    thread->Run(work);
  else
    work();
}

// The window printed itself standing visible, of rect's size, beyond the bottom right of the
// virtual screen: on no monitor.
void ExpectPrintedOffScreen(HWND hwnd, const RECT& rect) {
  RECT printed = {};
  bool visible = false;
  ASSERT_TRUE(capturetest::LastPrint(hwnd, &printed, &visible)) << "never printed";
  EXPECT_TRUE(visible);
  const RECT screen = platform::VirtualScreenRect();
  EXPECT_EQ(printed.left, screen.right);
  EXPECT_EQ(printed.top, screen.bottom);
  EXPECT_EQ(printed.right - printed.left, rect.right - rect.left);
  EXPECT_EQ(printed.bottom - printed.top, rect.bottom - rect.top);
}

TEST_F(WindowCaptureTest, PrintWindowTakesTheWholeWindowAndADeadTargetChangesNothing) {
  HWND own = Own(kRed, SW_SHOWNOACTIVATE);
  HWND other = Other(kBlue, SW_SHOWNOACTIVATE);
  WindowState ownBefore = ReadState(own);
  WindowState otherBefore = ReadState(other);

  PrintWindowCapture(m_owner, own, m_picture);
  ExpectPicture(240, 160, kRed);
  PrintWindowCapture(m_owner, other, m_picture);
  ExpectPicture(240, 160, kBlue);
  ExpectSameState(ownBefore, ReadState(own));
  ExpectSameState(otherBefore, ReadState(other));

  // A null or closed target: no method touches the picture.
  HBITMAP kept = m_picture.bitmap.get();
  HWND closed = capturetest::CreateFilledWindow(kGreen, 0, 0, 50, 50);
  ::DestroyWindow(closed);
  for (HWND dead : {static_cast<HWND>(nullptr), closed}) {
    PrintWindowCapture(m_owner, dead, m_picture);
    SurfaceCapture(m_owner, dead, m_picture);
    IconicCapture(m_owner, dead, m_picture);
    HideCapture(m_owner, dead, m_picture);
    EXPECT_FALSE(AutoCapture(m_owner, dead, m_picture));
    EXPECT_EQ(m_picture.bitmap.get(), kept);
    EXPECT_EQ(m_picture.width, 240);
  }
}

// A plain, a layered and a maximised-then-minimised window, on this thread and on another.
TEST_F(WindowCaptureTest, IconicCaptureTakesTheNormalSizeAndPutsEveryPropertyBack) {
  struct Case {
    const char* name;
    bool otherThread;
    bool layered;
    DWORD layeredFlags;
    bool maximised;
  };
  const Case cases[] = {
      {"plain", false, false, 0, false},
      {"layered", false, true, LWA_ALPHA | LWA_COLORKEY, false},
      {"layered by colour key alone", false, true, LWA_COLORKEY, false},
      {"maximised", false, false, 0, true},
      {"plain, other thread", true, false, 0, false},
      {"layered, other thread", true, true, LWA_ALPHA | LWA_COLORKEY, false},
      {"layered by colour key alone, other thread", true, true, LWA_COLORKEY, false},
      {"maximised, other thread", true, false, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND hwnd = c.otherThread ? Other(kGreen, SW_SHOWNOACTIVATE) : Own(kGreen, SW_SHOWNOACTIVATE);
    if (c.layered) {
      ::SetWindowLongA(hwnd, GWL_EXSTYLE, ::GetWindowLongA(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
      // Alpha first with its flag, so that it reads back as 200 also when the flags then lack it.
      ASSERT_TRUE(::SetLayeredWindowAttributes(hwnd, RGB(1, 2, 3), 200, LWA_ALPHA));
      ASSERT_TRUE(::SetLayeredWindowAttributes(hwnd, RGB(1, 2, 3), 200, c.layeredFlags));
    }
    Minimise(c.otherThread ? m_thread.get() : nullptr, hwnd, c.maximised);
    WindowState before = ReadState(hwnd);
    ASSERT_TRUE(before.iconic);
    if (c.layered) {
      ASSERT_EQ(before.alpha, 200);
    }
    EXPECT_EQ((before.placement.flags & WPF_RESTORETOMAXIMIZED) != 0, c.maximised);
    const int redraws = capturetest::MessageCount(hwnd, WM_SETREDRAW);

    IconicCapture(m_owner, hwnd, m_picture);
    ASSERT_TRUE(platform::WaitForDeferredWindowCalls(10000));
    ExpectPicture(240, 160, kGreen);
    EXPECT_EQ(capturetest::MessageCount(hwnd, WM_SETREDRAW), redraws + 4) << "the restore cycle did not run";
    ExpectPrintedOffScreen(hwnd, before.placement.rcNormalPosition);
    ExpectSameState(before, ReadState(hwnd));
  }
}

TEST_F(WindowCaptureTest, IconicAndHideCaptureOfAVisibleWindowArePrintWindow) {
  HWND hwnd = Other(kBlue, SW_SHOWNOACTIVATE);
  WindowState before = ReadState(hwnd);
  IconicCapture(m_owner, hwnd, m_picture);
  ExpectPicture(240, 160, kBlue);
  m_picture = WindowPicture();
  HideCapture(m_owner, hwnd, m_picture);
  ExpectPicture(240, 160, kBlue);
  EXPECT_EQ(capturetest::MessageCount(hwnd, WM_SETREDRAW), 0);
  EXPECT_EQ(capturetest::MessageCount(hwnd, WM_WINDOWPOSCHANGING), capturetest::MessageCount(hwnd, WM_WINDOWPOSCHANGED));
  ExpectSameState(before, ReadState(hwnd));

  // A minimised pop-up without a normal size is printed as it is, without the cycle.
  HWND flat = Keep(capturetest::CreateFilledWindow(kRed, 10, 10, 0, 0, SW_SHOWNOACTIVATE, 0, WS_POPUP));
  ::ShowWindow(flat, SW_SHOWMINNOACTIVE);
  WindowState flatBefore = ReadState(flat);
  ASSERT_TRUE(flatBefore.iconic);
  ASSERT_TRUE(::IsRectEmpty(&flatBefore.placement.rcNormalPosition));
  IconicCapture(m_owner, flat, m_picture);
  EXPECT_EQ(m_picture.width, flatBefore.rect.right - flatBefore.rect.left);
  EXPECT_EQ(m_picture.height, flatBefore.rect.bottom - flatBefore.rect.top);
  EXPECT_EQ(capturetest::MessageCount(flat, WM_SETREDRAW), 0);
  ExpectSameState(flatBefore, ReadState(flat));
}

TEST_F(WindowCaptureTest, UnreadableLayeredAttributesAreAskedAboutAndNoChangesNothing) {
  uitest::MessageBoxRecorder boxes;
  HWND hwnd = Other(kRed, SW_SHOWNOACTIVATE);
  // Layered by style alone: the system has no attributes to give back.
  ::SetWindowLongA(hwnd, GWL_EXSTYLE, ::GetWindowLongA(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
  Minimise(m_thread.get(), hwnd, false);
  WindowState before = ReadState(hwnd);
  ASSERT_FALSE(before.layeredRead);
  PrintWindowCapture(m_owner, hwnd, m_picture);
  HBITMAP previous = m_picture.bitmap.get();
  const LONG previousWidth = m_picture.width;

  boxes.QueueAnswer(IDNO);
  IconicCapture(m_owner, hwnd, m_picture);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, kLayeredQuestion);
  EXPECT_EQ(boxes.Boxes()[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
  EXPECT_EQ(m_picture.bitmap.get(), previous);
  EXPECT_EQ(m_picture.width, previousWidth);
  EXPECT_EQ(capturetest::MessageCount(hwnd, WM_SETREDRAW), 0);
  ExpectSameState(before, ReadState(hwnd));

  boxes.QueueAnswer(IDYES);
  IconicCapture(m_owner, hwnd, m_picture);
  ASSERT_TRUE(platform::WaitForDeferredWindowCalls(10000));
  EXPECT_EQ(boxes.Boxes().size(), 2u);
  ExpectPicture(240, 160, kRed);
  WindowState after = ReadState(hwnd);
  ASSERT_TRUE(after.layeredRead);
  EXPECT_EQ(after.colorKey, 0xFFFFFFu);
  EXPECT_EQ(after.alpha, 255);
  EXPECT_EQ(after.layeredFlags, 0u);
  EXPECT_EQ(after.exStyle, before.exStyle);
  EXPECT_EQ(after.style, before.style);
  EXPECT_TRUE(after.iconic);
  EXPECT_TRUE(::EqualRect(&after.rect, &before.rect));
}

TEST_F(WindowCaptureTest, HideCaptureShowsAHiddenWindowOffScreenAndHidesItAgain) {
  for (bool otherThread : {false, true}) {
    SCOPED_TRACE(otherThread ? "other thread" : "this thread");
    HWND hwnd = otherThread ? Other(kBlue, SW_HIDE) : Own(kBlue, SW_HIDE);
    WindowState before = ReadState(hwnd);
    ASSERT_FALSE(before.visible);
    const int shows = capturetest::MessageCount(hwnd, WM_SHOWWINDOW);

    HideCapture(m_owner, hwnd, m_picture);
    ASSERT_TRUE(platform::WaitForDeferredWindowCalls(10000));
    ExpectPicture(240, 160, kBlue);
    EXPECT_GE(capturetest::MessageCount(hwnd, WM_SHOWWINDOW), shows + 2) << "the window was not shown and hidden";
    ExpectPrintedOffScreen(hwnd, before.rect);
    ExpectSameState(before, ReadState(hwnd));
  }
}

TEST_F(WindowCaptureTest, AutoCaptureChoosesTheMethodByTheWindowsState) {
  HWND minimised = Other(kRed, SW_SHOWNOACTIVATE);
  Minimise(m_thread.get(), minimised, false);
  HWND visible = Other(kGreen, SW_SHOWNOACTIVATE);
  HWND hidden = Other(kBlue, SW_HIDE);

  EXPECT_TRUE(AutoCapture(m_owner, minimised, m_picture));
  ASSERT_TRUE(platform::WaitForDeferredWindowCalls(10000));
  ExpectPicture(240, 160, kRed);  // the normal size, not the minimised one
  EXPECT_GT(capturetest::MessageCount(minimised, WM_SETREDRAW), 0);
  EXPECT_TRUE(::IsIconic(minimised));

  EXPECT_TRUE(AutoCapture(m_owner, visible, m_picture));
  ExpectPicture(240, 160, kGreen);
  EXPECT_EQ(capturetest::MessageCount(visible, WM_SETREDRAW), 0);

  const int shows = capturetest::MessageCount(hidden, WM_SHOWWINDOW);
  EXPECT_TRUE(AutoCapture(m_owner, hidden, m_picture));
  ASSERT_TRUE(platform::WaitForDeferredWindowCalls(10000));
  ExpectPicture(240, 160, kBlue);
  EXPECT_GT(capturetest::MessageCount(hidden, WM_SHOWWINDOW), shows);
  EXPECT_FALSE(::IsWindowVisible(hidden));
  EXPECT_EQ(capturetest::MessageCount(hidden, WM_SETREDRAW), 0);
}

// A printed picture black in every pixel is taken from the screen instead; one with a single
// row of colour is kept, wherever the row falls among the bands of 32 rows the check reads from
// the bottom up. The window stands half past the right edge, so the screen's picture is the
// narrower one.
TEST_F(WindowCaptureTest, OnlyAPictureBlackInEveryRowIsTakenFromTheScreenInstead) {
  const RECT screen = platform::VirtualScreenRect();
  for (int height : {31, 32, 33, 64, 65}) {
    for (int row : {-1, 0, height - 33, height - 32, height - 31, height - 1}) {
      if (row < -1 || row >= height) continue;
      SCOPED_TRACE("height " + std::to_string(height) + ", white row " + std::to_string(row));
      HWND black = capturetest::CreateFilledWindow(capturetest::kBlack, screen.right - 100, 200, 240, height,
                                                   SW_SHOWNOACTIVATE, WS_EX_TOPMOST, WS_POPUP);
      if (row >= 0) capturetest::MarkRect(black, RECT{0, row, 240, row + 1}, kWhite);
      EXPECT_TRUE(AutoCapture(m_owner, black, m_picture));
      EXPECT_EQ(m_picture.width, row >= 0 ? 240 : 100);
      EXPECT_EQ(m_picture.height, height);
      ::DestroyWindow(black);
    }
  }
}

TEST_F(WindowCaptureTest, SurfaceCaptureTakesOnlyThePartOnTheDesktop) {
  RECT desktop = {};
  ::GetWindowRect(::GetDesktopWindow(), &desktop);
  const LONG desktopWidth = desktop.right - desktop.left;
  const LONG desktopHeight = desktop.bottom - desktop.top;

  HWND inside = Keep(capturetest::CreateFilledWindow(kRed, 200, 200, 240, 160, SW_SHOWNOACTIVATE, WS_EX_TOPMOST));
  SurfaceCapture(m_owner, inside, m_picture);
  ExpectPicture(240, 160, kRed);

  HWND pastLeft =
      Keep(capturetest::CreateFilledWindow(kGreen, desktop.left - 100, 300, 240, 160, SW_SHOWNOACTIVATE, WS_EX_TOPMOST));
  SurfaceCapture(m_owner, pastLeft, m_picture);
  ExpectPicture(140, 160, kGreen);

  HWND pastBoth = Keep(capturetest::CreateFilledWindow(kBlue, desktop.left - 8, desktop.top - 8, desktopWidth + 16,
                                                       desktopHeight + 16, SW_SHOWNOACTIVATE, WS_EX_TOPMOST));
  SurfaceCapture(m_owner, pastBoth, m_picture);
  ExpectPicture(desktopWidth, desktopHeight, kBlue);

  HWND outside =
      Keep(capturetest::CreateFilledWindow(kRed, desktop.right + 50, 100, 240, 160, SW_SHOWNOACTIVATE, WS_EX_TOPMOST));
  SurfaceCapture(m_owner, outside, m_picture);
  EXPECT_EQ(m_picture.width, 0);
  EXPECT_EQ(m_picture.height, 0);
  EXPECT_EQ(m_picture.bitmap, nullptr);

  // Another program's window past the right edge.
  e2e::FixtureClient fixture;
  ASSERT_TRUE(fixture.Start());
  HWND foreign = fixture.Create("x=" + std::to_string(desktop.right - 90) + " y=600 w=240 h=160 color=0x0000a000");
  ASSERT_TRUE(::IsWindow(foreign));
  SurfaceCapture(m_owner, foreign, m_picture);
  ExpectPicture(90, 160, kGreen);
  fixture.Quit();
}

// Another program's window across the top edge (halves side by side) and across the left edge
// (halves one above the other): the automatic capture shows the part on the screen, every row
// and column of it, so a cropped picture cannot pass for a shrunk or shifted one.
TEST_F(WindowCaptureTest, AWindowAcrossTheTopOrLeftEdgeIsCapturedAsTheScreenShowsIt) {
  e2e::FixtureClient fixture;
  ASSERT_TRUE(fixture.Start());
  struct Probe {
    int x, y;
    COLORREF colour;
  };
  struct Case {
    const char* name;
    const char* window;  // 240 x 200 with frame and caption, 100 px of it past the edge
    const char* half;    // the blue half; the rest is green
    LONG width, height;
    POINT onScreen;      // a client point of the blue half on the screen
    Probe probes[4];     // picture points next to its corners
  };
  // Client points of the probes keep clear of the frame and caption.
  const Case cases[] = {
      {"top", "x=300 y=-100", "x=0 y=0 w=116 h=300", 240, 100, {60, 120},
       {{10, 2, kBlue}, {10, 90, kBlue}, {200, 2, kGreen}, {200, 90, kGreen}}},
      {"left", "x=-100 y=300", "x=0 y=100 w=300 h=200", 140, 200, {150, 150},
       {{2, 40, kGreen}, {130, 40, kGreen}, {2, 150, kBlue}, {130, 150, kBlue}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND hwnd = fixture.Create(std::string(c.window) +
                               " w=240 h=200 show=noactivate exstyle=WS_EX_TOPMOST color=0x0000a000");
    ASSERT_TRUE(::IsWindow(hwnd));
    ASSERT_TRUE(fixture.Command("child parent=" + e2e::HandleText(hwnd) + " " + c.half + " color=0x00ff0000").value);
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ClientPixel(hwnd, c.onScreen.x, c.onScreen.y) == kBlue; }, 3000));
    ASSERT_TRUE(AutoCapture(m_owner, hwnd, m_picture));
    EXPECT_EQ(m_picture.width, c.width);
    EXPECT_EQ(m_picture.height, c.height);
    ASSERT_NE(m_picture.bitmap, nullptr);
    for (const Probe& probe : c.probes)
      EXPECT_EQ(PixelOf(m_picture.bitmap.get(), probe.x, probe.y), probe.colour) << probe.x << "," << probe.y;
  }
  fixture.Quit();
}

// The window's thread stops inside the cycle: the capture returns with a blank picture, and the
// window is put back once the thread goes on.
TEST_F(WindowCaptureTest, AWindowThatStopsAnsweringMidCycleIsPutBackWhenItRecovers) {
  struct Case {
    const char* name;
    bool minimise;
    UINT blockOn;  // a message the cycle makes the window's thread handle
  };
  const Case cases[] = {{"iconic", true, WM_QUERYOPEN}, {"hidden", false, WM_SHOWWINDOW}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND hwnd = Other(kGreen, c.minimise ? SW_SHOWNOACTIVATE : SW_HIDE);
    if (c.minimise) Minimise(m_thread.get(), hwnd, false);
    WindowState before = ReadState(hwnd);

    m_thread->BlockOn(c.blockOn);
    if (c.minimise)
      IconicCapture(m_owner, hwnd, m_picture);
    else
      HideCapture(m_owner, hwnd, m_picture);
    // Returned while the thread is still stopped: nothing waited for it.
    EXPECT_TRUE(m_thread->Blocked());
    EXPECT_TRUE(platform::HasDeferredWindowCalls());
    EXPECT_EQ(m_picture.width, before.rect.right - before.rect.left);
    EXPECT_EQ(m_picture.height, before.rect.bottom - before.rect.top);
    EXPECT_EQ(PixelOf(m_picture.bitmap.get(), m_picture.width / 2, m_picture.height / 2), kWhite);

    m_thread->Release();
    ASSERT_TRUE(platform::WaitForDeferredWindowCalls(10000));
    m_thread->Run([] {});  // let the thread work off what reached it
    ExpectSameState(before, ReadState(hwnd));
  }
}

// The window's thread does not answer from the start: no method prints it or starts a cycle
// (each would wait for the thread without bound); the picture is blank at the window's size.
TEST_F(WindowCaptureTest, AWindowThatDoesNotAnswerIsNeitherPrintedNorChanged) {
  constexpr UINT kStop = WM_APP + 7;
  struct Case {
    const char* name;
    int show;
    void (*method)(HWND, HWND, WindowPicture&);
  };
  const Case cases[] = {{"print", SW_SHOWNOACTIVATE, &PrintWindowCapture},
                        {"iconic", SW_SHOWMINNOACTIVE, &IconicCapture},
                        {"hidden", SW_HIDE, &HideCapture},
                        {"automatic, hidden", SW_HIDE, [](HWND o, HWND t, WindowPicture& p) { AutoCapture(o, t, p); }}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND hwnd = Other(kGreen, c.show);
    WindowState before = ReadState(hwnd);
    const int prints = capturetest::MessageCount(hwnd, WM_PRINT);
    m_thread->BlockOn(kStop);
    ::PostMessageA(hwnd, kStop, 0, 0);
    ASSERT_TRUE(uitest::PumpUntil([&] { return m_thread->Blocked(); }, 5000));

    c.method(m_owner, hwnd, m_picture);
    EXPECT_TRUE(m_thread->Blocked());
    EXPECT_FALSE(platform::HasDeferredWindowCalls()) << "a cycle was started";
    EXPECT_EQ(m_picture.width, before.rect.right - before.rect.left);
    EXPECT_EQ(m_picture.height, before.rect.bottom - before.rect.top);
    EXPECT_EQ(PixelOf(m_picture.bitmap.get(), m_picture.width / 2, m_picture.height / 2), kWhite);

    m_thread->Release();
    m_thread->Run([] {});
    EXPECT_EQ(capturetest::MessageCount(hwnd, WM_PRINT), prints);
    ExpectSameState(before, ReadState(hwnd));
  }
}

}  // namespace
