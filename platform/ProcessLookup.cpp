#include "platform/ProcessLookup.h"

#include <vector>

#include "platform/Handles.h"
#include "platform/LateBound.h"

BOOL CallEnumProcessModules(HANDLE process, HMODULE* modules, DWORD size, DWORD* needed) {
  return platform::CallLateBound<BOOL>("psapi", "EnumProcessModules", process, modules, size, needed);
}

DWORD CallGetModuleBaseNameA(HANDLE process, HMODULE module, LPSTR text, DWORD size) {
  return platform::CallLateBound<DWORD>("psapi", "GetModuleBaseNameA", process, module, text, size);
}

DWORD CallGetModuleFileNameExA(HANDLE process, HMODULE module, LPSTR text, DWORD size) {
  return platform::CallLateBound<DWORD>("psapi", "GetModuleFileNameExA", process, module, text, size);
}

namespace {
using ModuleTextCall = DWORD (*)(HANDLE, HMODULE, LPSTR, DWORD);

// Opens the process, takes its first module (the executable) and asks for its text.
std::string LookUpFirstModule(DWORD pid, ModuleTextCall call) {
  std::vector<char> text(1024, '\0');
  platform::UniqueProcess process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
  if (process) {
    std::vector<HMODULE> modules(1024, nullptr);
    DWORD needed = 0;
    if (CallEnumProcessModules(process.get(), modules.data(), 4096, &needed))
      call(process.get(), modules[0], text.data(), static_cast<DWORD>(text.size()));
  }
  text.back() = '\0';
  return text.data();
}
}  // namespace

std::string GetProcessName(DWORD pid) { return LookUpFirstModule(pid, CallGetModuleBaseNameA); }

std::string GetProcessPath(DWORD pid) { return LookUpFirstModule(pid, CallGetModuleFileNameExA); }
