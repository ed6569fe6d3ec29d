#include "wintree/DesktopReader.h"

#include "platform/WideText.h"

namespace wintree {

std::vector<WindowRecord> ReadDesktop(const DesktopReadOptions& options) {
  const platform::DesktopRoots roots = platform::ListDesktopRoots(true, options.maxMessageOnlyWindows);
  std::vector<WindowRecord> records;
  records.reserve(roots.topLevel.size() * 2 + roots.messageOnly.size());
  platform::CWindowNames names;
  platform::WalkDesktop(roots, true, [&](const platform::WalkedWindow& window) {
    if (options.beforeEach) options.beforeEach(window.hwnd);
    WindowRecord record;
    record.hwnd = window.hwnd;
    record.parent = window.parent;
    record.messageOnly = window.messageOnly;
    if (!window.parent) {
      DWORD pid = 0;
      ::GetWindowThreadProcessId(window.hwnd, &pid);
      record.processName = names.ProcessName(pid);
    }
    record.visible = (::GetWindowLongW(window.hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
    record.text = platform::SystemWindowText(window.hwnd);
    // The class last: a window that closed before it is not taken.
    if (!names.ClassName(window.hwnd, record.className)) return false;
    records.push_back(std::move(record));
    return true;
  });
  return records;
}

void ReadOwners(std::vector<WindowRecord>& records) {
  for (WindowRecord& record : records)
    if (!record.parent) record.owner = ::GetWindow(record.hwnd, GW_OWNER);
}

}  // namespace wintree
