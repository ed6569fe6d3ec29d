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

std::string FormatHex32(DWORD value) { return Format("0x%08lx", static_cast<unsigned long>(value)); }

std::string FormatInt(int value) { return Format("%d", value); }

}  // namespace platform
