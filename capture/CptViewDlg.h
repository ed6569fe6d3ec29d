// The capture-view panel: a picture of the target window, taken automatically when a row of
// the main list is clicked and again by one of the four capture buttons; the picture can be
// copied to the clipboard and saved to a file.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "capture/WindowCapture.h"
#include "platform/Dialog.h"
#include "platform/FileDialog.h"
#include "platform/Target.h"

class CCptViewDlg : public platform::CDialogT<CCptViewDlg> {
 public:
  CCptViewDlg();
  ~CCptViewDlg() override;
  static MessageMapView MessageMap();

  // Takes the target from the main dialog: m_hTarget, then AutoCapture.
  void SetTarget(HWND hwnd);
  // Takes the picture of m_hTarget by the method its state calls for and repaints; does
  // nothing, not even repaint, when the target is not a live window.
  void AutoCapture();

  HWND Target() const { return m_hTarget; }
  const WindowPicture& Picture() const { return m_picture; }

 protected:
  BOOL OnInitDialog() override;
  void OnDpiChanged(UINT dpi) override;

 private:
  HWND m_hTarget = platform::kNoTarget;
  WindowPicture m_picture;

  std::optional<LRESULT> OnPaint(WPARAM, LPARAM);
  void OnPrintWindow();
  void OnSurfaceCapture();
  void OnIconicCapture();
  void OnHideCapture();
  void OnCopyClipboard();
  void OnSavePicture();

  // The buttons' captures: run the method, then repaint whatever came of it.
  void RunCapture(void (*method)(HWND owner, HWND target, WindowPicture& picture));
  void Repaint() const { ::InvalidateRect(GetSafeHwnd(), nullptr, TRUE); }

  // The DPI the picture's corner and box are scaled to.
  UINT m_dpi = 96;
};

namespace capture {

// What the Save As dialog of the picture asks with: the name proposed from the window's title,
// PNG (selected) and BMP as the types, and "png" added to a name typed without an extension.
platform::SaveFileRequest PictureSaveRequest(const std::wstring& windowTitle);

}  // namespace capture
