// Texts of windows as UTF-16: titles and labels keep every character, whatever the system's
// code page can hold.
#pragma once
#include <windows.h>

#include <string>

namespace platform {

// The window's text as the system keeps it (GetWindowTextW), at most maxChars characters. It
// does not wait for the window's thread, so a hung window gives its title at once.
std::wstring SystemWindowText(HWND hwnd, int maxChars = 255);

// Code page 932 text (the program's narrow strings) as UTF-16.
std::wstring WidenAnsi(const std::string& text);

}  // namespace platform
