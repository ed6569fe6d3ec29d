// qv watch: what changes on the desktop, as it changes: the windows read again every interval
// (the basic fields, which never wait on a program) and compared with the read before by the
// snapshot's diff. With --json one event a line (JSON Lines), flushed as it happens. Ends at
// --for or Ctrl+C.
#include <windows.h>

#include <atomic>
#include <memory>

#include "cli/Command.h"
#include "cli/WindowNaming.h"
#include "snapshot/Diff.h"
#include "snapshot/Document.h"

namespace cli {
namespace {

struct WatchOptions {
  int intervalMs = 500;
  double forSeconds = 0;
  SelectorOptions selectors;
  OutputOptions output;
};

// Set by Ctrl+C (and the console's close): the watch ends after the read it is in.
std::atomic<bool> g_stop{false};
HANDLE g_wake = nullptr;

BOOL WINAPI StopOnCtrlC(DWORD) {
  g_stop = true;
  if (g_wake) ::SetEvent(g_wake);
  return TRUE;
}

std::vector<snapshot::Json> ReadWatched(const snapshot::Selector& selector) {
  if (selector.Empty()) return snapshot::WindowsJson(snapshot::ReadDesktop());
  std::vector<snapshot::WindowEntry> entries;
  for (const snapshot::WindowEntry& top : SelectedTopLevel(selector))
    for (snapshot::WindowEntry& entry : snapshot::ReadWindowTree(top.hwnd)) {
      if (entry.hwnd == top.hwnd) entry.messageOnly = top.messageOnly;
      entries.push_back(std::move(entry));
    }
  return snapshot::WindowsJson(entries);
}

snapshot::Json Event(const std::string& time, const char* op, const snapshot::Json& window, const snapshot::Json& changes) {
  snapshot::Json event = snapshot::Json::object();
  event["time"] = time;
  event["op"] = op;
  event["handle"] = window.value("handle", snapshot::Json());
  event["class"] = window.value("class", snapshot::Json());
  event["text"] = window.value("text", snapshot::Json());
  event["changes"] = changes;
  return event;
}

void WriteEvents(const snapshot::DiffResult& result, const OutputOptions& output) {
  const std::string time = snapshot::TimeNow();
  if (output.AsJson()) {
    // JSON Lines: one compact event a line, whatever --pretty says.
    for (const snapshot::Json& window : result.added) WriteLine(JsonText(Event(time, "added", window, snapshot::Json::object()), false));
    for (const snapshot::Json& window : result.removed) WriteLine(JsonText(Event(time, "removed", window, snapshot::Json::object()), false));
    for (const snapshot::WindowChange& change : result.changed) WriteLine(JsonText(Event(time, "changed", change.window, change.changes), false));
  } else {
    for (const std::string& line : snapshot::DiffLines(result)) WriteLine(time + " " + line);
  }
  Flush();
}

int Watch(const WatchOptions& options) {
  if (options.intervalMs < 10 || options.forSeconds < 0) {
    WriteError("--interval is at least 10 ms, --for at least 0 s");
    return kExitTrouble;
  }
  const snapshot::Selector selector = options.selectors.Selector();
  g_wake = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ::SetConsoleCtrlHandler(StopOnCtrlC, TRUE);
  const ULONGLONG end = options.forSeconds > 0 ? ::GetTickCount64() + static_cast<ULONGLONG>(options.forSeconds * 1000) : 0;
  std::vector<snapshot::Json> before = ReadWatched(selector);
  while (!g_stop) {
    DWORD wait = static_cast<DWORD>(options.intervalMs);
    if (end) {
      const ULONGLONG now = ::GetTickCount64();
      if (now >= end) break;
      if (end - now < wait) wait = static_cast<DWORD>(end - now);
    }
    ::WaitForSingleObject(g_wake, wait);
    if (g_stop) break;
    std::vector<snapshot::Json> after = ReadWatched(selector);
    const snapshot::DiffResult result = snapshot::Diff(before, after);
    if (!result.Same()) WriteEvents(result, options.output);
    before = std::move(after);
  }
  ::SetConsoleCtrlHandler(StopOnCtrlC, FALSE);
  ::CloseHandle(g_wake);
  g_wake = nullptr;
  return kExitDone;
}

void AddWatch(CLI::App& command, Run& run) {
  auto options = std::make_shared<WatchOptions>();
  command.add_option("--interval", options->intervalMs, "Milliseconds between two reads (default 500)");
  command.add_option("--for", options->forSeconds, "Seconds to watch (default: until Ctrl+C)");
  AddSelectorOptions(command, options->selectors);
  AddOutputOptions(command, options->output);
  run = [options] { return Watch(*options); };
}

const CommandRegistration kRegistered{{70, "watch", "What changes on the desktop, as it changes", AddWatch}};

}  // namespace
}  // namespace cli
