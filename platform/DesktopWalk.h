// The one walk over the desktop's windows, which the window tree and the snapshots share: the
// roots are listed first (top-level windows in Z order, then the message-only ones), then each
// root is read with its descendants, a window only when its parent was taken before it. What a
// reader takes of each window is its own; the names it looks up again and again (class names by
// atom, process names by process id) are kept for the walk's length.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace platform {

// How many message-only windows a walk takes at most: the system is asked once per window.
constexpr int kMaxMessageOnlyWindows = 4096;

// The windows a walk starts from.
struct DesktopRoots {
  std::vector<HWND> topLevel;     // in Z order, the top first
  std::vector<HWND> messageOnly;  // under HWND_MESSAGE, at most the bound asked for
};
// Lists the roots before any is read: the message-only search goes on from the last window
// found, which must not have closed in between.
DesktopRoots ListDesktopRoots(bool messageOnly = true, int maxMessageOnlyWindows = kMaxMessageOnlyWindows);

// A window as the walk hands it to the reader.
struct WalkedWindow {
  HWND hwnd = nullptr;
  HWND parent = nullptr;     // a descendant's parent, as the system named it; null for a root
  bool messageOnly = false;  // a root under HWND_MESSAGE
};
// Reads one window; true when it took it, false when the window closed while it was read (or
// the reader does not want it).
using TakeWindow = std::function<bool(const WalkedWindow&)>;

// Offers the root, then, when it was taken and children are asked for, its descendants in the
// system's order, each only when its parent was taken before it: a window left out is left out
// with everything under it, so nothing taken names a parent the reader lacks.
void WalkWindowTree(HWND root, bool messageOnly, bool children, const TakeWindow& take);
// Every root listed, the top-level ones first, each as WalkWindowTree.
void WalkDesktop(const DesktopRoots& roots, bool children, const TakeWindow& take);

// The names a walk asks for again and again, each looked up once: a class name per class atom
// (asking for the atom costs the system less than the name, and most windows share a few
// classes), a process's executable name per process id. Process names are kept from one walk to
// the next too, for as long as the id names a process that started at the same time (an id
// taken again by a new process is looked up anew).
class CWindowNames {
 public:
  // The window's class name, at most 255 characters; false when the window is gone. Read last
  // of a window's fields, it tells whether the window lived through its read.
  bool ClassName(HWND hwnd, std::wstring& name);
  // The executable's file name, empty when the system will not say.
  const std::wstring& ProcessName(DWORD pid);

 private:
  std::unordered_map<ATOM, std::wstring> m_classNames;
  std::unordered_map<DWORD, std::wstring> m_processNames;
};

}  // namespace platform
