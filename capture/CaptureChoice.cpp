#include "capture/CaptureChoice.h"

RECT ScreenPart(const RECT& virtualScreen, const RECT& window) {
  RECT part = {};
  if (!::IntersectRect(&part, &virtualScreen, &window)) return RECT{};
  return part;
}

POINT OffScreenOrigin(const RECT& virtualScreen) { return POINT{virtualScreen.right, virtualScreen.bottom}; }

UINT PrintFlagsFor(DWORD major, DWORD minor) {
  return major > 6 || (major == 6 && minor >= 3) ? kPrintRenderFullContent : 0;
}

bool AllBlack(const DWORD* pixels, std::size_t count) {
  if (count == 0) return false;
  for (std::size_t i = 0; i < count; ++i)
    if (pixels[i] & 0x00FFFFFFu) return false;
  return true;
}
