#include "app/Arguments.h"

#include <cstring>

#include "platform/Format.h"

namespace app {

bool ScanArguments(int argc, const char* const* argv, std::FILE* out) {
  bool debug = false;
  for (int i = 1; i < argc; ++i) {
    std::string label = platform::Format("%d番目の引数", i);
    std::fprintf(out, "%s=%s\n", label.c_str(), argv[i]);
    // The whole argument must match, terminating NUL included; strcmp never reads past the
    // end of a shorter argument.
    if (std::strcmp(argv[i], kDebugSwitch) == 0) {
      debug = true;
      std::fprintf(out, "DEBUGMODE ON\n");
    }
  }
  return debug;
}

}  // namespace app
