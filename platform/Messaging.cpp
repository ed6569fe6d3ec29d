#include "platform/Messaging.h"

#include "platform/ActionBudget.h"

namespace platform {

namespace {

SendOutcome Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT timeoutMs, bool unicode) {
  DWORD_PTR result = 0;
  // A window of this thread answers at once; only other threads' windows draw on the budget.
  std::optional<CBudgetedWait> wait;
  UINT bound = timeoutMs;
  if (::GetWindowThreadProcessId(hwnd, nullptr) != ::GetCurrentThreadId()) {
    wait.emplace(timeoutMs);
    bound = wait->Bound();
    if (bound == 0) return {SendStatus::TimedOut, 0};  // the action's budget is spent: not sent
  }
  ::SetLastError(ERROR_SUCCESS);
  const UINT flags = SMTO_ABORTIFHUNG | SMTO_NORMAL;
  if (unicode ? ::SendMessageTimeoutW(hwnd, message, wParam, lParam, flags, bound, &result)
              : ::SendMessageTimeoutA(hwnd, message, wParam, lParam, flags, bound, &result))
    return {SendStatus::Answered, static_cast<LRESULT>(result)};
  // A window reported hung fails at once with the same error as a real time-out.
  return {::GetLastError() == ERROR_TIMEOUT ? SendStatus::TimedOut : SendStatus::Failed, 0};
}

}  // namespace

SendOutcome SendMessageWithin(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT timeoutMs) {
  return Send(hwnd, message, wParam, lParam, timeoutMs, false);
}

SendOutcome SendMessageWithinW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT timeoutMs) {
  return Send(hwnd, message, wParam, lParam, timeoutMs, true);
}

std::optional<LRESULT> SendMessageBounded(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT timeoutMs) {
  const SendOutcome outcome = SendMessageWithin(hwnd, message, wParam, lParam, timeoutMs);
  if (outcome.status != SendStatus::Answered) return std::nullopt;
  return outcome.value;
}

}  // namespace platform
