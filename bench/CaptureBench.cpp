// Times the automatic capture of a visible 1920 x 1080 window of this process (the "PrintWindow"
// method and the check that its picture is not all black) against a bare PrintWindow into a
// compatible bitmap, which any picture of the window needs at least. The method adds the bounded
// WM_NULL, the late-bound lookup of PrintWindow, its own owners and the blank check.
//
//   bench_capture [rounds]      (default 15; each round takes 10 pictures each way)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "BenchTiming.h"
#include "capture/WindowCapture.h"

namespace {

using bench::Median;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kPicturesPerRound = 10;

// Seconds one picture takes, averaged over a round.
template <class Work>
double TimePerPicture(Work work) {
  const double start = bench::Now();
  for (int i = 0; i < kPicturesPerRound; ++i) work();
  return (bench::Now() - start) / kPicturesPerRound;
}

// Lets the window be larger than the screen, as on a bigger monitor.
LRESULT CALLBACK TargetProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_GETMINMAXINFO) {
    MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
    info->ptMaxTrackSize.x = std::max<LONG>(info->ptMaxTrackSize.x, kWidth);
    info->ptMaxTrackSize.y = std::max<LONG>(info->ptMaxTrackSize.y, kHeight);
    return 0;
  }
  return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

// A window with something to draw: a frame, a caption, a filled client area and a few controls.
HWND CreateTarget() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = TargetProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.hbrBackground = ::CreateSolidBrush(RGB(64, 128, 192));
  wc.lpszClassName = "QuorvelCaptureBench";
  ::RegisterClassA(&wc);
  HWND hwnd = ::CreateWindowExA(0, wc.lpszClassName, "capture bench", WS_OVERLAPPEDWINDOW, 0, 0, kWidth, kHeight,
                                nullptr, nullptr, wc.hInstance, nullptr);
  for (int i = 0; i < 8; ++i)
    ::CreateWindowExA(0, "BUTTON", "button", WS_CHILD | WS_VISIBLE, 20 + 200 * i, 20, 180, 40, hwnd, nullptr,
                      wc.hInstance, nullptr);
  ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  ::UpdateWindow(hwnd);
  return hwnd;
}

// The least any picture of the window takes: a bitmap, a memory DC and the print.
void BarePrintWindow(HWND owner, HWND target) {
  HDC screen = ::GetDC(owner);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, kWidth, kHeight);
  HDC memory = ::CreateCompatibleDC(screen);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::PrintWindow(target, memory, 0);
  ::SelectObject(memory, old);
  ::DeleteDC(memory);
  ::DeleteObject(bitmap);
  ::ReleaseDC(owner, screen);
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  HWND owner = ::CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  HWND target = CreateTarget();
  RECT rect = {};
  ::GetWindowRect(target, &rect);

  WindowPicture picture;
  AutoCapture(owner, target, picture);  // warm-up of both ways
  BarePrintWindow(owner, target);

  // Rounds alternate so that a busy moment of the machine weighs on both sides alike.
  std::vector<double> methodTimes, bareTimes;
  for (int round = 0; round < rounds; ++round) {
    methodTimes.push_back(TimePerPicture([&] { AutoCapture(owner, target, picture); }));
    bareTimes.push_back(TimePerPicture([&] { BarePrintWindow(owner, target); }));
  }
  const double method = Median(methodTimes);
  const double bare = Median(bareTimes);
  std::printf("window %ld x %ld, picture %ld x %ld\n", rect.right - rect.left, rect.bottom - rect.top, picture.width,
              picture.height);
  std::printf("%16s %16s %8s\n", "AutoCapture ms", "bare print ms", "ratio");
  std::printf("%16.2f %16.2f %8.2f   (target <= 1.20)\n", method * 1000, bare * 1000, method / bare);
  ::DestroyWindow(target);
  ::DestroyWindow(owner);
  return 0;
}
