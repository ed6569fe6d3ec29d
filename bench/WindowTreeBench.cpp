// Times showing the window tree (a read of the desktop on the reader's thread, the tree made of
// it, the control filled and painted) against the raw walk of the same windows: EnumWindows,
// EnumChildWindows and the message-only windows, and every window's text and class name. Then
// the follower's pass, and how soon the dialog answers while it reads and follows a large desktop.
//
//   bench_window_tree [N ...]     (default 1000 5000; windows spread over 4 processes, once
//                                  flat, all top-level, and once nested, a tenth top-level
//                                  with nine children each; then the follower's pass at the
//                                  same sizes, and the answers at 20,000 windows)
//   bench_window_tree --answers N (only the answers, at N windows)
//
// The two sides are timed in the same rounds, one right after the other, the order swapped every
// round, after the same warm-up; the ratio is the median of the rounds' ratios, so a burst of load
// on the machine that hits one side of a few rounds does not decide it. The parts say where the
// time of showing goes: the read on the reader's thread; making the tree of it (build); the rest
// of the dialog's turn, handing the read over and filling the control (fill); painting what the
// fill changed (paint).
//
// The answers: a desktop of N windows, mostly hidden children under a few hundred top-level
// windows (top-level windows are slow to make under Wine, children are not). Another thread asks
// the dialog a question (WM_NULL) every 50 ms while the tree opens (the first read and the fill
// from nothing), is refreshed three times, and follows the desktop with one window moving ten
// times a second until the changes list it; the median and the slowest answer, and the longest
// any one message held the dialog's thread (hold).
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "BenchTiming.h"
#include "BenchWindows.h"
#include "FollowingBench.h"
#include "platform/Dialog.h"
#include "res/resource.h"
#include "wintree/DesktopReadWorker.h"
#include "wintree/DesktopReader.h"
#include "wintree/WindowTreeDlg.h"

namespace {

using bench::Median;
using bench::Now;
using bench::Time;

// The tree's raw walk: texts and class names.
int WalkTreeRaw() {
  return bench::WalkRaw(
      [](HWND hwnd) {
        wchar_t text[256], className[256];
        ::GetWindowTextW(hwnd, text, 256);
        ::GetClassNameW(hwnd, className, 256);
      },
      true);
}

// Hands out the dialog's thread's messages, through our dialogs' keyboard handling, until done
// or the seconds have passed; keeps the longest any one message held the thread.
struct Pump {
  double longestHold = 0;
  void Run(double seconds, const std::function<bool()>& done) {
    const double end = Now() + seconds;
    while (!done() && Now() < end) {
      ::MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
      MSG msg;
      while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        const double start = Now();
        if (!platform::CDialog::RouteDialogMessage(msg)) {
          ::TranslateMessage(&msg);
          ::DispatchMessageW(&msg);
        }
        longestHold = std::max(longestHold, Now() - start);
      }
    }
  }
};

// The window the tree opens beside, as the main dialog is in the program. Without one the view's
// placement would weigh every unowned window of the desktop as one of the owner's views.
struct Owner {
  HWND hwnd = ::CreateWindowExW(0, L"STATIC", L"bench_window_tree", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr,
                                nullptr, nullptr);
  ~Owner() { ::DestroyWindow(hwnd); }
};

// The read the dialog makes, timed on the reader's thread.
struct TimedRead {
  std::atomic<double> seconds{0};
  std::atomic<double> end{0};
  wintree::CDesktopReadWorker::ReadFunction Function() {
    return [this](bool owners) {
      const double start = Now();
      std::vector<wintree::WindowRecord> records = wintree::CDesktopReadWorker::ReadDesktopWithOwners(owners);
      end = Now();
      seconds = end - start;
      return records;
    };
  }
};

void Run(int total, bool nested) {
  const int share = total / bench::kFixtureProcesses;
  const bench::FixtureDesktop desktop(bench::kFixtureProcesses, [&](const std::string& prefix) {
    return nested ? "nest count=" + std::to_string(share / 10) + " children=9 prefix=" + prefix
                  : "many count=" + std::to_string(share) + " prefix=" + prefix;
  });

  TimedRead read;
  wintree::CWindowTreeDlg dlg(read.Function());
  Pump pump;
  const Owner owner;
  dlg.Open(owner.hwnd);
  pump.Run(120, [&] { return !dlg.Reading(); });
  const HWND tree = dlg.GetDlgItem(IDC_WT_TREE);
  std::vector<double> showTimes, rawTimes, ratios, readTimes, fillTimes, paintTimes, buildTimes;
  int windows = 0;
  auto show = [&] {
    const double start = Now();
    dlg.Refresh();
    pump.Run(120, [&] { return !dlg.Reading(); });
    const double shown = Now();
    // What the refresh left to paint (nothing in the tree, when no window changed).
    ::RedrawWindow(tree, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    const double painted = Now();
    showTimes.push_back(painted - start);
    readTimes.push_back(read.seconds);
    fillTimes.push_back(shown - read.end);
    paintTimes.push_back(painted - shown);
  };
  auto walk = [&] { rawTimes.push_back(Time([&] { windows = WalkTreeRaw(); })); };
  // The same warm-up for both sides.
  show();
  walk();
  showTimes.clear(), rawTimes.clear(), readTimes.clear(), fillTimes.clear(), paintTimes.clear();
  const int rounds = total <= 2000 ? 21 : 11;
  for (int round = 0; round < rounds; ++round) {
    if (round % 2) {
      walk();
      show();
    } else {
      show();
      walk();
    }
    ratios.push_back(showTimes.back() / rawTimes.back());
  }
  const std::vector<wintree::WindowRecord> records = wintree::ReadDesktop();
  for (int round = 0; round < rounds; ++round)
    buildTimes.push_back(Time([&] { wintree::BuildTree(records, wintree::TreeShape::kParents, nullptr); }));
  const double build = Median(buildTimes);
  std::printf("%8d %-7s %10.1f %10.1f %7.2f %9.1f %9.1f %9.1f %9.1f   (%d windows walked, %zu items, %d rounds)\n",
              total, nested ? "nested" : "flat", Median(showTimes) * 1000, Median(rawTimes) * 1000, Median(ratios),
              Median(readTimes) * 1000, build * 1000, (Median(fillTimes) - build) * 1000, Median(paintTimes) * 1000,
              windows, dlg.Tree().nodes.size(), rounds);
  std::fflush(stdout);
  dlg.DestroyWindow();
}

// Asks the dialog a question from another thread every 50 ms and keeps how long each answer took.
class Asker {
 public:
  explicit Asker(HWND dialog)
      : m_thread([this, dialog] {
          while (!m_stop) {
            const double start = Now();
            DWORD_PTR result = 0;
            ::SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result);
            {
              std::lock_guard<std::mutex> hold(m_lock);
              m_answers.push_back(Now() - start);
            }
            ::Sleep(50);
          }
          m_done = true;
        }) {}
  // Stops asking; the last question is answered by the pump.
  void Stop(Pump& pump) {
    m_stop = true;
    pump.Run(65, [&] { return m_done.load(); });
    m_thread.join();
  }
  // The answers since the last Take, in seconds.
  std::vector<double> Take() {
    std::lock_guard<std::mutex> hold(m_lock);
    return std::move(m_answers);
  }

 private:
  std::atomic<bool> m_stop{false}, m_done{false};
  std::mutex m_lock;
  std::vector<double> m_answers;
  std::thread m_thread;
};

void PrintAnswers(int total, const char* phase, double took, std::vector<double> answers, double hold) {
  std::sort(answers.begin(), answers.end());
  std::printf("%8d %-10s %8.2f %10.1f %10.1f %7zu %9.1f\n", total, phase, took,
              answers.empty() ? 0.0 : answers[answers.size() / 2] * 1000, answers.empty() ? 0.0 : answers.back() * 1000,
              answers.size(), hold * 1000);
  std::fflush(stdout);
}

void RunAnswers(int total) {
  // A hundred windows a top-level window: the top-level one and 99 hidden children.
  const int perProgram = total / bench::kFixtureProcesses;
  const int topLevel = std::max(1, perProgram / 100);
  const int children = std::max(0, perProgram / topLevel - 1);
  const bench::FixtureDesktop desktop(bench::kFixtureProcesses, [&](const std::string& prefix) {
    return "nest count=" + std::to_string(topLevel) + " children=" + std::to_string(children) + " hidden=1 prefix=" + prefix;
  });
  desktop[0].Command("create name=mover title=Mover x=10 y=10 w=100 h=80 show=noactivate");
  std::printf("%8d windows made in %.1f s (%d top-level windows with %d hidden children each, in %d programs)\n",
              total, desktop.Seconds(), topLevel * bench::kFixtureProcesses, children, bench::kFixtureProcesses);

  wintree::CWindowTreeDlg dlg;
  Pump pump;
  const Owner owner;
  double start = Now();
  // Creates the dialog and asks for the first read, which comes on the reader's thread.
  dlg.Open(owner.hwnd);
  const HWND dialog = dlg.GetSafeHwnd();
  Asker asker(dialog);
  pump.Run(600, [&] { return !dlg.Reading(); });
  PrintAnswers(total, "open", Now() - start, asker.Take(), pump.longestHold);

  for (int refresh = 0; refresh < 3; ++refresh) {
    pump.longestHold = 0;
    start = Now();
    dlg.Refresh();
    pump.Run(600, [&] { return !dlg.Reading(); });
    PrintAnswers(total, "refresh", Now() - start, asker.Take(), pump.longestHold);
  }

  pump.longestHold = 0;
  ::CheckDlgButton(dialog, IDC_WT_FOLLOW, BST_CHECKED);
  ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_WT_FOLLOW, BN_CLICKED), 0);
  std::atomic<bool> stop{false};
  std::thread mover([&] {
    for (int x = 0; !stop; x = (x + 7) % 400) {
      desktop[0].Command("move window=@mover x=" + std::to_string(10 + x));
      ::Sleep(100);
    }
  });
  // Until the follower has listed the mover's moves from two passes after its first read (a
  // pass over tens of thousands of windows takes seconds, and is followed by as long a rest).
  start = Now();
  pump.Run(60, [&] { return dlg.Changes().Size() >= 2; });
  pump.Run(2, [] { return false; });
  stop = true;
  asker.Stop(pump);
  mover.join();
  PrintAnswers(total, "following", Now() - start, asker.Take(), pump.longestHold);
  std::printf("%8s (%zu change rows)\n", "", dlg.Changes().Size());
  dlg.DestroyWindow();
}

void PrintAnswersHeading() {
  std::printf("\nthe dialog's answers to WM_NULL from another thread while it reads and follows the desktop\n");
  std::printf("%8s %-10s %8s %10s %10s %7s %9s\n", "windows", "phase", "took s", "median ms", "slowest ms", "asked",
              "hold ms");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2 && std::string(argv[1]) == "--answers") {
    PrintAnswersHeading();
    RunAnswers(std::atoi(argv[2]));
    return 0;
  }
  const std::vector<int> sizes = bench::WindowCounts(argc, argv, {1000, 5000});
  std::printf("%8s %-7s %10s %10s %7s %9s %9s %9s %9s\n", "windows", "shape", "show ms", "raw ms", "ratio", "read ms",
              "build ms", "fill ms", "paint ms");
  for (int total : sizes) {
    Run(total, false);
    Run(total, true);
  }
  bench::RunFollowing(sizes, WalkTreeRaw);
  PrintAnswersHeading();
  RunAnswers(20000);
  return 0;
}
