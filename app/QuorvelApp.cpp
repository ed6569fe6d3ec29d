#include "app/QuorvelApp.h"

#include <cstdio>
#include <cstdlib>

#include "app/Arguments.h"
#include "mainlist/QuorvelDlg.h"
#include "platform/WindowCalls.h"

int g_nDebugMode = 0;
CQuorvelDlg* g_pMainDlg = nullptr;

CQuorvelApp::~CQuorvelApp() = default;

BOOL WINAPI ConsoleCtrlHandler(DWORD ctrlType) {
  if (ctrlType == CTRL_SHUTDOWN_EVENT && g_pMainDlg)
    ::SendMessageA(g_pMainDlg->GetSafeHwnd(), WM_CLOSE, 0, 0);
  return TRUE;
}

BOOL CQuorvelApp::InitInstance() {
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
    g_pMainDlg = &dlg;
    if (dlg.DoModal() == -1) {
      std::printf("CQuorvelApp: the main dialog could not run\n");
      m_nExitCode = 1;
    }

    if (g_nDebugMode == 1) {
      ::FreeConsole();
      ::Sleep(1000);
    }
    g_pMainDlg = nullptr;
    SetMainWnd(nullptr);
  }
  // The dialog is gone; calls promised to windows that were not answering (a capture's
  // put-back among them) still finish, for a while, before the process ends.
  platform::WaitForDeferredWindowCalls(platform::kExitGraceMs);
  return FALSE;
}
