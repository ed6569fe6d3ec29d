// The commands of qv: each lives in a file of its own and registers itself there with one
// CommandRegistration; main parses the command line and runs the chosen one.
#pragma once
#include <CLI/CLI.hpp>
#include <functional>
#include <vector>

namespace cli {

// Exit statuses, as a script tests them.
enum ExitStatus {
  kExitDone = 0,
  kExitDifferent = 1,  // diff: the snapshots differ
  kExitTrouble = 2,    // bad usage, no such window, a file that is not a snapshot
  kExitTimedOut = 3,   // a window's program did not answer within the bound
};

// What a chosen command does once its command line is parsed; gives the exit status.
using Run = std::function<int()>;

struct CommandSpec {
  int rank;             // where `qv --help` lists it, lowest first
  const char* name;
  const char* summary;  // one line for `qv --help`
  // Adds the command's options and arguments to its subcommand and sets what it runs.
  void (*add)(CLI::App& command, Run& run);
};

// Registers a command, from a namespace-scope object in the command's own file:
//   const cli::CommandRegistration kRegistered{{10, "list", "…", AddList}};
class CommandRegistration {
 public:
  explicit CommandRegistration(const CommandSpec& spec);
};

// Every registered command, by rank.
std::vector<CommandSpec> Commands();

}  // namespace cli
