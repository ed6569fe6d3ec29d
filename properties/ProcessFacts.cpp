#include "properties/ProcessFacts.h"

#include <winternl.h>

#include "platform/Handles.h"
#include "platform/LateBound.h"
#include "platform/ProcessLookup.h"

namespace properties {
namespace {

// Modules beyond this many are not named (a process with more is rare).
constexpr DWORD kMaxModules = 1024;
// A command line is at most 32767 characters.
constexpr USHORT kMaxCommandLineBytes = 0xfffe;

struct ModuleInfo {
  void* base;
  DWORD size;
  void* entry;
};

}  // namespace

std::vector<ModuleRange> ProcessModules(DWORD pid) {
  std::vector<ModuleRange> ranges;
  platform::UniqueProcess process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
  if (!process) return ranges;
  std::vector<HMODULE> modules(256);
  DWORD needed = 0;
  for (;;) {
    const DWORD size = static_cast<DWORD>(modules.size() * sizeof(HMODULE));
    if (!CallEnumProcessModules(process.get(), modules.data(), size, &needed)) return ranges;
    if (needed <= size || modules.size() >= kMaxModules) break;
    modules.resize(std::min<size_t>(needed / sizeof(HMODULE), kMaxModules));
  }
  modules.resize(std::min<size_t>(needed / sizeof(HMODULE), modules.size()));
  for (HMODULE module : modules) {
    ModuleInfo info{};
    if (!platform::CallLateBound<BOOL>("psapi", "GetModuleInformation", process.get(), module, &info,
                                       static_cast<DWORD>(sizeof(info))))
      continue;
    char name[MAX_PATH] = {};
    if (!CallGetModuleBaseNameA(process.get(), module, name, MAX_PATH)) continue;
    ranges.push_back(ModuleRange{reinterpret_cast<UINT_PTR>(info.base), info.size, name});
  }
  return ranges;
}

const char* IntegrityLevelName(DWORD rid) {
  if (rid >= 0x4000) return "システム";
  if (rid >= 0x3000) return "高";
  if (rid >= 0x2100) return "中 (UIAccess)";
  if (rid >= 0x2000) return "中";
  if (rid >= 0x1000) return "低";
  return "信頼されていない";
}

std::optional<Integrity> ReadIntegrity(DWORD pid) {
  platform::UniqueProcess process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  HANDLE token = nullptr;
  if (!process || !::OpenProcessToken(process.get(), TOKEN_QUERY, &token)) return std::nullopt;
  platform::UniqueHandle tokenOwner(token);
  union {
    TOKEN_MANDATORY_LABEL label;
    BYTE bytes[256];
  } level{};
  DWORD size = 0;
  if (!::GetTokenInformation(token, TokenIntegrityLevel, &level, sizeof(level), &size) || !level.label.Label.Sid ||
      !::IsValidSid(level.label.Label.Sid))
    return std::nullopt;
  const UCHAR count = *::GetSidSubAuthorityCount(level.label.Label.Sid);
  if (!count) return std::nullopt;
  Integrity integrity;
  integrity.level = *::GetSidSubAuthority(level.label.Label.Sid, count - 1u);
  TOKEN_ELEVATION elevation{};
  if (::GetTokenInformation(token, TokenElevation, &elevation, sizeof(elevation), &size))
    integrity.elevated = elevation.TokenIsElevated != 0;
  return integrity;
}

std::string IntegrityText(const std::optional<Integrity>& integrity) {
  if (!integrity) return std::string();
  std::string text = IntegrityLevelName(integrity->level);
  if (integrity->elevated) text += *integrity->elevated ? " (昇格済み)" : " (昇格なし)";
  return text;
}

std::optional<std::wstring> ProcessCommandLine(DWORD pid, bool widerThanThisProgram, std::string* reason) {
  if (widerThanThisProgram) {
    *reason = "64 ビットのプログラムのコマンドラインは、32 ビットの Quorvel からは読めません";
    return std::nullopt;
  }
  *reason = "読めません (プロセスが読み取りを許しません)";
  platform::UniqueProcess process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
  if (!process) return std::nullopt;
  // The process block, then its parameters, then the text: each read once, each bounded.
  PROCESS_BASIC_INFORMATION basic{};
  ULONG got = 0;
  if (platform::CallLateBound<LONG>("ntdll.dll", "NtQueryInformationProcess", process.get(), ProcessBasicInformation,
                                    static_cast<void*>(&basic), static_cast<ULONG>(sizeof(basic)), &got) < 0 ||
      !basic.PebBaseAddress)
    return std::nullopt;
  PEB peb{};
  RTL_USER_PROCESS_PARAMETERS parameters{};
  SIZE_T read = 0;
  if (!::ReadProcessMemory(process.get(), basic.PebBaseAddress, &peb, sizeof(peb), &read) || !peb.ProcessParameters ||
      !::ReadProcessMemory(process.get(), peb.ProcessParameters, &parameters, sizeof(parameters), &read))
    return std::nullopt;
  const UNICODE_STRING line = parameters.CommandLine;
  if (!line.Buffer || line.Length > kMaxCommandLineBytes) return std::nullopt;
  std::wstring text(line.Length / 2, L'\0');
  if (!text.empty() && (!::ReadProcessMemory(process.get(), line.Buffer, &text[0], text.size() * 2, &read) ||
                        read != text.size() * 2))
    return std::nullopt;
  reason->clear();
  return text;
}

}  // namespace properties
