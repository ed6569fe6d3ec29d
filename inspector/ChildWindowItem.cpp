#include "inspector/ChildWindowItem.h"

#include <cwchar>

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

std::string WrittenText(const wchar_t* buffer, size_t size, LRESULT length) {
  if (length < 0 || static_cast<size_t>(length) >= size) return std::string();
  const int wide = static_cast<int>(::wcsnlen(buffer, static_cast<size_t>(length)));
  if (wide == 0) return std::string();
  const int bytes = ::WideCharToMultiByte(CP_ACP, 0, buffer, wide, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::string text(static_cast<size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, buffer, wide, &text[0], bytes, nullptr, nullptr);
  return text;
}

}  // namespace inspector
