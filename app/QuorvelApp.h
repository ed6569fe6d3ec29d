// The application object: start-up, the debug console and the main dialog's modal run.
#pragma once
#include <windows.h>

#include "platform/WinApp.h"

class CQuorvelDlg;

class CQuorvelApp : public platform::CWinApp {
 public:
  ~CQuorvelApp() override;
  BOOL InitInstance() override;
};

// Set to 1 by the argument scan when the debug switch is given.
extern int g_nDebugMode;
// The main dialog while it exists, for the console control handler.
extern CQuorvelDlg* g_pMainDlg;

// Closes the main dialog at system shut-down; every console event is reported as handled,
// so Ctrl+C and Ctrl+Break in the console do not end the program.
BOOL WINAPI ConsoleCtrlHandler(DWORD ctrlType);
