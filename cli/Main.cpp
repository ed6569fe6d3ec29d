// qv: Quorvel from a script. Parses the command line with CLI11 and runs the command chosen;
// each command is a file of its own (see cli/Command.h). Nothing here opens a window or a
// message box: every error is one line on standard error, and the exit status says what
// happened.
#include <windows.h>
#include <shellapi.h>

#include <exception>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "cli/Output.h"
#include "platform/WideText.h"

namespace {

// The arguments as UTF-8, whatever the console's code page.
std::vector<std::string> Arguments() {
  std::vector<std::string> arguments;
  int count = 0;
  LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (!wide) return arguments;
  for (int i = 0; i < count; ++i) arguments.push_back(platform::Utf8FromWide(wide[i]));
  ::LocalFree(wide);
  return arguments;
}

int RunQv() {
  CLI::App app("qv: Quorvel from a script. What Quorvel knows of the desktop's windows, as text or JSON.", "qv");
  app.require_subcommand(1);
  app.fallthrough(false);
  // Only "--name" and "-n" are options: "/tmp/a.json" is a file (subcommands inherit this).
  app.allow_windows_style_options(false);
  std::map<CLI::App*, cli::Run> runs;
  for (const cli::CommandSpec& spec : cli::Commands()) {
    CLI::App* command = app.add_subcommand(spec.name, spec.summary);
    spec.add(*command, runs[command]);
  }

  const std::vector<std::string> arguments = Arguments();
  std::vector<const char*> argv;
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  if (argv.empty()) argv.push_back("qv");
  try {
    app.parse(static_cast<int>(argv.size()), argv.data());
  } catch (const CLI::CallForHelp&) {
    cli::Write(app.help());
    return cli::kExitDone;
  } catch (const CLI::CallForAllHelp&) {
    cli::Write(app.help("", CLI::AppFormatMode::All));
    return cli::kExitDone;
  } catch (const CLI::ParseError& failure) {
    std::string reason = failure.what();
    if (reason.empty()) reason = failure.get_name();
    cli::WriteError(reason + " (qv --help lists the commands)");
    return cli::kExitTrouble;
  }
  for (CLI::App* chosen : app.get_subcommands()) {
    const cli::Run& run = runs[chosen];
    if (run) return run();
  }
  cli::WriteError("no command given (qv --help lists the commands)");
  return cli::kExitTrouble;
}

}  // namespace

int main() {
  int status = cli::kExitTrouble;
  try {
    status = RunQv();
  } catch (const std::exception& failure) {
    cli::WriteError(failure.what());
    status = cli::kExitTrouble;
  } catch (...) {
    cli::WriteError("failed");
    status = cli::kExitTrouble;
  }
  cli::Flush();
  return status;
}
