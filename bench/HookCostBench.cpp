// The message hook's cost inside the target: a fixture window sends itself N messages (20,000
// by default) with the log on, the hook writing each one into the ring while this program
// drains it as Quorvel does, and again with a do-nothing hook of the same three kinds installed
// the same way. Prints the ratio, whose goal is at most 1.2. The fixture (QUORVEL_FIXTURE)
// decides the bitness: a 64-bit one is hooked through the 64-bit helper, as Quorvel hooks it.
//
//   bench_hook_cost [N]
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "E2eDriver.h"
#include "msglog/HelperHookInstaller.h"
#include "msglog/HookHelperProtocol.h"
#include "msglog/InProcessHookInstaller.h"
#include "msglog/LogChannel.h"
#include "msglog/hook/MessageRecord.h"
#include "platform/ProcessBits.h"

namespace {

constexpr int kRounds = 7;

// The installer Quorvel uses for the target, with the hook in folder: for 64-bit, the helper
// there, which loads the DLL beside it.
std::unique_ptr<msglog::IHookInstaller> Installer(bool sixtyFour, const std::wstring& folder) {
  if (sixtyFour) return std::make_unique<msglog::CHelperHookInstaller>(folder + msglog::kHookHelperName);
  return std::make_unique<msglog::CInProcessHookInstaller>(folder + msglog::kHookDllName);
}

std::wstring Folder(const std::wstring& file) { return file.substr(0, file.find_last_of(L"\\/") + 1); }

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 20000;
  // Each run in a fixture of its own: both hook DLLs carry one name, and a program that has
  // loaded one of them would be given that one again.
  auto startFixture = [](e2e::FixtureClient& fixture, HWND* window) {
    if (!fixture.Start()) {
      std::fprintf(stderr, "bench_hook_cost: no fixture %s\n", e2e::FixtureExePath().c_str());
      std::exit(1);
    }
    *window = fixture.Create("title=\"Hook cost\" x=900 y=60 w=200 h=100 show=noactivate");
  };
  bool sixtyFour = false;
  {
    e2e::FixtureClient probe;
    HWND unused = nullptr;
    startFixture(probe, &unused);
    sixtyFour = platform::IsSixtyFourBitProcess(probe.Pid()).value_or(false);
    probe.Quit();
  }
  // Quorvel's own hook and helper, and the do-nothing hook in nullhook\ beside this program.
  const std::string quorvel = e2e::QuorvelExePath();
  wchar_t self[MAX_PATH];
  const std::wstring bench(self, ::GetModuleFileNameW(nullptr, self, MAX_PATH));
  std::unique_ptr<msglog::IHookInstaller> logging = Installer(sixtyFour, Folder(std::wstring(quorvel.begin(), quorvel.end())));
  std::unique_ptr<msglog::IHookInstaller> nothing = Installer(sixtyFour, Folder(bench) + L"nullhook\\");

  uint32_t recorded = 0, dropped = 0;
  // Milliseconds the flood takes in the target with the installer's hooks on.
  auto run = [&](msglog::IHookInstaller& installer) -> double {
    e2e::FixtureClient fixture;
    HWND window = nullptr;
    startFixture(fixture, &window);
    const DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    const std::string flood = "flood window=" + e2e::HandleText(window) + " count=";
    std::string reason;
    msglog::CLogChannel channel;
    std::unique_ptr<msglog::CInstalledHooks> hooks;
    if (!channel.Open(thread, window, false, &reason) || !(hooks = installer.Install(thread, &reason))) {
      std::fprintf(stderr, "bench_hook_cost: %s\n", reason.c_str());
      std::exit(1);
    }
    channel.SetActive(true);
    // A thread takes a message or two to see hooks set from another process.
    fixture.Command(flood + "10");
    std::atomic<bool> done{false};
    // Drained on a timer, as the log dialog drains it.
    std::thread drainer([&] {
      static msglog::MessageRecord record;
      while (!done.load()) {
        while (channel.Read(record)) {
        }
        ::Sleep(30);
      }
    });
    const uint32_t before = channel.Seen();
    const double ms = static_cast<double>(fixture.Command(flood + std::to_string(count), 600000).value);
    done = true;
    drainer.join();
    recorded = channel.Seen() - before - channel.Dropped();
    dropped = channel.Dropped();
    hooks.reset();
    fixture.Quit();
    return ms;
  };

  std::vector<double> withLog, withNothing;
  // Either goes first in turn, so a busy moment of the machine weighs on both alike.
  for (int round = 0; round < kRounds; ++round) {
    if (round % 2) withLog.push_back(run(*logging));
    withNothing.push_back(run(*nothing));
    if (!(round % 2)) withLog.push_back(run(*logging));
  }
  // The least disturbed run of each: whatever else runs on the machine only adds time, and
  // under Wine it adds a lot.
  const double log = *std::min_element(withLog.begin(), withLog.end());
  const double floor = *std::min_element(withNothing.begin(), withNothing.end());
  std::printf("%d-bit target, %d messages sent to itself, fastest of %d: log on %.0f ms (%u recorded, %u dropped), "
              "do-nothing hook %.0f ms, ratio %.2f (goal <= 1.20)\n",
              sixtyFour ? 64 : 32, count, kRounds, log, recorded, dropped, floor, log / floor);
  return 0;
}
