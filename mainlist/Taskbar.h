// A window's button on the taskbar, added or removed through the shell's taskbar-list object.
// Each call initialises COM, uses a fresh object once and releases everything again.
#pragma once
#include <windows.h>

// 1 when the shell accepted the request, 0 otherwise (also when the object cannot be made).
int TaskbarAddTab(HWND hwnd);
int TaskbarDeleteTab(HWND hwnd);
