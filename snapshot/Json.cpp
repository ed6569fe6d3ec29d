#include "snapshot/Json.h"

#include "platform/Format.h"
#include "platform/WideText.h"

namespace snapshot {

Json HandleJson(HWND hwnd) { return hwnd ? Json(platform::FormatHandle(hwnd)) : Json(nullptr); }

std::string WordText(DWORD value) { return platform::FormatHex32(value); }

std::string AddressText(uint64_t value) {
  if (value <= 0xffffffffu) return platform::FormatHex32(static_cast<DWORD>(value));
  return platform::Format("0x%016llx", static_cast<unsigned long long>(value));
}

std::string Utf8(const std::wstring& text) { return platform::Utf8FromWide(text); }

std::string Utf8FromAnsi(const std::string& text) { return platform::Utf8FromWide(platform::WidenAnsi(text)); }

}  // namespace snapshot
