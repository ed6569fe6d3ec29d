// Process lookup: a process identifier to its executable's base name or full path. The first way
// asks the process-status entry points for the first module; when that gives nothing (a 64-bit
// process seen from this 32-bit one, an elevated one that refuses PROCESS_VM_READ), the second way
// asks QueryFullProcessImageNameA with PROCESS_QUERY_LIMITED_INFORMATION. Every entry point is
// looked up by name (once, then kept), so a system without one simply gives nothing that way.
#pragma once
#include <windows.h>
#include <string>

BOOL CallEnumProcessModules(HANDLE process, HMODULE* modules, DWORD size, DWORD* needed);
DWORD CallGetModuleBaseNameA(HANDLE process, HMODULE module, LPSTR text, DWORD size);
DWORD CallGetModuleBaseNameW(HANDLE process, HMODULE module, LPWSTR text, DWORD size);
DWORD CallGetModuleFileNameExA(HANDLE process, HMODULE module, LPSTR text, DWORD size);
BOOL CallQueryFullProcessImageNameA(HANDLE process, DWORD flags, LPSTR text, DWORD* size);

// The module enumeration the first way starts with. Tests replace it to play a system where the
// first way fails; the previous one is returned.
using EnumProcessModulesCall = BOOL (*)(HANDLE, HMODULE*, DWORD, DWORD*);
EnumProcessModulesCall SetEnumProcessModulesCall(EnumProcessModulesCall call);

// Base name of the executable of the process (no directory); empty when it cannot be read.
std::string GetProcessName(DWORD pid);
// The same in UTF-16, so a name code page 932 cannot hold ("Café探査.exe") stays whole.
std::wstring GetProcessNameW(DWORD pid);
// Full path of the executable of the process; empty when it cannot be read.
std::string GetProcessPath(DWORD pid);
// The same in UTF-16, for a path code page 932 cannot hold.
std::wstring GetProcessPathW(DWORD pid);
