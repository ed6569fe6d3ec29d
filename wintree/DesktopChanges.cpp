#include "wintree/DesktopChanges.h"

#include <memory>
#include <optional>

#include "platform/Target.h"
#include "platform/WideText.h"
#include "snapshot/Window.h"

namespace wintree {

namespace {

using snapshot::Json;

const Json& Field(const Json& window, const char* name) {
  static const Json kNull;
  auto found = window.find(name);
  return found == window.end() ? kNull : *found;
}

std::wstring Wide(const Json& value) {
  return value.is_string() ? platform::WideFromUtf8(value.get_ref<const std::string&>()) : std::wstring();
}

HWND HandleOf(const Json& value) {
  return value.is_string() ? platform::ParseHandleText(value.get_ref<const std::string&>()) : nullptr;
}

bool Matches(const platform::CTextSearch& search, const Json& window) {
  return FollowedWindow(search, HandleOf(Field(window, "handle")), Wide(Field(window, "text")),
                        Wide(Field(window, "class")), Wide(Field(window, "process")));
}

// Whether the window matched before its changes: the fields that changed, as they were.
bool MatchedBefore(const platform::CTextSearch& search, const Json& window, const Json& changes) {
  auto was = [&](const char* field) {
    auto change = changes.find(field);
    return change == changes.end() ? Wide(Field(window, field)) : Wide(Field(*change, "from"));
  };
  return FollowedWindow(search, HandleOf(Field(window, "handle")), was("text"), was("class"), was("process"));
}

Json WindowEvent(const char* op, const Json& window) {
  Json event = Json::object();
  event["op"] = op;
  event["handle"] = Field(window, "handle");
  event["class"] = Field(window, "class");
  event["text"] = Field(window, "text");
  return event;
}

}  // namespace

std::vector<WindowRecord> RecordsOfWindows(const std::vector<Json>& windows) {
  std::vector<WindowRecord> records;
  records.reserve(windows.size());
  for (const Json& window : windows) {
    WindowRecord record;
    record.hwnd = HandleOf(Field(window, "handle"));
    if (!record.hwnd) continue;
    record.parent = HandleOf(Field(window, "parent"));
    record.owner = HandleOf(Field(window, "owner"));
    record.text = Wide(Field(window, "text"));
    record.className = Wide(Field(window, "class"));
    record.processName = Wide(Field(window, "process"));
    const Json& style = Field(window, "style");
    // The style word reads as a handle does: "0x" and its digits.
    record.visible = style.is_string() ? (reinterpret_cast<UINT_PTR>(HandleOf(style)) & WS_VISIBLE) != 0
                                       : Field(window, "visible") == true;
    record.messageOnly = Field(window, "messageOnly") == true;
    records.push_back(std::move(record));
  }
  return records;
}

std::vector<Json> WatchEvents(const snapshot::DiffResult& diff, const platform::CTextSearch& search) {
  std::vector<Json> events;
  for (const Json& window : diff.added)
    if (Matches(search, window)) events.push_back(WindowEvent("added", window));
  for (const Json& window : diff.removed)
    if (Matches(search, window)) events.push_back(WindowEvent("removed", window));
  for (const snapshot::WindowChange& change : diff.changed) {
    if (!Matches(search, change.window) && !MatchedBefore(search, change.window, change.changes)) continue;
    Json event = Json::object();
    event["op"] = "changed";
    const Json fields = snapshot::ChangeJson(change);
    for (const auto& field : fields.items()) event[field.key()] = field.value();
    events.push_back(std::move(event));
  }
  return events;
}

FollowPass DesktopFollowPass() {
  auto last = std::make_shared<std::optional<std::vector<Json>>>();
  return [last](const std::wstring& narrowing) {
    FollowedPass pass;
    std::vector<Json> now = snapshot::WindowsJson(snapshot::ReadDesktop());
    pass.time = ChangeTimeNow();
    if (*last) {
      pass.events = WatchEvents(snapshot::Diff(**last, now), platform::CTextSearch(narrowing));
      if (!pass.events.empty()) pass.windows = RecordsOfWindows(now);
    }
    *last = std::move(now);
    return pass;
  };
}

Comparison CompareWithDesktop(const snapshot::Document& document, const std::wstring& narrowing) {
  snapshot::ReadOptions options;
  for (const Json& window : document.windows) {
    if (window.contains("classStyle")) {
      options.depth = snapshot::Depth::kProperties;
      break;
    }
  }
  const std::vector<Json> now = snapshot::WindowsJson(snapshot::ReadDesktop(options));
  Comparison comparison;
  comparison.time = ChangeTimeNow();
  comparison.events = WatchEvents(snapshot::Diff(document.windows, now), platform::CTextSearch(narrowing));
  comparison.before = RecordsOfWindows(document.windows);
  comparison.now = RecordsOfWindows(now);
  return comparison;
}

std::string DesktopSnapshotText() {
  snapshot::Document document;
  document.taken = snapshot::TimeNow();
  snapshot::ReadOptions options;
  options.depth = snapshot::Depth::kProperties;
  document.windows = snapshot::WindowsJson(snapshot::ReadDesktop(options));
  return snapshot::DocumentJson(document).dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace wintree
