// Requests a panel or view makes of the main dialog, which owns the views of single windows
// (one log, one properties view, one accessibility view per window) and the target.
//
// They are direct calls on the calling thread, never window messages: a message to a window of
// Quorvel's can come from any program, so none of them opens a view, picks a target or hands
// over a pointer. The main dialog receives them through a `CViewRequestReceiver` registered for
// its window; a view reaches it through its owner window (`RequestView`, `RequestFrame`).
#pragma once
#include <windows.h>

#include <functional>

namespace platform {

// Request codes (not window messages).
// Opens (or brings to the front) a view of the window; nothing for a window that is not there.
constexpr UINT kOpenMessageLogMessage = 1;
constexpr UINT kOpenPropertiesMessage = 2;
constexpr UINT kOpenAccessibilityMessage = 3;
// Makes the window the target as the finder would: its top-level window becomes the target,
// and a child is selected in the inspector.
constexpr UINT kPickWindowMessage = 4;
// Frames a part of the window where a panel shows its picture; the part is the request's
// rectangle in screen coordinates.
constexpr UINT kFrameScreenRectMessage = 5;
// Opens (or brings to the front) the send-message dialog of the window.
constexpr UINT kOpenSendMessageMessage = 6;
// Asks the message log of the window to mark the rows the next sending of the message (the
// request's value, its number) to that window causes.
constexpr UINT kMarkSentMessage = 7;

// One request: its code, the window, for kFrameScreenRectMessage the part (else null; valid
// during the call only), for kMarkSentMessage the message number.
struct ViewRequest {
  UINT code = 0;
  HWND window = nullptr;
  const RECT* part = nullptr;
  UINT value = 0;
};

using ViewRequestHandler = std::function<void(const ViewRequest& request)>;

// Receives the requests of the views owned by one window, on that window's thread, for its own
// lifetime.
class CViewRequestReceiver {
 public:
  CViewRequestReceiver() = default;
  CViewRequestReceiver(HWND owner, ViewRequestHandler handler) { Register(owner, std::move(handler)); }
  CViewRequestReceiver(const CViewRequestReceiver&) = delete;
  CViewRequestReceiver& operator=(const CViewRequestReceiver&) = delete;
  ~CViewRequestReceiver() { Unregister(); }

  void Register(HWND owner, ViewRequestHandler handler);
  void Unregister();

 private:
  HWND m_owner = nullptr;
};

// Hands the request for the window to the receiver of `from`'s owner, when it has one and runs
// on this thread; false when nobody took it.
bool RequestView(HWND from, UINT request, HWND window);
// Asks the owner of `from` to frame the part (screen coordinates) of the window.
bool RequestFrame(HWND from, HWND window, const RECT& part);
// Asks the owner of `from` to have the window's log mark what the next sending of the message
// causes.
bool RequestMarkSent(HWND from, HWND window, UINT message);

}  // namespace platform
