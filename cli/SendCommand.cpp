// qv send: any message to a window, with the values typed, and what came back; the same rules
// and the same send as the send dialog (sendmsg/).
#include <memory>

#include "cli/Command.h"
#include "cli/WindowNaming.h"
#include "platform/Format.h"
#include "platform/WideText.h"
#include "sendmsg/MessageSending.h"
#include "snapshot/Selectors.h"

namespace cli {
namespace {

struct SendOptions {
  WindowName window;
  std::vector<std::string> values;  // MESSAGE [WPARAM [LPARAM]]
  bool post = false;
  std::string timeout = "5000";
  OutputOptions output;
};

// With selectors, a WINDOW that names no window is the message: `qv send --title X WM_CLOSE`.
void ShiftWhenSelected(SendOptions& options) {
  if (options.window.handle.empty() || options.window.selectors.Selector().Empty()) return;
  const std::optional<HWND> hwnd = snapshot::ParseHandle(options.window.handle);
  if (hwnd && ::IsWindow(*hwnd)) return;
  options.values.insert(options.values.begin(), options.window.handle);
  options.window.handle.clear();
}

int Send(SendOptions options) {
  ShiftWhenSelected(options);
  if (options.values.empty() || options.values.size() > 3) {
    WriteError("qv send WINDOW MESSAGE [WPARAM [LPARAM]]: give a message and at most two parameters");
    return kExitTrouble;
  }
  std::string reason;
  const std::optional<uint32_t> timeoutMs = sendmsg::ParseTimeout(options.timeout, &reason);
  if (!timeoutMs) {
    WriteError("--timeout: " + reason);
    return kExitTrouble;
  }
  const NamedWindow named = ResolveWindow(options.window, options.output);
  if (!named.hwnd) return named.failure;
  const HWND hwnd = named.hwnd;
  options.values.resize(3);
  const std::optional<sendmsg::SendRequest> request =
      sendmsg::ParseRequest(options.values[0], options.values[1], options.values[2], sendmsg::ControlKindOfWindow(hwnd),
                            options.post, &reason);
  if (!request) {
    WriteError(reason);
    return kExitTrouble;
  }
  const sendmsg::SendReport report =
      options.post ? sendmsg::PostRequestTo(hwnd, *request) : sendmsg::SendRequestTo(hwnd, *request, *timeoutMs);
  const bool answered = report.state == sendmsg::SendState::Answered;
  const bool timedOut = report.state == sendmsg::SendState::TimedOut || report.state == sendmsg::SendState::Hung;
  const std::string name = msglog::MessageName(request->message, request->kind, nullptr);
  const std::string meaning = sendmsg::ResultMeaning(hwnd, *request, report);

  if (options.output.AsJson()) {
    snapshot::Json out = snapshot::Json::object();
    out["handle"] = platform::FormatHandle(hwnd);
    out["message"] = name;
    out["code"] = request->message;
    out["wParam"] = platform::FormatHex32(request->wParam.value);
    if (request->lParam.isText) out["lParam"] = platform::Utf8FromWide(request->lParam.text);
    else out["lParam"] = platform::FormatHex32(request->lParam.value);
    out["posted"] = options.post;
    if (answered) {
      out["result"] = static_cast<long long>(report.value);
      out["resultHex"] = platform::FormatHex32(static_cast<DWORD>(report.value));
      out["meaning"] = meaning;
      if (report.hasText) out["text"] = platform::Utf8FromWide(report.text);
    }
    out["timedOut"] = timedOut;
    if (report.state == sendmsg::SendState::Hung) out["hung"] = true;
    if (!options.post) out["elapsedMs"] = report.elapsedMs;
    if (!answered && report.state != sendmsg::SendState::Posted) out["error"] = sendmsg::StateText(report, *timeoutMs);
    WriteJson(out, options.output);
  } else if (answered) {
    WriteLine(name + " -> " + sendmsg::ResultNumberText(report.value));
    if (!meaning.empty()) WriteLine("meaning: " + meaning);
    if (report.hasText) WriteLine("text: " + platform::Utf8FromWide(report.text));
  } else if (report.state == sendmsg::SendState::Posted) {
    WriteLine(name + " posted");
  }
  if (answered || report.state == sendmsg::SendState::Posted) return kExitDone;
  WriteError(platform::FormatHandle(hwnd) + " " + name + ": " + sendmsg::StateText(report, *timeoutMs));
  return timedOut ? kExitTimedOut : kExitTrouble;
}

void AddSend(CLI::App& command, Run& run) {
  auto options = std::make_shared<SendOptions>();
  AddWindowName(command, options->window);
  command.add_option("MESSAGE", options->values,
                     "MESSAGE [WPARAM [LPARAM]]: a name the message log knows (BM_CLICK to a button) or a number; "
                     "parameters as numbers (decimal, 0x hex, negative) or, for messages the system carries as text "
                     "(WM_SETTEXT, LB_ADDSTRING, ...), a text in double quotes");
  command.add_flag("--post", options->post, "Post it and return at once");
  command.add_option("--timeout", options->timeout, "The bound of the send in milliseconds (default 5000)");
  AddOutputOptions(command, options->output);
  run = [options] { return Send(*options); };
}

const CommandRegistration kRegistered{{80, "send", "Send or post any message to a window and show what came back", AddSend}};

}  // namespace
}  // namespace cli
