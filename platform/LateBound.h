// Calls a system entry point looked up by name at the moment of the call: the library is
// loaded, the entry called and the library freed again. A missing library or entry gives
// the result type's zero without calling anything.
#pragma once
#include <windows.h>

#include "platform/Handles.h"

namespace platform {

template <class Result, class... Args>
Result CallLateBound(const char* library, const char* entry, Args... args) {
  UniqueModule module(::LoadLibraryA(library));
  if (!module) return Result();
  FARPROC proc = ::GetProcAddress(module.get(), entry);
  if (!proc) return Result();
  using Function = Result(WINAPI*)(Args...);
  return reinterpret_cast<Function>(reinterpret_cast<void*>(proc))(args...);
}

}  // namespace platform
