#include "capture/CptViewDlg.h"

#include <iterator>
#include <string>

#include "capture/PictureFile.h"
#include "capture/PictureLayout.h"
#include "platform/Dpi.h"
#include "platform/FileDialog.h"
#include "platform/Clipboard.h"
#include "platform/Handles.h"
#include "platform/MessageBox.h"
#include "platform/WideText.h"
#include "res/resource.h"

namespace {

using platform::kNoTarget;
const char kSaveFailedMessage[] = "画像を保存できませんでした。";

// The target as the methods take it: the no-target value is no window.
HWND MethodTarget(HWND target) { return target == kNoTarget ? nullptr : target; }

// An independent copy of the picture's bitmap, or null when there is nothing to copy.
platform::UniqueBitmap CopyBitmap(HWND owner, const WindowPicture& picture) {
  if (!picture.bitmap) return nullptr;
  platform::CWindowDcGuard screen(owner);
  platform::UniqueBitmap copy(::CreateCompatibleBitmap(screen.Get(), picture.width, picture.height));
  platform::UniqueMemoryDc from(::CreateCompatibleDC(screen.Get()));
  platform::UniqueMemoryDc to(::CreateCompatibleDC(screen.Get()));
  if (!copy || !from || !to) return nullptr;
  platform::CSelectObjectGuard selectFrom(from.get(), picture.bitmap.get());
  platform::CSelectObjectGuard selectTo(to.get(), copy.get());
  if (!::BitBlt(to.get(), 0, 0, picture.width, picture.height, from.get(), 0, 0, SRCCOPY)) return nullptr;
  return copy;
}

// The title the system keeps; reading it does not wait for the window's thread.
std::wstring WindowTitle(HWND hwnd) { return hwnd ? platform::SystemWindowText(hwnd) : std::wstring(); }

}  // namespace

CCptViewDlg::CCptViewDlg() : CDialogT(IDD_CPTVIEW) {}

CCptViewDlg::~CCptViewDlg() { DestroyWindow(); }

CCptViewDlg::MessageMapView CCptViewDlg::MessageMap() {
  static const MessageEntry kMap[] = {
      OnMessage(WM_PAINT, &CCptViewDlg::OnPaint),
      OnCommand(IDC_CPT_PRINTWINDOW, BN_CLICKED, &CCptViewDlg::OnPrintWindow),
      OnCommand(IDC_CPT_SURFACECAPTURE, BN_CLICKED, &CCptViewDlg::OnSurfaceCapture),
      OnCommand(IDC_CPT_ICONICCAPTURE, BN_CLICKED, &CCptViewDlg::OnIconicCapture),
      OnCommand(IDC_CPT_HIDECAPTURE, BN_CLICKED, &CCptViewDlg::OnHideCapture),
      OnCommand(IDC_CPT_COPYCLIPBOARD, BN_CLICKED, &CCptViewDlg::OnCopyClipboard),
      OnCommand(IDC_CPT_SAVEPICTURE, BN_CLICKED, &CCptViewDlg::OnSavePicture),
  };
  return kMap;
}

BOOL CCptViewDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_hTarget = kNoTarget;
  m_dpi = platform::WindowDpi(GetSafeHwnd());
  return TRUE;
}

void CCptViewDlg::OnDpiChanged(UINT dpi) {
  m_dpi = dpi;
  Repaint();
}

void CCptViewDlg::SetTarget(HWND hwnd) {
  m_hTarget = hwnd;
  AutoCapture();
}

void CCptViewDlg::AutoCapture() {
  if (::AutoCapture(GetSafeHwnd(), MethodTarget(m_hTarget), m_picture)) Repaint();
}

void CCptViewDlg::RunCapture(void (*method)(HWND owner, HWND target, WindowPicture& picture)) {
  method(GetSafeHwnd(), MethodTarget(m_hTarget), m_picture);
  Repaint();
}

void CCptViewDlg::OnPrintWindow() { RunCapture(&PrintWindowCapture); }
void CCptViewDlg::OnSurfaceCapture() { RunCapture(&SurfaceCapture); }
void CCptViewDlg::OnIconicCapture() { RunCapture(&IconicCapture); }
void CCptViewDlg::OnHideCapture() { RunCapture(&HideCapture); }

std::optional<LRESULT> CCptViewDlg::OnPaint(WPARAM, LPARAM) {
  platform::CPaintDcGuard paint(GetSafeHwnd());
  if (m_hTarget == kNoTarget || !m_picture.bitmap) return 0;
  const POINT corner = platform::ScaleForDpi(POINT{capture::kPictureLeft, capture::kPictureTop}, m_dpi);
  const capture::DrawnSize drawn =
      capture::FitPicture(m_picture.width, m_picture.height, platform::ScaleForDpi(capture::kPictureBoxWidth, m_dpi),
                          platform::ScaleForDpi(capture::kPictureBoxHeight, m_dpi));
  if (drawn.width <= 0 || drawn.height <= 0) return 0;

  platform::UniqueMemoryDc memoryDc(::CreateCompatibleDC(paint.Get()));
  if (!memoryDc) return 0;
  platform::CSelectObjectGuard select(memoryDc.get(), m_picture.bitmap.get());
  if (!drawn.scaled) {
    ::BitBlt(paint.Get(), corner.x, corner.y, drawn.width, drawn.height, memoryDc.get(), 0, 0, SRCCOPY);
    return 0;
  }
  const int oldMode = ::SetStretchBltMode(paint.Get(), HALFTONE);
  POINT oldOrigin = {};
  ::SetBrushOrgEx(paint.Get(), 0, 0, &oldOrigin);  // HALFTONE needs the brush origin reset after it is set
  ::StretchBlt(paint.Get(), corner.x, corner.y, drawn.width, drawn.height, memoryDc.get(), 0, 0, m_picture.width,
               m_picture.height, SRCCOPY);
  ::SetBrushOrgEx(paint.Get(), oldOrigin.x, oldOrigin.y, nullptr);
  ::SetStretchBltMode(paint.Get(), oldMode);
  return 0;
}

void CCptViewDlg::OnCopyClipboard() {
  // The clipboard owns what it is given, while the panel keeps drawing and later replaces its
  // own picture: it gets a copy.
  platform::UniqueBitmap copy = CopyBitmap(GetSafeHwnd(), m_picture);
  const platform::CClipboardOpen clipboard(GetSafeHwnd());
  if (!clipboard.IsOpen()) {
    platform::PanelMessageBox(GetSafeHwnd(), platform::kClipboardBusyMessage);
    return;
  }
  ::EmptyClipboard();
  if (copy && ::SetClipboardData(CF_BITMAP, copy.get())) copy.release();
}

namespace capture {

platform::SaveFileRequest PictureSaveRequest(const std::wstring& windowTitle) {
  platform::SaveFileRequest request;
  request.fileName = ProposedFileName(windowTitle);
  request.filter.assign(kPictureFileFilter, std::size(kPictureFileFilter) - 1);
  request.filterIndex = kPngFilterIndex;
  request.defaultExtension = L"png";
  return request;
}

}  // namespace capture

void CCptViewDlg::OnSavePicture() {
  if (!m_picture.bitmap) return;
  std::optional<platform::SaveFileChoice> choice = platform::ShowSaveFileDialog(
      GetSafeHwnd(), capture::PictureSaveRequest(WindowTitle(MethodTarget(m_hTarget))));
  if (!choice) return;
  std::string reason = capture::WritePictureFile(m_picture.bitmap.get(), choice->path,
                                                 capture::ChosenFormat(choice->path, choice->filterIndex));
  if (!reason.empty()) platform::PanelMessageBox(GetSafeHwnd(), std::string(kSaveFailedMessage) + "\r\n" + reason);
}
