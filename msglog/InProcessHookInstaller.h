// Installs the hooks from Quorvel's own process: for 32-bit programs, which take the 32-bit DLL.
#pragma once
#include <string>

#include "msglog/HookInstaller.h"

namespace msglog {

class CInProcessHookInstaller : public IHookInstaller {
 public:
  explicit CInProcessHookInstaller(std::wstring dllPath) : m_dllPath(std::move(dllPath)) {}
  std::unique_ptr<CInstalledHooks> Install(DWORD threadId, std::string* reason) override;

 private:
  std::wstring m_dllPath;
};

// What a user reads when SetWindowsHookEx refused with that error.
std::string HookRefusalReason(DWORD error);

}  // namespace msglog
