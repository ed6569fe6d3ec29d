#include "mainlist/WindowRows.h"

#include <cstdio>

#include "platform/Format.h"
#include "platform/Target.h"
#include "platform/WideText.h"

namespace mainlist {

bool PassesFilters(bool visible, const std::wstring& title, bool visibleOnly, bool withTitle) {
  if (visibleOnly && !visible) return false;
  if (title == kProgramManagerTitle) return false;
  if (withTitle && title.empty()) return false;
  return true;
}

WindowRow MakeWindowRow(const std::wstring& title, const std::wstring& processName, DWORD pid, HWND hwnd) {
  return {title, processName, platform::FormatInt(static_cast<int>(pid)), platform::FormatHandle(hwnd)};
}

platform::ListRow WindowRow::Cells() const {
  return {title, processName, platform::WidenAnsi(pid), platform::WidenAnsi(handle)};
}

RowTarget ParseRowTarget(const std::string& pidText, const std::string& handleText) {
  int pid = 0;
  std::sscanf(pidText.c_str(), "%d", &pid);
  return {static_cast<DWORD>(pid), platform::ParseHandleText(handleText)};
}

}  // namespace mainlist
