// What the window list shows: which top-level windows get a row and how a row reads.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

#include "platform/Controls.h"

namespace mainlist {

// The title that is never listed, whatever the window's class.
constexpr const wchar_t kProgramManagerTitle[] = L"Program Manager";
// Window titles are read into a buffer of this size, so at most 255 characters are shown.
constexpr int kTitleBufferSize = 256;

// Whether a window that passed the own-dialog check gets a row under the two filters.
bool PassesFilters(bool visible, const std::wstring& title, bool visibleOnly, bool withTitle);

// The list's columns: title, process name, process id, handle.
constexpr int kPidColumn = 2;
constexpr int kHandleColumn = 3;

struct WindowRow {
  std::wstring title;  // UTF-16: every character the title has
  std::wstring processName;
  std::string pid;     // "%d"
  std::string handle;  // "0x%08x"
  // The texts in the list's column order.
  platform::ListRow Cells() const;
};

WindowRow MakeWindowRow(const std::wstring& title, const std::wstring& processName, DWORD pid, HWND hwnd);

// The target as a row's texts give it: the PID column parsed as decimal, the handle column
// as hexadecimal after its "0x".
struct RowTarget {
  DWORD pid;
  HWND hwnd;
};
RowTarget ParseRowTarget(const std::string& pidText, const std::string& handleText);

}  // namespace mainlist
