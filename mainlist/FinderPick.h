// Which window the finder points at: the deepest visible child under a screen point and the
// top-level window it belongs to. The window tree is read through a reader, so the choice can
// be checked over a made-up tree.
#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace mainlist {

struct WindowTreeReader {
  // The window under a screen point (WindowFromPoint).
  std::function<HWND(POINT)> windowAt;
  // The child of parent under a point in parent's client coordinates, skipping invisible and
  // transparent children; parent itself over no child, null outside parent.
  std::function<HWND(HWND, POINT)> childAt;
  // The screen position of the window's client origin; false when the window is gone.
  std::function<bool(HWND, POINT*)> clientOrigin;
  // The top-level window a window belongs to (GetAncestor, GA_ROOT).
  std::function<HWND(HWND)> rootOf;
  // The process that made the window; 0 when the window is gone.
  std::function<DWORD(HWND)> processOf;
};

// The reader over the live system.
WindowTreeReader SystemWindowTree();

// How many levels the descent may take; a deeper tree stops at this level.
constexpr int kMaxFinderDepth = 32;

// The window under the point, then down through the child under the point in each parent's
// client coordinates until a window has no child there. Null over no window.
HWND DeepestWindowAt(POINT screen, const WindowTreeReader& tree);

struct FinderPick {
  HWND window = nullptr;  // the deepest window under the point
  HWND root = nullptr;    // its top-level window, the new target
};

// What the finder points at: nothing over no window or over a window of process ownPid.
std::optional<FinderPick> PickWindowAt(POINT screen, DWORD ownPid, const WindowTreeReader& tree);

// The path label's text while the finder points at a window: handle, class and text.
std::wstring FinderLabel(HWND hwnd, const std::wstring& className, const std::wstring& text);

}  // namespace mainlist
