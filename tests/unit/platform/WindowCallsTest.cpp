// The choice between direct, no-wait and deferred calls, on windows of this thread and of a
// second thread of the test process that can stop reading its messages.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "E2eDriver.h"
#include "platform/ActionBudget.h"
#include "platform/MessageBox.h"
#include "platform/Messaging.h"
#include "platform/WindowCalls.h"

namespace {

using platform::WindowCallRoute;

constexpr UINT kStop = WM_APP + 1;     // posted: the thread stops reading messages until resumed
constexpr UINT kCommand = WM_APP + 2;  // a command; answered with wParam + 1
constexpr UINT kAskBack = WM_APP + 3;  // answered with what the window in lParam answers to kCommand

ATOM RegisterTestClass(const char* name, WNDPROC proc) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = name;
  return ::RegisterClassA(&wc);
}

LRESULT CALLBACK OwnProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kCommand) return static_cast<LRESULT>(wParam + 1);
  return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

// A top-level window on a thread of its own that records, in order, the commands and style
// changes it receives.
class OtherThreadWindow {
 public:
  OtherThreadWindow() {
    m_resume = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE ready = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_thread = std::thread([this, ready] {
      RegisterTestClass("WindowCallsOther", &OtherThreadWindow::Proc);
      m_hWnd = ::CreateWindowExA(0, "WindowCallsOther", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 60, 200, 100,
                                 nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
      ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
      ::SetEvent(ready);
      MSG msg;
      while (::GetMessageA(&msg, nullptr, 0, 0) > 0) ::DispatchMessageA(&msg);
    });
    ::WaitForSingleObject(ready, 5000);
    ::CloseHandle(ready);
  }
  ~OtherThreadWindow() {
    ::SetEvent(m_resume);
    ::PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
    m_thread.join();
    ::CloseHandle(m_resume);
  }
  HWND Get() const { return m_hWnd; }
  void Stop() { ::PostMessageA(m_hWnd, kStop, 0, 0); }
  void Resume() { ::SetEvent(m_resume); }
  std::vector<std::string> Log() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_log;
  }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<OtherThreadWindow*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    switch (msg) {
      case kStop:
        ::WaitForSingleObject(self->m_resume, 20000);
        return 0;
      case kCommand:
        self->Add("command " + std::to_string(wParam));
        return static_cast<LRESULT>(wParam + 1);
      case kAskBack:
        return ::SendMessageA(reinterpret_cast<HWND>(lParam), kCommand, wParam, 0);
      case WM_SHOWWINDOW:
        self->Add(wParam ? "shown" : "hidden");
        break;
      case WM_STYLECHANGED:
        if (wParam == static_cast<WPARAM>(GWL_STYLE)) {
          char text[32];
          wsprintfA(text, "style %08lx", reinterpret_cast<const STYLESTRUCT*>(lParam)->styleNew);
          self->Add(text);
        }
        break;
      case WM_CLOSE:
        ::DestroyWindow(hwnd);
        return 0;
      case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
  }
  void Add(const std::string& entry) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_log.push_back(entry);
  }

  HWND m_hWnd = nullptr;
  HANDLE m_resume;
  std::thread m_thread;
  std::mutex m_mutex;
  std::vector<std::string> m_log;
};

DWORD ElapsedMs(DWORD start) { return ::GetTickCount() - start; }

std::string RectOf(HWND hwnd) {
  RECT r{};
  ::GetWindowRect(hwnd, &r);
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

class OwnWindow {
 public:
  OwnWindow() {
    RegisterTestClass("WindowCallsOwn", OwnProc);
    m_hWnd = ::CreateWindowExA(0, "WindowCallsOwn", "own", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 60, 200, 100,
                               nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  }
  ~OwnWindow() { ::DestroyWindow(m_hWnd); }
  HWND Get() const { return m_hWnd; }

 private:
  HWND m_hWnd;
};

TEST(WindowCalls, AWindowOfThisThreadOrNoWindowGetsEveryCallAtOnce) {
  HWND gone = nullptr;
  {
    OwnWindow own;
    gone = own.Get();
    ASSERT_TRUE(platform::IsOwnThreadWindow(own.Get()));
    EXPECT_EQ(platform::ShowWindowNoWait(own.Get(), SW_HIDE), WindowCallRoute::Direct);
    EXPECT_FALSE(::IsWindowVisible(own.Get()));
    EXPECT_EQ(platform::MoveWindowNoWait(own.Get(), 310, 70, 150, 90, true), WindowCallRoute::Direct);
    EXPECT_EQ(RectOf(own.Get()), "310,70,460,160");
    EXPECT_EQ(platform::SetWindowLongNoWait(own.Get(), GWL_EXSTYLE, WS_EX_TOOLWINDOW), WindowCallRoute::Direct);
    EXPECT_EQ(::GetWindowLongA(own.Get(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW, WS_EX_TOOLWINDOW);
    EXPECT_EQ(platform::SendOrPost(own.Get(), kCommand, 41, 0, 1000), std::optional<LRESULT>(42));
  }
  // On a handle that is no window the call fails at once; nothing is left to complete.
  bool ran = false;
  EXPECT_EQ(platform::RunOnWindow(gone, [&] { ran = true; }), WindowCallRoute::Direct);
  EXPECT_TRUE(ran);
  EXPECT_EQ(platform::SendOrPost(gone, kCommand, 1, 0, 3000), std::nullopt);
  EXPECT_FALSE(platform::HasDeferredWindowCalls());
}

TEST(WindowCalls, AnAnsweringWindowOfAnotherThreadGetsTheNoWaitFormsAndAnswersInTime) {
  OtherThreadWindow other;
  OwnWindow own;
  ASSERT_FALSE(platform::IsOwnThreadWindow(other.Get()));
  EXPECT_EQ(platform::ShowWindowNoWait(other.Get(), SW_HIDE), WindowCallRoute::NoWait);
  EXPECT_EQ(platform::MoveWindowNoWait(other.Get(), 70, 80, 220, 110, true), WindowCallRoute::NoWait);
  EXPECT_TRUE(e2e::WaitUntil([&] { return !::IsWindowVisible(other.Get()) && RectOf(other.Get()) == "70,80,290,190"; }, 3000));

  // Calls without a no-wait form complete before returning when the window answers (a top-level
  // window always keeps WS_CLIPSIBLINGS).
  EXPECT_EQ(platform::SetWindowLongNoWait(other.Get(), GWL_STYLE, WS_POPUP | WS_BORDER), WindowCallRoute::Direct);
  EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(other.Get(), GWL_STYLE)), 0x84800000u);
  EXPECT_EQ(platform::SendOrPost(other.Get(), kCommand, 6, 0, 3000), std::optional<LRESULT>(7));
  // Waiting for the other thread, this one still answers what that thread asks it.
  const DWORD start = ::GetTickCount();
  EXPECT_EQ(platform::SendOrPost(other.Get(), kAskBack, 9, reinterpret_cast<LPARAM>(own.Get()), 3000),
            std::optional<LRESULT>(10));
  EXPECT_LT(ElapsedMs(start), 1000u);
  EXPECT_EQ(other.Log(), (std::vector<std::string>{"hidden", "style 84800000", "command 6"}));
  EXPECT_FALSE(platform::HasDeferredWindowCalls());
}

TEST(WindowCalls, AWindowThatStopsAnsweringGetsItsCallsInOrderOnceItResumes) {
  OtherThreadWindow other;
  other.Stop();
  ::Sleep(100);
  DWORD start = ::GetTickCount();
  EXPECT_EQ(platform::ShowWindowNoWait(other.Get(), SW_HIDE), WindowCallRoute::NoWait);
  EXPECT_EQ(platform::SetWindowPosNoWait(other.Get(), nullptr, 90, 95, 0, 0, SWP_NOSIZE | SWP_NOZORDER),
            WindowCallRoute::NoWait);
  EXPECT_LT(ElapsedMs(start), 500u);
  start = ::GetTickCount();
  EXPECT_EQ(platform::SetWindowLongNoWait(other.Get(), GWL_STYLE, WS_POPUP | WS_CAPTION), WindowCallRoute::Deferred);
  EXPECT_EQ(platform::SendOrPost(other.Get(), kCommand, 1, 0, 300), std::nullopt);
  EXPECT_LT(ElapsedMs(start), 2500u);
  // Calls that have a no-wait form line up behind those waiting, rather than overtake them.
  EXPECT_EQ(platform::ShowWindowNoWait(other.Get(), SW_SHOWNA), WindowCallRoute::Deferred);
  EXPECT_EQ(platform::SetWindowPosNoWait(other.Get(), nullptr, 0, 0, 230, 120, SWP_NOMOVE | SWP_NOZORDER),
            WindowCallRoute::Deferred);
  EXPECT_EQ(platform::SetWindowLongNoWait(other.Get(), GWL_STYLE, WS_POPUP | WS_BORDER), WindowCallRoute::Deferred);
  EXPECT_TRUE(other.Log().empty());
  EXPECT_FALSE(platform::WaitForDeferredWindowCalls(100));

  other.Resume();
  ASSERT_TRUE(platform::WaitForDeferredWindowCalls(5000));
  EXPECT_FALSE(platform::HasDeferredWindowCalls());
  // Each call arrived exactly once, in the order it was made.
  EXPECT_EQ(other.Log(), (std::vector<std::string>{"hidden", "style 84c00000", "command 1", "shown", "style 84800000"}));
  EXPECT_EQ(RectOf(other.Get()), "90,95,320,215");
}

// A window the system reports hung (its thread has read nothing for five seconds) is not waited
// for at all: even the first call of an action goes to the worker at once.
TEST(WindowCalls, AWindowTheSystemReportsHungIsNotWaitedFor) {
  OtherThreadWindow other;
  other.Stop();
  ASSERT_TRUE(e2e::WaitUntil([&] { return ::IsHungAppWindow(other.Get()) != FALSE; }, 9000, 100));
  const DWORD start = ::GetTickCount();
  EXPECT_EQ(platform::SetWindowLongNoWait(other.Get(), GWL_STYLE, WS_POPUP | WS_CAPTION), WindowCallRoute::Deferred);
  EXPECT_LT(ElapsedMs(start), 300u);
  other.Resume();
  ASSERT_TRUE(platform::WaitForDeferredWindowCalls(5000));
  EXPECT_EQ(other.Log(), (std::vector<std::string>{"style 84c00000"}));
}

// A stopped window costs one action no more than its budget however many calls the action
// makes, and the write-and-redraw helper waits once; every call still arrives once, in order.
TEST(WindowCalls, OneActionWaitsForAStoppedWindowOneBudgetInAll) {
  OtherThreadWindow other;
  other.Stop();
  ::Sleep(100);
  DWORD start = ::GetTickCount();
  EXPECT_EQ(platform::WriteStyleWordNoWait(other.Get(), GWL_STYLE, WS_POPUP | WS_CAPTION), WindowCallRoute::Deferred);
  const DWORD once = ElapsedMs(start);
  EXPECT_LT(once, 1500u) << "the style word and its redraw waited twice";
  other.Resume();
  ASSERT_TRUE(platform::WaitForDeferredWindowCalls(5000));

  other.Stop();
  ::Sleep(100);
  start = ::GetTickCount();
  {
    platform::CActionBudget budget(600);
    platform::CActionBudget nested;  // a second one inside the action adds nothing
    EXPECT_EQ(platform::SetWindowLongNoWait(other.Get(), GWL_STYLE, WS_POPUP | WS_BORDER), WindowCallRoute::Deferred);
    // Spent: the message is not even sent, so it never arrives.
    EXPECT_FALSE(platform::SendMessageBounded(other.Get(), kCommand, 7, 0, platform::kReadTimeoutMs));
    EXPECT_EQ(platform::SendOrPost(other.Get(), kCommand, 1, 0, platform::kCommandTimeoutMs), std::nullopt);
    EXPECT_EQ(platform::WriteStyleWordNoWait(other.Get(), GWL_STYLE, WS_POPUP | WS_CAPTION), WindowCallRoute::Deferred);
    EXPECT_TRUE(platform::CActionBudget::Spent());
    // A box the user answers runs actions of its own, and the spent budget is back after it.
    DWORD boundInBox = 0;
    auto old = platform::SetMessageBoxHook([&](HWND, const std::string&, const std::string&, UINT) {
      platform::CActionBudget inBox(300);
      boundInBox = platform::CActionBudget::Bound(1000);
      return IDOK;
    });
    platform::AppMessageBox("");
    platform::SetMessageBoxHook(old);
    EXPECT_EQ(boundInBox, 300u);
    EXPECT_TRUE(platform::CActionBudget::Spent());
  }
  EXPECT_LT(ElapsedMs(start), 1000u);
  EXPECT_FALSE(platform::CActionBudget::Spent()) << "the budget outlived its action";
  other.Resume();
  ASSERT_TRUE(platform::WaitForDeferredWindowCalls(5000));
  EXPECT_EQ(other.Log(), (std::vector<std::string>{"style 84c00000", "style 84800000", "command 1", "style 84c00000"}));
}

// A call or completion that throws costs neither the worker (the calls queued behind it still
// run) nor the process; every completion runs on the thread that made the call: at once when
// the call was in time, from that thread's messages when it was late.
TEST(WindowCalls, ThrowingCallsAndCompletionsAreContainedAndCompletionsRunOnTheCallingThread) {
  OtherThreadWindow other;
  const DWORD self = ::GetCurrentThreadId();
  DWORD inTimeThread = 0;
  EXPECT_EQ(platform::RunOnWindow(other.Get(), [] {}, [&] { inTimeThread = ::GetCurrentThreadId(); }),
            WindowCallRoute::Direct);
  EXPECT_EQ(inTimeThread, self);

  other.Stop();
  ::Sleep(100);
  const HWND window = other.Get();
  std::atomic<DWORD> lateThread{0};
  EXPECT_EQ(platform::RunOnWindow(
                window,
                [window] {
                  ::SendMessageA(window, kCommand, 5, 0);
                  throw std::runtime_error("a call that fails late");
                },
                [] { throw std::runtime_error("a completion that fails"); }),
            WindowCallRoute::Deferred);
  // Not every throw is an exception object: the barrier catches them all.
  EXPECT_EQ(platform::RunOnWindow(
                window,
                [window] {
                  ::SendMessageA(window, kCommand, 7, 0);
                  throw 7;
                },
                [] { throw "a completion that throws a text"; }),
            WindowCallRoute::Deferred);
  EXPECT_EQ(platform::RunOnWindow(
                window, [window] { ::SendMessageA(window, kCommand, 6, 0); },
                [&] { lateThread = ::GetCurrentThreadId(); }),
            WindowCallRoute::Deferred);
  other.Resume();
  ASSERT_TRUE(platform::WaitForDeferredWindowCalls(5000));
  EXPECT_EQ(other.Log(), (std::vector<std::string>{"command 5", "command 7", "command 6"}));
  EXPECT_EQ(lateThread.load(), 0u) << "a late completion ran off this thread's messages";
  const auto ranFromMessages = [&] {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
    return lateThread.load() != 0;
  };
  ASSERT_TRUE(e2e::WaitUntil(ranFromMessages, 3000, 10));
  EXPECT_EQ(lateThread.load(), self);
}

// A system out of threads: the call is refused at once, nothing stays queued for a worker that
// never started, so exit does not wait and the next call to that window is not held behind it.
TEST(WindowCalls, ARefusedWorkerThreadLeavesNoQueueBehind) {
  OtherThreadWindow other;
  const platform::WorkerStart old = platform::SetWorkerStart([](std::function<void()>) { return false; });
  bool ran = false, done = false;
  EXPECT_THROW(platform::RunOnWindow(other.Get(), [&] { ran = true; }, [&] { done = true; }), std::system_error);
  EXPECT_THROW(platform::SendOrPost(other.Get(), kCommand, 1, 0, 1000), std::system_error);
  platform::SetWorkerStart(old);
  EXPECT_FALSE(ran || done);
  EXPECT_FALSE(platform::HasDeferredWindowCalls());
  const DWORD start = ::GetTickCount();
  EXPECT_TRUE(platform::WaitForDeferredWindowCalls(0));
  EXPECT_EQ(platform::SendOrPost(other.Get(), kCommand, 2, 0, 1000), std::optional<LRESULT>(3));
  EXPECT_LT(ElapsedMs(start), 1000u);
  EXPECT_EQ(other.Log(), (std::vector<std::string>{"command 2"}));
}

}  // namespace
