// What the list benchmarks set up alike: the window counts from the command line, and that many
// fixture windows spread over a few fixture processes, as a desktop has them.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "E2eDriver.h"

namespace bench {

using Fixtures = std::vector<std::unique_ptr<e2e::FixtureClient>>;

// The window counts given as arguments, or the defaults.
inline std::vector<int> WindowCounts(int argc, char** argv, std::vector<int> defaults) {
  std::vector<int> counts;
  for (int i = 1; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
  return counts.empty() ? defaults : counts;
}

// total windows made by processes fixture programs; empty (and said) when one did not start.
inline Fixtures StartFixtureWindows(int total, int processes) {
  Fixtures fixtures;
  for (int p = 0; p < processes; ++p) {
    auto fixture = std::make_unique<e2e::FixtureClient>();
    if (!fixture->Start()) {
      std::fprintf(stderr, "the fixture program did not start\n");
      return {};
    }
    fixture->Command("many count=" + std::to_string(total / processes) + " prefix=bench" + std::to_string(p) + "_",
                     60000);
    fixtures.push_back(std::move(fixture));
  }
  return fixtures;
}

}  // namespace bench
