#include "platform/ScreenOutline.h"

#include "platform/Dpi.h"
#include "platform/Handles.h"
#include "platform/LayeredCalls.h"
#include "platform/WinApp.h"

namespace platform {
namespace {

constexpr char kFrameClass[] = "QuorvelFinderFrame";
// Width of the outline in pixels at 96 DPI.
constexpr int kFrameWidth = 3;

void RegisterFrameClass() {
  WNDCLASSA frameClass{};
  if (::GetClassInfoA(AppInstance(), kFrameClass, &frameClass)) return;
  frameClass.lpfnWndProc = ::DefWindowProcA;
  frameClass.hInstance = AppInstance();
  // Red as the inspector's frame, and seen on dark windows too; the class owns its brush once
  // it is registered, and the system deletes it with the class.
  UniqueBrush red = MakeSolidBrush(RGB(255, 0, 0));
  frameClass.hbrBackground = red.get();
  frameClass.lpszClassName = kFrameClass;
  if (::RegisterClassA(&frameClass)) red.release();
}

}  // namespace

CScreenOutline::~CScreenOutline() {
  if (m_hFrame) ::DestroyWindow(m_hFrame);
}

bool CScreenOutline::Create() {
  if (m_hFrame) return true;
  RegisterFrameClass();
  m_hFrame = ::CreateWindowExA(WS_EX_TRANSPARENT | WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE,
                               kFrameClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, AppInstance(), nullptr);
  if (m_hFrame) CallSetLayeredWindowAttributes(m_hFrame, 0, 255, LWA_ALPHA);
  return m_hFrame != nullptr;
}

void CScreenOutline::Show(const RECT& screen, UINT dpi) {
  if (!m_hFrame) return;
  const int width = screen.right - screen.left;
  const int height = screen.bottom - screen.top;
  if (width <= 0 || height <= 0) return Hide();
  const int edge = ScaleForDpi(kFrameWidth, dpi);
  // A hollow rectangle: the window inside stays visible and nothing is drawn on it.
  UniqueRegion outer(::CreateRectRgn(0, 0, width, height));
  UniqueRegion inner(::CreateRectRgn(edge, edge, width - edge, height - edge));
  if (outer && inner && ::CombineRgn(outer.get(), outer.get(), inner.get(), RGN_DIFF) != ERROR) {
    if (::SetWindowRgn(m_hFrame, outer.get(), FALSE)) outer.release();
  }
  ::SetWindowPos(m_hFrame, HWND_TOPMOST, screen.left, screen.top, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  ::RedrawWindow(m_hFrame, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CScreenOutline::Hide() {
  if (m_hFrame && ::IsWindowVisible(m_hFrame)) ::ShowWindow(m_hFrame, SW_HIDE);
}

}  // namespace platform
