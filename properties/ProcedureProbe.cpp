#include "properties/ProcedureProbe.h"

#include <algorithm>

#include "msglog/hook/WindowProbe.h"
#include "platform/Format.h"
#include "platform/ProcessBits.h"
#include "platform/ProgramFolder.h"

namespace properties {
namespace {

const wchar_t kProbeDllName[] = L"QuorvelHook.dll";

msglog::ProbeMemory* Shared(const platform::UniqueMappedView& view) { return static_cast<msglog::ProbeMemory*>(view.get()); }

std::string NarrowModuleName(const uint16_t* name) {
  std::wstring wide;
  for (uint32_t i = 0; i < msglog::kProbeModuleNameChars && name[i]; ++i) wide += static_cast<wchar_t>(name[i]);
  char narrow[msglog::kProbeModuleNameChars * 2 + 1] = {};
  const int length = ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), narrow,
                                           sizeof(narrow) - 1, nullptr, nullptr);
  return std::string(narrow, length > 0 ? static_cast<size_t>(length) : 0);
}

std::string RefusalReason(DWORD error) {
  if (error == ERROR_ACCESS_DENIED)
    return "このプログラムは Quorvel のフックを受け付けないため読めません（管理者として実行されているプログラムは、"
           "Quorvel も管理者として実行したときだけ読めます）";
  return platform::Format("フックを置けないため読めません（エラー %lu）", error);
}

// Read directly: a window of Quorvel's own process.
ProcedureFacts ReadOwnWindow(HWND hwnd) {
  ProcedureFacts facts;
  facts.status = ProcedureFacts::Status::kAnswered;
  facts.unicode = ::IsWindowUnicode(hwnd) != FALSE;
  facts.windowProc = facts.unicode ? ::GetWindowLongPtrW(hwnd, GWLP_WNDPROC) : ::GetWindowLongPtrA(hwnd, GWLP_WNDPROC);
  facts.classProc = facts.unicode ? ::GetClassLongPtrW(hwnd, GCLP_WNDPROC) : ::GetClassLongPtrA(hwnd, GCLP_WNDPROC);
  facts.classIcon = ::GetClassLongPtrW(hwnd, GCLP_HICON);
  facts.classSmallIcon = ::GetClassLongPtrW(hwnd, GCLP_HICONSM);
  facts.classCursor = ::GetClassLongPtrW(hwnd, GCLP_HCURSOR);
  facts.classBackground = ::GetClassLongPtrW(hwnd, GCLP_HBRBACKGROUND);
  facts.instance = ::GetWindowLongPtrW(hwnd, GWLP_HINSTANCE);
  facts.userData = ::GetWindowLongPtrW(hwnd, GWLP_USERDATA);
  return facts;
}

}  // namespace

CProcedureProbe::CProcedureProbe(HWND window) : m_hWindow(window) {
  m_dwThreadId = ::GetWindowThreadProcessId(window, &m_dwPid);
  m_start = ::GetTickCount64();
  m_bSixtyFourBit = platform::IsSixtyFourBitProcess(m_dwPid).value_or(false);
}

CProcedureProbe::~CProcedureProbe() { TakeOff(); }

void CProcedureProbe::TakeOff() {
  m_helper.reset();
  m_hook.reset();
  m_view.reset();
  m_mapping.reset();
  m_module.reset();
}

std::optional<ProcedureFacts> CProcedureProbe::NotRead(const std::string& reason) {
  TakeOff();
  m_bDone = true;
  ProcedureFacts facts;
  facts.status = ProcedureFacts::Status::kNotRead;
  facts.reason = reason;
  return facts;
}

// Creates the question and sets the hook (or has the helper set it); false with the reason when
// it cannot be asked now. A question another probe holds open on the thread is no reason: it is
// asked again later.
bool CProcedureProbe::Ask(std::string* reason) {
  wchar_t name[64];
  msglog::ProbeMemoryName(name, m_dwThreadId);
  m_mapping.reset(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(msglog::ProbeMemory), name));
  if (m_mapping && ::GetLastError() == ERROR_ALREADY_EXISTS) {
    m_mapping.reset();
    return false;
  }
  if (m_mapping)
    m_view.reset(::MapViewOfFile(m_mapping.get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(msglog::ProbeMemory)));
  if (!m_view) {
    *reason = platform::Format("共有メモリを作れないため読めません（エラー %lu）", ::GetLastError());
    return false;
  }
  msglog::WindowProbe& probe = Shared(m_view)->probe;
  probe.magic = msglog::kProbeMagic;
  probe.window = reinterpret_cast<UINT_PTR>(m_hWindow);
  probe.state.store(msglog::kProbeAsked, std::memory_order_release);
  if (m_bSixtyFourBit) return StartHelper(reason);

  m_module.reset(::LoadLibraryW(platform::PathBesideProgram(kProbeDllName).c_str()));
  auto procedure = m_module ? reinterpret_cast<HOOKPROC>(::GetProcAddress(m_module.get(), msglog::kWindowProbeName)) : nullptr;
  if (!procedure) {
    *reason = "QuorvelHook.dll が Quorvel.exe と同じフォルダーにないため読めません";
    return false;
  }
  m_hook.reset(::SetWindowsHookExW(WH_GETMESSAGE, procedure, m_module.get(), m_dwThreadId));
  if (!m_hook) {
    *reason = RefusalReason(::GetLastError());
    return false;
  }
  // Any message the thread takes runs the hook; this one does nothing else.
  ::PostMessageW(m_hWindow, WM_NULL, 0, 0);
  return true;
}

bool CProcedureProbe::StartHelper(std::string* reason) {
  std::wstring command = L"\"" + platform::PathBesideProgram(msglog::kProbeHelperName) + L"\" " +
                         std::to_wstring(::GetCurrentProcessId()) + L" " + std::to_wstring(m_dwThreadId);
  STARTUPINFOW startup{sizeof(startup)};
  PROCESS_INFORMATION started{};
  if (!::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup, &started)) {
    *reason = "QuorvelProbeHelper64.exe が Quorvel.exe と同じフォルダーにないため、64 ビットのプログラムのプロシージャは読めません";
    return false;
  }
  ::CloseHandle(started.hThread);
  m_helper.reset(started.hProcess);
  return true;
}

ProcedureFacts CProcedureProbe::Answer() const {
  const msglog::ProbeMemory& memory = *Shared(m_view);
  const msglog::WindowProbe& probe = memory.probe;
  ProcedureFacts facts;
  facts.status = ProcedureFacts::Status::kAnswered;
  facts.windowProc = probe.windowProc;
  facts.classProc = probe.classProc;
  facts.unicode = probe.unicode != 0;
  facts.classIcon = probe.classIcon;
  facts.classSmallIcon = probe.classSmallIcon;
  facts.classCursor = probe.classCursor;
  facts.classBackground = probe.classBackground;
  facts.instance = probe.instance;
  facts.userData = probe.userData;
  // The helper's part is another program's writing: each count read once and bounded.
  const msglog::ProbeHelperAnswer& helper = memory.helper;
  if (m_helper && helper.written.load(std::memory_order_acquire)) {
    const uint32_t modules = std::min(helper.moduleCount, msglog::kMaxProbeModules);
    for (uint32_t i = 0; i < modules; ++i)
      facts.modules.push_back(ModuleRange{helper.modules[i].base, helper.modules[i].size, NarrowModuleName(helper.modules[i].name)});
    const uint32_t chars = helper.commandLineChars;
    if (chars != msglog::kNoCommandLine) {
      std::wstring line;
      for (uint32_t i = 0; i < std::min(chars, msglog::kProbeCommandLineChars); ++i) line += static_cast<wchar_t>(helper.commandLine[i]);
      facts.commandLine = line;
    }
  }
  return facts;
}

std::optional<ProcedureFacts> CProcedureProbe::Poll() {
  if (m_bDone) return std::nullopt;
  if (!::IsWindow(m_hWindow)) return NotRead("ウィンドウがなくなりました");
  if (m_dwPid == ::GetCurrentProcessId()) {
    m_bDone = true;
    return ReadOwnWindow(m_hWindow);
  }
  if (!m_hook && !m_helper) {
    std::string reason;
    if (!Ask(&reason) && !reason.empty()) return NotRead(reason);
  }
  if (m_view) {
    const uint32_t state = Shared(m_view)->probe.state.load(std::memory_order_acquire);
    if (state == msglog::kProbeAnswered) {
      ProcedureFacts facts = Answer();
      TakeOff();
      m_bDone = true;
      return facts;
    }
    if (state == msglog::kProbeNoWindow) return NotRead("ウィンドウがなくなりました");
  }
  DWORD exitCode = STILL_ACTIVE;
  if (m_helper && ::GetExitCodeProcess(m_helper.get(), &exitCode) && exitCode != STILL_ACTIVE && exitCode != 0)
    return NotRead(RefusalReason(exitCode));
  // The helper is a program to start first.
  const DWORD limit = m_bSixtyFourBit ? kProbeLimitMs + msglog::kProbeHelperLimitMs : kProbeLimitMs;
  if (::GetTickCount64() - m_start > limit) {
    std::optional<ProcedureFacts> facts = NotRead("プログラムが応答しないため読めません");
    facts->timedOut = true;
    return facts;
  }
  return std::nullopt;
}

}  // namespace properties
