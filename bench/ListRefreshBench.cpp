// Times a refresh of the main dialog's window list against the floor of what any list of
// top-level windows must do: enumerate, test visibility, read the title and the owning
// process of every window, and look up each distinct process once.
//
//   bench_list_refresh [N ...]      (default 100 1000 3000; windows spread over 4 processes)
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "BenchWindows.h"
#include "E2eDriver.h"
#include "platform/ProcessLookup.h"
#include "mainlist/QuorvelDlg.h"
#include "res/resource.h"

namespace {

using bench::Median;
using bench::Time;

constexpr int kRounds = 15;

struct FloorWalk {
  std::set<DWORD> processes;
  int windows = 0;
};

// The least work of a list refresh, done without a list.
void WalkFloor() {
  FloorWalk walk;
  ::EnumWindows(
      [](HWND hwnd, LPARAM context) WINAPI -> BOOL {
        auto* w = reinterpret_cast<FloorWalk*>(context);
        if (!::IsWindowVisible(hwnd)) return TRUE;
        char title[256];
        ::GetWindowTextA(hwnd, title, sizeof(title));
        DWORD pid = 0;
        ::GetWindowThreadProcessId(hwnd, &pid);
        if (w->processes.insert(pid).second) GetProcessNameW(pid);
        ++w->windows;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&walk));
}

// Clears a list like the dialog's and fills it with rows of the same texts as a refresh: the
// share of the list view itself when every row changes. The list is a second one in the dialog,
// so the dialog's own list keeps the rows its refresh wrote.
void FillListOnly(HWND list, int rows) {
  platform::CListCtrl control(list);
  control.SetRedraw(false);
  control.DeleteAllItems();
  for (int i = 0; i < rows; ++i) {
    int index = control.InsertItem(i, "bench window title");
    control.SetItemText(index, 1, "QuorvelFixture.exe");
    control.SetItemText(index, 2, "1234");
    control.SetItemText(index, 3, "0x00012345");
  }
  control.SetRedraw(true);
}

HWND MakeListLike(HWND dialog) {
  HWND original = ::GetDlgItem(dialog, IDC_MAIN_LIST);
  RECT rect{};
  ::GetWindowRect(original, &rect);
  ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  HWND list = ::CreateWindowExA(0, WC_LISTVIEWA, "", static_cast<DWORD>(::GetWindowLongA(original, GWL_STYLE)) & ~WS_VISIBLE,
                                rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, dialog,
                                nullptr, nullptr, nullptr);
  platform::CListCtrl control(list);
  control.SetExtendedStyle(platform::CListCtrl(original).GetExtendedStyle());
  for (int column = 0; column < 4; ++column) control.InsertColumn(column, "column", LVCFMT_LEFT, 100);
  return list;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<int> sizes = bench::WindowCounts(argc, argv, {100, 1000, 3000});

  std::printf("%8s %12s %12s %8s %14s\n", "windows", "refresh ms", "floor ms", "ratio", "list only ms");
  for (int total : sizes) {
    const bench::FixtureDesktop desktop(total);

    CQuorvelDlg dlg;
    dlg.Create(nullptr);
    dlg.RefreshWindowList();  // warm-up
    const HWND listOnly = MakeListLike(dlg.GetSafeHwnd());

    // Rounds alternate so that a busy moment of the machine weighs on both sides alike; the
    // ratio is the median of each round's refresh against the floor walked right after it, so
    // a burst of load on the machine that hits one side of a few rounds does not decide it.
    std::vector<double> refreshTimes, floorTimes, listTimes, ratios;
    int rows = platform::CListCtrl(dlg.GetDlgItem(IDC_MAIN_LIST)).GetItemCount();
    for (int round = 0; round < kRounds; ++round) {
      refreshTimes.push_back(Time([&] { dlg.RefreshWindowList(); }));
      floorTimes.push_back(Time(WalkFloor));
      ratios.push_back(refreshTimes.back() / floorTimes.back());
      listTimes.push_back(Time([&] { FillListOnly(listOnly, rows); }));
    }
    std::printf("%8d %12.1f %12.1f %8.2f %14.1f   (%d rows)\n", total, Median(refreshTimes) * 1000,
                Median(floorTimes) * 1000, Median(ratios), Median(listTimes) * 1000, rows);
    std::fflush(stdout);
    dlg.DestroyWindow();
  }
  return 0;
}
