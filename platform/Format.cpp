#include "platform/Format.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace platform {

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text;
  if (length > 0) {
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    text.assign(buffer.data(), static_cast<size_t>(length));
  }
  va_end(args);
  return text;
}

// The two fixed formats are written by hand: the list writes several for every window on every
// refresh, and the printf family costs more than the rest of a row.
std::string FormatHex32(DWORD value) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text = "0x00000000";
  for (int i = 9; i >= 2; --i, value >>= 4) text[static_cast<size_t>(i)] = kDigits[value & 0xF];
  return text;
}

std::string FormatInt(int value) { return std::to_string(value); }

}  // namespace platform
