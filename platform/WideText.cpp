#include "platform/WideText.h"

#include <vector>

namespace platform {

std::wstring SystemWindowText(HWND hwnd, int maxChars) {
  std::vector<wchar_t> text(static_cast<size_t>(maxChars) + 1, L'\0');
  const int length = ::InternalGetWindowText(hwnd, text.data(), static_cast<int>(text.size()));
  if (length <= 0) return std::wstring();
  return std::wstring(text.data(), static_cast<size_t>(length < maxChars ? length : maxChars));
}

std::wstring EscapedLine(std::wstring_view text) {
  std::wstring line;
  line.reserve(text.size());
  for (wchar_t c : text) {
    if (c >= L' ' && c != 0x7f) {
      line += c;
    } else if (c == L'\t') {
      line += L"\\t";
    } else if (c == L'\r') {
      line += L"\\r";
    } else if (c == L'\n') {
      line += L"\\n";
    } else {
      wchar_t code[8];
      ::wsprintfW(code, L"\\x%02x", static_cast<unsigned>(c));
      line += code;
    }
  }
  return line;
}

std::wstring WideFromCodePage(std::string_view text, UINT codePage) {
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  const int length = ::MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) ::MultiByteToWideChar(codePage, 0, text.data(), size, &wide[0], length);
  return wide;
}

void AppendUtf8(std::string& out, std::wstring_view text) {
  if (text.empty()) return;
  const int size = static_cast<int>(text.size());
  const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return;
  const size_t start = out.size();
  out.resize(start + static_cast<size_t>(length));
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, &out[start], length, nullptr, nullptr);
}

std::string CodePageFromWide(std::wstring_view text, UINT codePage) {
  if (codePage == CP_UTF8) {
    std::string out;
    AppendUtf8(out, text);
    return out;
  }
  if (text.empty()) return std::string();
  const int size = static_cast<int>(text.size());
  const int length = ::WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(length > 0 ? length : 0), '\0');
  if (length > 0) ::WideCharToMultiByte(codePage, 0, text.data(), size, &narrow[0], length, nullptr, nullptr);
  return narrow;
}

}  // namespace platform
