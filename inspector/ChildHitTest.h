// Which listed child lies under a screen point: the search behind a click on the inspector's
// picture. It works on the snapshot the list shows, reading each candidate's rectangle live.
#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <vector>

#include "inspector/ChildWindowItem.h"

namespace inspector {

// Reads a window's screen rectangle now; false when it cannot.
using WindowRectReader = std::function<bool(HWND, RECT*)>;

// GetWindowRect.
bool ReadWindowRect(HWND hwnd, RECT* rect);

// How many levels below the inspected window a click may reach.
constexpr int kMaxHitDepth = 10;

// The first record, in snapshot order, that is visible, enabled, a direct child of parent and
// whose rectangle holds the point; parent itself when none is.
HWND FindChildAt(const std::vector<CChildWindowItem>& snapshot, HWND parent, POINT screen,
                 const WindowRectReader& rectOf = ReadWindowRect);

struct DeepestChild {
  HWND first = nullptr;            // the hit one level below the root (the root when none)
  std::optional<HWND> deepest;     // empty when the search failed
};

// Descends from root through FindChildAt until a window has no hit child below it. Fails when
// root is null, or when a hit still lies below after kMaxHitDepth descents. A point over no
// child gives root itself.
DeepestChild FindDeepestChildAt(const std::vector<CChildWindowItem>& snapshot, HWND root, POINT screen,
                                const WindowRectReader& rectOf = ReadWindowRect);

}  // namespace inspector
