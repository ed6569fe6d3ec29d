#include "msglog/HookInstaller.h"

#include "msglog/HelperHookInstaller.h"
#include "msglog/HookHelperProtocol.h"
#include "msglog/InProcessHookInstaller.h"
#include "msglog/hook/MessageRecord.h"
#include "platform/Handles.h"

namespace msglog {

std::wstring PathBesideProgram(const wchar_t* fileName) {
  wchar_t path[MAX_PATH] = {};
  DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  const size_t slash = folder.find_last_of(L"\\/");
  folder.resize(slash == std::wstring::npos ? 0 : slash + 1);
  return folder + fileName;
}

bool IsSixtyFourBitProcess(DWORD pid) {
  using IsWow64ProcessCall = BOOL(WINAPI*)(HANDLE, PBOOL);
  auto isWow64 = reinterpret_cast<IsWow64ProcessCall>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
  BOOL self = FALSE;
  // A 32-bit system runs no 64-bit programs.
  if (!isWow64 || !isWow64(::GetCurrentProcess(), &self) || !self) return false;
  platform::UniqueProcess process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  BOOL target = TRUE;
  return process && isWow64(process.get(), &target) && !target;
}

std::unique_ptr<IHookInstaller> InstallerForProcess(DWORD pid, std::string* reason) {
  if (IsSixtyFourBitProcess(pid)) return std::make_unique<CHelperHookInstaller>(PathBesideProgram(kHookHelperName));
  return std::make_unique<CInProcessHookInstaller>(PathBesideProgram(kHookDllName));
}

}  // namespace msglog
