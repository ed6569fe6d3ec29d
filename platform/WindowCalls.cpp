#include "platform/WindowCalls.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/Messaging.h"

namespace platform {
namespace {

DWORD ThreadOf(HWND hwnd) { return ::GetWindowThreadProcessId(hwnd, nullptr); }

// Calls waiting for a window thread to recover, one queue and one worker per window thread,
// so calls to the same thread keep their order and one hung program does not hold up calls to
// another.
class DeferredCalls {
 public:
  bool Pending(DWORD thread) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_queues.count(thread) != 0;
  }

  void Add(DWORD thread, std::function<void()> call) {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::deque<std::function<void()>>& queue = m_queues[thread];
    queue.push_back(std::move(call));
    if (queue.size() == 1) std::thread([this, thread] { Work(thread); }).detach();
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
  // A call stays at the front of its queue while it runs, so later calls see it as pending.
  void Work(DWORD thread) {
    for (;;) {
      std::function<void()> call;
      {
        std::lock_guard<std::mutex> lock(m_mutex);
        call = m_queues[thread].front();
      }
      call();
      std::lock_guard<std::mutex> lock(m_mutex);
      std::deque<std::function<void()>>& queue = m_queues[thread];
      queue.pop_front();
      if (queue.empty()) {
        m_queues.erase(thread);
        if (m_queues.empty()) m_idle.notify_all();
        return;
      }
    }
  }

  std::mutex m_mutex;
  std::condition_variable m_idle;
  std::map<DWORD, std::deque<std::function<void()>>> m_queues;
};

// Never destroyed: a worker may still be waiting on a hung program when the process ends.
DeferredCalls& Deferred() {
  static DeferredCalls* calls = new DeferredCalls;
  return *calls;
}

}  // namespace

bool IsOwnThreadWindow(HWND hwnd) { return ThreadOf(hwnd) == ::GetCurrentThreadId(); }

WindowCallRoute ShowWindowNoWait(HWND hwnd, int command) {
  if (IsOwnThreadWindow(hwnd)) {
    ::ShowWindow(hwnd, command);
    return WindowCallRoute::Direct;
  }
  ::ShowWindowAsync(hwnd, command);
  return WindowCallRoute::NoWait;
}

WindowCallRoute SetWindowPosNoWait(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  if (IsOwnThreadWindow(hwnd)) {
    ::SetWindowPos(hwnd, insertAfter, x, y, cx, cy, flags);
    return WindowCallRoute::Direct;
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
  if (thread == ::GetCurrentThreadId()) {
    call();
    return WindowCallRoute::Direct;
  }
  // A window that answers now is called now, unless earlier calls still wait for its thread:
  // they go first.
  if (!Deferred().Pending(thread) && SendMessageBounded(hwnd, WM_NULL, 0, 0, kReadTimeoutMs)) {
    call();
    return WindowCallRoute::Direct;
  }
  if (thread == 0) return WindowCallRoute::Direct;  // not a window any more: nothing to complete
  Deferred().Add(thread, std::move(call));
  return WindowCallRoute::Deferred;
}

WindowCallRoute SetWindowLongNoWait(HWND hwnd, int index, LONG value) {
  return RunOnWindow(hwnd, [hwnd, index, value] { ::SetWindowLongA(hwnd, index, value); });
}

WindowRgnResult SetWindowRgnNoWait(HWND hwnd, UniqueRegion region, bool redraw) {
  // A handle that is no window fails at once; probing it could reach every top-level window.
  if (!::IsWindow(hwnd)) return {WindowCallRoute::Direct, false};
  // The call may outlive this function, so it holds the region and its own outcome.
  auto held = std::make_shared<UniqueRegion>(std::move(region));
  auto accepted = std::make_shared<bool>(false);
  const WindowCallRoute route = RunOnWindow(hwnd, [hwnd, held, accepted, redraw] {
    if (::SetWindowRgn(hwnd, held->get(), redraw ? TRUE : FALSE)) {
      held->release();
      *accepted = true;
    }
  });
  return {route, route == WindowCallRoute::Deferred || *accepted};
}

std::optional<LRESULT> SendOrPost(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT timeoutMs) {
  std::optional<LRESULT> answer = SendMessageBounded(hwnd, message, wParam, lParam, timeoutMs);
  if (!answer && ::IsWindow(hwnd)) ::PostMessageA(hwnd, message, wParam, lParam);
  return answer;
}

bool HasDeferredWindowCalls() { return Deferred().Any(); }

bool WaitForDeferredWindowCalls(DWORD timeoutMs) { return Deferred().WaitIdle(timeoutMs); }

}  // namespace platform
