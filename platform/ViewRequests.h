// Requests a panel or view sends to the main dialog, which owns the views of single windows
// (one log, one properties view, one accessibility view per window) and the target.
#pragma once
#include <windows.h>

namespace platform {

// Opens (or brings to the front) a view of the window in wParam; nothing for a window that is
// not there.
constexpr UINT kOpenMessageLogMessage = WM_APP + 0x121;
constexpr UINT kOpenPropertiesMessage = WM_APP + 0x122;
constexpr UINT kOpenAccessibilityMessage = WM_APP + 0x123;
// Makes the window in wParam the target as the finder would: its top-level window becomes the
// target, and a child is selected in the inspector.
constexpr UINT kPickWindowMessage = WM_APP + 0x124;
// Frames a part of the window in wParam where a panel shows its picture; lParam: the part's
// RECT in screen coordinates (sent, so it lives through the call).
constexpr UINT kFrameScreenRectMessage = WM_APP + 0x125;
// Opens (or brings to the front) the send-message dialog of the window in wParam.
constexpr UINT kOpenSendMessageMessage = WM_APP + 0x126;
// Asks the message log of the window in wParam to mark the rows the next sending of the message
// in lParam (its number) to that window causes.
constexpr UINT kMarkSentMessage = WM_APP + 0x127;

// Sends one of the requests above for the window to the main dialog, the owner of `from`.
inline void RequestView(HWND from, UINT request, HWND window) {
  HWND owner = ::GetWindow(from, GW_OWNER);
  if (owner && window) ::SendMessageA(owner, request, reinterpret_cast<WPARAM>(window), 0);
}

}  // namespace platform
