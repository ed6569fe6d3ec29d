// The computations behind the operations panel's commands: nudges and the log-off texts.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "platform/WindowCalls.h"

enum class NudgeDirection { Up, Down, Left, Right };

// The window rectangle one pixel away in the direction, same size.
RECT NudgedRect(const RECT& window, NudgeDirection direction);

// The text after a query-end-session command; answer is absent when the target did not answer.
std::string QueryEndSessionText(std::optional<LRESULT> answer);

// The wParam the next end-session command sends: the query's answer, or the previous value
// when the target did not answer.
int NextEndSessionWParam(int previous, std::optional<LRESULT> answer);

// The question asked before an end-session command is sent.
std::string EndSessionPrompt(int wParam);

namespace operations {

// The panel's buttons that act on the window as it is: the panel and `qv do` make them through
// these same calls.
enum class WindowCommand { Show, Hide, Restore, Minimize, Maximize, Close, TopMost, NoTopMost };

// Makes the command on a live window, never waiting on its program beyond the bound: show, hide,
// minimise and maximise without waiting, restore and close as commands delivered exactly once
// (later when the program is busy), the top-most band without waiting. How it was made: Deferred
// when the program did not take it yet (it will once it answers); empty for no live window.
std::optional<platform::WindowCallRoute> RunWindowCommand(HWND target, WindowCommand command);

}  // namespace operations
