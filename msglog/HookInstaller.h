// Putting the message hooks on a target thread and taking them off. The hook finds its shared
// memory by the thread it runs on, so all an installer needs is the DLL and the thread: it
// loads the DLL, looks up the three hook procedures and sets them on that thread alone.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

namespace msglog {

// The three hooks set on one thread; destroying this removes them.
class CInstalledHooks {
 public:
  virtual ~CInstalledHooks() = default;
};

class IHookInstaller {
 public:
  virtual ~IHookInstaller() = default;
  // Sets the hooks on the thread, or gives null and the reason in words a user reads.
  virtual std::unique_ptr<CInstalledHooks> Install(DWORD threadId, std::string* reason) = 0;
  // Whether Install may wait (on another program): then it is run off the dialog's thread. An
  // installer that does not wait sets hooks that belong to the calling thread, so it runs on
  // the dialog's own.
  virtual bool MayWait() const { return false; }
};

// The installer for a program of that process: the 32-bit one here for a 32-bit program, the
// 64-bit helper for a 64-bit one. Either says what keeps it from logging when it installs.
std::unique_ptr<IHookInstaller> InstallerForProcess(DWORD pid);

}  // namespace msglog
