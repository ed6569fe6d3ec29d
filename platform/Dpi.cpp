#include "platform/Dpi.h"

#include "platform/Handles.h"
#include "platform/LateBound.h"

namespace platform {

UINT WindowDpi(HWND hwnd) {
  if (const UINT dpi = CallLateBound<UINT>("user32.dll", "GetDpiForWindow", hwnd)) return dpi;
  CWindowDcGuard dc(hwnd);
  const int logical = dc.Get() ? ::GetDeviceCaps(dc.Get(), LOGPIXELSX) : 0;
  return logical > 0 ? static_cast<UINT>(logical) : kDefaultDpi;
}

int ScaleForDpi(int value, UINT dpi) { return ::MulDiv(value, static_cast<int>(dpi), static_cast<int>(kDefaultDpi)); }

POINT ScaleForDpi(POINT point, UINT dpi) { return POINT{ScaleForDpi(point.x, dpi), ScaleForDpi(point.y, dpi)}; }

RECT ScaleForDpi(const RECT& rect, UINT dpi) {
  return RECT{ScaleForDpi(rect.left, dpi), ScaleForDpi(rect.top, dpi), ScaleForDpi(rect.right, dpi),
              ScaleForDpi(rect.bottom, dpi)};
}

void LayOutListColumns(const CListCtrl& list, std::initializer_list<ListColumn> columns, UINT dpi) {
  HWND header = reinterpret_cast<HWND>(list.Send(LVM_GETHEADER));
  const bool present = header && ::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) > 0;
  int index = 0;
  for (const ListColumn& column : columns) {
    const int width = ScaleForDpi(column.width, dpi);
    if (present)
      list.Send(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(index), MAKELPARAM(width, 0));
    else
      list.InsertColumn(index, column.heading, column.format, width);
    ++index;
  }
}

}  // namespace platform
