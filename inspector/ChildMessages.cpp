#include "inspector/ChildMessages.h"

#include "platform/Messaging.h"

namespace inspector {

void SendToChild(HWND child, ChildCommand command, LPARAM point) {
  switch (command) {
    case ChildCommand::LButtonDown:
      ::PostMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, point);
      break;
    case ChildCommand::LButtonUp:
      ::PostMessageA(child, WM_LBUTTONUP, 0, point);
      break;
    case ChildCommand::SetFocus:
      platform::SendMessageBounded(child, WM_SETFOCUS, 0, 0, platform::kReadTimeoutMs);
      break;
    case ChildCommand::EnterKey:
      ::PostMessageA(child, WM_KEYDOWN, VK_RETURN, 0);
      break;
    case ChildCommand::F5Key:
      ::PostMessageA(child, WM_KEYDOWN, VK_F5, 0);
      break;
    case ChildCommand::Copy:
      platform::SendMessageBounded(child, WM_COPY, 0, 0, platform::kReadTimeoutMs);
      break;
    case ChildCommand::CtrlC:
      // Real key strokes: they go to whichever window has the keyboard focus once the child's
      // window has come to the front.
      ::SetForegroundWindow(child);
      ::keybd_event(VK_CONTROL, 0, 0, 0);
      ::keybd_event('C', 0, 0, 0);
      ::keybd_event('C', 0, KEYEVENTF_KEYUP, 0);
      ::keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
      break;
  }
}

}  // namespace inspector
