#include "msglog/SentMarks.h"

#include <algorithm>

namespace msglog {

namespace {
// Asked-for marks whose message never came are forgotten past this many.
constexpr size_t kMaxExpected = 16;
}  // namespace

void CSentMarks::Expect(uint32_t message, uint32_t hwnd, bool posted) {
  if (m_expected.size() >= kMaxExpected) m_expected.pop_front();
  m_expected.push_back({message, hwnd, posted});
}

void CSentMarks::Note(uint64_t number, char kind, uint32_t message, uint32_t hwnd) {
  if (m_depth > 0) {
    m_ranges.back().second = number;
    if (kind == 'S') ++m_depth;
    else if (kind == 'R') --m_depth;
    return;
  }
  if (m_expected.empty() || (kind != 'S' && kind != 'P')) return;
  const auto match = std::find_if(m_expected.begin(), m_expected.end(), [&](const Expected& expected) {
    return expected.message == message && expected.hwnd == hwnd && expected.posted == (kind == 'P');
  });
  if (match == m_expected.end()) return;
  m_expected.erase(match);
  if (m_ranges.size() >= kMaxMarks) m_ranges.erase(m_ranges.begin());
  m_ranges.emplace_back(number, number);
  m_depth = kind == 'S' ? 1 : 0;
}

bool CSentMarks::IsMarked(uint64_t number) const {
  // Ranges are in order of their rows: the last one starting at or before the number decides.
  const auto after = std::upper_bound(m_ranges.begin(), m_ranges.end(), number,
                                      [](uint64_t value, const std::pair<uint64_t, uint64_t>& range) { return value < range.first; });
  return after != m_ranges.begin() && number <= std::prev(after)->second;
}

void CSentMarks::Clear() {
  m_expected.clear();
  m_ranges.clear();
  m_depth = 0;
}

}  // namespace msglog
