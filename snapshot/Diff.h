// What changed between two sets of windows, field by field: two snapshot documents, or two
// reads of the desktop in memory (a live follower). Windows are the same window when handle, pid
// and class agree, so a handle the system gave again to another program's window is one window
// removed and one added. Linear in the windows: the earlier set is hashed by that key.
#pragma once
#include <string>
#include <vector>

#include "snapshot/Json.h"

namespace snapshot {

struct WindowChange {
  Json window;   // the window as it is now
  Json changes;  // {field: {"from": old, "to": new}}; a field one side lacks is null there
};

struct DiffResult {
  std::vector<Json> added;
  std::vector<Json> removed;
  std::vector<WindowChange> changed;
  bool Same() const { return added.empty() && removed.empty() && changed.empty(); }
};

// The key that makes two window objects the same window; empty for an object without one.
std::string WindowKey(const Json& window);

// The changes of each field (every field of either object, "children" aside).
Json FieldChanges(const Json& before, const Json& after);

DiffResult Diff(const std::vector<Json>& before, const std::vector<Json>& after);

// {"added": [...], "removed": [...], "changed": [{"handle", "class", "text", "changes"}]}.
Json DiffJson(const DiffResult& result);
// One changed window as the diff and watch show it: handle, class, text, changes.
Json ChangeJson(const WindowChange& change);

// The readable lines: "+ 0x… class "text"", "- …", "~ 0x… field: old → new" (UTF-8).
std::vector<std::string> DiffLines(const DiffResult& result);
// A window's line after the sign: `0x… class "text"`.
std::string WindowLine(const Json& window);
// A value in a readable line: strings as they are, anything else as compact JSON.
std::string ValueText(const Json& value);

}  // namespace snapshot
