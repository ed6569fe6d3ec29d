// Process lookup: a process identifier to its executable's base name or full path. The first way
// asks the process-status entry points for the first module; when that gives nothing (a 64-bit
// process seen from this 32-bit one, an elevated one that refuses PROCESS_VM_READ), the second way
// asks QueryFullProcessImageNameW with PROCESS_QUERY_LIMITED_INFORMATION. Every entry point is
// looked up by name (once, then kept), so a system without one simply gives nothing that way.
// Names and paths are read in UTF-16, so one code page 932 cannot hold ("Café探査.exe") stays
// whole.
#pragma once
#include <windows.h>
#include <string>

BOOL CallEnumProcessModules(HANDLE process, HMODULE* modules, DWORD size, DWORD* needed);
DWORD CallGetModuleBaseNameW(HANDLE process, HMODULE module, LPWSTR text, DWORD size);

// The module enumeration the first way starts with. Tests replace it to play a system where the
// first way fails; the previous one is returned.
using EnumProcessModulesCall = BOOL (*)(HANDLE, HMODULE*, DWORD, DWORD*);
EnumProcessModulesCall SetEnumProcessModulesCall(EnumProcessModulesCall call);

// Base name of the executable of the process (no directory); empty when it cannot be read.
std::wstring GetProcessNameW(DWORD pid);
// Full path of the executable of the process; empty when it cannot be read.
std::wstring GetProcessPathW(DWORD pid);
