// What a search box holds, prepared once and matched against many texts: contained anywhere,
// case aside as the system compares Unicode text, and window handles as Quorvel shows them.
#pragma once
#include <windows.h>

#include <string>

namespace platform {

// The text in the system's invariant upper case, which keeps the length of UTF-16 text: the one
// "case aside" of every match.
std::wstring UpperInvariant(const std::wstring& text);

class CTextSearch {
 public:
  CTextSearch() = default;
  explicit CTextSearch(const std::wstring& typed);
  bool Empty() const { return m_upper.empty(); }
  // Whether the text contains the typed text, case aside by the system's invariant upper case
  // (full-width Latin letters and other scripts included).
  bool Contains(const std::wstring& text) const;
  // Whether the number in decimal contains the typed text.
  bool ContainsNumber(unsigned long number) const;
  // Whether the handle as shown ("0x" and eight hexadecimal digits) contains the typed text;
  // typed with "0x", its digits may also start without the leading zeros.
  bool MatchesHandle(HWND hwnd) const;

 private:
  std::wstring m_upper;
  bool m_hexPrefixed = false;
};

}  // namespace platform
