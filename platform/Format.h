// The program's fixed text formats, in one place.
#pragma once
#include <windows.h>
#include <string>

namespace platform {

// printf-style formatting into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A window handle or style word: "0x" and eight lower-case hexadecimal digits.
std::string FormatHex32(DWORD value);
inline std::string FormatHandle(HWND hwnd) { return FormatHex32(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(hwnd))); }

// A process identifier or coordinate: signed decimal.
std::string FormatInt(int value);

}  // namespace platform
