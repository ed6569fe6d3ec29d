// The DPI a dialog is drawn at, and the pixel figures a dialog draws and hit-tests with, which
// are written for 96 DPI and scaled to the dialog's DPI (the templates scale with their font).
#pragma once
#include <windows.h>

#include <initializer_list>

#include "platform/Controls.h"

namespace platform {

constexpr UINT kDefaultDpi = 96;
// Sent to a top-level window whose DPI changed (wParam: the new DPI), and to its children after it.
constexpr UINT kWmDpiChanged = 0x02E0;
constexpr UINT kWmDpiChangedAfterParent = 0x02E3;

// GetDpiForWindow where the system has it (Windows 10 1607 and later), else the logical pixels
// per inch of the window's DC; 96 when neither answers.
UINT WindowDpi(HWND hwnd);

// A 96-DPI pixel figure at dpi: MulDiv(value, dpi, 96), so at 96 every figure is itself.
int ScaleForDpi(int value, UINT dpi);
POINT ScaleForDpi(POINT point, UINT dpi);
RECT ScaleForDpi(const RECT& rect, UINT dpi);

// A report list's column, its width at 96 DPI.
struct ListColumn {
  const char* heading;
  int format;
  int width;
};

// Inserts the columns into a list without columns, or sets the widths of the columns a list has,
// at the widths the dpi gives.
void LayOutListColumns(const CListCtrl& list, std::initializer_list<ListColumn> columns, UINT dpi);

}  // namespace platform
