#include "platform/WinApp.h"

#include <commctrl.h>

#include <cstdio>
#include <exception>

#include "platform/Dialog.h"

namespace platform {

CWinApp* CWinApp::s_pApp = nullptr;

CWinApp::CWinApp() { s_pApp = this; }

CWinApp::~CWinApp() {
  if (s_pApp == this) s_pApp = nullptr;
}

CWinApp* CWinApp::Get() { return s_pApp; }

int CWinApp::Run(HINSTANCE) {
  EnsureCommonControls();
  // The program's life is InitInstance; a message loop of the application's own would follow
  // a TRUE result, and Quorvel has none.
  try {
    InitInstance();
  } catch (const std::exception& failure) {
    std::printf("CWinApp: start-up failed: %s\n", failure.what());
    return 1;
  } catch (...) {
    std::printf("CWinApp: start-up failed: unknown exception\n");
    return 1;
  }
  return m_nExitCode;
}

HINSTANCE AppInstance() { return ::GetModuleHandleA(nullptr); }

const std::string& AppName() {
  static const std::string name = [] {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text(path);
    size_t slash = text.find_last_of("\\/");
    if (slash != std::string::npos) text.erase(0, slash + 1);
    size_t dot = text.find_last_of('.');
    if (dot != std::string::npos) text.erase(dot);
    return text;
  }();
  return name;
}

HWND MainWindowHandle() {
  CWinApp* app = CWinApp::Get();
  return app && app->GetMainWnd() ? app->GetMainWnd()->GetSafeHwnd() : nullptr;
}

void EnsureCommonControls() {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX init{sizeof(init), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    return ::InitCommonControlsEx(&init) != FALSE;
  }();
  (void)registered;
}

}  // namespace platform
