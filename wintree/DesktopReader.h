// Reads the desktop's windows for the window tree over the one desktop walk
// (platform/DesktopWalk): every top-level window in Z order with its descendants, then the
// message-only windows with theirs. Texts are the ones the system keeps (never waiting on a
// window's program), process names are looked up once per process, and a window that closes
// during the walk is left out whole, with its descendants.
#pragma once
#include <functional>
#include <vector>

#include "platform/DesktopWalk.h"
#include "wintree/DesktopTree.h"

namespace wintree {

struct DesktopReadOptions {
  int maxMessageOnlyWindows = platform::kMaxMessageOnlyWindows;
  // Called with each window just before it is read (tests close windows there).
  std::function<void(HWND)> beforeEach;
};

// The windows without their owners, which only the owner view needs.
std::vector<WindowRecord> ReadDesktop(const DesktopReadOptions& options = {});
// Reads the owner of every top-level window of a read (a window closed since has none).
void ReadOwners(std::vector<WindowRecord>& records);

}  // namespace wintree
