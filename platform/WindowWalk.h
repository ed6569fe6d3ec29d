// Walks over windows with the system's enumerations. The system calls back through its own
// frames, which an exception must never unwind: the walk stops at the first one and throws it
// again once the system has returned.
#pragma once
#include <windows.h>

#include <functional>

namespace platform {

// Calls visit for every top-level window, in the system's order, until visit returns false.
void ForEachTopLevelWindow(const std::function<bool(HWND)>& visit);

// Calls visit for every descendant of parent, in the system's order, until visit returns false.
void ForEachChildWindow(HWND parent, const std::function<bool(HWND)>& visit);

}  // namespace platform
