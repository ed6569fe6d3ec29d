#include "properties/ProcedureProbe.h"

#include "msglog/hook/WindowProbe.h"
#include "platform/Format.h"
#include "platform/ProcessBits.h"
#include "platform/ProgramFolder.h"

namespace properties {
namespace {

const wchar_t kProbeDllName[] = L"QuorvelHook.dll";

msglog::WindowProbe* Shared(const platform::UniqueMappedView& view) { return static_cast<msglog::WindowProbe*>(view.get()); }

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

// Creates the question and sets the hook; false with the reason when it cannot be asked now.
// A question another probe holds open on the thread is no reason: it is asked again later.
bool CProcedureProbe::Ask(std::string* reason) {
  wchar_t name[64];
  msglog::ProbeMemoryName(name, m_dwThreadId);
  m_mapping.reset(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(msglog::WindowProbe), name));
  if (m_mapping && ::GetLastError() == ERROR_ALREADY_EXISTS) {
    m_mapping.reset();
    return false;
  }
  if (m_mapping)
    m_view.reset(::MapViewOfFile(m_mapping.get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(msglog::WindowProbe)));
  if (!m_view) {
    *reason = platform::Format("共有メモリを作れないため読めません（エラー %lu）", ::GetLastError());
    return false;
  }
  msglog::WindowProbe* probe = Shared(m_view);
  probe->magic = msglog::kProbeMagic;
  probe->window = reinterpret_cast<UINT_PTR>(m_hWindow);
  probe->state.store(msglog::kProbeAsked, std::memory_order_release);

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

std::optional<ProcedureFacts> CProcedureProbe::Poll() {
  if (m_bDone) return std::nullopt;
  if (!::IsWindow(m_hWindow)) return NotRead("ウィンドウがなくなりました");
  if (m_dwPid == ::GetCurrentProcessId()) {
    m_bDone = true;
    return ReadOwnWindow(m_hWindow);
  }
  if (m_bSixtyFourBit)
    return NotRead("64 ビットのプログラムのプロシージャは、32 ビットの Quorvel からは読めません");
  if (!m_hook) {
    std::string reason;
    if (!Ask(&reason) && !reason.empty()) return NotRead(reason);
  }
  if (m_view) {
    const msglog::WindowProbe* probe = Shared(m_view);
    const uint32_t state = probe->state.load(std::memory_order_acquire);
    if (state == msglog::kProbeAnswered) {
      ProcedureFacts facts;
      facts.status = ProcedureFacts::Status::kAnswered;
      facts.windowProc = probe->windowProc;
      facts.classProc = probe->classProc;
      facts.unicode = probe->unicode != 0;
      facts.classIcon = probe->classIcon;
      facts.classSmallIcon = probe->classSmallIcon;
      facts.classCursor = probe->classCursor;
      facts.classBackground = probe->classBackground;
      TakeOff();
      m_bDone = true;
      return facts;
    }
    if (state == msglog::kProbeNoWindow) return NotRead("ウィンドウがなくなりました");
  }
  if (::GetTickCount64() - m_start > kProbeLimitMs)
    return NotRead("プログラムが応答しないため読めません");
  return std::nullopt;
}

}  // namespace properties
