#include "platform/ModelessView.h"

#include "platform/ViewPlacement.h"

namespace platform {

bool CModelessView::Open(HWND owner, int cascade) {
  if (!GetSafeHwnd()) {
    if (!Create(owner)) return false;
    // An owned window stays above its owner: beside it, both stay in sight.
    PlaceBesideOwner(GetSafeHwnd(), owner, cascade);
  }
  const HWND view = GetSafeHwnd();
  const bool shown = m_bClosed || !::IsWindowVisible(view);
  m_bClosed = false;
  if (::IsIconic(view)) ShowWindow(SW_RESTORE);
  if (shown) {
    ShowWindow(SW_SHOW);
    OnShown();
  }
  ::SetForegroundWindow(view);
  return true;
}

void CModelessView::Close() {
  if (m_bClosed || !GetSafeHwnd()) return;
  m_bClosed = true;
  OnClosing();
  ShowWindow(SW_HIDE);
}

bool CModelessView::Answers(UINT message) const {
  return !m_bClosed || (message != WM_COMMAND && message != WM_TIMER);
}

bool CModelessView::ProcessMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
  if (message == WM_DESTROY && !m_bClosed) {
    // Gone with its owner, or destroyed by its object: closed all the same.
    m_bClosed = true;
    OnClosing();
  }
  if (message != WM_CLOSE) return false;
  Close();
  result = 0;
  return true;
}

}  // namespace platform
