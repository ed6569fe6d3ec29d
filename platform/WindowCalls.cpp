#include "platform/WindowCalls.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <utility>

#include "platform/ActionBudget.h"
#include "platform/Handles.h"
#include "platform/Messaging.h"

namespace platform {
namespace {

DWORD ThreadOf(HWND hwnd) { return ::GetWindowThreadProcessId(hwnd, nullptr); }

// One call for a worker; done is set once it has run.
struct Job {
  std::function<void()> call;
  UniqueHandle done{::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
};

// Calls waiting for a window thread, one queue and one worker per window thread, so calls to
// the same thread keep their order and one hung program does not hold up calls to another.
class DeferredCalls {
 public:
  std::shared_ptr<Job> Add(DWORD thread, std::function<void()> call) {
    auto job = std::make_shared<Job>();
    job->call = std::move(call);
    std::lock_guard<std::mutex> lock(m_mutex);
    std::deque<std::shared_ptr<Job>>& queue = m_queues[thread];
    queue.push_back(job);
    if (queue.size() == 1) std::thread([this, thread] { Work(thread); }).detach();
    return job;
  }

  bool Pending(DWORD thread) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_queues.count(thread) != 0;
  }

  // A caller gave up waiting for the thread's queue: later calls behind it are not waited for
  // until the queue has run empty.
  void MarkStalled(DWORD thread) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_queues.count(thread) != 0) m_stalled.insert(thread);
  }

  bool Stalled(DWORD thread) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_stalled.count(thread) != 0;
  }

  bool Any() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return !m_queues.empty();
  }

  bool WaitIdle(DWORD timeoutMs) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_idle.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_queues.empty(); });
  }

 private:
  // A job stays at the front of its queue while it runs, so later calls line up behind it.
  void Work(DWORD thread) {
    for (;;) {
      std::shared_ptr<Job> job;
      {
        std::lock_guard<std::mutex> lock(m_mutex);
        job = m_queues[thread].front();
      }
      job->call();
      job->call = nullptr;  // what the call owns goes now, not when the last waiter lets go
      bool last = false;
      {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::deque<std::shared_ptr<Job>>& queue = m_queues[thread];
        queue.pop_front();
        if (queue.empty()) {
          m_queues.erase(thread);
          m_stalled.erase(thread);
          last = true;
          if (m_queues.empty()) m_idle.notify_all();
        }
      }
      // Signalled only once the job has left the queue: whoever waited for it finds it done.
      ::SetEvent(job->done.get());
      if (last) return;
    }
  }

  std::mutex m_mutex;
  std::condition_variable m_idle;
  std::map<DWORD, std::deque<std::shared_ptr<Job>>> m_queues;
  std::set<DWORD> m_stalled;
};

// Never destroyed: a worker may still be waiting on a hung program when the process ends.
DeferredCalls& Deferred() {
  static DeferredCalls* calls = new DeferredCalls;
  return *calls;
}

// Waits for the event while answering messages other threads send to this one, as a
// SendMessage of our own would: the call being waited for may need an answer from us.
bool WaitAnsweringSends(HANDLE event, DWORD timeoutMs) {
  const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
  for (;;) {
    const ULONGLONG now = ::GetTickCount64();
    const DWORD left = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
    const DWORD woke = ::MsgWaitForMultipleObjects(1, &event, FALSE, left, QS_SENDMESSAGE);
    if (woke == WAIT_OBJECT_0) return true;
    if (woke != WAIT_OBJECT_0 + 1) return false;
    MSG msg;
    ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

// How long a caller waits for a call on another thread's window before leaving it to the
// worker: what is left of the action's budget, at most timeoutMs; not at all once the system
// reports the window hung or an earlier caller already gave up on the calls queued before it.
DWORD WaitBound(HWND hwnd, DWORD thread, DWORD timeoutMs) {
  if (::IsHungAppWindow(hwnd) || Deferred().Stalled(thread)) return 0;
  return CActionBudget::Bound(timeoutMs);
}

// Waits for a queued job within the bound and charges the wait to the action's budget.
bool WaitForJob(HWND hwnd, DWORD thread, const Job& job, DWORD timeoutMs) {
  CBudgetedWait wait(WaitBound(hwnd, thread, timeoutMs));
  if (WaitAnsweringSends(job.done.get(), wait.Bound())) return true;
  Deferred().MarkStalled(thread);
  return false;
}

// While earlier calls still wait for the window's thread, a later one lines up behind them on
// the worker: an asynchronous form would overtake them, and a style word written late could
// undo a later hide.
bool MustQueue(DWORD thread) { return Deferred().Pending(thread); }

}  // namespace

bool IsOwnThreadWindow(HWND hwnd) { return ThreadOf(hwnd) == ::GetCurrentThreadId(); }

WindowCallRoute ShowWindowNoWait(HWND hwnd, int command) {
  const DWORD thread = ThreadOf(hwnd);
  if (thread == ::GetCurrentThreadId()) {
    ::ShowWindow(hwnd, command);
    return WindowCallRoute::Direct;
  }
  if (MustQueue(thread)) {
    Deferred().Add(thread, [hwnd, command] { ::ShowWindow(hwnd, command); });
    return WindowCallRoute::Deferred;
  }
  ::ShowWindowAsync(hwnd, command);
  return WindowCallRoute::NoWait;
}

WindowCallRoute SetWindowPosNoWait(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  const DWORD thread = ThreadOf(hwnd);
  if (thread == ::GetCurrentThreadId()) {
    ::SetWindowPos(hwnd, insertAfter, x, y, cx, cy, flags);
    return WindowCallRoute::Direct;
  }
  if (MustQueue(thread)) {
    Deferred().Add(thread, [=] { ::SetWindowPos(hwnd, insertAfter, x, y, cx, cy, flags); });
    return WindowCallRoute::Deferred;
  }
  ::SetWindowPos(hwnd, insertAfter, x, y, cx, cy, flags | SWP_ASYNCWINDOWPOS);
  return WindowCallRoute::NoWait;
}

WindowCallRoute MoveWindowNoWait(HWND hwnd, int x, int y, int width, int height, bool repaint) {
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  if (!repaint) flags |= SWP_NOREDRAW;
  return SetWindowPosNoWait(hwnd, nullptr, x, y, width, height, flags);
}

WindowCallRoute RunOnWindow(HWND hwnd, std::function<void()> call) {
  const DWORD thread = ThreadOf(hwnd);
  if (thread == ::GetCurrentThreadId() || thread == 0) {
    call();
    return WindowCallRoute::Direct;
  }
  const std::shared_ptr<Job> job = Deferred().Add(thread, std::move(call));
  return WaitForJob(hwnd, thread, *job, kReadTimeoutMs) ? WindowCallRoute::Direct : WindowCallRoute::Deferred;
}

WindowCallRoute SetWindowLongNoWait(HWND hwnd, int index, LONG value) {
  return RunOnWindow(hwnd, [hwnd, index, value] { ::SetWindowLongA(hwnd, index, value); });
}

WindowCallRoute WriteStyleWordNoWait(HWND hwnd, int index, DWORD word) {
  constexpr UINT kWholeWindow = RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME;
  // One call, so the caller waits once for both.
  return RunOnWindow(hwnd, [hwnd, index, word] {
    ::SetWindowLongA(hwnd, index, static_cast<LONG>(word));
    ::RedrawWindow(hwnd, nullptr, nullptr, kWholeWindow);
  });
}

WindowRgnResult SetWindowRgnNoWait(HWND hwnd, UniqueRegion region, bool redraw,
                                   std::function<void(bool accepted)> done) {
  // A handle that is no window fails at once; probing it could reach every top-level window.
  if (!::IsWindow(hwnd)) {
    if (done) done(false);
    return {WindowCallRoute::Direct, false};
  }
  // The call may outlive this function, so it holds the region and its own outcome.
  auto held = std::make_shared<UniqueRegion>(std::move(region));
  auto accepted = std::make_shared<bool>(false);
  const WindowCallRoute route = RunOnWindow(hwnd, [hwnd, held, accepted, redraw, done = std::move(done)] {
    if (::SetWindowRgn(hwnd, held->get(), redraw ? TRUE : FALSE)) {
      held->release();
      *accepted = true;
    }
    if (done) done(*accepted);
  });
  return {route, route == WindowCallRoute::Deferred || *accepted};
}

// Measured under wine: a SendMessageTimeout that gives up never delivers the message later,
// neither after waiting out its bound on a busy window (busy 2 s, bound 500 ms: ERROR_TIMEOUT
// after 516 ms) nor at once on a window reported hung (ERROR_TIMEOUT after 11 ms). On Windows a
// send that waited out its bound leaves the message queued, and it is delivered when the
// program recovers. Posting after a time-out would so deliver the command twice on Windows, and
// not posting would lose it under wine. A plain send made by the window thread's worker is
// delivered exactly once on both, in order with the other calls waiting for that thread.
std::optional<LRESULT> SendOrPost(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT timeoutMs) {
  const DWORD thread = ThreadOf(hwnd);
  if (thread == 0) return std::nullopt;
  if (thread == ::GetCurrentThreadId()) return ::SendMessageA(hwnd, message, wParam, lParam);
  auto answer = std::make_shared<LRESULT>(0);
  const std::shared_ptr<Job> job =
      Deferred().Add(thread, [hwnd, message, wParam, lParam, answer] {
        *answer = ::SendMessageA(hwnd, message, wParam, lParam);
      });
  if (!WaitForJob(hwnd, thread, *job, timeoutMs)) return std::nullopt;
  return *answer;
}

bool HasDeferredWindowCalls() { return Deferred().Any(); }

bool WaitForDeferredWindowCalls(DWORD timeoutMs) { return Deferred().WaitIdle(timeoutMs); }

}  // namespace platform
