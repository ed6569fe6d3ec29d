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

DWORD CallGetModuleBaseNameW(HANDLE process, HMODULE module, LPWSTR text, DWORD size) {
  return platform::CallLateBound<DWORD>("psapi", "GetModuleBaseNameW", process, module, text, size);
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
std::wstring LookUpFirstModule(DWORD pid) {
  std::vector<wchar_t> text(kTextSize, L'\0');
  platform::UniqueProcess process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
  if (process) {
    std::vector<HMODULE> modules(1024, nullptr);
    DWORD needed = 0;
    if (g_enumProcessModules(process.get(), modules.data(), 4096, &needed))
      CallGetModuleFileNameExW(process.get(), modules[0], text.data(), static_cast<DWORD>(text.size()));
  }
  text.back() = L'\0';
  return text.data();
}

// The second way: the image path with the least access a process grants.
std::wstring LookUpImagePath(DWORD pid) {
  std::vector<wchar_t> text(kTextSize, L'\0');
  platform::UniqueProcess process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  DWORD size = kTextSize;
  if (!process || !CallQueryFullProcessImageNameW(process.get(), 0, text.data(), &size)) return std::wstring();
  text.back() = L'\0';
  return text.data();
}

}  // namespace

EnumProcessModulesCall SetEnumProcessModulesCall(EnumProcessModulesCall call) {
  EnumProcessModulesCall old = g_enumProcessModules;
  g_enumProcessModules = call ? call : CallEnumProcessModules;
  return old;
}

std::wstring GetProcessNameW(DWORD pid) {
  const std::wstring path = GetProcessPathW(pid);
  return path.substr(path.find_last_of(L"\\/") + 1);
}

std::wstring GetProcessPathW(DWORD pid) {
  std::wstring path = LookUpFirstModule(pid);
  return path.empty() ? LookUpImagePath(pid) : path;
}
