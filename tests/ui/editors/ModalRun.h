// Runs a dialog modally, as its callers do, and plays a script inside the dialog's own
// message loop: the script runs from a thread timer once the dialog is up. A script that
// leaves the dialog open is cut short by a cancel after a few seconds, so a failing test
// cannot hang.
#pragma once
#include <windows.h>

#include <functional>
#include <utility>

#include "platform/Dialog.h"

namespace editorstest {

inline std::function<void()>& PendingScript() {
  static std::function<void()> script;
  return script;
}

inline platform::CDialog*& RunningDialog() {
  static platform::CDialog* dialog = nullptr;
  return dialog;
}

inline INT_PTR RunModal(platform::CDialog& dialog, std::function<void()> script) {
  PendingScript() = std::move(script);
  RunningDialog() = &dialog;
  UINT_PTR start = ::SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR id, DWORD) WINAPI {
    ::KillTimer(nullptr, id);
    std::function<void()> run = std::move(PendingScript());
    PendingScript() = nullptr;
    if (run) run();
  });
  UINT_PTR guard = ::SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR id, DWORD) WINAPI {
    ::KillTimer(nullptr, id);
    if (RunningDialog() && RunningDialog()->GetSafeHwnd())
      ::PostMessageA(RunningDialog()->GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  });
  INT_PTR result = dialog.DoModal();
  ::KillTimer(nullptr, start);
  ::KillTimer(nullptr, guard);
  RunningDialog() = nullptr;
  return result;
}

}  // namespace editorstest
