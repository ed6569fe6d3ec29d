// The window tree's marks of what changed since the list was last emptied: new windows (bold),
// changed ones (a mark), and removed ones, which stay in the tree where they were, struck
// through, until クリア. Pure: events and reads in, marks and reads out.
#pragma once
#include <windows.h>

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "wintree/ChangeList.h"
#include "wintree/DesktopTree.h"

namespace wintree {

enum ChangeMark : uint8_t { kMarkNone = 0, kMarkAdded = 1, kMarkChanged = 2, kMarkRemoved = 4 };

// A removed window as it was read last, with the window read just before it, after which it
// goes back in a later read.
struct RemovedWindow {
  WindowRecord record;
  HWND before = nullptr;  // null: it was the first window read
};

class CChangeMarks {
 public:
  // Takes one event of the watch format. before is the read the event compares with: a
  // removed window is kept as that read had it (a window it lacks is marked but not kept). A
  // handle that comes back is new again, no longer removed.
  void Note(const Json& event, const std::vector<WindowRecord>& before);
  void Clear();
  uint8_t Of(HWND hwnd) const;
  bool Empty() const { return m_marks.empty(); }
  // The removed windows, in the order they were removed.
  const std::vector<RemovedWindow>& Removed() const { return m_removed; }

 private:
  std::unordered_map<HWND, uint8_t> m_marks;
  std::vector<RemovedWindow> m_removed;
};

// The read with the removed windows put back: each after the window read before it, or, when
// that one is not in the read, after the last of its parent's descendants (at the end for a
// top-level window). A window whose parent is in neither stays out, as the tree would leave it.
std::vector<WindowRecord> WithRemoved(const std::vector<WindowRecord>& read, const std::vector<RemovedWindow>& removed);

}  // namespace wintree
