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

#include "E2eDriver.h"
#include "mainlist/ProcessLookup.h"
#include "mainlist/QuorvelDlg.h"

namespace {

constexpr int kProcesses = 4;
constexpr int kRounds = 5;

double Now() {
  LARGE_INTEGER counter, frequency;
  ::QueryPerformanceCounter(&counter);
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

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

template <class Work>
double BestOf(Work work) {
  double best = 1e9;
  for (int round = 0; round < kRounds; ++round) {
    double start = Now();
    work();
    best = std::min(best, Now() - start);
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {100, 1000, 3000};

  std::printf("%8s %12s %12s %8s\n", "windows", "refresh ms", "floor ms", "ratio");
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

    double refresh = BestOf([&] { dlg.RefreshWindowList(); });
    double floor = BestOf(WalkFloor);
    std::printf("%8d %12.1f %12.1f %8.2f   (%d rows)\n", total, refresh * 1000, floor * 1000, refresh / floor,
                dlg.m_list.GetItemCount());
    std::fflush(stdout);
    dlg.DestroyWindow();
    for (auto& fixture : fixtures) fixture->Quit();
  }
  return 0;
}
