#include "CaptureTargets.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <map>
#include <mutex>

#include "platform/Handles.h"

namespace capturetest {
namespace {

const char kTargetClass[] = "QuorvelCaptureTarget";
const char kHelperClass[] = "QuorvelCaptureHelper";
constexpr UINT kRunWork = WM_APP + 1;

std::mutex g_countsMutex;
std::map<std::pair<HWND, UINT>, int> g_counts;

// Rectangles painted over a window's fill, in client coordinates, with their colour.
std::map<HWND, std::pair<RECT, COLORREF>> g_marks;

struct PrintSeen {
  RECT rect;
  bool visible;
};
std::map<HWND, PrintSeen> g_prints;

std::atomic<UINT> g_blockMessage{0};
std::atomic<bool> g_blocked{false};
HANDLE ReleaseEvent() {
  static HANDLE event = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
  return event;
}

void Fill(HWND hwnd, HDC dc) {
  RECT client = {};
  ::GetClientRect(hwnd, &client);
  platform::UniqueBrush brush(platform::MakeSolidBrush(static_cast<COLORREF>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA))));
  ::FillRect(dc, &client, brush.get());
  std::pair<RECT, COLORREF> mark{};
  {
    std::lock_guard<std::mutex> lock(g_countsMutex);
    const auto found = g_marks.find(hwnd);
    if (found == g_marks.end()) return;
    mark = found->second;
  }
  platform::UniqueBrush markBrush(platform::MakeSolidBrush(mark.second));
  ::FillRect(dc, &mark.first, markBrush.get());
}

LRESULT CALLBACK TargetProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  {
    std::lock_guard<std::mutex> lock(g_countsMutex);
    ++g_counts[{hwnd, message}];
  }
  UINT block = message;
  if (message != 0 && g_blockMessage.compare_exchange_strong(block, 0)) {
    g_blocked = true;
    ::WaitForSingleObject(ReleaseEvent(), 20000);
    g_blocked = false;
  }
  switch (message) {
    case WM_NCCREATE:
      ::SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
      break;
    case WM_PRINT: {
      PrintSeen seen = {};
      ::GetWindowRect(hwnd, &seen.rect);
      seen.visible = ::IsWindowVisible(hwnd) != FALSE;
      std::lock_guard<std::mutex> lock(g_countsMutex);
      g_prints[hwnd] = seen;
      break;
    }
    case WM_ERASEBKGND:
      Fill(hwnd, reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_PRINTCLIENT:
      Fill(hwnd, reinterpret_cast<HDC>(wParam));
      return 0;
  }
  return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK HelperProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kRunWork) {
    (*reinterpret_cast<const std::function<void()>*>(lParam))();
    return 0;
  }
  return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

void RegisterClasses() {
  static bool registered = [] {
    WNDCLASSA target = {};
    target.lpfnWndProc = TargetProc;
    target.hInstance = ::GetModuleHandleA(nullptr);
    target.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    target.lpszClassName = kTargetClass;
    ::RegisterClassA(&target);
    WNDCLASSA helper = {};
    helper.lpfnWndProc = HelperProc;
    helper.hInstance = ::GetModuleHandleA(nullptr);
    helper.lpszClassName = kHelperClass;
    ::RegisterClassA(&helper);
    return true;
  }();
  (void)registered;
}

}  // namespace

void MarkRect(HWND hwnd, const RECT& rect, COLORREF colour) {
  {
    std::lock_guard<std::mutex> lock(g_countsMutex);
    g_marks[hwnd] = {rect, colour};
  }
  ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

HWND CreateFilledWindow(COLORREF colour, int x, int y, int width, int height, int showCommand, DWORD exStyle,
                        DWORD style) {
  RegisterClasses();
  HWND hwnd = ::CreateWindowExA(exStyle, kTargetClass, "capture target", style, x, y, width, height, nullptr, nullptr,
                                ::GetModuleHandleA(nullptr), reinterpret_cast<void*>(static_cast<UINT_PTR>(colour)));
  if (hwnd && showCommand != SW_HIDE) {
    ::ShowWindow(hwnd, showCommand);
    ::UpdateWindow(hwnd);
  }
  return hwnd;
}

int MessageCount(HWND hwnd, UINT message) {
  std::lock_guard<std::mutex> lock(g_countsMutex);
  auto found = g_counts.find({hwnd, message});
  return found == g_counts.end() ? 0 : found->second;
}

bool LastPrint(HWND hwnd, RECT* rect, bool* visible) {
  std::lock_guard<std::mutex> lock(g_countsMutex);
  auto found = g_prints.find(hwnd);
  if (found == g_prints.end()) return false;
  *rect = found->second.rect;
  *visible = found->second.visible;
  return true;
}

TargetThread::TargetThread() {
  RegisterClasses();
  std::promise<HWND> helper;
  std::future<HWND> ready = helper.get_future();
  m_thread = std::thread([&helper] {
    HWND hwnd = ::CreateWindowExA(0, kHelperClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
    helper.set_value(hwnd);
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
    ::DestroyWindow(hwnd);
  });
  m_hHelper = ready.get();
}

TargetThread::~TargetThread() {
  Release();
  ::PostMessageA(m_hHelper, WM_QUIT, 0, 0);
  m_thread.join();
}

void TargetThread::Run(const std::function<void()>& work) {
  ::SendMessageA(m_hHelper, kRunWork, 0, reinterpret_cast<LPARAM>(&work));
}

HWND TargetThread::CreateFilledWindow(COLORREF colour, int x, int y, int width, int height, int showCommand,
                                      DWORD exStyle, DWORD style) {
  HWND hwnd = nullptr;
  Run([&] { hwnd = capturetest::CreateFilledWindow(colour, x, y, width, height, showCommand, exStyle, style); });
  return hwnd;
}

void TargetThread::BlockOn(UINT message) { g_blockMessage = message; }

void TargetThread::Release() {
  g_blockMessage = 0;
  ::SetEvent(ReleaseEvent());
  // The event resets itself when it frees a waiter; with none waiting it must not stay set.
  for (int i = 0; i < 100 && g_blocked; ++i) ::Sleep(10);
  ::ResetEvent(ReleaseEvent());
}

bool TargetThread::Blocked() const { return g_blocked; }

void ExpectSameState(const WindowState& before, const WindowState& after) {
  EXPECT_EQ(e2e::WindowStateDifferences(before, after), "");
}

COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
  if (!bitmap) return CLR_INVALID;
  platform::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  platform::CSelectObjectGuard select(dc.get(), bitmap);
  return ::GetPixel(dc.get(), x, y);
}

}  // namespace capturetest
