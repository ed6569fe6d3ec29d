// The late-bound layered-window calls and the taskbar wrappers on a window of this process.
#include <gtest/gtest.h>
#include <windows.h>

#include "mainlist/LayeredCalls.h"
#include "mainlist/Taskbar.h"

namespace {

class OwnWindow {
 public:
  OwnWindow() {
    m_hWnd = ::CreateWindowExA(0, "STATIC", "layered", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 200, 100, nullptr,
                               nullptr, nullptr, nullptr);
  }
  ~OwnWindow() { ::DestroyWindow(m_hWnd); }
  HWND Get() const { return m_hWnd; }

 private:
  HWND m_hWnd;
};

TEST(LayeredCalls, SetThenGetRoundTripsColourKeyAlphaAndFlags) {
  OwnWindow window;
  ::SetWindowLongA(window.Get(), GWL_EXSTYLE, ::GetWindowLongA(window.Get(), GWL_EXSTYLE) | WS_EX_LAYERED);
  ASSERT_TRUE(CallSetLayeredWindowAttributes(window.Get(), RGB(1, 2, 3), 77, LWA_COLORKEY | LWA_ALPHA));
  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(CallGetLayeredWindowAttributes(window.Get(), &key, &alpha, &flags));
  EXPECT_EQ(key, RGB(1, 2, 3));
  EXPECT_EQ(alpha, 77);
  EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY | LWA_ALPHA));
}

TEST(LayeredCalls, FailOnAWindowThatIsNotLayered) {
  OwnWindow window;
  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  EXPECT_FALSE(CallGetLayeredWindowAttributes(window.Get(), &key, &alpha, &flags));
  EXPECT_FALSE(CallSetLayeredWindowAttributes(nullptr, 0, 255, LWA_ALPHA));
}

TEST(Taskbar, AddAndDeleteReportTheShellsAnswer) {
  OwnWindow window;
  EXPECT_EQ(TaskbarAddTab(window.Get()), 1);
  EXPECT_EQ(TaskbarDeleteTab(window.Get()), 1);
  // COM is left as it was found: a later use on this thread works the same.
  EXPECT_EQ(TaskbarAddTab(window.Get()), 1);
}

}  // namespace
