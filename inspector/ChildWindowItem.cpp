#include "inspector/ChildWindowItem.h"

#include <cstdio>
#include <cstring>

#include "platform/Format.h"

namespace inspector {

std::array<std::string, kChildColumns> ChildRowTexts(const CChildWindowItem& item) {
  return {platform::FormatHandle(item.hwnd),
          item.className,
          item.text,
          platform::FormatHandle(item.parent),
          platform::FormatInt(item.ctrlId),
          item.visible ? "TRUE" : "",
          item.enabled ? "TRUE" : ""};
}

std::string WrittenText(const char* buffer, size_t size, LRESULT length) {
  if (length < 0 || static_cast<size_t>(length) >= size) return std::string();
  return std::string(buffer, ::strnlen(buffer, static_cast<size_t>(length)));
}

HWND ParseHandleText(const std::string& text) {
  if (text.size() <= 2) return nullptr;
  unsigned value = 0;
  if (std::sscanf(text.c_str() + 2, "%08x", &value) != 1) return nullptr;
  return reinterpret_cast<HWND>(static_cast<UINT_PTR>(value));
}

}  // namespace inspector
