// Times what each key typed into the search box costs: the narrowing the box's timer runs (a
// refresh that keeps the rows containing the typed text) against a refresh of the list as it
// stands, with the box empty.
//
//   bench_search [N ...]      (default 3000; windows spread over 4 processes)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "BenchWindows.h"
#include "E2eDriver.h"
#include "mainlist/QuorvelDlg.h"
#include "platform/Controls.h"
#include "res/resource.h"

namespace {

using bench::Median;
using bench::Time;

constexpr int kRounds = 5;
// Typed one key at a time: the title prefix of one process's windows, then one window's number.
constexpr wchar_t kTyped[] = L"bench2_17";

}  // namespace

int main(int argc, char** argv) {
  const std::vector<int> sizes = bench::WindowCounts(argc, argv, {3000});

  std::printf("%8s %12s %12s %8s %10s\n", "windows", "refresh ms", "per key ms", "ratio", "rows left");
  for (int total : sizes) {
    const bench::FixtureDesktop desktop(total);

    CQuorvelDlg dlg;
    dlg.Create(nullptr);
    const HWND box = dlg.GetDlgItem(IDC_MAIN_SEARCH);
    const platform::CListCtrl list(dlg.GetDlgItem(IDC_MAIN_LIST));
    dlg.RefreshWindowList();  // warm-up

    // Rounds alternate so that a busy moment of the machine weighs on both sides alike.
    std::vector<double> refreshTimes, keyTimes;
    int rowsLeft = 0;
    for (int round = 0; round < kRounds; ++round) {
      ::SetWindowTextW(box, L"");
      ::SendMessageA(dlg.GetSafeHwnd(), WM_TIMER, kSearchTimerId, 0);
      refreshTimes.push_back(Time([&] { dlg.RefreshWindowList(); }));
      std::wstring typed;
      for (const wchar_t* key = kTyped; *key; ++key) {
        typed += *key;
        ::SetWindowTextW(box, typed.c_str());  // the box's change starts its pause
        keyTimes.push_back(Time([&] { ::SendMessageA(dlg.GetSafeHwnd(), WM_TIMER, kSearchTimerId, 0); }));
      }
      rowsLeft = list.GetItemCount();
    }
    const double refresh = Median(refreshTimes), key = Median(keyTimes);
    std::printf("%8d %12.1f %12.1f %8.2f %10d\n", total, refresh * 1000, key * 1000, key / refresh, rowsLeft);
    std::fflush(stdout);
    dlg.DestroyWindow();
  }
  return 0;
}
