// A window's button on the taskbar, added or removed through the shell's taskbar-list object.
// Each call initialises COM, uses a fresh object once and releases everything again.
#pragma once
#include <windows.h>

struct ITaskbarList;

// 1 when the shell accepted the request, 0 otherwise (also when the object cannot be made).
int TaskbarAddTab(HWND hwnd);
int TaskbarDeleteTab(HWND hwnd);

// Makes the taskbar-list object for one call; on success *list holds one reference.
using TaskbarListFactory = HRESULT (*)(ITaskbarList** list);
// Replaces the maker of the object (null: the shell's own) and returns the previous one, so
// that tests can hand the wrappers an object whose calls fail.
TaskbarListFactory SetTaskbarListFactory(TaskbarListFactory factory);
