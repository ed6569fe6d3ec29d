#include "snapshot/Window.h"

#include "platform/DesktopWalk.h"
#include "platform/WideText.h"
#include "snapshot/PropertyFields.h"

namespace snapshot {
namespace {

// Reads the basic fields of windows, the names through one cache for the whole read.
class CWindowReader {
 public:
  // The basic fields; false for a window that is gone. The class is read last, so a window
  // that closed before it is not taken half read. A parent the walk already knows is not
  // asked for again.
  bool Read(HWND hwnd, WindowEntry& entry, const platform::WalkedWindow* walked = nullptr) {
    entry.hwnd = hwnd;
    entry.tid = ::GetWindowThreadProcessId(hwnd, &entry.pid);
    if (!entry.tid) return false;
    entry.process = m_names.ProcessName(entry.pid);
    entry.text = platform::SystemWindowText(hwnd);
    entry.visible = ::IsWindowVisible(hwnd) != FALSE;
    ::GetWindowRect(hwnd, &entry.rect);
    entry.style = static_cast<DWORD>(::GetWindowLongW(hwnd, GWL_STYLE));
    entry.exStyle = static_cast<DWORD>(::GetWindowLongW(hwnd, GWL_EXSTYLE));
    if (walked && walked->parent) {
      entry.parent = walked->parent;
    } else {
      const HWND parent = ::GetAncestor(hwnd, GA_PARENT);
      entry.messageOnly = parent && parent == MessageParent();
      entry.parent = entry.messageOnly || parent == ::GetDesktopWindow() ? nullptr : parent;
    }
    entry.owner = ::GetWindow(hwnd, GW_OWNER);
    return m_names.ClassName(hwnd, entry.className);
  }

  // What the walk offers, taken into out when it could be read.
  platform::TakeWindow Into(std::vector<WindowEntry>& out) {
    return [this, &out](const platform::WalkedWindow& window) {
      WindowEntry entry;
      if (!Read(window.hwnd, entry, &window)) return false;
      out.push_back(std::move(entry));
      return true;
    };
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

  HWND m_messageParent = nullptr;
  bool m_messageParentRead = false;
  platform::CWindowNames m_names;
};

void AddPropertiesIfAsked(std::vector<WindowEntry>& entries, const ReadOptions& options) {
  if (options.depth == Depth::kProperties) ReadProperties(entries);
}

}  // namespace

std::optional<WindowEntry> ReadWindow(HWND hwnd, const ReadOptions& options) {
  if (!hwnd || !::IsWindow(hwnd)) return std::nullopt;
  std::vector<WindowEntry> entries(1);
  if (!CWindowReader().Read(hwnd, entries[0])) return std::nullopt;
  AddPropertiesIfAsked(entries, options);
  return std::move(entries[0]);
}

std::vector<WindowEntry> ReadWindowTree(HWND root, const ReadOptions& options) {
  std::vector<WindowEntry> entries;
  if (!root || !::IsWindow(root)) return entries;
  CWindowReader reader;
  platform::WalkWindowTree(root, false, true, reader.Into(entries));
  AddPropertiesIfAsked(entries, options);
  return entries;
}

std::vector<WindowEntry> ReadDesktop(const ReadOptions& options) {
  const platform::DesktopRoots roots = platform::ListDesktopRoots(options.messageOnly);
  std::vector<WindowEntry> entries;
  entries.reserve(roots.topLevel.size() * 2 + roots.messageOnly.size());
  CWindowReader reader;
  platform::WalkDesktop(roots, options.children, reader.Into(entries));
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
