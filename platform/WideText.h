// Texts as UTF-16, and the one place they are turned into and out of code pages and UTF-8:
// titles and labels keep every character, whatever the system's code page can hold.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

namespace platform {

// The window's text as the system keeps it (InternalGetWindowText), at most maxChars
// characters. It sends nothing, not even to a window of this thread, so a hung window gives its
// title at once and a reader on another thread never waits for a window of ours.
std::wstring SystemWindowText(HWND hwnd, int maxChars = 255);

// The text on one line: tab, carriage return and line feed as \t, \r and \n, any other control
// character as \xNN, so a shown or copied row cannot break or be torn by what another program
// wrote.
std::wstring EscapedLine(std::wstring_view text);

// Text of the code page (CP_ACP, 932, CP_UTF8, ...) as UTF-16, and back; characters the code
// page lacks become the system's default character.
std::wstring WideFromCodePage(std::string_view text, UINT codePage);
std::string CodePageFromWide(std::wstring_view text, UINT codePage);

// Code page 932 text (the program's narrow strings) as UTF-16.
inline std::wstring WidenAnsi(std::string_view text) { return WideFromCodePage(text, CP_ACP); }
inline std::wstring WideFromUtf8(std::string_view text) { return WideFromCodePage(text, CP_UTF8); }
inline std::string Utf8FromWide(std::wstring_view text) { return CodePageFromWide(text, CP_UTF8); }
// Appends the text in UTF-8 to out.
void AppendUtf8(std::string& out, std::wstring_view text);

}  // namespace platform
