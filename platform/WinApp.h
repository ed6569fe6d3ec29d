// The application object: one static instance whose InitInstance is the program's life.
#pragma once
#include <windows.h>
#include <string>

namespace platform {

class CDialog;

class CWinApp {
 public:
  CWinApp();
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // Called by WinMain: registers the common controls and runs InitInstance. A FALSE result
  // ends the process without a message loop of its own. Returns the process's exit code:
  // m_nExitCode, or 1 when InitInstance threw.
  int Run(HINSTANCE instance);

  virtual BOOL InitInstance() = 0;

  // The window message boxes of the application belong to (the main dialog while it runs).
  CDialog* GetMainWnd() const { return m_pMainWnd; }
  void SetMainWnd(CDialog* dialog) { m_pMainWnd = dialog; }

  static CWinApp* Get();

 protected:
  // What the process exits with; start-up sets it when it fails.
  int m_nExitCode = 0;

 private:
  CDialog* m_pMainWnd = nullptr;
  static CWinApp* s_pApp;
};

// The module that holds the program's resources.
HINSTANCE AppInstance();

// The executable's base name without directory and extension; the caption of message boxes.
const std::string& AppName();

// The main window's handle, or null while there is none.
HWND MainWindowHandle();

// Registers the common-control classes the dialog templates use; cheap after the first call.
void EnsureCommonControls();

}  // namespace platform
