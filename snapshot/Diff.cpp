#include "snapshot/Diff.h"

#include <functional>

namespace snapshot {
namespace {

const Json& FieldOr(const Json& window, const std::string& field) {
  static const Json kNull;
  const auto found = window.find(field);
  return found == window.end() ? kNull : *found;
}

}  // namespace

std::string WindowKey(const Json& window) {
  if (!window.is_object()) return std::string();
  const Json& handle = FieldOr(window, "handle");
  const Json& pid = FieldOr(window, "pid");
  const Json& className = FieldOr(window, "class");
  if (!handle.is_string() || !pid.is_number_integer() || !className.is_string()) return std::string();
  // Handles and pids hold no separator; a class name may, and comes last.
  return handle.get_ref<const std::string&>() + '\x1f' + pid.dump() + '\x1f' + className.get_ref<const std::string&>();
}

namespace {

// Two reads of a window have their fields in the same order: compared pairwise, with no lookup
// and nothing made, until the first field that differs.
bool SameFields(const Json& before, const Json& after) {
  if (!before.is_object() || !after.is_object() || before.size() != after.size()) return false;
  for (auto left = before.begin(), right = after.begin(); left != before.end(); ++left, ++right)
    if (left.key() != right.key() || (left.key() != "children" && *left != *right)) return false;
  return true;
}

}  // namespace

Json FieldChanges(const Json& before, const Json& after) {
  Json changes = Json::object();
  if (SameFields(before, after)) return changes;
  auto note = [&](const std::string& field) {
    if (field == "children" || changes.contains(field)) return;
    const Json& from = FieldOr(before, field);
    const Json& to = FieldOr(after, field);
    if (from != to) changes[field] = Json{{"from", from}, {"to", to}};
  };
  for (const auto& field : before.items()) note(field.key());
  for (const auto& field : after.items()) note(field.key());
  return changes;
}

namespace {

// The fields that make a window the same window, without copying them.
struct WindowName {
  const std::string* handle = nullptr;
  int64_t pid = 0;
  const std::string* className = nullptr;
  bool valid = false;
};

WindowName NameOf(const Json& window) {
  WindowName name;
  if (!window.is_object()) return name;
  const Json& handle = FieldOr(window, "handle");
  const Json& pid = FieldOr(window, "pid");
  const Json& className = FieldOr(window, "class");
  if (!handle.is_string() || !pid.is_number_integer() || !className.is_string()) return name;
  name.handle = &handle.get_ref<const std::string&>();
  name.pid = pid.get<int64_t>();
  name.className = &className.get_ref<const std::string&>();
  name.valid = true;
  return name;
}

size_t HashOf(const WindowName& name) {
  if (!name.valid) return 0;
  const size_t handle = std::hash<std::string>()(*name.handle);
  const size_t className = std::hash<std::string>()(*name.className);
  return handle ^ (std::hash<int64_t>()(name.pid) + 0x9e3779b9 + (handle << 6) + (handle >> 2)) ^ (className * 31);
}

bool SameName(const WindowName& a, const WindowName& b) {
  return a.valid && b.valid && a.pid == b.pid && *a.handle == *b.handle && *a.className == *b.className;
}

// The earlier windows by the hash of their names, in one allocation: an open-addressed table of
// each hash's first window still unmatched, and for each window the next one of the same hash.
// A name met twice (only a hand-made file has that) is matched once each, in order, and a hash's
// matched front is passed once: even a file of one name repeated stays linear.
class CNameTable {
 public:
  explicit CNameTable(const std::vector<Json>& windows) : m_next(windows.size(), kNone), m_matched(windows.size(), 0) {
    size_t slots = 16;
    while (slots < windows.size() * 2) slots *= 2;
    m_slots.assign(slots, Slot{});
    std::vector<size_t> last(slots, kNone);
    m_names.reserve(windows.size());
    for (size_t i = 0; i < windows.size(); ++i) {
      m_names.push_back(NameOf(windows[i]));
      if (!m_names.back().valid) continue;
      const size_t hash = HashOf(m_names.back());
      const size_t slot = Find(hash);
      if (m_slots[slot].head == kNone) {
        m_slots[slot] = Slot{hash, i, i};
      } else {
        m_next[last[slot]] = i;
      }
      last[slot] = i;
    }
  }

  // The first unmatched earlier window of the name, now matched; kNone when there is none.
  size_t Match(const WindowName& name) {
    if (!name.valid) return kNone;
    Slot& slot = m_slots[Find(HashOf(name))];
    while (slot.front != kNone && m_matched[slot.front]) slot.front = m_next[slot.front];
    for (size_t i = slot.front; i != kNone; i = m_next[i]) {
      if (!m_matched[i] && SameName(m_names[i], name)) {
        m_matched[i] = 1;
        return i;
      }
    }
    return kNone;
  }

  bool Matched(size_t index) const { return m_matched[index] != 0; }

  static constexpr size_t kNone = static_cast<size_t>(-1);

 private:
  struct Slot {
    size_t hash = 0;
    size_t head = kNone;   // the hash's first window; kNone: the slot is empty
    size_t front = kNone;  // the first that may still be unmatched
  };

  // The slot of the hash: its own, or the empty one where it would go.
  size_t Find(size_t hash) const {
    const size_t mask = m_slots.size() - 1;
    size_t slot = hash & mask;
    while (m_slots[slot].head != kNone && m_slots[slot].hash != hash) slot = (slot + 1) & mask;
    return slot;
  }

  std::vector<Slot> m_slots;
  std::vector<size_t> m_next;
  std::vector<char> m_matched;
  std::vector<WindowName> m_names;
};

}  // namespace

DiffResult Diff(const std::vector<Json>& before, const std::vector<Json>& after) {
  DiffResult result;
  CNameTable earlier(before);
  for (const Json& window : after) {
    const size_t match = earlier.Match(NameOf(window));
    if (match == CNameTable::kNone) {
      result.added.push_back(window);
      continue;
    }
    if (SameFields(before[match], window)) continue;
    Json changes = FieldChanges(before[match], window);
    if (!changes.empty()) result.changed.push_back({window, std::move(changes)});
  }
  for (size_t i = 0; i < before.size(); ++i)
    if (!earlier.Matched(i)) result.removed.push_back(before[i]);
  return result;
}

Json ChangeJson(const WindowChange& change) {
  Json json = Json::object();
  json["handle"] = FieldOr(change.window, "handle");
  json["class"] = FieldOr(change.window, "class");
  json["text"] = FieldOr(change.window, "text");
  json["changes"] = change.changes;
  return json;
}

Json DiffJson(const DiffResult& result) {
  Json json = Json::object();
  json["added"] = Json::array();
  for (const Json& window : result.added) json["added"].push_back(window);
  json["removed"] = Json::array();
  for (const Json& window : result.removed) json["removed"].push_back(window);
  json["changed"] = Json::array();
  for (const WindowChange& change : result.changed) json["changed"].push_back(ChangeJson(change));
  return json;
}

std::string ValueText(const Json& value) {
  // A string with a line break or another control character is quoted, so it keeps to its line.
  if (value.is_string()) {
    const std::string& text = value.get_ref<const std::string&>();
    bool plain = true;
    for (char c : text) plain = plain && static_cast<unsigned char>(c) >= 0x20;
    if (plain) return text;
  }
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string WindowLine(const Json& window) {
  return ValueText(FieldOr(window, "handle")) + " " + ValueText(FieldOr(window, "class")) + " " +
         Json(FieldOr(window, "text")).dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::vector<std::string> DiffLines(const DiffResult& result) {
  std::vector<std::string> lines;
  for (const Json& window : result.added) lines.push_back("+ " + WindowLine(window));
  for (const Json& window : result.removed) lines.push_back("- " + WindowLine(window));
  for (const WindowChange& change : result.changed) {
    const std::string handle = ValueText(FieldOr(change.window, "handle"));
    for (const auto& field : change.changes.items())
      lines.push_back("~ " + handle + " " + field.key() + ": " + ValueText(field.value()["from"]) + u8" \u2192 " +
                      ValueText(field.value()["to"]));
  }
  return lines;
}

}  // namespace snapshot
