#include "platform/Anchors.h"

#include <algorithm>

namespace platform {

void CAnchorLayout::Attach(HWND dialog, std::vector<Anchor> anchors) {
  m_dialog = dialog;
  RECT client{};
  ::GetClientRect(dialog, &client);
  m_client = SIZE{client.right, client.bottom};
  RECT window{};
  ::GetWindowRect(dialog, &window);
  m_window = SIZE{window.right - window.left, window.bottom - window.top};
  m_placed.clear();
  for (const Anchor& anchor : anchors) {
    HWND control = ::GetDlgItem(dialog, anchor.id);
    if (!control) continue;
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    m_placed.push_back(Placed{control, anchor.edges, rect});
  }
}

void CAnchorLayout::LayOut(int width, int height) const {
  if (!m_dialog) return;
  const int dx = width - m_client.cx;
  const int dy = height - m_client.cy;
  for (const Placed& placed : m_placed) {
    RECT rect = placed.rect;
    // An edge anchored to the far side follows it; a control anchored to neither side of an
    // axis keeps its place.
    if (placed.edges & kAnchorRight) {
      rect.right += dx;
      if (!(placed.edges & kAnchorLeft)) rect.left += dx;
    }
    if (placed.edges & kAnchorBottom) {
      rect.bottom += dy;
      if (!(placed.edges & kAnchorTop)) rect.top += dy;
    }
    ::SetWindowPos(placed.control, nullptr, rect.left, rect.top, std::max(0L, rect.right - rect.left),
                   std::max(0L, rect.bottom - rect.top), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ::InvalidateRect(m_dialog, nullptr, TRUE);
}

bool CAnchorLayout::LimitTracking(MINMAXINFO* info) const {
  if (!m_dialog) return false;
  info->ptMinTrackSize = POINT{m_window.cx, m_window.cy};
  return true;
}

}  // namespace platform
