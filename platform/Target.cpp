#include "platform/Target.h"

#include <cstdio>

namespace platform {

HWND ParseHandleText(const std::string& text) {
  if (text.size() <= 2) return nullptr;
  unsigned value = 0;
  if (std::sscanf(text.c_str() + 2, "%08x", &value) != 1) return nullptr;
  return reinterpret_cast<HWND>(static_cast<UINT_PTR>(value));
}

}  // namespace platform
