// One descendant window of the inspected window, as read when the inspector last listed them,
// and how it reads in the inspector's list.
#pragma once
#include <windows.h>

#include <array>
#include <string>

class CChildWindowItem {
 public:
  virtual ~CChildWindowItem() = default;

  HWND hwnd = nullptr;
  HWND parent = nullptr;
  // UTF-16: every character the window has.
  std::wstring text;
  std::wstring className;
  int ctrlId = 0;
  BOOL visible = FALSE;
  BOOL enabled = FALSE;
};

namespace inspector {

// Columns of the child list; the eighth column stays empty.
constexpr int kChildColumns = 7;

// The cells of a record's row: handle, className, text, parent, CtrlID, Visible, Enable.
std::array<std::wstring, kChildColumns> ChildRowTexts(const CChildWindowItem& item);

// The text a window wrote into a buffer of size characters, taken up to the length it reported;
// a length below 0 or not below size (no room left for the terminating zero) is no text.
std::wstring WrittenText(const wchar_t* buffer, size_t size, LRESULT length);

}  // namespace inspector
