// A listed child as text a bug report can hold: its row, then what the window is now.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "platform/CsvFile.h"

namespace inspector {

// What the child is now, read when it is copied.
struct ChildLiveState {
  RECT window;  // screen coordinates
  RECT client;
  DWORD style;
  DWORD exStyle;
};

// One line "heading: cell" per column of the row (the flags "Visible" and "Enable", left empty
// in the list when false, read FALSE), then the window rectangle, the client size and the two
// style words, or a line saying that the child is no longer a window. Lines end with CR LF.
std::wstring ChildReport(const platform::CsvRow& headings, const platform::CsvRow& cells,
                         const std::optional<ChildLiveState>& live);

}  // namespace inspector
