// qv acc: a window's accessible objects, read as the accessibility view reads them: on the
// reader's own thread (accessibility/ObjectReader), which qv never blocks on. A question that
// goes unanswered for kUnansweredMs abandons the reader; what was read is still written.
#include <windows.h>

#include <map>
#include <memory>

#include "accessibility/ObjectReader.h"
#include "cli/Command.h"
#include "cli/WindowNaming.h"
#include "platform/Format.h"
#include "platform/WideText.h"

namespace cli {
namespace {

using accessibility::Answer;
using accessibility::Ask;
using accessibility::AskKind;

// As long as the properties view waits for a window's thread.
constexpr DWORD kUnansweredMs = 1500;
// The most objects read, whatever the page holds.
constexpr size_t kMaxObjects = 20000;
constexpr UINT kAnswersMessage = WM_APP + 1;

struct AccOptions {
  WindowName window;
  int depth = 8;
  OutputOptions output;
};

struct Node {
  accessibility::ObjectSummary summary;
  std::optional<accessibility::ObjectDetails> details;
  std::vector<int> children;
  int level = 0;
  bool cut = false;
};

class CAccReading {
 public:
  CAccReading(HWND window, int depth) : m_window(window), m_depth(depth) {}

  // Reads until every question is answered; false when one went unanswered too long, or the
  // system hands out no object (then result says why).
  bool Read() {
    m_notify = ::CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    m_reader = std::make_unique<accessibility::CObjectReader>(m_window, m_notify, kAnswersMessage);
    if (!m_reader->Started()) {
      m_failure = "no thread could be started for the reading";
      return false;
    }
    Post(Ask{AskKind::Root});
    while (m_open > 0) {
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
      MSG msg;
      while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
      for (Answer& answer : m_reader->Take()) Take(answer);
      if (m_open > 0 && m_reader->Waiting() > kUnansweredMs) {
        m_timedOut = true;
        break;
      }
    }
    // Dropping the reader abandons it: its thread ends once the call it is in returns.
    m_reader.reset();
    if (m_notify) ::DestroyWindow(m_notify);
    return !m_timedOut && m_failure.empty();
  }

  bool TimedOut() const { return m_timedOut; }
  const std::string& Failure() const { return m_failure; }
  int Root() const { return m_root; }

  snapshot::Json NodeJson(int id) const {
    const Node& node = m_nodes.at(id);
    snapshot::Json object = snapshot::Json::object();
    object["role"] = platform::Utf8FromWide(node.summary.role);
    object["name"] = platform::Utf8FromWide(node.summary.name);
    object["childCount"] = node.summary.childCount;
    if (node.details) {
      const accessibility::ObjectDetails& details = *node.details;
      object["value"] = platform::Utf8FromWide(details.value);
      object["description"] = platform::Utf8FromWide(details.description);
      object["state"] = details.state ? snapshot::Json(snapshot::WordText(*details.state)) : snapshot::Json(nullptr);
      object["defaultAction"] = platform::Utf8FromWide(details.defaultAction);
      object["shortcut"] = platform::Utf8FromWide(details.shortcut);
      object["help"] = platform::Utf8FromWide(details.help);
      if (details.location)
        object["location"] = snapshot::Json::array(
            {details.location->x, details.location->y, details.location->width, details.location->height});
      else
        object["location"] = nullptr;
      object["window"] = snapshot::HandleJson(details.window);
    }
    snapshot::Json children = snapshot::Json::array();
    for (int child : node.children) children.push_back(NodeJson(child));
    object["children"] = std::move(children);
    if (node.cut) object["childrenCut"] = true;
    return object;
  }

  // The view's item texts, indented two blanks a level.
  void WriteText(int id, int level) const {
    const Node& node = m_nodes.at(id);
    WriteLine(std::string(static_cast<size_t>(level) * 2, ' ') +
              platform::Utf8FromWide(accessibility::ItemText(node.summary.role, node.summary.name)));
    for (int child : node.children) WriteText(child, level + 1);
  }

 private:
  void Post(const Ask& ask) {
    m_reader->Post(ask);
    ++m_open;
  }

  void Add(const accessibility::ObjectItem& item, int level) {
    if (m_nodes.size() >= kMaxObjects) return;
    Node& node = m_nodes[item.id];
    node.summary = item.summary;
    node.level = level;
    Ask details{AskKind::Details, item.id};
    details.latestOnly = false;
    Post(details);
    if (level < m_depth && item.summary.childCount > 0) Post(Ask{AskKind::Children, item.id});
  }

  void Take(Answer& answer) {
    switch (answer.kind) {
      case AskKind::Root:
        --m_open;
        if (FAILED(answer.result) || answer.items.empty()) {
          m_failure = accessibility::RefusalText(answer.result);
          return;
        }
        m_root = answer.items.front().id;
        Add(answer.items.front(), 0);
        break;
      case AskKind::Children: {
        if (!answer.more) --m_open;
        auto parent = m_nodes.find(answer.node);
        if (parent == m_nodes.end()) return;
        const int level = parent->second.level + 1;
        parent->second.cut = parent->second.cut || answer.cut;
        for (const accessibility::ObjectItem& item : answer.items) {
          if (m_nodes.size() >= kMaxObjects) {
            m_nodes[answer.node].cut = true;
            break;
          }
          m_nodes[answer.node].children.push_back(item.id);
          Add(item, level);
        }
        break;
      }
      case AskKind::Details: {
        --m_open;
        auto node = m_nodes.find(answer.node);
        if (node != m_nodes.end() && SUCCEEDED(answer.result)) node->second.details = answer.details;
        break;
      }
      default:
        --m_open;
        break;
    }
  }

  HWND m_window;
  int m_depth;
  HWND m_notify = nullptr;
  std::unique_ptr<accessibility::CObjectReader> m_reader;
  std::map<int, Node> m_nodes;
  int m_root = 0;
  int m_open = 0;
  bool m_timedOut = false;
  std::string m_failure;
};

int Acc(const AccOptions& options) {
  if (options.depth < 0) {
    WriteError("--depth is 0 or more");
    return kExitTrouble;
  }
  const NamedWindow named = ResolveWindow(options.window, options.output);
  if (!named.hwnd) return named.failure;
  CAccReading reading(named.hwnd, options.depth);
  reading.Read();
  if (!reading.Failure().empty()) {
    WriteError(platform::Utf8FromWide(platform::WidenAnsi(reading.Failure())));
    return kExitTrouble;
  }
  if (reading.Root()) {
    if (options.output.AsJson()) {
      snapshot::Json root = reading.NodeJson(reading.Root());
      if (reading.TimedOut()) root["timedOut"] = true;
      WriteJson(root, options.output);
    } else {
      reading.WriteText(reading.Root(), 0);
    }
  } else if (options.output.AsJson()) {
    WriteJson(snapshot::Json{{"timedOut", true}}, options.output);
  }
  if (reading.TimedOut()) {
    WriteError("the window's program did not answer within " + std::to_string(kUnansweredMs) + " ms");
    return kExitTimedOut;
  }
  return kExitDone;
}

void AddAcc(CLI::App& command, Run& run) {
  auto options = std::make_shared<AccOptions>();
  AddWindowName(command, options->window);
  command.add_option("--depth", options->depth, "How many levels below the window's object to read (default 8)");
  AddOutputOptions(command, options->output);
  run = [options] { return Acc(*options); };
}

const CommandRegistration kRegistered{
    {40, "acc", "The accessible objects of one window, as the accessibility view reads them", AddAcc}};

}  // namespace
}  // namespace cli
