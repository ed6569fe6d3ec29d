#include "wintree/ChangeMarks.h"

#include <unordered_set>

#include "platform/Target.h"

namespace wintree {

void CChangeMarks::Note(const Json& event, const std::vector<WindowRecord>& before) {
  if (!event.is_object()) return;
  auto op = event.find("op");
  auto handle = event.find("handle");
  if (op == event.end() || handle == event.end() || !op->is_string() || !handle->is_string()) return;
  const HWND hwnd = platform::ParseHandleText(handle->get<std::string>());
  if (!hwnd) return;
  const std::string kind = op->get<std::string>();
  uint8_t& mark = m_marks[hwnd];
  if (kind == "added") {
    // A handle given again: the window is new, the old one no longer kept.
    if (mark & kMarkRemoved) {
      for (auto it = m_removed.begin(); it != m_removed.end(); ++it) {
        if (it->record.hwnd == hwnd) {
          m_removed.erase(it);
          break;
        }
      }
    }
    mark = kMarkAdded;
  } else if (kind == "changed") {
    mark |= kMarkChanged;
  } else if (kind == "removed") {
    if (mark & kMarkRemoved) return;
    mark |= kMarkRemoved;
    for (size_t i = 0; i < before.size(); ++i) {
      if (before[i].hwnd != hwnd) continue;
      m_removed.push_back(RemovedWindow{before[i], i ? before[i - 1].hwnd : nullptr});
      break;
    }
  } else if (!mark) {
    m_marks.erase(hwnd);
  }
}

void CChangeMarks::Clear() {
  m_marks.clear();
  m_removed.clear();
}

uint8_t CChangeMarks::Of(HWND hwnd) const {
  auto found = m_marks.find(hwnd);
  return found == m_marks.end() ? kMarkNone : found->second;
}

std::vector<WindowRecord> WithRemoved(const std::vector<WindowRecord>& read, const std::vector<RemovedWindow>& removed) {
  if (removed.empty()) return read;
  std::unordered_set<HWND> inRead;
  for (const WindowRecord& record : read) inRead.insert(record.hwnd);
  std::unordered_set<HWND> kept;
  for (const RemovedWindow& window : removed)
    if (!inRead.count(window.record.hwnd)) kept.insert(window.record.hwnd);

  // Each kept window hangs after its anchor: the window before it when that is shown, else its
  // parent; a top-level window without either goes at the end.
  std::unordered_map<HWND, std::vector<const RemovedWindow*>> after;
  std::vector<const RemovedWindow*> atEnd;
  std::unordered_set<HWND> placed;
  for (const RemovedWindow& window : removed) {
    const HWND hwnd = window.record.hwnd;
    if (!kept.count(hwnd) || !placed.insert(hwnd).second) continue;
    const bool beforeShown = window.before && (inRead.count(window.before) || kept.count(window.before));
    const HWND parent = window.record.parent;
    if (beforeShown) after[window.before].push_back(&window);
    else if (parent && (inRead.count(parent) || kept.count(parent))) after[parent].push_back(&window);
    else if (!parent) atEnd.push_back(&window);
  }

  std::vector<WindowRecord> merged;
  merged.reserve(read.size() + removed.size());
  std::unordered_set<HWND> emitted;
  // Depth first through the windows hung after each, so a chain of removed windows keeps its
  // order; each is emitted once, whatever a chain that comes back on itself says.
  std::vector<const WindowRecord*> pending;
  auto emit = [&](const WindowRecord& first) {
    pending.push_back(&first);
    while (!pending.empty()) {
      const WindowRecord* record = pending.back();
      pending.pop_back();
      if (!emitted.insert(record->hwnd).second && kept.count(record->hwnd)) continue;
      merged.push_back(*record);
      auto hung = after.find(record->hwnd);
      if (hung == after.end()) continue;
      for (auto it = hung->second.rbegin(); it != hung->second.rend(); ++it) pending.push_back(&(*it)->record);
    }
  };
  for (const WindowRecord& record : read) emit(record);
  for (const RemovedWindow* window : atEnd) emit(window->record);
  return merged;
}

}  // namespace wintree
