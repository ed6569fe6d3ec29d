// qv snapshot: every window of the desktop (or those the selectors choose, with their
// descendants) with every property, in one JSON document.
#include <memory>

#include "cli/Command.h"
#include "cli/WindowNaming.h"
#include "platform/FileSave.h"
#include "platform/WideText.h"
#include "snapshot/Document.h"

namespace cli {
namespace {

struct SnapshotOptions {
  std::string file;
  bool basic = false;
  bool pretty = false;
  SelectorOptions selectors;
};

int Snapshot(const SnapshotOptions& options) {
  const snapshot::Selector selector = options.selectors.Selector();
  snapshot::Document document;
  document.taken = snapshot::TimeNow();
  std::vector<snapshot::WindowEntry> entries;
  if (selector.Empty()) {
    entries = snapshot::ReadDesktop();
  } else {
    for (const snapshot::WindowEntry& top : SelectedTopLevel(selector)) {
      std::vector<snapshot::WindowEntry> tree = snapshot::ReadWindowTree(top.hwnd);
      for (snapshot::WindowEntry& entry : tree) {
        // A message-only window stays one when read on its own.
        if (entry.hwnd == top.hwnd) entry.messageOnly = top.messageOnly;
        entries.push_back(std::move(entry));
      }
    }
  }
  const bool answered = options.basic || snapshot::ReadProperties(entries);
  document.windows = snapshot::WindowsJson(entries);
  const std::string text = JsonText(snapshot::DocumentJson(document), options.pretty) + "\n";
  if (options.file.empty()) {
    Write(text);
  } else {
    const std::wstring path = platform::WideFromUtf8(options.file);
    const std::string reason = platform::WriteWholeFile(path, text);
    if (!reason.empty()) {
      WriteError("cannot write " + options.file + ": " + snapshot::Utf8FromAnsi(reason));
      return kExitTrouble;
    }
  }
  if (!answered) {
    WriteError("a window's program did not answer: its windows are marked \"timedOut\"");
    return kExitTimedOut;
  }
  return kExitDone;
}

void AddSnapshot(CLI::App& command, Run& run) {
  auto options = std::make_shared<SnapshotOptions>();
  command.add_option("-o,--output", options->file, "Write the document to this file instead of standard output");
  command.add_flag("--basic", options->basic, "Only the fields read without the windows' programs (fast)");
  command.add_flag("--pretty", options->pretty, "Indent the JSON");
  AddSelectorOptions(command, options->selectors);
  run = [options] { return Snapshot(*options); };
}

const CommandRegistration kRegistered{
    {50, "snapshot", "Every window of the desktop with every property, in one JSON document", AddSnapshot}};

}  // namespace
}  // namespace cli
