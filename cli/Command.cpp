#include "cli/Command.h"

#include <algorithm>

namespace cli {
namespace {

std::vector<CommandSpec>& Registry() {
  static std::vector<CommandSpec> registry;
  return registry;
}

}  // namespace

CommandRegistration::CommandRegistration(const CommandSpec& spec) { Registry().push_back(spec); }

std::vector<CommandSpec> Commands() {
  std::vector<CommandSpec> commands = Registry();
  std::stable_sort(commands.begin(), commands.end(),
                   [](const CommandSpec& a, const CommandSpec& b) { return a.rank < b.rank; });
  return commands;
}

}  // namespace cli
