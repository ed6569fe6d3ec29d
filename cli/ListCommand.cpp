// qv list: the top-level windows as the main list shows them.
#include <memory>

#include "cli/Command.h"
#include "cli/WindowNaming.h"
#include "mainlist/WindowRows.h"

namespace cli {
namespace {

struct ListOptions {
  bool all = false;
  SelectorOptions selectors;
  OutputOptions output;
};

int List(const ListOptions& options) {
  const snapshot::Selector selector = options.selectors.Selector();
  std::vector<snapshot::WindowEntry> shown;
  for (snapshot::WindowEntry& window : SelectedTopLevel(selector)) {
    // The main list's filters: visible and titled windows, unless --all; message-only windows
    // are never on the list.
    if (window.messageOnly) continue;
    if (!mainlist::PassesFilters(window.visible, window.text, !options.all, !options.all)) continue;
    shown.push_back(std::move(window));
  }
  WriteWindowList(shown, options.output);
  return kExitDone;
}

void AddList(CLI::App& command, Run& run) {
  auto options = std::make_shared<ListOptions>();
  command.add_flag("--all", options->all, "Hidden and untitled windows too");
  AddSelectorOptions(command, options->selectors);
  AddOutputOptions(command, options->output);
  run = [options] { return List(*options); };
}

const CommandRegistration kRegistered{{10, "list", "The top-level windows, as the main list shows them", AddList}};

}  // namespace
}  // namespace cli
