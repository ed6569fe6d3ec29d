// Times a snapshot of the desktop against the raw calls that read the same fields, and the diff
// of two snapshots at growing sizes.
//
//   bench_snapshot [N ...]     (default 5000; windows spread over 4 fixture processes; 0: the
//                              diff alone)
//
// Snapshot: the read as qv snapshot makes it (the walk, the window objects, the document written
// as JSON text) against a bare walk making the same system calls for the basic fields, and the
// same for the properties read from outside the windows' programs (each process's facts once).
// The procedures, which only each window's own thread can give, are timed on their own: they
// have no raw equivalent from outside. Goal: ratios of 1.5 or less.
//
// Diff: two sets of N windows that differ in a tenth of them, at 1,000 and 10,000 windows; the
// time per window should stay where it is (growth ratio about 1: linear).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "BenchWindows.h"
#include "platform/LateBound.h"
#include "platform/ProcessLookup.h"
#include "platform/WideText.h"
#include "properties/ProcessFacts.h"
#include "properties/WindowReader.h"
#include "snapshot/Diff.h"
#include "snapshot/Document.h"
#include "snapshot/PropertyFields.h"
#include "snapshot/Window.h"

namespace {

using bench::Median;
using bench::Time;

constexpr int kRounds = 7;

struct RawRead {
  std::set<DWORD> processes;
  bool properties = false;
};

BOOL CALLBACK CountProp(HWND, LPWSTR, HANDLE, ULONG_PTR count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

// The calls of the basic fields, and with properties those of the properties view's outside
// reading; each process's facts once.
void ReadRaw(HWND hwnd, RawRead& read) {
  const auto [pid, newProcess] = bench::ReadBasicFieldsRaw(hwnd, read.processes);
  if (!read.properties) return;
  wchar_t text[256], className[256];
  RECT client;
  ::GetClientRect(hwnd, &client);
  ::MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
  ::GetClassLongW(hwnd, GCL_STYLE);
  const int classExtra = static_cast<int>(::GetClassLongW(hwnd, GCL_CBCLSEXTRA));
  for (int offset = 0; offset + 4 <= classExtra && offset < 256; offset += 4) ::GetClassLongW(hwnd, offset);
  const int windowExtra = static_cast<int>(::GetClassLongW(hwnd, GCL_CBWNDEXTRA));
  for (int offset = 0; offset + 4 <= windowExtra && offset < 256; offset += 4) ::GetWindowLongW(hwnd, offset);
  ::GetWindowLongPtrW(hwnd, GWLP_ID);
  ::GetMenu(hwnd);
  ::GetWindowLongPtrW(hwnd, GWLP_HINSTANCE);
  ::GetWindowLongPtrW(hwnd, GWLP_USERDATA);
  ::GetClassLongPtrW(hwnd, GCLP_HICON);
  ::GetClassLongPtrW(hwnd, GCLP_HCURSOR);
  ::GetClassLongPtrW(hwnd, GCLP_HBRBACKGROUND);
  for (HWND related : {::GetAncestor(hwnd, GA_PARENT), ::GetWindow(hwnd, GW_OWNER), ::GetAncestor(hwnd, GA_ROOTOWNER),
                       ::GetWindow(hwnd, GW_CHILD), ::GetWindow(hwnd, GW_HWNDNEXT), ::GetWindow(hwnd, GW_HWNDPREV)}) {
    if (!related) continue;
    ::InternalGetWindowText(related, text, 256);
    ::GetClassNameW(related, className, 256);
  }
  int props = 0;
  ::EnumPropsExW(hwnd, CountProp, reinterpret_cast<LPARAM>(&props));
  platform::CallLateBound<HANDLE>("user32.dll", "GetWindowDpiAwarenessContext", hwnd);
  platform::CallLateBound<UINT>("user32.dll", "GetDpiForWindow", hwnd);
  if (newProcess) {
    GetProcessPathW(pid);
    properties::ReadIntegrity(pid);
    std::string reason;
    properties::ProcessCommandLine(pid, false, &reason);
    properties::ProcessModules(pid);
  }
}

int WalkRaw(bool withProperties) {
  RawRead read;
  read.properties = withProperties;
  return bench::WalkRaw([&](HWND hwnd) { ReadRaw(hwnd, read); }, true);
}

// The snapshot as qv writes it, without the procedures when outsideOnly.
size_t TakeSnapshot(bool withProperties) {
  std::vector<snapshot::WindowEntry> entries = snapshot::ReadDesktop();
  if (withProperties) {
    properties::ProcessPartCache processes;
    for (snapshot::WindowEntry& entry : entries)
      entry.properties = snapshot::PropertyJson(properties::ReadWindowFacts(entry.hwnd, &processes));
  }
  snapshot::Document document;
  document.taken = snapshot::TimeNow();
  document.windows = snapshot::WindowsJson(entries);
  return snapshot::DocumentJson(document).dump().size();
}

void RunSnapshot(int total) {
  const bench::FixtureDesktop desktop(total);
  for (bool withProperties : {false, true}) {
    std::vector<double> snapshotTimes, rawTimes, ratios;
    int windows = 0;
    size_t bytes = 0;
    TakeSnapshot(withProperties);  // warm-up
    for (int round = 0; round < kRounds; ++round) {
      snapshotTimes.push_back(Time([&] { bytes = TakeSnapshot(withProperties); }));
      rawTimes.push_back(Time([&] { windows = WalkRaw(withProperties); }));
      ratios.push_back(snapshotTimes.back() / rawTimes.back());
    }
    std::printf("%8d %-11s %12.1f %12.1f %8.2f   (%d windows, %zu bytes of JSON)\n", total,
                withProperties ? "properties" : "basic", Median(snapshotTimes) * 1000, Median(rawTimes) * 1000,
                Median(ratios), windows, bytes);
    std::fflush(stdout);
  }
  // The procedures of the fixture's windows, asked on their threads as the properties view asks.
  std::vector<snapshot::WindowEntry> entries = snapshot::ReadDesktop();
  const double probeTime = Time([&] { snapshot::ReadProperties(entries); });
  std::printf("%8d %-11s %12.1f %12s %8s   (every property with the procedures, %.2f ms a window)\n", total, "full",
              probeTime * 1000, "-", "-", probeTime * 1000 / static_cast<double>(entries.size()));
  std::fflush(stdout);
}

std::vector<snapshot::Json> SyntheticWindows(int count, int generation) {
  std::vector<snapshot::Json> windows;
  windows.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    // Every tenth window differs between the generations: its text, or its place, or it is
    // another window altogether.
    const bool differs = i % 10 == 0;
    const int handle = differs && i % 30 == 0 ? 0x100000 * (generation + 1) + i : 0x10000 + i * 2;
    snapshot::WindowEntry entry;
    entry.hwnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(handle));
    entry.className = i % 3 ? L"Button" : L"QuorvelFixtureWindow";
    entry.text = L"window " + std::to_wstring(i) + (differs && i % 30 == 10 ? L" changed" + std::to_wstring(generation) : L"");
    entry.pid = 100 + static_cast<DWORD>(i % 4);
    entry.tid = 200 + static_cast<DWORD>(i % 4);
    entry.process = L"QuorvelFixture.exe";
    entry.visible = true;
    entry.rect = RECT{i, i, i + 100 + (differs && i % 30 == 20 ? generation : 0), i + 30};
    entry.style = 0x14cf0000;
    windows.push_back(snapshot::WindowJson(entry));
  }
  return windows;
}

double DiffTime(int count) {
  const std::vector<snapshot::Json> before = SyntheticWindows(count, 0);
  const std::vector<snapshot::Json> after = SyntheticWindows(count, 1);
  std::vector<double> times;
  size_t changes = 0;
  for (int round = 0; round < kRounds * 3; ++round)
    times.push_back(Time([&] {
      const snapshot::DiffResult result = snapshot::Diff(before, after);
      changes = result.added.size() + result.removed.size() + result.changed.size();
    }));
  std::printf("%8d diff %12.2f ms %10.2f us a window   (%zu changes)\n", count, Median(times) * 1000,
              Median(times) * 1e6 / count, changes);
  return Median(times);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<int> sizes = bench::WindowCounts(argc, argv, {5000});
  std::printf("%8s %-11s %12s %12s %8s\n", "windows", "fields", "snapshot ms", "raw calls ms", "ratio");
  // 0: the diff alone.
  for (int total : sizes)
    if (total > 0) RunSnapshot(total);
  std::printf("\n");
  const double small = DiffTime(1000);
  const double large = DiffTime(10000);
  const double larger = DiffTime(40000);
  // Per window, the large sets no longer fit the processor's caches: the step from 10,000 to
  // 40,000 windows shows what the algorithm itself adds.
  std::printf("diff growth from 1,000 to 10,000 windows: %.2f, from 10,000 to 40,000: %.2f (1 = linear)\n",
              large / small / 10.0, larger / large / 4.0);
  return 0;
}
