#include "cli/WindowNaming.h"

#include "cli/Command.h"
#include "mainlist/WindowRows.h"
#include "platform/WideText.h"

namespace cli {

snapshot::Selector SelectorOptions::Selector() const {
  snapshot::Selector selector;
  if (!title.empty()) selector.title = platform::WideFromUtf8(title);
  if (!className.empty()) selector.className = platform::WideFromUtf8(className);
  if (!process.empty()) selector.process = platform::WideFromUtf8(process);
  if (!pid.empty()) selector.pid = pid.front();
  return selector;
}

void AddSelectorOptions(CLI::App& command, SelectorOptions& options) {
  command.add_option("--title", options.title, "Windows whose title matches (wildcards * ?, case aside)");
  command.add_option("--class", options.className, "Windows whose class name matches (wildcards * ?, case aside)");
  command.add_option("--pid", options.pid, "Windows of the process with this id")->expected(1);
  command.add_option("--process", options.process, "Windows of the program with this file name (wildcards; .exe optional)");
}

std::vector<snapshot::WindowEntry> SelectedTopLevel(const snapshot::Selector& selector) {
  snapshot::ReadOptions options;
  options.children = false;
  std::vector<snapshot::WindowEntry> windows = snapshot::ReadDesktop(options);
  std::vector<snapshot::WindowEntry> chosen;
  for (snapshot::WindowEntry& window : windows)
    if (selector.Matches(window)) chosen.push_back(std::move(window));
  return chosen;
}

void AddWindowName(CLI::App& command, WindowName& name) {
  command.add_option("WINDOW", name.handle, "The window's handle: 0x1a2b, 0x00001a2b or decimal");
  AddSelectorOptions(command, name.selectors);
  command.add_flag("--first", name.first, "Take the first of several windows the selectors choose");
}

NamedWindow ResolveWindow(const WindowName& name, const OutputOptions& output) {
  const snapshot::Selector selector = name.selectors.Selector();
  if (!name.handle.empty()) {
    const std::optional<HWND> hwnd = snapshot::ParseHandle(name.handle);
    if (!hwnd) {
      WriteError("not a window handle: " + name.handle);
      return {nullptr, kExitTrouble};
    }
    std::optional<snapshot::WindowEntry> window = snapshot::ReadWindow(*hwnd);
    if (!window || (!selector.Empty() && !selector.Matches(*window))) {
      WriteError("no such window: " + name.handle);
      return {nullptr, kExitTrouble};
    }
    return {*hwnd, 0};
  }
  if (selector.Empty()) {
    WriteError("name a window: a handle, or --title, --class, --pid or --process");
    return {nullptr, kExitTrouble};
  }
  const std::vector<snapshot::WindowEntry> chosen = SelectedTopLevel(selector);
  if (chosen.empty()) {
    WriteError("no window matches");
    return {nullptr, kExitTrouble};
  }
  if (chosen.size() > 1 && !name.first) {
    WriteWindowList(chosen, output);
    WriteError(std::to_string(chosen.size()) + " windows match; name one by its handle, or add --first");
    return {nullptr, kExitTrouble};
  }
  return {chosen.front().hwnd, 0};
}

void WriteWindowList(const std::vector<snapshot::WindowEntry>& windows, const OutputOptions& output) {
  if (output.AsJson()) {
    snapshot::Json list = snapshot::Json::array();
    for (const snapshot::WindowEntry& window : windows) list.push_back(snapshot::WindowJson(window));
    WriteJson(list, output);
    return;
  }
  // The main list's columns: title, process, process id, handle.
  std::vector<std::vector<std::string>> rows;
  rows.push_back({"TITLE", "PROCESS", "PID", "HANDLE"});
  for (const snapshot::WindowEntry& window : windows) {
    const mainlist::WindowRow row = mainlist::MakeWindowRow(window.text, std::wstring(), window.pid, window.hwnd);
    rows.push_back({platform::Utf8FromWide(row.title), platform::Utf8FromWide(window.process), row.pid, row.handle});
  }
  for (const std::string& line : AlignedRows(rows)) WriteLine(line);
}

}  // namespace cli
