#include "mainlist/WindowRows.h"

#include <cstdio>

#include "platform/Format.h"
#include "platform/Target.h"

namespace mainlist {

bool PassesFilters(bool visible, const std::wstring& title, bool visibleOnly, bool withTitle) {
  if (visibleOnly && !visible) return false;
  if (title == kProgramManagerTitle) return false;
  if (withTitle && title.empty()) return false;
  return true;
}

WindowRow MakeWindowRow(const std::wstring& title, const std::string& processName, DWORD pid, HWND hwnd) {
  return {title, processName, platform::FormatInt(static_cast<int>(pid)), platform::FormatHandle(hwnd)};
}

RowTarget ParseRowTarget(const std::string& pidText, const std::string& handleText) {
  int pid = 0;
  std::sscanf(pidText.c_str(), "%d", &pid);
  return {static_cast<DWORD>(pid), platform::ParseHandleText(handleText)};
}

int FindRowByHandle(const std::vector<std::string>& handleTexts, const std::string& handleText) {
  for (size_t i = 0; i < handleTexts.size(); ++i)
    if (handleTexts[i] == handleText) return static_cast<int>(i);
  return -1;
}

}  // namespace mainlist
