// The log's filter: message names separated by commas or blanks, with * and ? wildcards; a
// name led by '-' excludes. Empty shows everything. Case does not matter.
#pragma once
#include <string>
#include <vector>

namespace msglog {

class CMessageFilter {
 public:
  CMessageFilter() = default;
  explicit CMessageFilter(const std::string& text);

  // Whether a message of that name is shown: it matches an included pattern (or none are
  // given) and no excluded one.
  bool Shows(const std::string& name) const;
  bool ShowsEverything() const { return m_include.empty() && m_exclude.empty(); }

 private:
  std::vector<std::string> m_include;
  std::vector<std::string> m_exclude;
};

// A name against one pattern, * any run of characters, ? any one character, case ignored.
bool MatchesPattern(const std::string& name, const std::string& pattern);

}  // namespace msglog
