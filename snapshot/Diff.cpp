#include "snapshot/Diff.h"

#include <unordered_map>

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

Json FieldChanges(const Json& before, const Json& after) {
  Json changes = Json::object();
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

DiffResult Diff(const std::vector<Json>& before, const std::vector<Json>& after) {
  DiffResult result;
  // Each earlier window by its key; a key met twice (only a hand-made file has that) keeps the
  // first, and the others are windows of their own.
  std::unordered_map<std::string, size_t> earlier;
  earlier.reserve(before.size() * 2);
  std::vector<char> matched(before.size(), 0);
  for (size_t i = 0; i < before.size(); ++i) earlier.emplace(WindowKey(before[i]), i);
  for (const Json& window : after) {
    const auto found = earlier.find(WindowKey(window));
    if (found == earlier.end() || matched[found->second]) {
      result.added.push_back(window);
      continue;
    }
    matched[found->second] = 1;
    Json changes = FieldChanges(before[found->second], window);
    if (!changes.empty()) result.changed.push_back({window, std::move(changes)});
  }
  for (size_t i = 0; i < before.size(); ++i)
    if (!matched[i]) result.removed.push_back(before[i]);
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
