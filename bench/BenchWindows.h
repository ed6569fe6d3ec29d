// What the list benchmarks set up alike: the window counts from the command line, and that many
// fixture windows spread over a few fixture processes, as a desktop has them.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "E2eDriver.h"

namespace bench {

using Fixtures = std::vector<std::unique_ptr<e2e::FixtureClient>>;

// How many fixture programs a bench's windows are spread over, as a desktop's are over its programs.
constexpr int kFixtureProcesses = 4;

// The window counts given as arguments, or the defaults.
inline std::vector<int> WindowCounts(int argc, char** argv, std::vector<int> defaults) {
  std::vector<int> counts;
  for (int i = 1; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
  return counts.empty() ? defaults : counts;
}

// processes fixture programs, each given the command made for its window titles' prefix; empty
// (and said) when one did not start.
inline Fixtures StartFixtures(int processes, const std::function<std::string(const std::string& prefix)>& command) {
  Fixtures fixtures;
  for (int p = 0; p < processes; ++p) {
    auto fixture = std::make_unique<e2e::FixtureClient>();
    if (!fixture->Start()) {
      std::fprintf(stderr, "the fixture program did not start\n");
      return {};
    }
    fixture->Command(command("bench" + std::to_string(p) + "_"), 120000);
    fixtures.push_back(std::move(fixture));
  }
  return fixtures;
}

// total top-level windows made by processes fixture programs.
inline Fixtures StartFixtureWindows(int total, int processes) {
  return StartFixtures(processes, [&](const std::string& prefix) {
    return "many count=" + std::to_string(total / processes) + " prefix=" + prefix;
  });
}

}  // namespace bench
