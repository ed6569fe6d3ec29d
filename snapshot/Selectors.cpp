#include "snapshot/Selectors.h"

#include "platform/TextSearch.h"

namespace snapshot {

std::optional<HWND> ParseHandle(std::string_view text) {
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    const std::string_view digits = text.substr(2);
    if (digits.size() > 8) return std::nullopt;
    for (char c : digits) {
      int digit;
      if (c >= '0' && c <= '9')
        digit = c - '0';
      else if (c >= 'a' && c <= 'f')
        digit = c - 'a' + 10;
      else if (c >= 'A' && c <= 'F')
        digit = c - 'A' + 10;
      else
        return std::nullopt;
      value = value * 16 + static_cast<uint64_t>(digit);
    }
  } else {
    if (text.size() > 10) return std::nullopt;
    for (char c : text) {
      if (c < '0' || c > '9') return std::nullopt;
      value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    if (value > 0xffffffffu) return std::nullopt;
  }
  return reinterpret_cast<HWND>(static_cast<UINT_PTR>(value));
}

namespace {

// Iterative matching with one point to go back to: the last "*" seen. Linear in practice and
// never worse than pattern × text, whatever the pattern.
bool MatchUpper(const std::wstring& pattern, const std::wstring& text) {
  size_t p = 0, t = 0, star = std::wstring::npos, resume = 0;
  while (t < text.size()) {
    if (p < pattern.size() && (pattern[p] == L'?' || pattern[p] == text[t])) {
      ++p;
      ++t;
    } else if (p < pattern.size() && pattern[p] == L'*') {
      star = p++;
      resume = t;
    } else if (star != std::wstring::npos) {
      p = star + 1;
      t = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == L'*') ++p;
  return p == pattern.size();
}

}  // namespace

bool WildcardMatch(std::wstring_view pattern, std::wstring_view text) {
  return MatchUpper(platform::UpperInvariant(std::wstring(pattern)), platform::UpperInvariant(std::wstring(text)));
}

bool Selector::Matches(const WindowEntry& window) const {
  if (pid && window.pid != *pid) return false;
  if (title && !WildcardMatch(*title, window.text)) return false;
  if (className && !WildcardMatch(*className, window.className)) return false;
  if (process && !WildcardMatch(*process, window.process)) {
    if (process->find(L'.') != std::wstring::npos || !WildcardMatch(*process + L".exe", window.process)) return false;
  }
  return true;
}

}  // namespace snapshot
