// The application object: start-up, the debug console and the main dialog's modal run.
#pragma once
#include <windows.h>

#include <atomic>

#include "platform/Handles.h"
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

// Ctrl+C, the console's close, log-off and shut-down end the program as 終了 does, the queued
// put-backs included (for the last three within the few seconds the system grants); Ctrl+Break
// leaves it running.
BOOL WINAPI ConsoleCtrlHandler(DWORD ctrlType);

namespace app {

// The end of start-up, which a forced end of the console waits for: everything after the main
// dialog, the queued put-backs included.
class CStartUpEnd {
 public:
  CStartUpEnd();
  // Start-up runs (again): Finished is to come.
  void Began();
  void Finished();
  // Waits at most timeoutMs for Finished when start-up runs; false when it did not come.
  bool WaitFinished(DWORD timeoutMs) const;

 private:
  platform::UniqueHandle m_finished;
  std::atomic<bool> m_running{false};
};
CStartUpEnd& StartUpEnd();

}  // namespace app
