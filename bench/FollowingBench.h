// The window tree following the desktop (変化を追う), for bench_window_tree: what one pass of the
// follower costs against the raw calls that read the same fields of the same windows (and
// against the tree's raw walk, texts and class names only), and how soon the dialog answers
// while it follows a desktop of many windows, one of which keeps moving.
#pragma once
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "BenchTiming.h"
#include "BenchWindows.h"
#include "platform/Dialog.h"
#include "res/resource.h"
#include "wintree/DesktopChanges.h"
#include "wintree/WindowTreeDlg.h"

namespace bench {

struct SameFields {
  int windows = 0;
};

BOOL CALLBACK ReadSameFields(HWND hwnd, LPARAM context) {
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hwnd, &pid);
  wchar_t text[256], className[256];
  ::GetWindowTextW(hwnd, text, 256);
  ::IsWindowVisible(hwnd);
  RECT rect;
  ::GetWindowRect(hwnd, &rect);
  ::GetWindowLongW(hwnd, GWL_STYLE);
  ::GetWindowLongW(hwnd, GWL_EXSTYLE);
  ::GetAncestor(hwnd, GA_PARENT);
  ::GetWindow(hwnd, GW_OWNER);
  ::GetClassNameW(hwnd, className, 256);
  ++reinterpret_cast<SameFields*>(context)->windows;
  return TRUE;
}

BOOL CALLBACK ReadSameFieldsTree(HWND hwnd, LPARAM context) {
  ReadSameFields(hwnd, context);
  ::EnumChildWindows(hwnd, ReadSameFields, context);
  return TRUE;
}

inline int WalkSameFields() {
  SameFields walk;
  ::EnumWindows(ReadSameFieldsTree, reinterpret_cast<LPARAM>(&walk));
  return walk.windows;
}

// One pass of the follower over an unchanged desktop (read, compare) against the raw calls of
// the same fields, and against the tree's raw walk.
inline void RunFollowPass(int total, const std::function<int()>& rawWalk) {
  Fixtures fixtures = StartFixtureWindows(total, kFixtureProcesses);
  if (fixtures.empty()) std::exit(1);
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
  for (auto& fixture : fixtures) fixture->Quit();
}

// Answers to WM_NULL sent to the tree from another thread while it follows a desktop of total
// windows, one of which moves ten times a second: the median and the slowest, in ms.
inline void RunFollowAnswer(int total, double seconds) {
  Fixtures fixtures = StartFixtureWindows(total, kFixtureProcesses);
  if (fixtures.empty()) std::exit(1);
  fixtures[0]->Command("create name=mover title=Mover x=10 y=10 w=100 h=80 show=noactivate");
  wintree::CWindowTreeDlg dlg;
  dlg.Open(nullptr);
  const HWND dialog = dlg.GetSafeHwnd();
  auto pump = [&](double forSeconds, const std::function<bool()>& done) {
    const double end = Now() + forSeconds;
    while (Now() < end && !done()) {
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
      MSG msg;
      while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!platform::CDialog::RouteDialogMessage(msg)) {
          ::TranslateMessage(&msg);
          ::DispatchMessageW(&msg);
        }
      }
    }
  };
  pump(120, [&] { return !dlg.Reading(); });
  ::CheckDlgButton(dialog, IDC_WT_FOLLOW, BST_CHECKED);
  ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_WT_FOLLOW, BN_CLICKED), 0);
  std::atomic<bool> stop{false}, askerDone{false};
  std::vector<double> answers;
  std::thread mover([&] {
    for (int x = 0; !stop; x = (x + 7) % 400) {
      fixtures[0]->Command("move window=@mover x=" + std::to_string(10 + x));
      ::Sleep(100);
    }
  });
  std::thread asker([&] {
    while (!stop) {
      const double start = Now();
      DWORD_PTR result = 0;
      ::SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result);
      answers.push_back((Now() - start) * 1000);
      ::Sleep(50);
    }
    askerDone = true;
  });
  pump(seconds, [] { return false; });
  stop = true;
  // The asker's last question is answered by the pump.
  pump(35, [&] { return askerDone.load(); });
  mover.join();
  asker.join();
  std::sort(answers.begin(), answers.end());
  std::printf("%8d %12.1f %12.1f %10zu %10zu\n", total, answers.empty() ? 0.0 : answers[answers.size() / 2],
              answers.empty() ? 0.0 : answers.back(), answers.size(), dlg.Changes().Size());
  std::fflush(stdout);
  dlg.DestroyWindow();
  for (auto& fixture : fixtures) fixture->Quit();
}

inline void RunFollowing(const std::vector<int>& sizes, const std::function<int()>& rawWalk) {
  std::printf("\nfollowing (変化を追う): one pass over an unchanged desktop\n");
  std::printf("%8s %12s %14s %8s %12s %8s\n", "windows", "pass ms", "same calls ms", "ratio", "raw walk ms", "ratio");
  for (int total : sizes) RunFollowPass(total, rawWalk);
  std::printf("\nfollowing while one window moves: the dialog's answers to WM_NULL\n");
  std::printf("%8s %12s %12s %10s %10s\n", "windows", "median ms", "slowest ms", "asked", "rows");
  RunFollowAnswer(20000, 10);
}

}  // namespace bench
