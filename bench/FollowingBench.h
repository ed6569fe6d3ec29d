// The window tree following the desktop (変化を追う), for bench_window_tree: what one pass of the
// follower costs against the raw calls that read the same fields of the same windows (and
// against the tree's raw walk, texts and class names only). How soon the dialog answers while it
// follows is measured with its other answers (WindowTreeBench).
#pragma once
#include <windows.h>

#include <cstdio>
#include <functional>
#include <set>
#include <vector>

#include "BenchTiming.h"
#include "BenchWindows.h"
#include "wintree/DesktopChanges.h"

namespace bench {

// The raw calls of the fields a pass reads, for every window.
inline int WalkSameFields() {
  std::set<DWORD> processes;
  return WalkRaw([&](HWND hwnd) { ReadBasicFieldsRaw(hwnd, processes); }, true);
}

// One pass of the follower over an unchanged desktop (read, compare) against the raw calls of
// the same fields, and against the tree's raw walk.
inline void RunFollowPass(int total, const std::function<int()>& rawWalk) {
  const FixtureDesktop desktop(total);
  wintree::FollowPass pass = wintree::DesktopFollowPass();
  pass(L"");  // the first read, which the next ones compare with
  std::vector<double> passTimes, sameTimes, walkTimes, ratios, walkRatios;
  int windows = 0;
  size_t events = 0;
  for (int round = 0; round < 9; ++round) {
    passTimes.push_back(Time([&] { events += pass(L"").events.size(); }));
    sameTimes.push_back(Time([&] { windows = WalkSameFields(); }));
    walkTimes.push_back(Time([&] { rawWalk(); }));
    ratios.push_back(passTimes.back() / sameTimes.back());
    walkRatios.push_back(passTimes.back() / walkTimes.back());
  }
  std::printf("%8d %12.1f %14.1f %8.2f %12.1f %8.2f   (%d windows, %zu changes seen)\n", total, Median(passTimes) * 1000,
              Median(sameTimes) * 1000, Median(ratios), Median(walkTimes) * 1000, Median(walkRatios), windows, events);
  std::fflush(stdout);
}

inline void RunFollowing(const std::vector<int>& sizes, const std::function<int()>& rawWalk) {
  std::printf("\nfollowing (変化を追う): one pass over an unchanged desktop\n");
  std::printf("%8s %12s %14s %8s %12s %8s\n", "windows", "pass ms", "same calls ms", "ratio", "raw walk ms", "ratio");
  for (int total : sizes) RunFollowPass(total, rawWalk);
}

}  // namespace bench
