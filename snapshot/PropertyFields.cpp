#include "snapshot/PropertyFields.h"

#include <deque>
#include <map>
#include <memory>

#include "properties/ProcedureProbe.h"
#include "properties/PropertyRows.h"
#include "properties/WindowReader.h"
#include "snapshot/Window.h"

namespace snapshot {
namespace {

// How long the read rests between two looks at the open probes.
constexpr DWORD kProbePollMs = 2;
// The most threads probed at once (a 64-bit program's probe is a helper program each).
constexpr size_t kMaxOpenProbes = 8;

Json WordsJson(const std::vector<DWORD>& words) {
  Json list = Json::array();
  for (DWORD word : words) list.push_back(WordText(word));
  return list;
}

Json ProcedureJson(uint64_t address, const std::vector<properties::ModuleRange>& modules) {
  Json procedure = Json::object();
  procedure["address"] = AddressText(address);
  const std::wstring module = properties::ModuleOfAddress(address, modules);
  // ModuleOfAddress gives "name+0x…": the name and the offset apart.
  const size_t plus = module.rfind(L'+');
  if (plus != std::wstring::npos) {
    procedure["module"] = Utf8(module.substr(0, plus));
    procedure["offset"] = Utf8(module.substr(plus + 1));
  } else {
    procedure["module"] = nullptr;
    procedure["offset"] = nullptr;
  }
  return procedure;
}

void Put(Json& fields, const char* name, Json value, const std::string& reason) {
  const bool missing = value.is_null();
  fields[name] = std::move(value);
  if (missing) fields[std::string(name) + "Error"] = reason;
}

Json RelatedJson(const properties::RelatedWindow& related) { return HandleJson(related.hwnd); }

}  // namespace

Json DpiAwarenessJson(properties::DpiAwareness awareness) {
  switch (awareness) {
    case properties::DpiAwareness::kUnaware: return "unaware";
    case properties::DpiAwareness::kSystem: return "system";
    case properties::DpiAwareness::kPerMonitor: return "perMonitor";
    case properties::DpiAwareness::kPerMonitorV2: return "perMonitorV2";
    default: return nullptr;
  }
}

const char* IntegrityName(DWORD level) {
  if (level >= 0x4000) return "system";
  if (level >= 0x3000) return "high";
  if (level >= 0x2100) return "mediumUIAccess";
  if (level >= 0x2000) return "medium";
  if (level >= 0x1000) return "low";
  return "untrusted";
}

Json PropertyJson(const properties::WindowFacts& facts) {
  using properties::ProcedureFacts;
  Json fields = Json::object();
  fields["clientRect"] = Json::array({facts.client.left, facts.client.top, facts.client.right, facts.client.bottom});
  fields["classStyle"] = WordText(facts.classStyle);
  fields["classExtraBytes"] = facts.classExtraBytes;
  fields["classExtra"] = WordsJson(facts.classExtra);
  fields["windowExtraBytes"] = facts.windowExtraBytes;
  fields["windowExtra"] = WordsJson(facts.windowExtra);

  const ProcedureFacts& procedures = facts.procedures;
  const std::string unread = procedures.status == ProcedureFacts::Status::kReading ? std::string("not asked")
                                                                                   : Utf8FromAnsi(procedures.reason);
  if (procedures.status == ProcedureFacts::Status::kAnswered) {
    Json windowProc = ProcedureJson(procedures.windowProc, facts.modules);
    windowProc["unicode"] = procedures.unicode;
    windowProc["subclassed"] = procedures.windowProc != procedures.classProc;
    fields["windowProc"] = std::move(windowProc);
    fields["classProc"] = ProcedureJson(procedures.classProc, facts.modules);
  } else {
    Put(fields, "windowProc", nullptr, unread);
    Put(fields, "classProc", nullptr, unread);
  }
  fields["instance"] = AddressText(facts.instance);
  fields["userData"] = AddressText(facts.userData);
  // A child's id is its control id; a top-level window's is its menu.
  if (facts.child)
    fields["id"] = facts.id;
  else
    fields["id"] = AddressText(facts.id);
  // The class's icon, cursor and brush: the probe's when it answered (Wine gives them to no
  // other process), else what the outside reading got.
  const bool probed = procedures.status == ProcedureFacts::Status::kAnswered;
  fields["classIcon"] = AddressText(probed ? procedures.classIcon : facts.classIcon);
  Put(fields, "classSmallIcon", probed ? Json(AddressText(procedures.classSmallIcon)) : Json(nullptr), unread);
  fields["classCursor"] = AddressText(probed ? procedures.classCursor : facts.classCursor);
  fields["classBackground"] = AddressText(probed ? procedures.classBackground : facts.classBackground);
  fields["rootOwner"] = RelatedJson(facts.rootOwner);
  fields["firstChild"] = RelatedJson(facts.firstChild);
  fields["next"] = RelatedJson(facts.next);
  fields["previous"] = RelatedJson(facts.previous);

  Put(fields, "path", facts.path.empty() ? Json(nullptr) : Json(Utf8(facts.path)), "the system does not give the path");
  Put(fields, "bits", facts.sixtyFourBit ? Json(*facts.sixtyFourBit ? 64 : 32) : Json(nullptr),
      "the process cannot be asked");
  Put(fields, "integrity", facts.integrityLevel ? Json(IntegrityName(*facts.integrityLevel)) : Json(nullptr),
      "the process's token cannot be read");
  Put(fields, "commandLine", facts.commandLine ? Json(Utf8(*facts.commandLine)) : Json(nullptr),
      Utf8FromAnsi(facts.commandLineReason));

  Json props = Json::object();
  for (const properties::WindowProp& prop : facts.props) {
    const std::string name = prop.name ? Utf8(*prop.name) : "#" + std::to_string(prop.atom);
    props[name] = AddressText(prop.data);
  }
  fields["props"] = std::move(props);
  if (facts.propsCut) fields["propsCut"] = true;

  Put(fields, "dpiAwareness", DpiAwarenessJson(facts.dpiAwareness), "the system does not say");
  Put(fields, "dpi", facts.dpi ? Json(facts.dpi) : Json(nullptr), "the system does not say");
  Put(fields, "cloaked", facts.cloaked ? Json(*facts.cloaked != 0) : Json(nullptr), "the system does not say");
  return fields;
}

bool ReadProperties(std::vector<WindowEntry>& entries) { return ReadProperties(entries, nullptr); }

bool ReadProperties(std::vector<WindowEntry>& entries, std::vector<properties::WindowFacts>* factsOut) {
  properties::ProcessPartCache processes;
  std::vector<properties::WindowFacts> facts;
  facts.reserve(entries.size());
  for (const WindowEntry& entry : entries) facts.push_back(properties::ReadWindowFacts(entry.hwnd, &processes));

  // The procedures: one probe per thread at a time, the threads in parallel. A thread that does
  // not answer one window is asked about none of its others: each would wait as long again.
  std::map<DWORD, std::deque<size_t>> waiting;
  for (size_t i = 0; i < entries.size(); ++i)
    if (facts[i].alive) waiting[entries[i].tid].push_back(i);
  struct OpenProbe {
    DWORD tid;
    size_t index;
    std::unique_ptr<properties::CProcedureProbe> probe;
  };
  std::vector<OpenProbe> open;
  bool allAnswered = true;
  auto next = waiting.begin();
  while (next != waiting.end() || !open.empty()) {
    while (open.size() < kMaxOpenProbes && next != waiting.end()) {
      const size_t index = next->second.front();
      next->second.pop_front();
      open.push_back({next->first, index, std::make_unique<properties::CProcedureProbe>(entries[index].hwnd)});
      ++next;
    }
    bool answered = false;
    for (size_t k = 0; k < open.size();) {
      std::optional<properties::ProcedureFacts> answer = open[k].probe->Poll();
      if (!answer) {
        ++k;
        continue;
      }
      answered = true;
      const size_t index = open[k].index;
      std::deque<size_t>& rest = waiting[open[k].tid];
      if (answer->timedOut) {
        allAnswered = false;
        entries[index].timedOut = true;
        for (size_t other : rest) {
          entries[other].timedOut = true;
          facts[other].procedures = *answer;
        }
        rest.clear();
      }
      properties::MergeProbeAnswer(facts[index], *answer);
      // The thread's next window, in the same place.
      if (!rest.empty()) {
        open[k].index = rest.front();
        rest.pop_front();
        open[k].probe = std::make_unique<properties::CProcedureProbe>(entries[open[k].index].hwnd);
        ++k;
      } else {
        open.erase(open.begin() + static_cast<std::ptrdiff_t>(k));
      }
    }
    if (!answered && !open.empty()) ::Sleep(kProbePollMs);
  }
  for (size_t i = 0; i < entries.size(); ++i) entries[i].properties = PropertyJson(facts[i]);
  if (factsOut) *factsOut = std::move(facts);
  return allAnswered;
}

}  // namespace snapshot
