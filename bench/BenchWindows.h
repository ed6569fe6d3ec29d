// What the benchmarks set up alike: the window counts from the command line, the fixture
// programs whose windows they measure, spread over a few processes as a desktop has them, and
// the raw walk over the desktop's windows the program is measured against.
#pragma once
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "BenchTiming.h"
#include "E2eDriver.h"
#include "platform/ProcessLookup.h"

namespace bench {

// How many fixture programs a bench's windows are spread over, as a desktop's are over its programs.
constexpr int kFixtureProcesses = 4;

// The window counts given as arguments, or the defaults.
inline std::vector<int> WindowCounts(int argc, char** argv, std::vector<int> defaults) {
  std::vector<int> counts;
  for (int i = 1; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
  return counts.empty() ? defaults : counts;
}

// The fixture programs of one measurement with their windows: started together, ended together
// when it ends. A program that does not start ends the bench (status 1), said on stderr.
class FixtureDesktop {
 public:
  using Command = std::function<std::string(const std::string& prefix)>;
  // processes programs, each given the command made for its window titles' prefix.
  FixtureDesktop(int processes, const Command& command) {
    const double start = Now();
    for (int p = 0; p < processes; ++p) {
      auto program = std::make_unique<e2e::FixtureClient>();
      if (!program->Start()) {
        std::fprintf(stderr, "the fixture program did not start\n");
        std::exit(1);
      }
      // Bounded, not waited for: tens of thousands of windows take minutes under load.
      program->Command(command("bench" + std::to_string(p) + "_"), 600000);
      m_programs.push_back(std::move(program));
    }
    m_seconds = Now() - start;
  }
  // total top-level windows, spread over kFixtureProcesses programs.
  explicit FixtureDesktop(int total)
      : FixtureDesktop(kFixtureProcesses, [&](const std::string& prefix) {
          return "many count=" + std::to_string(total / kFixtureProcesses) + " prefix=" + prefix;
        }) {}
  ~FixtureDesktop() {
    for (auto& program : m_programs) program->Quit();
  }
  FixtureDesktop(const FixtureDesktop&) = delete;
  FixtureDesktop& operator=(const FixtureDesktop&) = delete;

  e2e::FixtureClient& operator[](size_t index) const { return *m_programs[index]; }
  // How long the programs took to start and make their windows.
  double Seconds() const { return m_seconds; }

 private:
  std::vector<std::unique_ptr<e2e::FixtureClient>> m_programs;
  double m_seconds = 0;
};

namespace raw {

template <class Visit>
struct Walk {
  Visit& visit;
  int windows = 0;
};

template <class Visit>
BOOL CALLBACK Each(HWND hwnd, LPARAM context) {
  auto& walk = *reinterpret_cast<Walk<Visit>*>(context);
  walk.visit(hwnd);
  ++walk.windows;
  return TRUE;
}

template <class Visit>
BOOL CALLBACK EachWithChildren(HWND hwnd, LPARAM context) {
  Each<Visit>(hwnd, context);
  ::EnumChildWindows(hwnd, Each<Visit>, context);
  return TRUE;
}

}  // namespace raw

// The desktop walked straight through the system's enumerations, as any reader of every
// window must: visit for each top-level window and each of its descendants, and with
// messageOnly the message-only windows and theirs after them. How many windows it visited.
template <class Visit>
int WalkRaw(Visit visit, bool messageOnly = false) {
  raw::Walk<Visit> walk{visit};
  ::EnumWindows(raw::EachWithChildren<Visit>, reinterpret_cast<LPARAM>(&walk));
  for (HWND after = nullptr; messageOnly && (after = ::FindWindowExW(HWND_MESSAGE, after, nullptr, nullptr));)
    raw::EachWithChildren<Visit>(after, reinterpret_cast<LPARAM>(&walk));
  return walk.windows;
}

// The raw calls of a window's basic fields, as a snapshot holds them (text, process, visibility,
// rectangle, styles, relations, class), each process named once; the window's process, and
// whether it was new.
inline std::pair<DWORD, bool> ReadBasicFieldsRaw(HWND hwnd, std::set<DWORD>& processes) {
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hwnd, &pid);
  wchar_t text[256], className[256];
  ::InternalGetWindowText(hwnd, text, 256);
  ::IsWindowVisible(hwnd);
  RECT rect;
  ::GetWindowRect(hwnd, &rect);
  ::GetWindowLongW(hwnd, GWL_STYLE);
  ::GetWindowLongW(hwnd, GWL_EXSTYLE);
  ::GetAncestor(hwnd, GA_PARENT);
  ::GetWindow(hwnd, GW_OWNER);
  ::GetClassLongW(hwnd, GCW_ATOM);
  ::GetClassNameW(hwnd, className, 256);
  const bool newProcess = processes.insert(pid).second;
  if (newProcess) GetProcessNameW(pid);
  return {pid, newProcess};
}

}  // namespace bench
