#include "properties/WindowReader.h"

#include "platform/LateBound.h"
#include "platform/ProcessBits.h"
#include "platform/ProcessLookup.h"
#include "platform/WideText.h"
#include "properties/ProcedureProbe.h"
#include "properties/ProcessFacts.h"
#include "properties/PropertyRows.h"

namespace properties {
namespace {

constexpr int kClassNameChars = 256;
// DWMWA_CLOAKED.
constexpr DWORD kCloakedAttribute = 14;

std::wstring ClassNameOf(HWND hwnd) {
  wchar_t name[kClassNameChars] = {};
  const int length = ::GetClassNameW(hwnd, name, kClassNameChars);
  return std::wstring(name, length > 0 ? static_cast<size_t>(length) : 0);
}

RelatedWindow Related(HWND hwnd) {
  RelatedWindow related;
  if (!hwnd || hwnd == ::GetDesktopWindow()) return related;
  related.hwnd = hwnd;
  related.text = platform::SystemWindowText(hwnd);
  related.className = ClassNameOf(hwnd);
  return related;
}

// The whole 32-bit words of count extra bytes, read by read(offset), at most kMaxExtraWords.
template <class Read>
std::vector<DWORD> ExtraWords(int count, Read&& read) {
  std::vector<DWORD> words;
  for (int offset = 0; offset + 4 <= count && offset < kMaxExtraWords * 4; offset += 4)
    words.push_back(static_cast<DWORD>(read(offset)));
  return words;
}

struct PropsContext {
  std::vector<WindowProp>* props;
  bool cut;
};

BOOL CALLBACK CollectProp(HWND, LPWSTR name, HANDLE data, ULONG_PTR param) {
  auto* context = reinterpret_cast<PropsContext*>(param);
  if (context->props->size() >= kMaxProps) {
    context->cut = true;
    return FALSE;
  }
  WindowProp prop;
  prop.data = reinterpret_cast<UINT_PTR>(data);
  const UINT_PTR value = reinterpret_cast<UINT_PTR>(name);
  if (HIWORD(value)) {
    // The system's copy of the atom's name, bounded as any other program's text. An integer
    // atom may come as its decimal text ("#66").
    prop.name = std::wstring(name, ::wcsnlen(name, 255));
    prop.atom = static_cast<uint16_t>(::GlobalFindAtomW(name));
    if (const std::optional<uint16_t> atom = IntegerAtomOfName(*prop.name)) {
      prop.atom = *atom;
      prop.name.reset();
    }
  } else {
    prop.atom = LOWORD(value);
    wchar_t atomName[256] = {};
    if (prop.atom >= MAXINTATOM && ::GlobalGetAtomNameW(prop.atom, atomName, 256)) prop.name = atomName;
  }
  context->props->push_back(std::move(prop));
  return TRUE;
}

DpiAwareness AwarenessOf(HWND hwnd) {
  using Context = HANDLE;
  const Context context = platform::CallLateBound<Context>("user32.dll", "GetWindowDpiAwarenessContext", hwnd);
  if (!context) return DpiAwareness::kUnknown;
  // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2.
  if (platform::CallLateBound<BOOL>("user32.dll", "AreDpiAwarenessContextsEqual", context, reinterpret_cast<Context>(-4)))
    return DpiAwareness::kPerMonitorV2;
  switch (platform::CallLateBound<int>("user32.dll", "GetAwarenessFromDpiAwarenessContext", context)) {
    case 0: return DpiAwareness::kUnaware;
    case 1: return DpiAwareness::kSystem;
    case 2: return DpiAwareness::kPerMonitor;
    default: return DpiAwareness::kUnknown;
  }
}

std::optional<DWORD> CloakedOf(HWND hwnd) {
  DWORD cloaked = 0;
  if (platform::CallLateBound<HRESULT>("dwmapi.dll", "DwmGetWindowAttribute", hwnd, kCloakedAttribute,
                                       static_cast<void*>(&cloaked), static_cast<DWORD>(sizeof(cloaked))) != S_OK)
    return std::nullopt;
  return cloaked;
}

ProcessPart ReadProcessPart(DWORD pid) {
  ProcessPart part;
  part.processName = GetProcessName(pid);
  part.path = GetProcessPathW(pid);
  part.sixtyFourBit = platform::IsSixtyFourBitProcess(pid);
  const std::optional<Integrity> integrity = ReadIntegrity(pid);
  part.integrity = IntegrityText(integrity);
  if (integrity) part.integrityLevel = integrity->level;
  part.commandLine = ProcessCommandLine(pid, part.sixtyFourBit.value_or(false), &part.commandLineReason);
  if (!part.sixtyFourBit.value_or(false)) part.modules = ProcessModules(pid);
  return part;
}

class CSystemWindowReader : public IWindowReader {
 public:
  WindowFacts Read(HWND hwnd) override { return ReadWindowFacts(hwnd, nullptr); }
  void AskProcedures(HWND hwnd) override { m_probe = std::make_unique<CProcedureProbe>(hwnd); }
  std::optional<ProcedureFacts> PollProcedures() override {
    return m_probe ? m_probe->Poll() : std::nullopt;
  }

 private:
  std::unique_ptr<CProcedureProbe> m_probe;
};

}  // namespace

// Nothing here sends a message to the window: every call reads what the system keeps.
WindowFacts ReadWindowFacts(HWND hwnd, ProcessPartCache* cache) {
  WindowFacts facts;
  facts.hwnd = hwnd;
  facts.alive = ::IsWindow(hwnd) != FALSE;
  if (!facts.alive) return facts;
  facts.text = platform::SystemWindowText(hwnd);
  facts.className = ClassNameOf(hwnd);
  ::GetWindowRect(hwnd, &facts.window);
  ::GetClientRect(hwnd, &facts.client);
  ::MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&facts.client), 2);

  facts.classStyle = ::GetClassLongW(hwnd, GCL_STYLE);
  facts.classExtraBytes = static_cast<int>(::GetClassLongW(hwnd, GCL_CBCLSEXTRA));
  facts.classExtra = ExtraWords(facts.classExtraBytes, [&](int offset) { return ::GetClassLongW(hwnd, offset); });
  facts.windowExtraBytes = static_cast<int>(::GetClassLongW(hwnd, GCL_CBWNDEXTRA));
  facts.windowExtra = ExtraWords(facts.windowExtraBytes, [&](int offset) { return ::GetWindowLongW(hwnd, offset); });

  facts.child = (::GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD) != 0;
  facts.id = facts.child ? static_cast<UINT_PTR>(::GetWindowLongPtrW(hwnd, GWLP_ID)) : reinterpret_cast<UINT_PTR>(::GetMenu(hwnd));
  facts.instance = static_cast<UINT_PTR>(::GetWindowLongPtrW(hwnd, GWLP_HINSTANCE));
  facts.userData = static_cast<UINT_PTR>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  facts.classIcon = ::GetClassLongPtrW(hwnd, GCLP_HICON);
  facts.classCursor = ::GetClassLongPtrW(hwnd, GCLP_HCURSOR);
  facts.classBackground = ::GetClassLongPtrW(hwnd, GCLP_HBRBACKGROUND);

  facts.parent = Related(::GetAncestor(hwnd, GA_PARENT));
  facts.owner = Related(::GetWindow(hwnd, GW_OWNER));
  facts.rootOwner = Related(::GetAncestor(hwnd, GA_ROOTOWNER));
  facts.firstChild = Related(::GetWindow(hwnd, GW_CHILD));
  facts.next = Related(::GetWindow(hwnd, GW_HWNDNEXT));
  facts.previous = Related(::GetWindow(hwnd, GW_HWNDPREV));

  facts.threadId = ::GetWindowThreadProcessId(hwnd, &facts.pid);
  ProcessPart read;
  const ProcessPart* part = nullptr;
  if (cache) {
    auto known = cache->find(facts.pid);
    if (known == cache->end()) known = cache->emplace(facts.pid, ReadProcessPart(facts.pid)).first;
    part = &known->second;
  } else {
    read = ReadProcessPart(facts.pid);
    part = &read;
  }
  facts.processName = part->processName;
  facts.path = part->path;
  facts.sixtyFourBit = part->sixtyFourBit;
  facts.integrity = part->integrity;
  facts.integrityLevel = part->integrityLevel;
  facts.commandLine = part->commandLine;
  facts.commandLineReason = part->commandLineReason;
  facts.modules = part->modules;

  PropsContext props{&facts.props, false};
  ::EnumPropsExW(hwnd, CollectProp, reinterpret_cast<LPARAM>(&props));
  facts.propsCut = props.cut;

  facts.dpiAwareness = AwarenessOf(hwnd);
  facts.dpi = platform::CallLateBound<UINT>("user32.dll", "GetDpiForWindow", hwnd);
  facts.cloaked = CloakedOf(hwnd);
  return facts;
}

std::unique_ptr<IWindowReader> MakeSystemWindowReader() { return std::make_unique<CSystemWindowReader>(); }

}  // namespace properties
