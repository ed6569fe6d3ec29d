#include "snapshot/Window.h"

#include <unordered_map>
#include <unordered_set>

#include "platform/ProcessLookup.h"
#include "platform/WideText.h"
#include "platform/WindowWalk.h"
#include "snapshot/PropertyFields.h"

namespace snapshot {
namespace {

// Reads windows with the names the system keeps, once per class atom and per process.
class CWindowWalk {
 public:
  explicit CWindowWalk(const ReadOptions& options) : m_options(options) {}

  // The basic fields; false for a window that is gone. The class is read last, so a window
  // that closed before it is not taken half read.
  bool Read(HWND hwnd, WindowEntry& entry) {
    entry.hwnd = hwnd;
    entry.tid = ::GetWindowThreadProcessId(hwnd, &entry.pid);
    if (!entry.tid) return false;
    entry.process = ProcessName(entry.pid);
    entry.text = platform::SystemWindowText(hwnd);
    entry.visible = ::IsWindowVisible(hwnd) != FALSE;
    ::GetWindowRect(hwnd, &entry.rect);
    entry.style = static_cast<DWORD>(::GetWindowLongW(hwnd, GWL_STYLE));
    entry.exStyle = static_cast<DWORD>(::GetWindowLongW(hwnd, GWL_EXSTYLE));
    const HWND parent = ::GetAncestor(hwnd, GA_PARENT);
    entry.messageOnly = parent && parent == MessageParent();
    entry.parent = entry.messageOnly || parent == ::GetDesktopWindow() ? nullptr : parent;
    entry.owner = ::GetWindow(hwnd, GW_OWNER);
    return ReadClass(hwnd, entry.className);
  }

  // The window and its descendants, each child only when its parent was taken.
  void ReadWithChildren(HWND hwnd, std::vector<WindowEntry>& out) {
    WindowEntry entry;
    if (!Read(hwnd, entry)) return;
    out.push_back(std::move(entry));
    if (!m_options.children) return;
    std::unordered_set<HWND> taken{hwnd};
    platform::ForEachChildWindow(hwnd, [&](HWND child) {
      WindowEntry childEntry;
      if (Read(child, childEntry) && taken.count(childEntry.parent)) {
        taken.insert(child);
        out.push_back(std::move(childEntry));
      }
      return true;
    });
  }

 private:
  // The parent every message-only window has (the system's hidden message window).
  HWND MessageParent() {
    if (!m_messageParentRead) {
      m_messageParentRead = true;
      if (HWND any = ::FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr))
        m_messageParent = ::GetAncestor(any, GA_PARENT);
    }
    return m_messageParent;
  }

  bool ReadClass(HWND hwnd, std::wstring& className) {
    // Asking for the atom costs the system less than the name, and most windows share a few
    // classes.
    const ATOM atom = static_cast<ATOM>(::GetClassLongW(hwnd, GCW_ATOM));
    if (!atom) return false;
    auto known = m_classNames.find(atom);
    if (known == m_classNames.end()) {
      wchar_t name[256];
      const int length = ::GetClassNameW(hwnd, name, 256);
      if (length <= 0) return false;
      known = m_classNames.emplace(atom, std::wstring(name, static_cast<size_t>(length < 255 ? length : 255))).first;
    }
    className = known->second;
    return true;
  }

  const std::wstring& ProcessName(DWORD pid) {
    auto known = m_processNames.find(pid);
    if (known == m_processNames.end()) known = m_processNames.emplace(pid, GetProcessNameW(pid)).first;
    return known->second;
  }

  ReadOptions m_options;
  HWND m_messageParent = nullptr;
  bool m_messageParentRead = false;
  std::unordered_map<DWORD, std::wstring> m_processNames;
  std::unordered_map<ATOM, std::wstring> m_classNames;
};

void AddPropertiesIfAsked(std::vector<WindowEntry>& entries, const ReadOptions& options) {
  if (options.depth == Depth::kProperties) ReadProperties(entries);
}

}  // namespace

std::optional<WindowEntry> ReadWindow(HWND hwnd, const ReadOptions& options) {
  if (!hwnd || !::IsWindow(hwnd)) return std::nullopt;
  std::vector<WindowEntry> entries(1);
  if (!CWindowWalk(options).Read(hwnd, entries[0])) return std::nullopt;
  AddPropertiesIfAsked(entries, options);
  return std::move(entries[0]);
}

std::vector<WindowEntry> ReadWindowTree(HWND root, const ReadOptions& options) {
  std::vector<WindowEntry> entries;
  if (!root || !::IsWindow(root)) return entries;
  ReadOptions withChildren = options;
  withChildren.children = true;
  CWindowWalk(withChildren).ReadWithChildren(root, entries);
  AddPropertiesIfAsked(entries, options);
  return entries;
}

std::vector<WindowEntry> ReadDesktop(const ReadOptions& options) {
  std::vector<HWND> topLevel;
  platform::ForEachTopLevelWindow([&](HWND hwnd) {
    topLevel.push_back(hwnd);
    return true;
  });
  // Listed before any is read: the search goes on from the last one found, which must not have
  // closed in between.
  std::vector<HWND> messageOnly;
  if (options.messageOnly) {
    for (HWND after = nullptr; static_cast<int>(messageOnly.size()) < kMaxMessageOnlyWindows;) {
      after = ::FindWindowExW(HWND_MESSAGE, after, nullptr, nullptr);
      if (!after) break;
      messageOnly.push_back(after);
    }
  }
  std::vector<WindowEntry> entries;
  entries.reserve(topLevel.size() * 2 + messageOnly.size());
  CWindowWalk walk(options);
  for (HWND hwnd : topLevel) walk.ReadWithChildren(hwnd, entries);
  for (HWND hwnd : messageOnly) walk.ReadWithChildren(hwnd, entries);
  AddPropertiesIfAsked(entries, options);
  return entries;
}

Json WindowJson(const WindowEntry& entry) {
  Json window = Json::object();
  window["handle"] = HandleJson(entry.hwnd);
  window["class"] = Utf8(entry.className);
  window["text"] = Utf8(entry.text);
  window["pid"] = entry.pid;
  window["tid"] = entry.tid;
  window["process"] = entry.process.empty() ? Json(nullptr) : Json(Utf8(entry.process));
  if (entry.process.empty()) window["processError"] = "the system does not name the process";
  window["visible"] = entry.visible;
  window["rect"] = Json::array({entry.rect.left, entry.rect.top, entry.rect.right, entry.rect.bottom});
  window["style"] = WordText(entry.style);
  window["exStyle"] = WordText(entry.exStyle);
  window["parent"] = HandleJson(entry.parent);
  window["owner"] = HandleJson(entry.owner);
  window["messageOnly"] = entry.messageOnly;
  for (const auto& field : entry.properties.items()) window[field.key()] = field.value();
  if (entry.timedOut) window["timedOut"] = true;
  return window;
}

std::vector<Json> WindowsJson(const std::vector<WindowEntry>& entries) {
  std::vector<Json> windows;
  windows.reserve(entries.size());
  for (const WindowEntry& entry : entries) windows.push_back(WindowJson(entry));
  return windows;
}

}  // namespace snapshot
