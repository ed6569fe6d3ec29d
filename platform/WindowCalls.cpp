#include "platform/WindowCalls.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <system_error>
#include <utility>

#include "platform/ActionBudget.h"
#include "platform/Handles.h"
#include "platform/Messaging.h"
#include "platform/WorkerThread.h"

namespace platform {
namespace {

DWORD ThreadOf(HWND hwnd) { return ::GetWindowThreadProcessId(hwnd, nullptr); }

// Runs work behind a barrier: a worker or a message loop of ours goes on whatever the work
// throws, and the failure is traced.
void RunGuarded(const char* what, const std::function<void()>& work) {
  try {
    work();
  } catch (const std::exception& failure) {
    std::printf("WindowCalls: %s failed: %s\n", what, failure.what());
    std::fflush(stdout);
  } catch (...) {
    std::printf("WindowCalls: %s failed: unknown exception\n", what);
    std::fflush(stdout);
  }
}

WorkerStart g_workerStart = StartWorkerThread;

// What runs on a calling thread once its call has been made: one message-only window per
// thread, which runs the completions posted to it from that thread's message loop.
class Completions {
 public:
  // The window of the calling thread; made on first use. Null when it cannot be made.
  HWND WindowOfThisThread() {
    static const bool registered = [] {
      WNDCLASSA wc{};
      wc.lpfnWndProc = Proc;
      wc.hInstance = ::GetModuleHandleA(nullptr);
      wc.lpszClassName = kClassName;
      return ::RegisterClassA(&wc) != 0;
    }();
    if (!registered) return nullptr;
    const DWORD self = ::GetCurrentThreadId();
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      auto known = m_windows.find(self);
      // A thread id comes back on a new thread once the old one has gone with its window.
      if (known != m_windows.end() && ::IsWindow(known->second) && ThreadOf(known->second) == self)
        return known->second;
    }
    HWND window = ::CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (window) m_windows[self] = window;
    return window;
  }

  void Post(HWND window, std::function<void()> done) {
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_pending[window].push_back(std::move(done));
    }
    ::PostMessageA(window, kRunCompletions, 0, 0);
  }

 private:
  static constexpr UINT kRunCompletions = WM_APP + 1;
  static constexpr char kClassName[] = "QuorvelWindowCallsDone";

  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  void RunPending(HWND window) {
    std::deque<std::function<void()>> ready;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      auto pending = m_pending.find(window);
      if (pending == m_pending.end()) return;
      ready.swap(pending->second);
      m_pending.erase(pending);
    }
    for (const std::function<void()>& done : ready) RunGuarded("a completion", done);
  }

  std::mutex m_mutex;
  std::map<DWORD, HWND> m_windows;
  std::map<HWND, std::deque<std::function<void()>>> m_pending;
};

// Never destroyed, as the worker calls that post to it.
Completions& ThreadCompletions() {
  static Completions* completions = new Completions;
  return *completions;
}

LRESULT CALLBACK Completions::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kRunCompletions) return ::DefWindowProcA(hwnd, message, wParam, lParam);
  ThreadCompletions().RunPending(hwnd);
  return 0;
}

// One call for a worker; done is set once it has run.
struct Job {
  std::function<void()> call;
  // Runs on the calling thread after the call: by the caller when it was still waiting,
  // otherwise posted to completionWindow. Both fields are guarded by the calls' lock.
  std::function<void()> completion;
  HWND completionWindow = nullptr;
  bool finished = false;
  UniqueHandle done{::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
};

// Calls waiting for a window thread, one queue and one worker per window thread, so calls to
// the same thread keep their order and one hung program does not hold up calls to another.
class DeferredCalls {
 public:
  // Queues the call; throws std::system_error, with nothing queued, when no worker can start.
  std::shared_ptr<Job> Add(DWORD thread, std::function<void()> call, std::function<void()> completion = nullptr) {
    auto job = std::make_shared<Job>();
    job->call = std::move(call);
    job->completion = std::move(completion);
    std::lock_guard<std::mutex> lock(m_mutex);
    std::deque<std::shared_ptr<Job>>& queue = m_queues[thread];
    queue.push_back(job);
    if (queue.size() == 1 && !g_workerStart([this, thread] { Work(thread); })) {
      // Nothing would ever run this queue: later calls must not line up behind it, nor exit wait for it.
      m_queues.erase(thread);
      m_stalled.erase(thread);
      if (m_queues.empty()) m_idle.notify_all();
      throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again),
                              "no worker thread for a window's calls");
    }
    return job;
  }

  // The caller is done waiting: the completion when the call has been made (the caller runs
  // it), else nothing, and the worker posts it to window once the call has been made.
  std::function<void()> TakeCompletion(Job& job, HWND window) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (job.finished) return std::move(job.completion);
    job.completionWindow = window;
    return nullptr;
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
      RunGuarded("a deferred window call", job->call);
      job->call = nullptr;  // what the call owns goes now, not when the last waiter lets go
      bool last = false;
      HWND completionWindow = nullptr;
      std::function<void()> completion;
      {
        std::lock_guard<std::mutex> lock(m_mutex);
        job->finished = true;
        if (job->completionWindow) {
          completionWindow = job->completionWindow;
          completion = std::move(job->completion);
        }
        std::deque<std::shared_ptr<Job>>& queue = m_queues[thread];
        queue.pop_front();
        if (queue.empty()) {
          m_queues.erase(thread);
          m_stalled.erase(thread);
          last = true;
          if (m_queues.empty()) m_idle.notify_all();
        }
      }
      if (completion) ThreadCompletions().Post(completionWindow, std::move(completion));
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

WindowCallRoute RunOnWindow(HWND hwnd, std::function<void()> call, std::function<void()> done) {
  const DWORD thread = ThreadOf(hwnd);
  if (thread == ::GetCurrentThreadId() || thread == 0) {
    call();
    if (done) done();
    return WindowCallRoute::Direct;
  }
  // Made before the call is queued, on this thread, which is the one that must run done.
  const HWND doneWindow = done ? ThreadCompletions().WindowOfThisThread() : nullptr;
  const std::shared_ptr<Job> job = Deferred().Add(thread, std::move(call), std::move(done));
  const bool inTime = WaitForJob(hwnd, thread, *job, kReadTimeoutMs);
  if (const std::function<void()> now = Deferred().TakeCompletion(*job, doneWindow)) now();
  return inTime ? WindowCallRoute::Direct : WindowCallRoute::Deferred;
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
  std::function<void()> outcome;
  if (done) outcome = [accepted, done = std::move(done)] { done(*accepted); };
  const WindowCallRoute route = RunOnWindow(
      hwnd,
      [hwnd, held, accepted, redraw] {
        if (::SetWindowRgn(hwnd, held->get(), redraw ? TRUE : FALSE)) {
          held->release();
          *accepted = true;
        }
      },
      std::move(outcome));
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

WorkerStart SetWorkerStart(WorkerStart start) {
  const WorkerStart old = g_workerStart;
  g_workerStart = start ? start : StartWorkerThread;
  return old;
}

bool WaitForDeferredWindowCalls(DWORD timeoutMs) { return Deferred().WaitIdle(timeoutMs); }

}  // namespace platform
