// The computations behind the operations panel's commands: nudges and the log-off texts.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

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
