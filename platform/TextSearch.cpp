#include "platform/TextSearch.h"

#include <cwchar>

namespace platform {

std::wstring UpperInvariant(const std::wstring& text) {
  std::wstring upper = text;
  if (!upper.empty())
    ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.data(), static_cast<int>(text.size()), &upper[0],
                    static_cast<int>(upper.size()), nullptr, nullptr, 0);
  return upper;
}

CTextSearch::CTextSearch(const std::wstring& typed) : m_upper(UpperInvariant(typed)) {
  m_hexPrefixed = m_upper.compare(0, 2, L"0X") == 0;
}

bool CTextSearch::Contains(const std::wstring& text) const {
  if (text.size() < m_upper.size()) return false;
  return UpperInvariant(text).find(m_upper) != std::wstring::npos;
}

bool CTextSearch::ContainsNumber(unsigned long number) const {
  wchar_t digits[16];
  std::swprintf(digits, 16, L"%lu", number);
  return std::wstring(digits).find(m_upper) != std::wstring::npos;
}

bool CTextSearch::MatchesHandle(HWND hwnd) const {
  const unsigned long handle = static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(hwnd));
  wchar_t digits[16];
  std::swprintf(digits, 16, L"0X%08lX", handle);
  if (std::wstring(digits).find(m_upper) != std::wstring::npos) return true;
  if (!m_hexPrefixed) return false;
  std::swprintf(digits, 16, L"0X%lX", handle);
  return std::wstring(digits).compare(0, m_upper.size(), m_upper) == 0;
}

}  // namespace platform
