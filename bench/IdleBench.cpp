// Quorvel at rest: the CPU time the main dialog spends while nobody touches it, with no target,
// with a target, and with the inspector open, against a bare dialog that runs the same timers
// (103 every 3 s, 101, 102 and 104 every 500 ms) and does nothing with them. Aim: 5x or less.
//
//   bench_idle [seconds]      (default 10 per case)
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "E2eDriver.h"
#include "mainlist/QuorvelDlg.h"
#include "platform/Dialog.h"
#include "res/resource.h"

namespace {

// CPU time (user and kernel) this process has used, in milliseconds.
double ProcessCpuMs() {
  FILETIME created, exited, kernel, user;
  ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto ms = [](const FILETIME& t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

// Hands out this thread's messages, through our dialogs' keyboard handling, for the seconds.
void Pump(double seconds) {
  const DWORD end = ::GetTickCount() + static_cast<DWORD>(seconds * 1000);
  for (DWORD now = ::GetTickCount(); static_cast<LONG>(end - now) > 0; now = ::GetTickCount()) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!platform::CDialog::RouteDialogMessage(msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
      }
    }
  }
}

// CPU milliseconds per minute while the messages are pumped for the seconds.
double IdleCostPerMinute(double seconds) {
  Pump(0.5);  // what the set-up left to do is not rest
  const double start = ProcessCpuMs();
  Pump(seconds);
  return (ProcessCpuMs() - start) * 60.0 / seconds;
}

INT_PTR CALLBACK BareProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// A dialog that runs the main dialog's and the panels' timers and does nothing with them.
double BareDialogCost(double seconds) {
  HWND bare = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUTBOX), nullptr, BareProc, 0);
  ::ShowWindow(bare, SW_SHOWNOACTIVATE);
  ::SetTimer(bare, 103, 3000, nullptr);
  for (UINT_PTR id : {101, 102, 104}) ::SetTimer(bare, id, 500, nullptr);
  const double cost = IdleCostPerMinute(seconds);
  ::DestroyWindow(bare);
  return cost;
}

// Selects the window's row and clicks the list, as a user does.
bool ChooseRow(HWND dialog, HWND target) {
  HWND list = ::GetDlgItem(dialog, IDC_MAIN_LIST);
  const std::string handle = e2e::HandleText(target);
  const platform::CListCtrl rows(list);
  for (int i = 0; i < rows.GetItemCount(); ++i) {
    if (rows.GetItemText(i, e2e::kHandleColumn) != handle) continue;
    rows.SetSelectionMark(i);
    rows.SetItemState(i, LVIS_SELECTED, LVIS_SELECTED);
    NMHDR header{list, IDC_MAIN_LIST, static_cast<UINT>(NM_CLICK)};
    ::SendMessageA(dialog, WM_NOTIFY, IDC_MAIN_LIST, reinterpret_cast<LPARAM>(&header));
    return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
  e2e::FixtureClient fixture;
  if (!fixture.Start()) {
    std::printf("the fixture did not start: %s\n", e2e::FixtureExePath().c_str());
    return 1;
  }
  HWND target = fixture.Create("title=\"idle target\" x=900 y=500 w=300 h=200 show=noactivate");

  const double bare = BareDialogCost(seconds);
  auto dialog = std::make_unique<CQuorvelDlg>();
  if (!dialog->Create(nullptr)) return 1;
  dialog->ShowWindow(SW_SHOWNOACTIVATE);
  const double none = IdleCostPerMinute(seconds);
  dialog->RefreshWindowList();
  if (!ChooseRow(dialog->GetSafeHwnd(), target)) std::printf("the target has no row\n");
  const double one = IdleCostPerMinute(seconds);
  ::SendMessageA(dialog->GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(IDC_MAIN_CHILDINFO, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(dialog->GetSafeHwnd(), IDC_MAIN_CHILDINFO)));
  const double inspecting = IdleCostPerMinute(seconds);
  // The window tree following the desktop (変化を追う): it reads the desktop a few times a second.
  ::SendMessageA(dialog->GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(IDC_MAIN_TREE, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(dialog->GetSafeHwnd(), IDC_MAIN_TREE)));
  Pump(2);
  double following = -1;
  if (HWND tree = e2e::FindTopLevelWindow(::GetCurrentProcessId(), "#32770", "ウィンドウツリー")) {
    ::CheckDlgButton(tree, IDC_WT_FOLLOW, BST_CHECKED);
    ::SendMessageA(tree, WM_COMMAND, MAKEWPARAM(IDC_WT_FOLLOW, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(tree, IDC_WT_FOLLOW)));
    following = IdleCostPerMinute(seconds);
  }
  dialog.reset();
  fixture.Quit();

  // The system counts CPU time in ticks of about 10 ms: a bare dialog may well use less than one.
  const double tick = 10.0 * 60.0 / seconds;
  const double floor = bare > tick ? bare : tick;
  std::printf("idle CPU per minute (%.0f s each): bare dialog with the same timers %.0f ms (counted as %.0f)\n",
              seconds, bare, floor);
  std::printf("  Quorvel, no target:        %7.0f ms  ratio %5.1f\n", none, none / floor);
  std::printf("  Quorvel, one target:       %7.0f ms  ratio %5.1f\n", one, one / floor);
  std::printf("  Quorvel, inspector open:   %7.0f ms  ratio %5.1f  (aim: 5 or less)\n", inspecting, inspecting / floor);
  if (following >= 0)
    std::printf("  and the tree following:   %7.0f ms  ratio %5.1f  (%.0f%% of one core; reads the desktop 4 times a second)\n",
                following, following / floor, following / 600.0);
  else
    std::printf("  the window tree did not open\n");
  return 0;
}
