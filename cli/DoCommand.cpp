// qv do: the operations panel's commands from a script, several in one call, in order, through
// the calls the panel makes. A command the window's program cannot take yet is finished once it
// recovers: qv says so and stays until it is done (at most as long as Quorvel would).
#include <memory>

#include "cli/Command.h"
#include "cli/WindowNaming.h"
#include "layered/LayeredDisplay.h"
#include "operations/PanelCommands.h"
#include "operations/StyleBits.h"
#include "platform/Format.h"
#include "platform/LayeredCalls.h"
#include "platform/Taskbar.h"
#include "platform/WideText.h"
#include "platform/WindowCalls.h"
#include "snapshot/Selectors.h"

namespace cli {
namespace {

using operations::WindowCommand;

struct DoOptions {
  WindowName window;
  std::vector<std::string> actions;
  OutputOptions output;
};

// One action with what it takes, parsed before anything is done.
struct Action {
  enum Kind { Command, Move, Text, Style, ExStyle, Alpha, ColorKey, RegionClear, TaskbarAdd, TaskbarRemove } kind;
  WindowCommand command = WindowCommand::Show;
  int x = 0, y = 0, width = 0, height = 0;
  bool sized = false;
  std::wstring text;
  std::string word;  // +NAME, -NAME or 0xHEX
  int value = 0;     // alpha, or the colour key as a COLORREF
  std::string words; // as typed, for what is said
};

bool ParseInt(const std::string& text, int* value) {
  if (text.empty() || text.size() > 11) return false;
  size_t used = 0;
  try {
    const long parsed = std::stol(text, &used, 10);
    if (used != text.size() || parsed < INT32_MIN || parsed > INT32_MAX) return false;
    *value = static_cast<int>(parsed);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

// The actions in order; empty with the reason for the first that is not one.
std::optional<std::vector<Action>> ParseActions(const std::vector<std::string>& words, std::string* reason) {
  static const std::pair<const char*, WindowCommand> kCommands[] = {
      {"show", WindowCommand::Show},         {"hide", WindowCommand::Hide},         {"restore", WindowCommand::Restore},
      {"minimize", WindowCommand::Minimize}, {"maximize", WindowCommand::Maximize}, {"close", WindowCommand::Close},
  };
  std::vector<Action> actions;
  for (size_t i = 0; i < words.size();) {
    const size_t first = i;
    const std::string& verb = words[i++];
    auto next = [&](std::string* word) {
      if (i >= words.size()) return false;
      *word = words[i++];
      return true;
    };
    Action action{Action::Command};
    action.words = verb;  // with its arguments once they are read
    std::string argument;
    bool known = false;
    for (const auto& [name, command] : kCommands)
      if (verb == name) {
        action.command = command;
        known = true;
      }
    if (known) {
    } else if (verb == "topmost") {
      if (!next(&argument) || (argument != "on" && argument != "off")) {
        *reason = "topmost on|off";
        return std::nullopt;
      }
      action.command = argument == "on" ? WindowCommand::TopMost : WindowCommand::NoTopMost;
    } else if (verb == "move") {
      action.kind = Action::Move;
      std::string x, y;
      if (!next(&x) || !next(&y) || !ParseInt(x, &action.x) || !ParseInt(y, &action.y)) {
        *reason = "move X Y [W H]: X and Y are whole numbers";
        return std::nullopt;
      }
      // W and H only when both follow as numbers.
      if (i + 1 < words.size() && ParseInt(words[i], &action.width) && ParseInt(words[i + 1], &action.height)) {
        if (action.width < 0 || action.height < 0) {
          *reason = "move X Y W H: W and H are not negative";
          return std::nullopt;
        }
        action.sized = true;
        i += 2;
      }
    } else if (verb == "text") {
      action.kind = Action::Text;
      if (!next(&argument)) {
        *reason = "text \"...\"";
        return std::nullopt;
      }
      action.text = platform::WideFromUtf8(argument);
      if (action.text.size() > 32767) {
        *reason = "text: at most 32767 characters";
        return std::nullopt;
      }
    } else if (verb == "style" || verb == "exstyle") {
      action.kind = verb == "style" ? Action::Style : Action::ExStyle;
      if (!next(&action.word)) {
        *reason = verb + " +NAME|-NAME|0xHEX";
        return std::nullopt;
      }
      const auto table = verb == "style" ? operations::WindowStyleBits() : operations::WindowStyleExBits();
      if (!operations::EditStyleWordText(0, table, action.word, reason)) {
        *reason = verb + ": " + *reason;
        return std::nullopt;
      }
    } else if (verb == "alpha") {
      action.kind = Action::Alpha;
      if (!next(&argument) || !ParseInt(argument, &action.value) || action.value < 0 || action.value > 255) {
        *reason = "alpha N: a number from 0 to 255";
        return std::nullopt;
      }
    } else if (verb == "colorkey") {
      action.kind = Action::ColorKey;
      if (!next(&argument) || argument.size() != 6 || argument.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
        *reason = "colorkey RRGGBB: six hexadecimal digits";
        return std::nullopt;
      }
      const unsigned long rgb = std::stoul(argument, nullptr, 16);
      action.value = static_cast<int>(layered::PackColorKey(static_cast<BYTE>(rgb >> 16), static_cast<BYTE>(rgb >> 8),
                                                            static_cast<BYTE>(rgb)));
    } else if (verb == "region") {
      action.kind = Action::RegionClear;
      if (!next(&argument) || argument != "clear") {
        *reason = "region clear";
        return std::nullopt;
      }
    } else if (verb == "taskbar") {
      if (!next(&argument) || (argument != "add" && argument != "remove")) {
        *reason = "taskbar add|remove";
        return std::nullopt;
      }
      action.kind = argument == "add" ? Action::TaskbarAdd : Action::TaskbarRemove;
    } else {
      *reason = "no such action: " + verb.substr(0, 40) +
                " (show hide restore minimize maximize close topmost move text style exstyle alpha colorkey region taskbar)";
      return std::nullopt;
    }
    for (size_t word = first + 1; word < i; ++word) action.words += " " + words[word];
    actions.push_back(std::move(action));
  }
  if (actions.empty()) {
    *reason = "give at least one action";
    return std::nullopt;
  }
  return actions;
}

// Makes the window layered if it is not, then writes the attributes with one part changed;
// both on the window's thread in that order, as the set dialog does.
platform::WindowCallRoute SetLayered(HWND hwnd, const Action& action) {
  const LONG exStyle = ::GetWindowLongA(hwnd, GWL_EXSTYLE);
  COLORREF key = 0;
  BYTE alpha = 255;
  DWORD flags = 0;
  if (exStyle & WS_EX_LAYERED) CallGetLayeredWindowAttributes(hwnd, &key, &alpha, &flags);
  if (action.kind == Action::Alpha) {
    alpha = static_cast<BYTE>(action.value);
    flags |= LWA_ALPHA;
  } else {
    key = static_cast<COLORREF>(action.value);
    flags |= LWA_COLORKEY;
  }
  if (!(exStyle & WS_EX_LAYERED)) platform::SetWindowLongNoWait(hwnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
  return platform::RunOnWindow(hwnd, [hwnd, key, alpha, flags] { CallSetLayeredWindowAttributes(hwnd, key, alpha, flags); });
}

// Makes one action; false when the system refused it at once (reason set).
bool RunAction(HWND hwnd, const Action& action, bool* deferred, std::string* reason) {
  using platform::WindowCallRoute;
  auto note = [deferred](WindowCallRoute route) {
    if (route == WindowCallRoute::Deferred) *deferred = true;
    return true;
  };
  switch (action.kind) {
    case Action::Command: {
      const auto route = operations::RunWindowCommand(hwnd, action.command);
      if (!route) {
        *reason = "the window is gone";
        return false;
      }
      return note(*route);
    }
    case Action::Move: {
      RECT now{};
      ::GetWindowRect(hwnd, &now);
      const int width = action.sized ? action.width : now.right - now.left;
      const int height = action.sized ? action.height : now.bottom - now.top;
      return note(platform::MoveWindowNoWait(hwnd, action.x, action.y, width, height, true));
    }
    case Action::Text: {
      const std::wstring text = action.text;
      return note(platform::RunOnWindow(hwnd, [hwnd, text] { ::SetWindowTextW(hwnd, text.c_str()); }));
    }
    case Action::Style:
    case Action::ExStyle: {
      const int index = action.kind == Action::Style ? GWL_STYLE : GWL_EXSTYLE;
      const auto table = action.kind == Action::Style ? operations::WindowStyleBits() : operations::WindowStyleExBits();
      const DWORD word = static_cast<DWORD>(::GetWindowLongA(hwnd, index));
      const std::optional<DWORD> edited = operations::EditStyleWordText(word, table, action.word, reason);
      if (!edited) return false;
      if (index == GWL_STYLE && operations::HasChildAndPopup(*edited)) {
        *reason = "WS_CHILD and WS_POPUP together make a style no window can have";
        return false;
      }
      return note(platform::WriteStyleWordNoWait(hwnd, index, *edited));
    }
    case Action::Alpha:
    case Action::ColorKey:
      return note(SetLayered(hwnd, action));
    case Action::RegionClear:
      return note(platform::SetWindowRgnNoWait(hwnd, nullptr, true).route);
    case Action::TaskbarAdd:
    case Action::TaskbarRemove:
      if ((action.kind == Action::TaskbarAdd ? TaskbarAddTab(hwnd) : TaskbarDeleteTab(hwnd)) == 0) {
        *reason = "the shell refused the taskbar button";
        return false;
      }
      return true;
  }
  return true;
}

int Do(const DoOptions& options) {
  std::string reason;
  const std::optional<std::vector<Action>> actions = ParseActions(options.actions, &reason);
  if (!actions) {
    WriteError(reason);
    return kExitTrouble;
  }
  const NamedWindow named = ResolveWindow(options.window, options.output);
  if (!named.hwnd) return named.failure;
  DWORD pid = 0;
  ::GetWindowThreadProcessId(named.hwnd, &pid);
  if (pid == ::GetCurrentProcessId()) {
    WriteError("the window is one of qv's own");
    return kExitTrouble;
  }
  bool deferred = false;
  int status = kExitDone;
  snapshot::Json done = snapshot::Json::array();
  for (const Action& action : *actions) {
    reason.clear();
    const bool made = RunAction(named.hwnd, action, &deferred, &reason);
    snapshot::Json entry = snapshot::Json::object();
    entry["action"] = action.words;
    entry["done"] = made;
    if (!made) entry["error"] = reason;
    done.push_back(entry);
    if (!made) {
      WriteError(action.words + ": " + reason);
      status = kExitTrouble;
      break;
    }
  }
  bool finished = true;
  if (platform::HasDeferredWindowCalls()) {
    // Never dropped: the calls wait on workers of this process, which must outlive them.
    WriteError(platform::FormatHandle(named.hwnd) +
               ": the window's program is not answering; its commands are made once it answers (waiting at most "
               "5 minutes)");
    finished = platform::WaitForDeferredWindowCalls(platform::kExitGraceMs);
    WriteError(finished ? "the window's program answered: every command is made" : "the window's program did not answer");
  }
  if (options.output.AsJson()) {
    snapshot::Json out = snapshot::Json::object();
    out["handle"] = platform::FormatHandle(named.hwnd);
    out["actions"] = done;
    out["deferred"] = deferred || !finished;
    out["timedOut"] = !finished;
    WriteJson(out, options.output);
  }
  if (!finished) return kExitTimedOut;
  return status;
}

void AddDo(CLI::App& command, Run& run) {
  auto options = std::make_shared<DoOptions>();
  AddWindowName(command, options->window);
  AddOutputOptions(command, options->output);
  // Everything after WINDOW is actions, "-WS_BORDER" and "move -10 5" included: options go before.
  command.prefix_command();
  command.footer(
      "ACTION...: show, hide, restore, minimize, maximize, close, topmost on|off, move X Y [W H], text \"...\", "
      "style +NAME|-NAME|0xHEX, exstyle +NAME|-NAME|0xHEX, alpha N, colorkey RRGGBB, region clear, "
      "taskbar add|remove; several in one call, in order.\nExample: qv do 0x1a2b move 10 10 640 480 style -WS_CAPTION "
      "topmost on");
  CLI::App* app = &command;
  run = [options, app] {
    for (const std::string& word : app->remaining()) {
      // Output options are taken wherever they stand.
      if (word == "--json") options->output.json = true;
      else if (word == "--pretty") options->output.pretty = true;
      else options->actions.push_back(word);
    }
    // With selectors, a WINDOW that names no window is the first action.
    if (!options->window.handle.empty() && !options->window.selectors.Selector().Empty()) {
      const std::optional<HWND> hwnd = snapshot::ParseHandle(options->window.handle);
      if (!hwnd || !::IsWindow(*hwnd)) {
        options->actions.insert(options->actions.begin(), options->window.handle);
        options->window.handle.clear();
      }
    }
    return Do(*options);
  };
}

const CommandRegistration kRegistered{{81, "do", "The operations panel's commands on a window, in order", AddDo}};

}  // namespace
}  // namespace cli
