// How a command names windows: a handle, or selectors that combine (--title, --class, --pid,
// --process). Selectors choose among the top-level windows, the message-only ones included.
#pragma once
#include <CLI/CLI.hpp>
#include <optional>
#include <string>
#include <vector>

#include "cli/Output.h"
#include "snapshot/Selectors.h"

namespace cli {

struct SelectorOptions {
  std::string title;
  std::string className;
  std::string process;
  std::vector<unsigned> pid;  // at most one

  snapshot::Selector Selector() const;
};
void AddSelectorOptions(CLI::App& command, SelectorOptions& options);

// The top-level windows (message-only ones included) the selectors choose, basic fields only.
std::vector<snapshot::WindowEntry> SelectedTopLevel(const snapshot::Selector& selector);

struct WindowName {
  std::string handle;  // the WINDOW argument, empty when none was given
  SelectorOptions selectors;
  bool first = false;
  bool Given() const { return !handle.empty() || !selectors.Selector().Empty(); }
};
// The WINDOW argument, the selectors and --first.
void AddWindowName(CLI::App& command, WindowName& name);

// The one window named. When the name is bad, names nothing, or names several without
// --first, the error is written (several are listed first, as `qv list` lists them) and the
// exit status is given instead.
struct NamedWindow {
  HWND hwnd = nullptr;
  int failure = 0;  // the exit status when hwnd is null
};
NamedWindow ResolveWindow(const WindowName& name, const OutputOptions& output);

// The list's readable rows and JSON, shared by `list` and the listing of too many windows.
void WriteWindowList(const std::vector<snapshot::WindowEntry>& windows, const OutputOptions& output);

}  // namespace cli
