// What the inspector's buttons send to the selected child window: mouse buttons at a point,
// the focus notice, keys and the copy command, and a real Ctrl+C typed into it.
#pragma once
#include <windows.h>

namespace inspector {

enum class ChildCommand { LButtonDown, LButtonUp, SetFocus, EnterKey, F5Key, Copy, CtrlC };

// Sends the command to the child. point is the mouse buttons' point, MAKELPARAM(x, y) in the
// child's client coordinates. Sends wait a bounded time; nothing is reported.
void SendToChild(HWND child, ChildCommand command, LPARAM point);

}  // namespace inspector
