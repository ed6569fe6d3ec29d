// Narrow texts of the system's code page as UTF-16, for the calls and files that take Unicode.
#pragma once
#include <windows.h>
#include <string>

namespace platform {

inline std::wstring Widen(const std::string& text) {
  const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
  return wide;
}

}  // namespace platform
