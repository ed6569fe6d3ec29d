#include "app/QuorvelApp.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "app/Arguments.h"
#include "mainlist/QuorvelDlg.h"
#include "platform/WindowCalls.h"

int g_nDebugMode = 0;
CQuorvelDlg* g_pMainDlg = nullptr;

namespace {

// Guards g_pMainDlg between the console's thread and start-up, which clears it.
std::mutex g_mainDlgLock;
// Set by a console event that ends the program: the system ends the process soon after.
std::atomic<bool> g_bConsoleEnding{false};
// How long the handler of a forced end waits for the queued put-backs: within the five seconds
// Windows grants a console's close handler.
constexpr DWORD kConsoleCloseGraceMs = 4500;

enum class ConsoleEnding {
  None,    // the program runs on (Ctrl+Break)
  Asked,   // Ctrl+C: the program ends as 終了 ends it, in its own time
  Forced,  // the console closes, the user logs off or the system shuts down: the system ends
           // the process soon after the handler returns
};

ConsoleEnding ConsoleEndingOf(DWORD ctrlType) {
  switch (ctrlType) {
    case CTRL_C_EVENT:
      return ConsoleEnding::Asked;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      return ConsoleEnding::Forced;
    default:
      return ConsoleEnding::None;
  }
}

}  // namespace

namespace app {

CStartUpEnd::CStartUpEnd() : m_finished(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

void CStartUpEnd::Began() {
  ::ResetEvent(m_finished.get());
  m_running = true;
}

void CStartUpEnd::Finished() { ::SetEvent(m_finished.get()); }

bool CStartUpEnd::WaitFinished(DWORD timeoutMs) const {
  return !m_running || ::WaitForSingleObject(m_finished.get(), timeoutMs) == WAIT_OBJECT_0;
}

CStartUpEnd& StartUpEnd() {
  static CStartUpEnd end;
  return end;
}

}  // namespace app

CQuorvelApp::~CQuorvelApp() = default;

BOOL WINAPI ConsoleCtrlHandler(DWORD ctrlType) {
  const ConsoleEnding ending = ConsoleEndingOf(ctrlType);
  if (ending == ConsoleEnding::None) return TRUE;
  g_bConsoleEnding = true;
  // Ends the program as 終了 does; the main thread then finishes the queued put-backs.
  {
    std::lock_guard<std::mutex> lock(g_mainDlgLock);
    if (g_pMainDlg) ::PostMessageA(g_pMainDlg->GetSafeHwnd(), WM_CLOSE, 0, 0);
  }
  // After a close, log-off or shut-down the system ends the process once this returns (or its
  // grace runs out): wait here for the put-backs, within that grace.
  if (ending == ConsoleEnding::Forced) app::StartUpEnd().WaitFinished(kConsoleCloseGraceMs);
  return TRUE;
}

BOOL CQuorvelApp::InitInstance() {
  app::StartUpEnd().Began();
  if (app::ScanArguments(__argc, __argv, stdout)) g_nDebugMode = 1;

  if (g_nDebugMode == 1) {
    ::AllocConsole();
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONIN$", "r", stdin);
    ::SetConsoleCtrlHandler(ConsoleCtrlHandler, TRUE);
  } else {
    std::freopen("/dev/nul", "w", stdout);
    std::freopen("/dev/nul", "r", stdin);
  }

  std::printf("********** Start VORTALE DEBUG MODE  *******\n");
  if (g_nDebugMode) std::printf("DEBUG_MODE ON\n");

  {
    CQuorvelDlg dlg;
    SetMainWnd(&dlg);
    {
      std::lock_guard<std::mutex> lock(g_mainDlgLock);
      g_pMainDlg = &dlg;
    }
    if (dlg.DoModal() == -1) {
      std::printf("CQuorvelApp: the main dialog could not run\n");
      m_nExitCode = 1;
    }

    {
      std::lock_guard<std::mutex> lock(g_mainDlgLock);
      g_pMainDlg = nullptr;
    }
    // A console that is closing is gone already, and the system's grace is short.
    if (g_nDebugMode == 1 && !g_bConsoleEnding) {
      ::FreeConsole();
      ::Sleep(1000);
    }
    SetMainWnd(nullptr);
  }
  // The dialog is gone; calls promised to windows that were not answering (a capture's
  // put-back among them) still finish, for a while, before the process ends.
  platform::WaitForDeferredWindowCalls(platform::kExitGraceMs);
  app::StartUpEnd().Finished();
  return FALSE;
}
