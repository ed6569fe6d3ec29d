#include "platform/Messaging.h"

namespace platform {

std::optional<LRESULT> SendMessageBounded(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT timeoutMs) {
  DWORD_PTR result = 0;
  if (!::SendMessageTimeoutA(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_NORMAL, timeoutMs,
                             &result))
    return std::nullopt;
  return static_cast<LRESULT>(result);
}

}  // namespace platform
