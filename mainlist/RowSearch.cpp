#include "mainlist/RowSearch.h"

#include <cwchar>

namespace mainlist {

namespace {

// Upper case by the system's invariant mapping, which keeps the length of UTF-16 text, so
// full-width Latin letters and other scripts compare as the system compares them.
std::wstring Upper(const std::wstring& text) {
  std::wstring upper = text;
  if (!upper.empty())
    ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.data(), static_cast<int>(text.size()), &upper[0],
                    static_cast<int>(upper.size()), nullptr, nullptr, 0);
  return upper;
}

}  // namespace

CRowSearch::CRowSearch(const std::wstring& typed) : m_upper(Upper(typed)) {
  m_hexPrefixed = m_upper.compare(0, 2, L"0X") == 0;
}

bool CRowSearch::Contains(const std::wstring& text) const {
  if (text.size() < m_upper.size()) return false;
  return Upper(text).find(m_upper) != std::wstring::npos;
}

bool CRowSearch::Matches(const std::wstring& title, const std::wstring& className, const std::wstring& processName,
                         DWORD pid, HWND hwnd) const {
  if (m_upper.empty()) return true;
  if (Contains(title) || Contains(className) || Contains(processName)) return true;

  wchar_t number[16];
  std::swprintf(number, 16, L"%lu", static_cast<unsigned long>(pid));
  if (std::wstring(number).find(m_upper) != std::wstring::npos) return true;

  // The handle as the list shows it, "0x" and eight digits; typed with "0x", its digits may
  // also start without the leading zeros.
  const unsigned long handle = static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(hwnd));
  std::swprintf(number, 16, L"0X%08lX", handle);
  if (std::wstring(number).find(m_upper) != std::wstring::npos) return true;
  if (!m_hexPrefixed) return false;
  std::swprintf(number, 16, L"0X%lX", handle);
  return std::wstring(number).compare(0, m_upper.size(), m_upper) == 0;
}

}  // namespace mainlist
