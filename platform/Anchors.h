// Keeps a resizable dialog's controls where its template put them relative to the edges they
// are anchored to: a control anchored right moves with the right edge, one anchored left and
// right stretches with the width, and so on. The template's layout is the smallest size.
#pragma once
#include <windows.h>

#include <vector>

namespace platform {

enum AnchorEdges : unsigned {
  kAnchorLeft = 1,
  kAnchorTop = 2,
  kAnchorRight = 4,
  kAnchorBottom = 8,
  kAnchorTopLeft = kAnchorLeft | kAnchorTop,
  kAnchorAll = kAnchorLeft | kAnchorTop | kAnchorRight | kAnchorBottom,
};

struct Anchor {
  int id;
  unsigned edges;
};

class CAnchorLayout {
 public:
  // Reads the controls' places and the client size as the template made them (call in
  // OnInitDialog, before the first WM_SIZE that changes anything).
  void Attach(HWND dialog, std::vector<Anchor> anchors);
  // Moves the controls for a client area of width x height (WM_SIZE).
  void LayOut(int width, int height) const;
  // Keeps the window at least as large as its template (WM_GETMINMAXINFO); false when not
  // attached yet.
  bool LimitTracking(MINMAXINFO* info) const;

 private:
  struct Placed {
    HWND control;
    unsigned edges;
    RECT rect;
  };
  HWND m_dialog = nullptr;
  SIZE m_client{};
  SIZE m_window{};
  std::vector<Placed> m_placed;
};

}  // namespace platform
