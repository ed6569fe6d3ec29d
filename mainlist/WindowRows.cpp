#include "mainlist/WindowRows.h"

#include <cstdio>

#include "platform/Format.h"

namespace mainlist {

bool PassesFilters(bool visible, const std::string& title, bool visibleOnly, bool withTitle) {
  if (visibleOnly && !visible) return false;
  if (title == kProgramManagerTitle) return false;
  if (withTitle && title.empty()) return false;
  return true;
}

WindowRow MakeWindowRow(const std::string& title, const std::string& processName, DWORD pid, HWND hwnd) {
  return {title, processName, platform::FormatInt(static_cast<int>(pid)), platform::FormatHandle(hwnd)};
}

RowTarget ParseRowTarget(const std::string& pidText, const std::string& handleText) {
  int pid = 0;
  std::sscanf(pidText.c_str(), "%d", &pid);
  unsigned int handle = 0;
  if (handleText.size() > 2) std::sscanf(handleText.c_str() + 2, "%08x", &handle);
  return {static_cast<DWORD>(pid), reinterpret_cast<HWND>(static_cast<UINT_PTR>(handle))};
}

int FindRowByHandle(const std::vector<std::string>& handleTexts, const std::string& handleText) {
  for (size_t i = 0; i < handleTexts.size(); ++i)
    if (handleTexts[i] == handleText) return static_cast<int>(i);
  return -1;
}

}  // namespace mainlist
