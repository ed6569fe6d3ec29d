// Which rows of a log a message sent by hand caused: from the row of its sending up to the row of
// its return, everything the window did meanwhile (the messages it sent itself in between, at
// any depth); for a posted message, its own row. The send dialog asks for a mark before it sends;
// the log notes each stored row in order.
#pragma once
#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

namespace msglog {

// How many marked sends the log remembers; the oldest marks go first.
constexpr size_t kMaxMarks = 1000;

class CSentMarks {
 public:
  // The next time the message is sent (or posted) to the window, its rows are marked.
  void Expect(uint32_t message, uint32_t hwnd, bool posted);
  // A row the log stored, in order: its number in the store, its kind (S, P, R), message, window.
  void Note(uint64_t number, char kind, uint32_t message, uint32_t hwnd);
  bool IsMarked(uint64_t number) const;
  bool Any() const { return !m_ranges.empty(); }
  void Clear();

 private:
  struct Expected {
    uint32_t message;
    uint32_t hwnd;
    bool posted;
  };
  std::deque<Expected> m_expected;
  // Rows from first to last, both included, in order; the last range is open while marking.
  std::vector<std::pair<uint64_t, uint64_t>> m_ranges;
  int m_depth = 0;  // sends still to return inside the marked one; 0: not marking
};

}  // namespace msglog
