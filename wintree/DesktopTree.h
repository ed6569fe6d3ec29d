// The desktop's windows as a tree: a snapshot of every window (read by wintree/DesktopReader)
// made into the items the window tree shows, by parent or by owner, with what the search keeps
// and which windows are new since the last read. Pure: values in, values out.
#pragma once
#include <windows.h>

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/TextSearch.h"

namespace wintree {

// One window as the walk read it. Records come in the walk's order: top-level windows in Z
// order (top first), each window before its descendants, siblings in Z order.
struct WindowRecord {
  HWND hwnd = nullptr;
  HWND parent = nullptr;  // null for a top-level window, message-only ones included
  HWND owner = nullptr;   // a top-level window's owner, or null (or not read)
  std::wstring text;
  std::wstring className;
  std::wstring processName;  // top-level windows only
  bool visible = false;      // its own WS_VISIBLE
  bool messageOnly = false;  // a top-level window under HWND_MESSAGE
};

enum class TreeShape {
  kParents,  // every window under its parent
  kOwners,   // top-level windows under the window that owns them, each with its children
};

// The key of the last root item, which holds the message-only windows: it stands for no
// window of its own.
inline HWND MessageOnlyRootKey() { return HWND_MESSAGE; }
inline constexpr wchar_t kMessageOnlyRootText[] = L"メッセージ専用ウィンドウ";

struct TreeNode {
  HWND hwnd = nullptr;  // MessageOnlyRootKey() for the message-only root
  int parent = -1;      // index of the parent node; -1 for a root
  std::vector<int> children;
  std::wstring label;
  bool hidden = false;  // the window is not shown: it or one of its parents lacks WS_VISIBLE
  bool isNew = false;   // not there at the last read
};

struct DesktopTree {
  std::vector<TreeNode> nodes;
  std::vector<int> roots;
  std::unordered_map<HWND, int> byHandle;
  // The node of the window, or -1.
  int Find(HWND hwnd) const;
};

using KnownWindows = std::unordered_set<HWND>;

// The item text: `0x%08x "text" class`, and for top-level windows `[process.exe]` after it,
// so that a class is never taken for a process. Tabs and line breaks in the text are shown
// escaped (platform::EscapedLine), so a text cannot break the line.
std::wstring ItemLabel(const WindowRecord& window);

// What the status line says of a selected window besides its item: whether it is on the
// screen, which the selection outlines there.
enum class WindowLook { kShown, kHidden, kMinimised, kClosed };
std::wstring LookStatus(WindowLook look, const std::wstring& label);

// The tree of the records in the shape. A window whose parent is not among the records before
// it (it closed during the walk, or the window moved) is left out with its descendants, as is
// a handle read twice. In the owner view an owner that is not another top-level window of the
// tree leaves the window a root, and a chain of owners that comes back to a window is cut
// there. Message-only windows
// go under the last root. With known (the handles of the last read) the windows not in it are
// new; without it none are.
DesktopTree BuildTree(const std::vector<WindowRecord>& windows, TreeShape shape, const KnownWindows* known);

// The handles of every window in the tree, for the next read's marks.
KnownWindows KnownOf(const DesktopTree& tree);

// What a search leaves of the tree: the nodes whose label contains the text or whose handle it
// names (with or without "0x"), with every ancestor of theirs, which are expanded so that the
// matches show. An empty search keeps everything and expands nothing.
struct SearchResult {
  std::vector<char> kept;
  std::vector<char> expanded;
  int matches = 0;
};
SearchResult Search(const DesktopTree& tree, const platform::CTextSearch& search);

}  // namespace wintree
