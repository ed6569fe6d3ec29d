// qv log: what a window is sent, posted and returns, live, as the message log shows it: the
// log's installers (the 64-bit helper for a 64-bit program), its channel, store, names,
// decoding and filter. Ends at --for, --count, Ctrl+C or the window's end, hooks taken off.
#include <atomic>
#include <memory>
#include <unordered_map>

#include "cli/Command.h"
#include "cli/WindowNaming.h"
#include "msglog/HookInstaller.h"
#include "msglog/LogChannel.h"
#include "msglog/LogColumns.h"
#include "msglog/MessageFilter.h"
#include "msglog/MessageStore.h"
#include "platform/Format.h"
#include "platform/WideText.h"
#include "sendmsg/MessageSending.h"

namespace cli {
namespace {

// How often the ring is drained, as the log dialog does.
constexpr DWORD kDrainPeriodMs = 30;
// The store only has to hold a drain's rows until they are written.
constexpr size_t kStoreRows = 8192;

std::atomic<bool> g_stop{false};

// Ctrl+C, Ctrl+Break and the console's close end the log; the loop takes the hooks off.
BOOL WINAPI StopOnCtrl(DWORD) {
  g_stop = true;
  return TRUE;
}

struct LogOptions {
  WindowName window;
  bool children = false;
  double seconds = 0;
  long long count = 0;
  std::string filter;
  OutputOptions output;
};

uint64_t Counter() {
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return static_cast<uint64_t>(now.QuadPart);
}

int Log(const LogOptions& options) {
  if (options.seconds < 0 || options.seconds > 1e7 || options.count < 0) {
    WriteError("--for and --count are not negative");
    return kExitTrouble;
  }
  const NamedWindow named = ResolveWindow(options.window, options.output);
  if (!named.hwnd) return named.failure;
  const HWND hwnd = named.hwnd;
  DWORD pid = 0;
  const DWORD thread = ::GetWindowThreadProcessId(hwnd, &pid);
  if (pid == ::GetCurrentProcessId()) {
    WriteError("the window is one of qv's own");
    return kExitTrouble;
  }

  std::string reason;
  msglog::CLogChannel channel;
  if (!channel.Open(thread, hwnd, options.children, &reason)) {
    WriteError(platform::FormatHandle(hwnd) + ": " + platform::Utf8FromWide(platform::WidenAnsi(reason)));
    return kExitTrouble;
  }
  std::unique_ptr<msglog::IHookInstaller> installer = msglog::InstallerForProcess(pid);
  std::unique_ptr<msglog::CInstalledHooks> hooks = installer->Install(thread, &reason);
  if (!hooks) {
    WriteError(platform::FormatHandle(hwnd) + ": " + platform::Utf8FromWide(platform::WidenAnsi(reason)));
    return kExitTrouble;
  }
  g_stop = false;
  ::SetConsoleCtrlHandler(StopOnCtrl, TRUE);
  channel.SetActive(true);
  WriteError("logging " + platform::FormatHandle(hwnd) + " (Ctrl+C ends)");
  Flush();

  std::unordered_map<uint64_t, msglog::ControlKind> kinds;
  std::unordered_map<uint32_t, std::string> registered;
  msglog::NameContext names;
  names.kindOf = [&kinds](uint64_t window) {
    auto known = kinds.find(window);
    if (known != kinds.end()) return known->second;
    if (kinds.size() >= 4096) kinds.clear();  // handles come from the logged program
    const auto kind = sendmsg::ControlKindOfWindow(reinterpret_cast<HWND>(static_cast<uintptr_t>(window)));
    kinds.emplace(window, kind);
    return kind;
  };
  names.registered = [&registered](uint32_t message) {
    auto known = registered.find(message);
    if (known != registered.end()) return known->second;
    char name[256] = {};
    const int length = ::GetClipboardFormatNameA(message, name, sizeof(name));
    return registered.emplace(message, std::string(name, length > 0 ? length : 0)).first->second;
  };
  const msglog::CMessageFilter filter(options.filter);
  msglog::CMessageStore store(kStoreRows);
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  const uint64_t origin = Counter();
  const DWORD start = ::GetTickCount();
  uint64_t recorded = 0;
  long long shown = 0;
  bool done = false;
  msglog::MessageRecord record;
  while (!done) {
    const bool windowGone = !::IsWindow(hwnd);  // its last messages are drained first
    while (channel.Read(record)) {
      const msglog::StoredRow row = msglog::RowFromRecord(record, origin, static_cast<uint64_t>(frequency.QuadPart),
                                                          names.kindOf(record.hwnd));
      const uint64_t number = store.Add(row, msglog::PayloadFromRecord(record, CP_ACP));
      ++recorded;
      const size_t index = static_cast<size_t>(number - store.FirstNumber());
      const std::string name = msglog::RowMessageName(row, names);
      if (!filter.Shows(name)) continue;
      auto cell = [&](int column) { return msglog::CellText(store, index, column, names); };
      if (options.output.AsJson()) {
        snapshot::Json line = snapshot::Json::object();
        line["index"] = store.ShownNumber(index);
        line["time"] = row.timeMs / 1000.0;
        line["handle"] = cell(msglog::kColHandle);
        line["kind"] = std::string(1, row.kind);
        line["message"] = name;
        line["code"] = row.message;
        line["wParam"] = cell(msglog::kColWParam);
        line["lParam"] = cell(msglog::kColLParam);
        if (row.kind == 'R') line["result"] = cell(msglog::kColResult);
        else line["result"] = nullptr;
        line["meaning"] = cell(msglog::kColContent);
        WriteLine(JsonText(line, false));
      } else {
        std::string text;
        for (int column = msglog::kColNumber; column < msglog::kColumnCount; ++column)
          text += (column ? "  " : "") + (column == msglog::kColMessage ? name : cell(column));
        WriteLine(text);
      }
      if (options.count && ++shown >= options.count) {
        done = true;
        break;
      }
    }
    Flush();
    if (done || windowGone || g_stop) break;
    if (options.seconds > 0 && ::GetTickCount() - start >= static_cast<DWORD>(options.seconds * 1000)) break;
    ::Sleep(kDrainPeriodMs);
  }
  // Off before anything else: the hook stops writing, the hooks leave the thread.
  channel.SetActive(false);
  hooks.reset();
  const uint32_t dropped = channel.Dropped();
  channel.Close();
  ::SetConsoleCtrlHandler(StopOnCtrl, FALSE);
  if (options.output.AsJson()) {
    snapshot::Json last = snapshot::Json::object();
    last["recorded"] = recorded;
    last["dropped"] = dropped;
    WriteLine(JsonText(last, false));
  } else {
    WriteLine(platform::Format("recorded %llu, dropped %u", static_cast<unsigned long long>(recorded), dropped));
  }
  return kExitDone;
}

void AddLog(CLI::App& command, Run& run) {
  auto options = std::make_shared<LogOptions>();
  AddWindowName(command, options->window);
  command.add_flag("--children", options->children, "The window's descendants' messages too");
  command.add_option("--for", options->seconds, "Stop after this many seconds");
  command.add_option("--count", options->count, "Stop after this many messages shown");
  command.add_option("--filter", options->filter,
                     "Message names to show, separated by commas or blanks, * and ? as wildcards, -NAME to leave out");
  AddOutputOptions(command, options->output);
  command.footer("With --json one JSON Line per message (index, time, handle, kind S/P/R, message, code, wParam, "
                 "lParam, result, meaning), and a last line with recorded and dropped.");
  run = [options] { return Log(*options); };
}

const CommandRegistration kRegistered{{83, "log", "What a window is sent, posted and returns, live", AddLog}};

}  // namespace
}  // namespace cli
