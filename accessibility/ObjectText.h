// What the accessibility view shows of one object, as texts: the tree's item, the list's rows,
// the state word with the names of its bits, the location, and the copied rows. Everything an
// object answers comes from another program, so every text is bounded here first.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/PropertyRow.h"

namespace accessibility {

// The longest text kept of any one thing an object says (a name, a value, a description).
constexpr size_t kMaxTextLength = 1024;

// The text cut to kMaxTextLength characters, with line breaks, tabs and other control
// characters escaped (platform::EscapedLine) so a tree item or a copied row stays one line.
std::wstring BoundedText(const wchar_t* text, size_t length);

// "0x%08x" of the state word followed by the Japanese names of its bits, lowest first.
std::wstring StateText(DWORD state);
// "x=… y=… w=… h=…" in screen pixels.
std::wstring LocationText(long x, long y, long width, long height);
// A tree item: the role, then the name in quotes.
std::wstring ItemText(const std::wstring& role, const std::wstring& name);

// Where an object is on the screen, in pixels.
struct ObjectLocation {
  long x = 0, y = 0, width = 0, height = 0;
};

// What an object answered; a property it did not answer stays empty.
struct ObjectDetails {
  std::wstring name;
  std::wstring role;
  std::optional<DWORD> state;
  std::wstring value;
  std::wstring description;
  std::wstring defaultAction;
  std::wstring shortcut;
  std::wstring help;
  std::optional<ObjectLocation> location;
  std::optional<long> childCount;
  HWND window = nullptr;
};

using platform::PropertyRow;

// The part of the location that lies on the screen (the virtual screen's rectangle), reckoned
// without overflow whatever numbers the object gave; none when no part of it does.
std::optional<RECT> LocationOnScreen(const ObjectLocation& location, const RECT& screen);

// The list's rows for an object, in the order they are shown.
std::vector<PropertyRow> DetailRows(const ObjectDetails& details);
// Rows as copied: "項目<TAB>値" a line, each line ended with CR LF.
inline std::wstring CopiedRows(const std::vector<PropertyRow>& rows) { return platform::RowsAsText(rows); }

// What the view says when the system hands out no object for the window.
std::string RefusalText(HRESULT result);

}  // namespace accessibility
