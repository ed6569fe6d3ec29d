#include "msglog/HookInstaller.h"

#include "msglog/HelperHookInstaller.h"
#include "msglog/HookHelperProtocol.h"
#include "msglog/InProcessHookInstaller.h"
#include "msglog/hook/MessageRecord.h"
#include "platform/Handles.h"
#include "platform/ProgramFolder.h"

namespace msglog {

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

std::unique_ptr<IHookInstaller> InstallerForProcess(DWORD pid) {
  if (IsSixtyFourBitProcess(pid)) return std::make_unique<CHelperHookInstaller>(platform::PathBesideProgram(kHookHelperName));
  return std::make_unique<CInProcessHookInstaller>(platform::PathBesideProgram(kHookDllName));
}

}  // namespace msglog
