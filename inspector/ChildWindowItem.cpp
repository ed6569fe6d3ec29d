#include "inspector/ChildWindowItem.h"

#include <cwchar>

#include "platform/Format.h"
#include "platform/WideText.h"

namespace inspector {

std::array<std::wstring, kChildColumns> ChildRowTexts(const CChildWindowItem& item) {
  return {platform::WidenAnsi(platform::FormatHandle(item.hwnd)),
          item.className,
          item.text,
          platform::WidenAnsi(platform::FormatHandle(item.parent)),
          platform::WidenAnsi(platform::FormatInt(item.ctrlId)),
          item.visible ? L"TRUE" : L"",
          item.enabled ? L"TRUE" : L""};
}

std::wstring WrittenText(const wchar_t* buffer, size_t size, LRESULT length) {
  if (length < 0 || static_cast<size_t>(length) >= size) return std::wstring();
  return std::wstring(buffer, ::wcsnlen(buffer, static_cast<size_t>(length)));
}

}  // namespace inspector
