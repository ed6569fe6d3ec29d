// Process lookup: a process identifier to its executable's base name or full path, through
// the process-status entry points looked up at each call.
#pragma once
#include <windows.h>
#include <string>

BOOL CallEnumProcessModules(HANDLE process, HMODULE* modules, DWORD size, DWORD* needed);
DWORD CallGetModuleBaseNameA(HANDLE process, HMODULE module, LPSTR text, DWORD size);
DWORD CallGetModuleFileNameExA(HANDLE process, HMODULE module, LPSTR text, DWORD size);

// Base name of the executable of the process (no directory); empty when it cannot be read.
std::string GetProcessName(DWORD pid);
// Full path of the executable of the process; empty when it cannot be read.
std::string GetProcessPath(DWORD pid);
