// Targets for the capture tests: windows of the test process filled with one colour, made on
// the test's own thread or on a thread of their own (to the capture routines such a window is
// like another program's: they reach it only through its message queue). Also what the tests
// read back: a window's whole state and the pixels of a bitmap.
#pragma once
#include <windows.h>

#include <functional>
#include <thread>

#include "WindowState.h"

namespace capturetest {

// The colours the targets are filled with.
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// A top-level window filled with colour; shown with showCommand after creation (SW_HIDE keeps
// it hidden). Created on the calling thread.
HWND CreateFilledWindow(COLORREF colour, int x, int y, int width, int height, int showCommand = SW_SHOWNOACTIVATE,
                        DWORD exStyle = 0, DWORD style = WS_OVERLAPPEDWINDOW);

// Paints the rectangle (client coordinates) of a filled window of this thread in colour, over
// its fill, from now on.
void MarkRect(HWND hwnd, const RECT& rect, COLORREF colour);

// How many times the window got the message since it was created.
int MessageCount(HWND hwnd, UINT message);

// Where the window stood and whether it was visible when it was last asked to print itself;
// false when it never was.
bool LastPrint(HWND hwnd, RECT* rect, bool* visible);

// A user-interface thread of the test process.
class TargetThread {
 public:
  TargetThread();
  ~TargetThread();
  TargetThread(const TargetThread&) = delete;
  TargetThread& operator=(const TargetThread&) = delete;

  // Runs work on the thread and waits for it.
  void Run(const std::function<void()>& work);
  HWND CreateFilledWindow(COLORREF colour, int x, int y, int width, int height, int showCommand = SW_SHOWNOACTIVATE,
                          DWORD exStyle = 0, DWORD style = WS_OVERLAPPEDWINDOW);
  // The next time a window of this thread gets message, the thread stops inside its handling
  // until Release (or 20 s).
  void BlockOn(UINT message);
  void Release();
  // True while the thread is stopped inside a blocked message.
  bool Blocked() const;

 private:
  std::thread m_thread;
  HWND m_hHelper = nullptr;
};

// A window's whole state, compared field by field; fails naming each field that differs.
using e2e::WindowState;
inline WindowState ReadState(HWND hwnd) { return e2e::ReadWindowState(hwnd); }
void ExpectSameState(const WindowState& before, const WindowState& after);

// Colour of one pixel of a bitmap that is not selected anywhere; CLR_INVALID when unreadable.
COLORREF PixelOf(HBITMAP bitmap, int x, int y);

}  // namespace capturetest
