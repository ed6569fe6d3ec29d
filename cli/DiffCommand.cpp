// qv diff A B: what changed between two snapshots, field by field. Exit status as diff's: 0 the
// same, 1 different, 2 trouble.
#include <memory>

#include "cli/Command.h"
#include "cli/Output.h"
#include "snapshot/Diff.h"
#include "snapshot/Document.h"

namespace cli {
namespace {

struct DiffOptions {
  std::string before;
  std::string after;
  OutputOptions output;
};

int DiffSnapshots(const DiffOptions& options) {
  snapshot::Document before, after;
  snapshot::LoadError error;
  if (!snapshot::LoadDocument(options.before, &before, &error) || !snapshot::LoadDocument(options.after, &after, &error)) {
    WriteError(error.Text());
    return kExitTrouble;
  }
  const snapshot::DiffResult result = snapshot::Diff(before.windows, after.windows);
  if (options.output.AsJson())
    WriteJson(snapshot::DiffJson(result), options.output);
  else
    for (const std::string& line : snapshot::DiffLines(result)) WriteLine(line);
  return result.Same() ? kExitDone : kExitDifferent;
}

void AddDiff(CLI::App& command, Run& run) {
  auto options = std::make_shared<DiffOptions>();
  command.add_option("A", options->before, "The earlier snapshot")->required();
  command.add_option("B", options->after, "The later snapshot")->required();
  AddOutputOptions(command, options->output);
  run = [options] { return DiffSnapshots(*options); };
}

const CommandRegistration kRegistered{
    {60, "diff", "What changed between two snapshots, field by field (exit 0 same, 1 different, 2 trouble)", AddDiff}};

}  // namespace
}  // namespace cli
