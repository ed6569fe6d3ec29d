#include "operations/PanelCommands.h"

#include "platform/Format.h"
#include "platform/Messaging.h"
#include "platform/Target.h"

RECT NudgedRect(const RECT& window, NudgeDirection direction) {
  int dx = 0;
  int dy = 0;
  switch (direction) {
    case NudgeDirection::Up:
      dy = -1;
      break;
    case NudgeDirection::Down:
      dy = 1;
      break;
    case NudgeDirection::Left:
      dx = -1;
      break;
    case NudgeDirection::Right:
      dx = 1;
      break;
  }
  return RECT{window.left + dx, window.top + dy, window.right + dx, window.bottom + dy};
}

std::string QueryEndSessionText(std::optional<LRESULT> answer) {
  // A target that did not answer has not agreed to end.
  if (answer && *answer == 1) return "QueryEndSession return Value is TRUE";
  return "QueryEndSession return Value is FALSE";
}

int NextEndSessionWParam(int previous, std::optional<LRESULT> answer) {
  return answer ? static_cast<int>(*answer) : previous;
}

std::string EndSessionPrompt(int wParam) {
  return platform::Format("Send WM_ENDSESSION wParam=%d, lParam=ENDSESSION_LOGOFF を送信します.", wParam);
}

namespace operations {
namespace {

platform::WindowCallRoute SendCommand(HWND target, UINT message, WPARAM wParam) {
  return platform::SendOrPost(target, message, wParam, 0, platform::kCommandTimeoutMs)
             ? platform::WindowCallRoute::Direct
             : platform::WindowCallRoute::Deferred;
}

}  // namespace

std::optional<platform::WindowCallRoute> RunWindowCommand(HWND target, WindowCommand command) {
  if (!platform::IsLiveTarget(target)) return std::nullopt;
  switch (command) {
    case WindowCommand::Show: return platform::ShowWindowNoWait(target, SW_SHOW);
    case WindowCommand::Hide: return platform::ShowWindowNoWait(target, SW_HIDE);
    case WindowCommand::Minimize: return platform::ShowWindowNoWait(target, SW_SHOWMINIMIZED);
    case WindowCommand::Maximize: return platform::ShowWindowNoWait(target, SW_SHOWMAXIMIZED);
    case WindowCommand::Restore: return SendCommand(target, WM_SYSCOMMAND, SC_RESTORE);
    case WindowCommand::Close: return SendCommand(target, WM_CLOSE, 0);
    case WindowCommand::TopMost:
    case WindowCommand::NoTopMost:
      return platform::SetWindowPosNoWait(target, command == WindowCommand::TopMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0,
                                          0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
  return std::nullopt;
}

}  // namespace operations
