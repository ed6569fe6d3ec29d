// The command-line scan of start-up.
#pragma once
#include <cstdio>

namespace app {

// The one argument that opens the debug console.
constexpr const char kDebugSwitch[] = "-K407";

// Echoes arguments 1 to argc - 1 to out as "<i>番目の引数=<argument>" and notes every exact
// "-K407" with "DEBUGMODE ON". Returns whether the switch was given.
bool ScanArguments(int argc, const char* const* argv, std::FILE* out);

}  // namespace app
