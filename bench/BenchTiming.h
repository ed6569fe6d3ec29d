// The benchmarks' clock: seconds from the performance counter, one timed run, the median of
// the rounds.
#pragma once
#include <windows.h>

#include <algorithm>
#include <vector>

namespace bench {

inline double Now() {
  LARGE_INTEGER counter, frequency;
  ::QueryPerformanceCounter(&counter);
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Seconds one run of work takes.
template <class Work>
double Time(Work work) {
  const double start = Now();
  work();
  return Now() - start;
}

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace bench
