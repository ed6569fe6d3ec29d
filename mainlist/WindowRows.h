// What the window list shows: which top-level windows get a row and how a row reads.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace mainlist {

// The title that is never listed, whatever the window's class.
constexpr const wchar_t kProgramManagerTitle[] = L"Program Manager";
// Window titles are read into a buffer of this size, so at most 255 characters are shown.
constexpr int kTitleBufferSize = 256;

// Whether a window that passed the own-dialog check gets a row under the two filters.
bool PassesFilters(bool visible, const std::wstring& title, bool visibleOnly, bool withTitle);

struct WindowRow {
  std::wstring title;  // UTF-16: every character the title has
  std::string processName;
  std::string pid;     // "%d"
  std::string handle;  // "0x%08x"
};

WindowRow MakeWindowRow(const std::wstring& title, const std::string& processName, DWORD pid, HWND hwnd);

// The target as a row's texts give it: the PID column parsed as decimal, the handle column
// as hexadecimal after its "0x".
struct RowTarget {
  DWORD pid;
  HWND hwnd;
};
RowTarget ParseRowTarget(const std::string& pidText, const std::string& handleText);

// Index of the first row whose handle text equals handleText exactly; -1 when none does.
int FindRowByHandle(const std::vector<std::string>& handleTexts, const std::string& handleText);

}  // namespace mainlist
