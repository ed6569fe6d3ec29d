#include "msglog/HookInstaller.h"

#include "msglog/HelperHookInstaller.h"
#include "msglog/HookHelperProtocol.h"
#include "msglog/InProcessHookInstaller.h"
#include "msglog/hook/MessageRecord.h"
#include "platform/Handles.h"
#include "platform/ProcessBits.h"
#include "platform/ProgramFolder.h"

namespace msglog {

std::unique_ptr<IHookInstaller> InstallerForProcess(DWORD pid) {
  // A process that cannot be asked is taken as 32-bit: the in-process installer then says why
  // it could not hook.
  if (platform::IsSixtyFourBitProcess(pid).value_or(false)) return std::make_unique<CHelperHookInstaller>(platform::PathBesideProgram(kHookHelperName));
  return std::make_unique<CInProcessHookInstaller>(platform::PathBesideProgram(kHookDllName));
}

}  // namespace msglog
