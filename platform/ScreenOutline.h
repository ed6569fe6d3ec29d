// A red hollow rectangle on the screen around a window or an object: a click-through, top-most
// frame window of our own with a hollow region, so what lies inside stays visible and takes
// the mouse as before. The finder outlines the window under the pointer with it, the
// accessibility view the object selected.
#pragma once
#include <windows.h>

namespace platform {

class CScreenOutline {
 public:
  CScreenOutline() = default;
  ~CScreenOutline();
  CScreenOutline(const CScreenOutline&) = delete;
  CScreenOutline& operator=(const CScreenOutline&) = delete;

  // Makes the frame window; false when the system refused it.
  bool Create();
  // Outlines the screen rectangle with an edge scaled to the DPI.
  void Show(const RECT& screen, UINT dpi);
  void Hide();
  // The frame window; null before Create.
  HWND Window() const { return m_hFrame; }

 private:
  HWND m_hFrame = nullptr;
};

}  // namespace platform
