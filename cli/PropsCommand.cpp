// qv props: everything the properties view shows of one window, read by the view's reader; as
// text, the view's own rows.
#include <memory>

#include "cli/Command.h"
#include "cli/WindowNaming.h"
#include "platform/WideText.h"
#include "properties/PropertyRows.h"

namespace cli {
namespace {

struct PropsOptions {
  WindowName window;
  OutputOptions output;
};

int Props(const PropsOptions& options) {
  const NamedWindow named = ResolveWindow(options.window, options.output);
  if (!named.hwnd) return named.failure;
  std::optional<snapshot::WindowEntry> entry = snapshot::ReadWindow(named.hwnd);
  if (!entry) {
    WriteError("no such window: " + snapshot::HandleJson(named.hwnd).get<std::string>());
    return kExitTrouble;
  }
  std::vector<snapshot::WindowEntry> entries{std::move(*entry)};
  std::vector<properties::WindowFacts> facts;
  snapshot::ReadProperties(entries, &facts);
  const bool timedOut = entries.front().timedOut;
  if (options.output.AsJson()) {
    WriteJson(snapshot::WindowJson(entries.front()), options.output);
  } else {
    // The view's rows under their group headings, as "item  value" columns.
    std::vector<std::vector<std::string>> rows;
    int group = -1;
    for (const properties::PropertyRow& row : properties::PropertyRows(facts.front())) {
      if (static_cast<int>(row.group) != group) {
        group = static_cast<int>(row.group);
        rows.push_back({"[" + snapshot::Utf8FromAnsi(properties::GroupName(properties::GroupOf(row))) + "]"});
      }
      rows.push_back({"  " + platform::Utf8FromWide(row.item), platform::Utf8FromWide(row.value)});
    }
    for (const std::string& line : AlignedRows(rows)) WriteLine(line);
  }
  if (timedOut) {
    WriteError("the window's program did not answer: its procedures were not read");
    return kExitTimedOut;
  }
  return kExitDone;
}

void AddProps(CLI::App& command, Run& run) {
  auto options = std::make_shared<PropsOptions>();
  AddWindowName(command, options->window);
  AddOutputOptions(command, options->output);
  run = [options] { return Props(*options); };
}

const CommandRegistration kRegistered{{30, "props", "Everything the properties view shows of one window", AddProps}};

}  // namespace
}  // namespace cli
