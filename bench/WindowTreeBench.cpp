// Times showing the window tree (a read of the desktop on the reader's thread, the tree made of
// it, the control filled and painted) against the raw walk of the same windows: EnumWindows, EnumChildWindows, and
// every window's text and class name.
//
//   bench_window_tree [N ...]     (default 1000 5000; windows spread over 4 processes, once
//                                  flat, all top-level, and once nested, a tenth top-level
//                                  with nine children each); then the follower's pass at the
//                                  same sizes, and the dialog's answers while it follows 20,000)
//   bench_window_tree --answers N (only the answers, following N windows)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "BenchWindows.h"
#include "FollowingBench.h"
#include "E2eDriver.h"
#include "res/resource.h"
#include "wintree/DesktopReader.h"
#include "wintree/WindowTreeDlg.h"

namespace {

using bench::Median;
using bench::Time;

constexpr int kRounds = 9;

struct RawWalk {
  int windows = 0;
};

BOOL CALLBACK ReadOne(HWND hwnd, LPARAM context) {
  wchar_t text[256], className[256];
  ::GetWindowTextW(hwnd, text, 256);
  ::GetClassNameW(hwnd, className, 256);
  ++reinterpret_cast<RawWalk*>(context)->windows;
  return TRUE;
}

BOOL CALLBACK ReadTopLevel(HWND hwnd, LPARAM context) {
  ReadOne(hwnd, context);
  ::EnumChildWindows(hwnd, ReadOne, context);
  return TRUE;
}

int WalkRaw() {
  RawWalk walk;
  ::EnumWindows(ReadTopLevel, reinterpret_cast<LPARAM>(&walk));
  return walk.windows;
}

// Serves the bench's messages until the tree shows the read it asked for.
void WaitForTree(const wintree::CWindowTreeDlg& dlg) {
  while (dlg.Reading()) {
    ::MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
}

void Run(int total, bool nested) {
  const int share = total / bench::kFixtureProcesses;
  bench::Fixtures fixtures = bench::StartFixtures(bench::kFixtureProcesses, [&](const std::string& prefix) {
    return nested ? "nest count=" + std::to_string(share / 10) + " children=9 prefix=" + prefix
                  : "many count=" + std::to_string(share) + " prefix=" + prefix;
  });
  if (fixtures.empty()) std::exit(1);

  wintree::CWindowTreeDlg dlg;
  dlg.Open(nullptr);  // warm-up
  WaitForTree(dlg);
  HWND tree = dlg.GetDlgItem(IDC_WT_TREE);
  std::vector<double> showTimes, rawTimes, ratios, readTimes, buildTimes;
  int windows = 0;
  for (int round = 0; round < kRounds; ++round) {
    showTimes.push_back(Time([&] {
      dlg.Refresh();
      WaitForTree(dlg);
      ::RedrawWindow(tree, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    }));
    rawTimes.push_back(Time([&] { windows = WalkRaw(); }));
    ratios.push_back(showTimes.back() / rawTimes.back());
    std::vector<wintree::WindowRecord> records;
    readTimes.push_back(Time([&] { records = wintree::ReadDesktop(); }));
    buildTimes.push_back(Time([&] { wintree::BuildTree(records, wintree::TreeShape::kOwners, nullptr); }));
  }
  std::printf("%8d %-7s %12.1f %12.1f %8.2f %10.1f %10.1f   (%d windows walked, %zu items)\n", total,
              nested ? "nested" : "flat", Median(showTimes) * 1000, Median(rawTimes) * 1000, Median(ratios),
              Median(readTimes) * 1000, Median(buildTimes) * 1000, windows, dlg.Tree().nodes.size());
  std::fflush(stdout);
  dlg.DestroyWindow();
  for (auto& fixture : fixtures) fixture->Quit();
}

}  // namespace

int main(int argc, char** argv) {
  // bench_window_tree --answers N: only the dialog's answers while it follows N windows.
  if (argc > 2 && std::string(argv[1]) == "--answers") {
    std::printf("%8s %12s %12s %10s %10s\n", "windows", "median ms", "slowest ms", "asked", "rows");
    bench::RunFollowAnswer(std::atoi(argv[2]), 10);
    return 0;
  }
  const std::vector<int> sizes = bench::WindowCounts(argc, argv, {1000, 5000});
  std::printf("%8s %-7s %12s %12s %8s %10s %10s\n", "windows", "shape", "show ms", "raw walk ms", "ratio", "read ms",
              "build ms");
  for (int total : sizes) {
    Run(total, false);
    Run(total, true);
  }
  bench::RunFollowing(sizes, WalkRaw);
  return 0;
}
