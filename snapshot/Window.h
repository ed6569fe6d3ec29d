// One window as a snapshot holds it, and the reading of windows: one window, a window with its
// descendants, or the whole desktop (top-level windows in Z order each followed by its
// descendants, then the message-only windows with theirs, at most
// platform::kMaxMessageOnlyWindows of them), over the one desktop walk (platform/DesktopWalk).
//
// The basic fields are read from what the system keeps: no message is sent and nothing waits
// for the window's program, so a hung window is read at once. The properties add everything the
// properties view reads (properties/WindowReader), and the procedures, which only the window's
// own thread can give (properties/ProcedureProbe): that is the one wait, bounded as the view's,
// and a thread that does not answer leaves its windows `timedOut`.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "properties/WindowFacts.h"
#include "snapshot/Json.h"

namespace snapshot {

enum class Depth {
  kBasic,       // handle, class, text, process, visibility, rectangle, styles, relations
  kProperties,  // and every property, the procedures included
};

struct ReadOptions {
  Depth depth = Depth::kBasic;
  bool messageOnly = true;  // the desktop read takes the message-only windows too
  bool children = true;     // the desktop read takes the descendants of each top-level window
};

struct WindowEntry {
  HWND hwnd = nullptr;
  std::wstring className;
  std::wstring text;
  DWORD pid = 0;
  DWORD tid = 0;
  std::wstring process;  // the executable's file name, empty when the system will not say
  bool visible = false;  // shown: it and every parent of its have WS_VISIBLE
  RECT rect{};           // screen pixels
  DWORD style = 0;
  DWORD exStyle = 0;
  HWND parent = nullptr;  // null for a top-level window
  HWND owner = nullptr;
  bool messageOnly = false;  // a top-level window under HWND_MESSAGE
  // Depth::kProperties: the property fields, in the order the document shows them.
  Json properties = Json::object();
  bool timedOut = false;  // the window's program did not answer within the bound
};

// The basic fields of one window; none when it is not a window (or closed while being read).
std::optional<WindowEntry> ReadWindow(HWND hwnd, const ReadOptions& options = {});
// The window followed by its descendants, each after its parent.
std::vector<WindowEntry> ReadWindowTree(HWND root, const ReadOptions& options = {});
// Every window of the desktop. A window that closes during the read is left out with its
// descendants, so no entry names a parent the read lacks.
std::vector<WindowEntry> ReadDesktop(const ReadOptions& options = {});

// Adds the properties to entries read with Depth::kBasic. Waits for the windows' threads at most
// as long as the properties view does, threads in parallel; true when every one answered.
bool ReadProperties(std::vector<WindowEntry>& entries);
// The same, giving the facts the properties were made of too, one per entry (the properties
// view's rows are made of them).
bool ReadProperties(std::vector<WindowEntry>& entries, std::vector<properties::WindowFacts>* facts);

// The window as a JSON object: the basic fields, then the properties, then "timedOut" when set.
Json WindowJson(const WindowEntry& entry);
std::vector<Json> WindowsJson(const std::vector<WindowEntry>& entries);

}  // namespace snapshot
