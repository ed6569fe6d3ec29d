// Installs the hooks in a 64-bit program. Quorvel is 32-bit and cannot put a DLL into it, so it
// starts the 64-bit helper program beside Quorvel.exe, which installs the 64-bit build of the
// hook DLL on the thread and keeps it in until told to stop or until Quorvel's process ends
// (msglog/HookHelperProtocol.h).
#pragma once
#include <string>

#include "msglog/HookInstaller.h"

namespace msglog {

class CHelperHookInstaller : public IHookInstaller {
 public:
  // How long Install waits for the helper's answer: it starts in a fraction of a second, and
  // one that does not answer must not hold the dialog longer.
  static constexpr DWORD kReadyTimeoutMs = 3000;

  explicit CHelperHookInstaller(std::wstring helperPath) : m_helperPath(std::move(helperPath)) {}
  std::unique_ptr<CInstalledHooks> Install(DWORD threadId, std::string* reason) override;
  bool MayWait() const override { return true; }

 private:
  std::wstring m_helperPath;
};

// What a user reads when the helper ended with that exit code before its hooks were in.
std::string HelperFailureReason(DWORD exitCode);

}  // namespace msglog
