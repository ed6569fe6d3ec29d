// Calls a system entry point looked up by name: the first call for an entry loads its library
// and looks the entry up, and both are kept for the life of the process, so later calls cost
// what a direct call costs (the process lookup makes two of them per listed process on every
// refresh). A missing library or entry gives the result type's zero without calling anything.
#pragma once
#include <windows.h>

namespace platform {

// The entry of the library, looked up once and kept; null when either is missing.
FARPROC LateBoundEntry(const char* library, const char* entry);

template <class Result, class... Args>
Result CallLateBound(const char* library, const char* entry, Args... args) {
  const FARPROC proc = LateBoundEntry(library, entry);
  if (!proc) return Result();
  using Function = Result(WINAPI*)(Args...);
  return reinterpret_cast<Function>(reinterpret_cast<void*>(proc))(args...);
}

}  // namespace platform
