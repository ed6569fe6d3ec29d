// Messages sent to windows of other programs never wait without a bound: a window whose
// thread does not answer makes the call fail instead of freezing Quorvel.
#pragma once
#include <windows.h>
#include <optional>

namespace platform {

// Reads such as WM_GETICON.
constexpr UINT kReadTimeoutMs = 1000;
// Commands such as WM_CLOSE, WM_SYSCOMMAND or WM_QUERYENDSESSION.
constexpr UINT kCommandTimeoutMs = 3000;

// How a bounded send ended.
enum class SendStatus {
  Answered,
  TimedOut,  // the window's thread did not answer in time, or is reported hung
  Failed,    // not a window, or the system refused the call
};

struct SendOutcome {
  SendStatus status = SendStatus::Failed;
  LRESULT value = 0;  // the answer, when there was one
};

// SendMessageTimeout with SMTO_ABORTIFHUNG, telling a time-out from a failed call. A window of
// another thread waits at most what is left of the action's budget (platform/ActionBudget.h);
// with nothing left the message is not sent and the outcome is TimedOut.
SendOutcome SendMessageWithin(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT timeoutMs);
// The same as a Unicode message: texts cross processes without the system converting them, so
// the length a window reports arrives as it was reported.
SendOutcome SendMessageWithinW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT timeoutMs);

// SendMessageTimeout with SMTO_ABORTIFHUNG; empty when the window did not answer in time
// or the call failed.
std::optional<LRESULT> SendMessageBounded(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT timeoutMs);

}  // namespace platform
