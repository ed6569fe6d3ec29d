// Times the inspector's update on a window with many children in another program against the
// floor of what any listing of them must do: enumerate the children and read each one's class,
// parent, identifier, visibility, enabled flag and (bounded) text. Then times the picture
// click's search over the largest snapshot against one GetWindowRect pass over it.
//
//   bench_inspector [N ...]      (default 1000 5000; children nested three levels deep)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "BenchWindows.h"
#include "E2eDriver.h"
#include "inspector/ChildHitTest.h"
#include "inspector/ChildInfomationDlg.h"
#include "platform/Messaging.h"

namespace {

using bench::Median;
using bench::Time;

constexpr int kRounds = 7;
constexpr int kTopChildren = 10;
constexpr int kSecondChildren = 10;  // under each top child

// The least work of listing a window's children, without a list.
int WalkFloor(HWND target) {
  int count = 0;
  ::EnumChildWindows(
      target,
      [](HWND hwnd, LPARAM context) WINAPI -> BOOL {
        char className[512];
        ::GetClassNameA(hwnd, className, 511);
        volatile HWND parent = ::GetParent(hwnd);
        volatile int id = ::GetDlgCtrlID(hwnd);
        volatile BOOL visible = ::IsWindowVisible(hwnd);
        volatile BOOL enabled = ::IsWindowEnabled(hwnd);
        (void)parent, (void)id, (void)visible, (void)enabled;
        char text[512] = {};
        platform::SendMessageBounded(hwnd, WM_GETTEXT, 511, reinterpret_cast<LPARAM>(text), platform::kReadTimeoutMs);
        ++*reinterpret_cast<int*>(context);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count;
}

// A top-level window with total children: ten top children, ten under each, and the rest
// spread evenly under those hundred.
HWND CreateTree(e2e::FixtureClient& fixture, int total, std::string* deepestName) {
  HWND target = fixture.Create("name=bench title=InspectorBench x=700 y=300 w=500 h=400 show=noactivate");
  if (!target) return nullptr;
  std::string script;
  for (int i = 0; i < kTopChildren; ++i)
    script += "child parent=bench name=b" + std::to_string(i) + " text=top" + std::to_string(i) + " x=" +
              std::to_string(i * 45) + " y=0 w=45 h=350;";
  for (int i = 0; i < kTopChildren; ++i)
    for (int j = 0; j < kSecondChildren; ++j)
      script += "child parent=b" + std::to_string(i) + " name=b" + std::to_string(i) + "_" + std::to_string(j) +
                " text=second x=0 y=" + std::to_string(j * 35) + " w=45 h=35;";
  const int rest = total - kTopChildren - kTopChildren * kSecondChildren;
  for (int k = 0; k < rest; ++k) {
    const int parent = k % (kTopChildren * kSecondChildren);
    const std::string parentName = "b" + std::to_string(parent / kSecondChildren) + "_" + std::to_string(parent % kSecondChildren);
    script += "child parent=" + parentName + " text=leaf" + std::to_string(k) + " id=" + std::to_string(k) +
              " x=" + std::to_string((k / 100) % 5 * 9) + " y=0 w=9 h=35;";
  }
  *deepestName = "b" + std::to_string(kTopChildren - 1) + "_" + std::to_string(kSecondChildren - 1);
  if (!fixture.Command(script, 120000).answered) return nullptr;
  return target;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<int> sizes = bench::WindowCounts(argc, argv, {1000, 5000});

  std::printf("%8s %12s %12s %8s %14s %14s %8s\n", "children", "update ms", "floor ms", "ratio", "hit-test us",
              "rect pass us", "ratio");
  for (int total : sizes) {
    e2e::FixtureClient fixture;
    if (!fixture.Start()) {
      std::fprintf(stderr, "the fixture program did not start\n");
      return 1;
    }
    std::string deepestName;
    HWND target = CreateTree(fixture, total, &deepestName);
    if (!target) {
      std::fprintf(stderr, "the fixture did not build the tree\n");
      return 1;
    }

    CChildInfomationDlg dlg;
    dlg.Create(nullptr);
    dlg.SetParentHandle(target);
    dlg.update();  // warm-up

    // Rounds alternate so that a busy moment of the machine weighs on both sides alike.
    std::vector<double> updateTimes, floorTimes;
    int listed = 0;
    for (int round = 0; round < kRounds; ++round) {
      updateTimes.push_back(Time([&] { dlg.update(); }));
      floorTimes.push_back(Time([&] { listed = WalkFloor(target); }));
    }
    const double update = Median(updateTimes), floor = Median(floorTimes);

    // The click lands on the last second-level child, in its leaf column: three levels down.
    HWND deepParent = reinterpret_cast<HWND>(fixture.Command("find name=" + deepestName).value);
    RECT r{};
    ::GetWindowRect(deepParent, &r);
    const POINT point{r.left + 2, r.top + 2};
    std::vector<double> hitTimes, passTimes;
    HWND found = nullptr;
    for (int round = 0; round < kRounds * 3; ++round) {
      hitTimes.push_back(Time([&] {
        inspector::DeepestChild hit = inspector::FindDeepestChildAt(dlg.Children(), target, point);
        found = hit.deepest ? *hit.deepest : nullptr;
      }));
      passTimes.push_back(Time([&] {
        RECT each{};
        for (const CChildWindowItem& item : dlg.Children()) ::GetWindowRect(item.hwnd, &each);
      }));
    }
    const double hit = Median(hitTimes), pass = Median(passTimes);
    std::printf("%8d %12.1f %12.1f %8.2f %14.1f %14.1f %8.2f   (%d listed, %d enumerated, hit %s)\n", total,
                update * 1000, floor * 1000, update / floor, hit * 1e6, pass * 1e6, hit / pass,
                static_cast<int>(dlg.Children().size()), listed, found ? "a window" : "nothing");
    std::fflush(stdout);
    dlg.DestroyWindow();
    fixture.Quit();
  }
  return 0;
}
