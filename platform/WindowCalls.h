// Calls that change a window which may belong to another program. Such calls wait for the
// window's thread, so a hung or busy program would freeze Quorvel with them. Every panel goes
// through these instead of calling ShowWindow, SetWindowPos, MoveWindow, SetWindowLongA,
// SetLayeredWindowAttributes, SetWindowRgn or SetWindowPlacement on a target directly:
//   * a window of the calling thread gets the direct call (it cannot wait on itself);
//   * a window of another thread gets the form that does not wait (ShowWindowAsync,
//     SWP_ASYNCWINDOWPOS), or, for calls without one, the call is made by a worker thread
//     while the caller waits a bounded time for it; when the window's thread does not answer
//     in that time the caller goes on and the worker completes the call once the program
//     recovers. The display's next tick shows the real state.
#pragma once
#include <windows.h>

#include <functional>
#include <optional>

#include "platform/Handles.h"

namespace platform {

// How a call on a window was made.
enum class WindowCallRoute {
  Direct,    // completed before the function returned: the window is ours or it answered in time
  NoWait,    // another thread's window, through a form that does not wait for it
  Deferred,  // another thread's window that did not answer: completed later by a worker
};

// True when hwnd belongs to the calling thread.
bool IsOwnThreadWindow(HWND hwnd);

// ShowWindow, or ShowWindowAsync for another thread's window. While earlier calls still wait
// for that thread (see RunOnWindow), the call lines up behind them instead, so calls to one
// window always take effect in the order they were made; the same holds for SetWindowPosNoWait.
WindowCallRoute ShowWindowNoWait(HWND hwnd, int command);
// SetWindowPos, with SWP_ASYNCWINDOWPOS added for another thread's window.
WindowCallRoute SetWindowPosNoWait(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
// MoveWindow as a SetWindowPos (no z-order change, no activation).
WindowCallRoute MoveWindowNoWait(HWND hwnd, int x, int y, int width, int height, bool repaint);

// Runs a call that has no asynchronous form: at once for a window of the calling thread (or a
// handle that is no window, on which it fails at once); otherwise on the worker of the
// window's thread, behind the calls already waiting there, while the caller waits up to
// kReadTimeoutMs, and no longer than what is left of the action's budget (not at all for a window
// the system reports hung, nor behind earlier calls a caller already stopped waiting for). The
// call must own whatever it needs (it may run after the caller has returned).
// done, when given, runs on the calling thread once the call has been made: before this returns
// when the call completed in time, otherwise from that thread's message loop (so it may touch
// dialog state, and must not assume its dialog still exists). A call or done that throws is
// traced and goes no further; the worker and the process go on. When the system refuses to
// start a worker, nothing is queued and std::system_error is thrown.
WindowCallRoute RunOnWindow(HWND hwnd, std::function<void()> call, std::function<void()> done = nullptr);
// SetWindowLongA through RunOnWindow.
WindowCallRoute SetWindowLongNoWait(HWND hwnd, int index, LONG value);
// A new style word (GWL_STYLE or GWL_EXSTYLE), then a redraw of the whole window, frame
// included, so the window shows it; both in one call through RunOnWindow, in that order, so the
// caller waits once.
WindowCallRoute WriteStyleWordNoWait(HWND hwnd, int index, DWORD word);

// SetWindowRgn through RunOnWindow. The window manager owns the region once it accepted it;
// a refused region is deleted. accepted tells whether a call made now succeeded; a deferred
// call counts as accepted (its outcome shows later, as the window's region). done, when given,
// learns the real outcome once the call has been made, on the calling thread (as RunOnWindow's).
struct WindowRgnResult {
  WindowCallRoute route;
  bool accepted;
};
WindowRgnResult SetWindowRgnNoWait(HWND hwnd, UniqueRegion region, bool redraw,
                                   std::function<void(bool accepted)> done = nullptr);

// Sends a command whose answer Quorvel can do without. The message is delivered exactly once,
// even when the window does not answer within the bound (not waited for at all when the
// system reports it hung): then it arrives once the program recovers. Returns the answer when
// one came in time; empty otherwise and for a handle that is no window.
std::optional<LRESULT> SendOrPost(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT timeoutMs);

// True while calls handed to workers have not all completed.
bool HasDeferredWindowCalls();
// Waits until every deferred call has completed; false when timeoutMs passed first.
bool WaitForDeferredWindowCalls(DWORD timeoutMs);

// Starts a thread running work; false when the system refused to start one.
using WorkerStart = bool (*)(std::function<void()> work);
// Replaces how workers are started (tests play a system out of threads); null restores the
// system's own. Returns the previous one.
WorkerStart SetWorkerStart(WorkerStart start);

// How long a closing Quorvel stays, windowless, to finish the calls it promised to windows that
// were not answering (put-backs of capture cycles among them).
constexpr DWORD kExitGraceMs = 5 * 60 * 1000;

}  // namespace platform
