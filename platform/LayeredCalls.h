// Layered-window entry points of user32, looked up by name (once, then kept) so that Quorvel
// starts on systems without them. Each wrapper returns 0 when the entry cannot be found.
#pragma once
#include <windows.h>

BOOL CallGetLayeredWindowAttributes(HWND hwnd, COLORREF* colorKey, BYTE* alpha, DWORD* flags);
BOOL CallSetLayeredWindowAttributes(HWND hwnd, COLORREF colorKey, BYTE alpha, DWORD flags);
