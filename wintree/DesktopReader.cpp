#include "wintree/DesktopReader.h"

#include <unordered_map>

#include "platform/ProcessLookup.h"
#include "platform/WideText.h"
#include "platform/WindowWalk.h"

namespace wintree {

namespace {

class CDesktopWalk {
 public:
  explicit CDesktopWalk(const DesktopReadOptions& options) : m_options(options) {}
  std::vector<WindowRecord> Read() {
    std::vector<HWND> topLevel;
    platform::ForEachTopLevelWindow([&](HWND hwnd) {
      topLevel.push_back(hwnd);
      return true;
    });
    // Listed before any is read: the search goes on from the last one found, which must not
    // have closed in between.
    std::vector<HWND> messageOnly;
    for (HWND after = nullptr; static_cast<int>(messageOnly.size()) < m_options.maxMessageOnlyWindows;) {
      after = ::FindWindowExW(HWND_MESSAGE, after, nullptr, nullptr);
      if (!after) break;
      messageOnly.push_back(after);
    }
    for (HWND hwnd : topLevel) ReadWithChildren(hwnd, false);
    for (HWND hwnd : messageOnly) ReadWithChildren(hwnd, true);
    return std::move(m_records);
  }

 private:
  void ReadWithChildren(HWND hwnd, bool messageOnly) {
    if (m_options.beforeEach) m_options.beforeEach(hwnd);
    WindowRecord record;
    record.hwnd = hwnd;
    record.messageOnly = messageOnly;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    record.processName = ProcessName(pid);
    if (!ReadOwn(record)) return;
    m_records.push_back(std::move(record));
    platform::ForEachChildWindow(hwnd, [&](HWND child) {
      if (m_options.beforeEach) m_options.beforeEach(child);
      WindowRecord childRecord;
      childRecord.hwnd = child;
      childRecord.parent = ::GetAncestor(child, GA_PARENT);
      if (ReadOwn(childRecord)) m_records.push_back(std::move(childRecord));
      return true;
    });
  }

  // Style, text and class; the class last, so a window that closed before it is not taken.
  bool ReadOwn(WindowRecord& record) {
    record.visible = (::GetWindowLongW(record.hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
    record.text = platform::SystemWindowText(record.hwnd);
    // One name per class atom: asking for the atom costs the system less than the name, and
    // most windows share a few classes.
    const ATOM atom = static_cast<ATOM>(::GetClassLongW(record.hwnd, GCW_ATOM));
    if (!atom) return false;
    auto known = m_classNames.find(atom);
    if (known == m_classNames.end()) {
      wchar_t className[256];
      const int length = ::GetClassNameW(record.hwnd, className, 256);
      if (length <= 0) return false;
      known = m_classNames.emplace(atom, std::wstring(className, static_cast<size_t>(length < 255 ? length : 255))).first;
    }
    record.className = known->second;
    return true;
  }

  const std::wstring& ProcessName(DWORD pid) {
    auto known = m_processNames.find(pid);
    if (known == m_processNames.end())
      known = m_processNames.emplace(pid, GetProcessNameW(pid)).first;
    return known->second;
  }

  const DesktopReadOptions& m_options;
  std::vector<WindowRecord> m_records;
  std::unordered_map<DWORD, std::wstring> m_processNames;
  std::unordered_map<ATOM, std::wstring> m_classNames;
};

}  // namespace

std::vector<WindowRecord> ReadDesktop(const DesktopReadOptions& options) { return CDesktopWalk(options).Read(); }

void ReadOwners(std::vector<WindowRecord>& records) {
  for (WindowRecord& record : records)
    if (!record.parent) record.owner = ::GetWindow(record.hwnd, GW_OWNER);
}

}  // namespace wintree
