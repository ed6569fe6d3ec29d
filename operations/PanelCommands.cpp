#include "operations/PanelCommands.h"

#include "platform/Format.h"

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
