#include "msglog/MessageFilter.h"

#include <cctype>

namespace msglog {

CMessageFilter::CMessageFilter(const std::string& text) {
  std::string word;
  auto take = [&] {
    if (word.empty() || word == "-") {
      word.clear();
      return;
    }
    if (word[0] == '-')
      m_exclude.push_back(word.substr(1));
    else
      m_include.push_back(word);
    word.clear();
  };
  for (char c : text) {
    if (c == ',' || c == ' ' || c == '\t' || c == '\r' || c == '\n')
      take();
    else
      word += c;
  }
  take();
}

bool CMessageFilter::Shows(const std::string& name) const {
  for (const std::string& pattern : m_exclude)
    if (MatchesPattern(name, pattern)) return false;
  if (m_include.empty()) return true;
  for (const std::string& pattern : m_include)
    if (MatchesPattern(name, pattern)) return true;
  return false;
}

bool MatchesPattern(const std::string& name, const std::string& pattern) {
  // Greedy match with one remembered star: linear in practice, no recursion.
  size_t n = 0, p = 0, star = std::string::npos, resume = 0;
  auto same = [](char a, char b) {
    return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
  };
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || (pattern[p] != '*' && same(pattern[p], name[n])))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace msglog
