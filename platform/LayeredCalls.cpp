#include "platform/LayeredCalls.h"

#include "platform/LateBound.h"

BOOL CallGetLayeredWindowAttributes(HWND hwnd, COLORREF* colorKey, BYTE* alpha, DWORD* flags) {
  return platform::CallLateBound<BOOL>("user32", "GetLayeredWindowAttributes", hwnd, colorKey, alpha, flags);
}

BOOL CallSetLayeredWindowAttributes(HWND hwnd, COLORREF colorKey, BYTE alpha, DWORD flags) {
  return platform::CallLateBound<BOOL>("user32", "SetLayeredWindowAttributes", hwnd, colorKey, alpha, flags);
}
