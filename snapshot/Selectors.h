// Naming windows from a command line: a handle ("0x1a2b", "0x00001a2b" or decimal) or
// selectors that combine (title and class wildcards, case aside; process id; process name).
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "snapshot/Window.h"

namespace snapshot {

// The handle a text names: "0x" and 1 to 8 hexadecimal digits, or a decimal number below 2^32;
// none for anything else (signs, blanks, other characters, too large).
std::optional<HWND> ParseHandle(std::string_view text);

// Whether the text matches the pattern: "*" any run of characters, "?" one character, case
// aside by the system's invariant upper case.
bool WildcardMatch(std::wstring_view pattern, std::wstring_view text);

struct Selector {
  std::optional<std::wstring> title;
  std::optional<std::wstring> className;
  std::optional<DWORD> pid;
  // The executable's file name, as a wildcard; a name without a dot also matches "NAME.exe".
  std::optional<std::wstring> process;

  bool Empty() const { return !title && !className && !pid && !process; }
  // Whether the window passes every selector given.
  bool Matches(const WindowEntry& window) const;
};

}  // namespace snapshot
