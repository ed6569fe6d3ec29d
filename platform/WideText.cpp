#include "platform/WideText.h"

#include <vector>

namespace platform {

std::wstring SystemWindowText(HWND hwnd, int maxChars) {
  std::vector<wchar_t> text(static_cast<size_t>(maxChars) + 1, L'\0');
  const int length = ::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()));
  if (length <= 0) return std::wstring();
  return std::wstring(text.data(), static_cast<size_t>(length < maxChars ? length : maxChars));
}

std::wstring WidenAnsi(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
  return wide;
}

}  // namespace platform
