// What Quorvel and its 64-bit helper program (x64/HookHelper.cpp) agree on. A 32-bit program
// cannot put a hook DLL into a 64-bit one, so for a 64-bit target Quorvel starts the helper,
// which installs the 64-bit build of the hook on the target's thread for it:
//
//   QuorvelHookHelper64.exe <Quorvel's process id> <target thread id> <event name>
//
// Quorvel creates the events <event name>.ready and <event name>.stop first. The helper sets
// .ready once the three hooks are in, removes them and ends when .stop is set or Quorvel's
// process ends, and otherwise ends at once with an exit code that says what went wrong.
#pragma once

#include <windows.h>

#include <cwchar>
#include <string>

namespace msglog {

inline constexpr wchar_t kHookHelperName[] = L"QuorvelHookHelper64.exe";

struct HookHelperArguments {
  DWORD quorvelPid = 0;
  DWORD threadId = 0;
  std::wstring eventName;
};

inline std::wstring FormatHookHelperArguments(const HookHelperArguments& arguments) {
  return std::to_wstring(arguments.quorvelPid) + L" " + std::to_wstring(arguments.threadId) + L" " +
         arguments.eventName;
}

// The arguments as FormatHookHelperArguments writes them; false for anything else.
inline bool ParseHookHelperArguments(const wchar_t* text, HookHelperArguments* arguments) {
  unsigned long pid = 0, thread = 0;
  wchar_t name[128] = {};
  wchar_t rest[2] = {};
  if (!text || std::swscanf(text, L"%lu %lu %127ls %1ls", &pid, &thread, name, rest) != 3 || !pid || !thread)
    return false;
  arguments->quorvelPid = pid;
  arguments->threadId = thread;
  arguments->eventName = name;
  return true;
}

inline std::wstring HookHelperReadyEvent(const std::wstring& eventName) { return eventName + L".ready"; }
inline std::wstring HookHelperStopEvent(const std::wstring& eventName) { return eventName + L".stop"; }

// Why the helper ended before its hooks were in: the step in the high word of its exit code,
// the system's error code of that step in the low word. 0 is a normal end.
enum HookHelperStep : DWORD {
  kHelperBadArguments = 1,
  kHelperNoQuorvel = 2,    // Quorvel's process or events are gone
  kHelperNoHookDll = 3,    // the 64-bit hook DLL is missing beside the helper or does not load
  kHelperNoProcedure = 4,  // the DLL lacks a hook procedure
  kHelperHookRefused = 5,  // the system refused a hook (the target is elevated, or its thread gone)
};

inline DWORD HookHelperExitCode(HookHelperStep step, DWORD error) { return (static_cast<DWORD>(step) << 16) | (error & 0xFFFF); }
inline DWORD HookHelperFailedStep(DWORD exitCode) { return exitCode >> 16; }
inline DWORD HookHelperError(DWORD exitCode) { return exitCode & 0xFFFF; }

}  // namespace msglog
