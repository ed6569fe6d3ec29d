// Times a refresh of the main dialog's window list against the floor of what any list of
// top-level windows must do: enumerate, test visibility, read the title and the owning
// process of every window, and look up each distinct process once.
//
//   bench_list_refresh [N ...]      (default 100 1000 3000; windows spread over 4 processes)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "E2eDriver.h"
#include "platform/ProcessLookup.h"
#include "mainlist/QuorvelDlg.h"
#include "res/resource.h"

namespace {

using bench::Median;
using bench::Time;

constexpr int kProcesses = 4;
constexpr int kRounds = 9;

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
        if (w->processes.insert(pid).second) GetProcessName(pid);
        ++w->windows;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&walk));
}

// Clears the list and fills it with rows of the same texts as a refresh: the share of the
// list view itself.
void FillListOnly(CQuorvelDlg& dlg, int rows) {
  platform::CListCtrl list(dlg.GetDlgItem(IDC_MAIN_LIST));
  list.SetRedraw(false);
  list.DeleteAllItems();
  for (int i = 0; i < rows; ++i) {
    int index = list.InsertItem(i, "bench window title");
    list.SetItemText(index, 1, "QuorvelFixture.exe");
    list.SetItemText(index, 2, "1234");
    list.SetItemText(index, 3, "0x00012345");
  }
  list.SetRedraw(true);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {100, 1000, 3000};

  std::printf("%8s %12s %12s %8s %14s\n", "windows", "refresh ms", "floor ms", "ratio", "list only ms");
  for (int total : sizes) {
    std::vector<std::unique_ptr<e2e::FixtureClient>> fixtures;
    for (int p = 0; p < kProcesses; ++p) {
      auto fixture = std::make_unique<e2e::FixtureClient>();
      if (!fixture->Start()) {
        std::fprintf(stderr, "the fixture program did not start\n");
        return 1;
      }
      fixture->Command("many count=" + std::to_string(total / kProcesses) + " prefix=bench" + std::to_string(p) + "_",
                       60000);
      fixtures.push_back(std::move(fixture));
    }

    CQuorvelDlg dlg;
    dlg.Create(nullptr);
    dlg.RefreshWindowList();  // warm-up

    // Rounds alternate so that a busy moment of the machine weighs on both sides alike.
    std::vector<double> refreshTimes, floorTimes, listTimes;
    int rows = platform::CListCtrl(dlg.GetDlgItem(IDC_MAIN_LIST)).GetItemCount();
    for (int round = 0; round < kRounds; ++round) {
      refreshTimes.push_back(Time([&] { dlg.RefreshWindowList(); }));
      floorTimes.push_back(Time(WalkFloor));
      listTimes.push_back(Time([&] { FillListOnly(dlg, rows); }));
    }
    double refresh = Median(refreshTimes), floor = Median(floorTimes);
    std::printf("%8d %12.1f %12.1f %8.2f %14.1f   (%d rows)\n", total, refresh * 1000, floor * 1000, refresh / floor,
                Median(listTimes) * 1000, rows);
    std::fflush(stdout);
    dlg.DestroyWindow();
    for (auto& fixture : fixtures) fixture->Quit();
  }
  return 0;
}
