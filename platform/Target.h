// The window a panel works on: the one "no target" value, the one live-target test, and the
// one reader of a handle shown as "0x%08x".
#pragma once
#include <windows.h>
#include <string>

namespace platform {

// What a panel holds before its first target and after the main dialog takes it away. To the
// window manager -1 is HWND_TOPMOST, which it takes as "every top-level window" for sent and
// posted messages: never pass it on to a window call, test it first.
inline const HWND kNoTarget = reinterpret_cast<HWND>(-1);

// The process id a panel holds with kNoTarget.
constexpr DWORD kNoProcess = static_cast<DWORD>(-1);

// A target has been handed over (it may have closed since).
inline bool HasTarget(HWND hwnd) { return hwnd != kNoTarget; }

// A target has been handed over and its window still exists.
inline bool IsLiveTarget(HWND hwnd) { return HasTarget(hwnd) && ::IsWindow(hwnd); }

// The handle a "0x%08x" text names: the digits after the first two characters, read as
// hexadecimal; null when there are none.
HWND ParseHandleText(const std::string& text);

}  // namespace platform
