#include "platform/ProcessLookup.h"

#include <vector>

#include "platform/Handles.h"
#include "platform/LateBound.h"

#ifndef PROCESS_QUERY_LIMITED_INFORMATION
#define PROCESS_QUERY_LIMITED_INFORMATION 0x1000
#endif

BOOL CallEnumProcessModules(HANDLE process, HMODULE* modules, DWORD size, DWORD* needed) {
  return platform::CallLateBound<BOOL>("psapi", "EnumProcessModules", process, modules, size, needed);
}

DWORD CallGetModuleBaseNameA(HANDLE process, HMODULE module, LPSTR text, DWORD size) {
  return platform::CallLateBound<DWORD>("psapi", "GetModuleBaseNameA", process, module, text, size);
}

DWORD CallGetModuleBaseNameW(HANDLE process, HMODULE module, LPWSTR text, DWORD size) {
  return platform::CallLateBound<DWORD>("psapi", "GetModuleBaseNameW", process, module, text, size);
}

DWORD CallGetModuleFileNameExA(HANDLE process, HMODULE module, LPSTR text, DWORD size) {
  return platform::CallLateBound<DWORD>("psapi", "GetModuleFileNameExA", process, module, text, size);
}

BOOL CallQueryFullProcessImageNameA(HANDLE process, DWORD flags, LPSTR text, DWORD* size) {
  return platform::CallLateBound<BOOL>("kernel32", "QueryFullProcessImageNameA", process, flags, text, size);
}

namespace {

DWORD CallGetModuleFileNameExW(HANDLE process, HMODULE module, LPWSTR text, DWORD size) {
  return platform::CallLateBound<DWORD>("psapi", "GetModuleFileNameExW", process, module, text, size);
}

BOOL CallQueryFullProcessImageNameW(HANDLE process, DWORD flags, LPWSTR text, DWORD* size) {
  return platform::CallLateBound<BOOL>("kernel32", "QueryFullProcessImageNameW", process, flags, text, size);
}

constexpr DWORD kTextSize = 1024;

EnumProcessModulesCall g_enumProcessModules = CallEnumProcessModules;

// The first way: opens the process, takes its first module (the executable) and asks for its text.
template <class Char>
std::basic_string<Char> LookUpFirstModule(DWORD pid, DWORD (*call)(HANDLE, HMODULE, Char*, DWORD)) {
  std::vector<Char> text(kTextSize, Char());
  platform::UniqueProcess process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
  if (process) {
    std::vector<HMODULE> modules(1024, nullptr);
    DWORD needed = 0;
    if (g_enumProcessModules(process.get(), modules.data(), 4096, &needed))
      call(process.get(), modules[0], text.data(), static_cast<DWORD>(text.size()));
  }
  text.back() = Char();
  return text.data();
}

// The second way: the image path with the least access a process grants.
template <class Char>
std::basic_string<Char> LookUpImagePath(DWORD pid, BOOL (*call)(HANDLE, DWORD, Char*, DWORD*)) {
  std::vector<Char> text(kTextSize, Char());
  platform::UniqueProcess process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  DWORD size = kTextSize;
  if (!process || !call(process.get(), 0, text.data(), &size)) return std::basic_string<Char>();
  text.back() = Char();
  return text.data();
}

template <class Char>
std::basic_string<Char> LastComponent(const std::basic_string<Char>& path) {
  const Char separators[] = {Char('\\'), Char('/'), Char()};
  return path.substr(path.find_last_of(separators) + 1);
}
}  // namespace

EnumProcessModulesCall SetEnumProcessModulesCall(EnumProcessModulesCall call) {
  EnumProcessModulesCall old = g_enumProcessModules;
  g_enumProcessModules = call ? call : CallEnumProcessModules;
  return old;
}

std::string GetProcessName(DWORD pid) {
  std::string name = LookUpFirstModule(pid, CallGetModuleBaseNameA);
  return name.empty() ? LastComponent(LookUpImagePath(pid, CallQueryFullProcessImageNameA)) : name;
}

std::wstring GetProcessNameW(DWORD pid) { return LastComponent(GetProcessPathW(pid)); }

std::string GetProcessPath(DWORD pid) {
  std::string path = LookUpFirstModule(pid, CallGetModuleFileNameExA);
  return path.empty() ? LookUpImagePath(pid, CallQueryFullProcessImageNameA) : path;
}

std::wstring GetProcessPathW(DWORD pid) {
  std::wstring path = LookUpFirstModule(pid, CallGetModuleFileNameExW);
  return path.empty() ? LookUpImagePath(pid, CallQueryFullProcessImageNameW) : path;
}
