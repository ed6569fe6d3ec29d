// Hooks put in from a worker thread, for installers that wait (the 64-bit helper takes up to
// seconds to start, and may hang or fail): the dialog's thread never waits on them, and is told
// by a posted message when the hooks are in or why not. A dialog that stopped caring meanwhile
// abandons the install; hooks that come in after that are taken off at once, on the worker.
#pragma once
#include <windows.h>

#include <memory>
#include <mutex>
#include <string>

#include "msglog/HookInstaller.h"

namespace msglog {

class CBackgroundInstall {
 public:
  CBackgroundInstall() = default;
  CBackgroundInstall(const CBackgroundInstall&) = delete;
  CBackgroundInstall& operator=(const CBackgroundInstall&) = delete;
  ~CBackgroundInstall() { Abandon(); }

  // Starts installing on the thread; notify gets message once it is done. An install still
  // running is abandoned first.
  void Start(std::shared_ptr<IHookInstaller> installer, DWORD threadId, HWND notify, UINT message);
  // Whether an install runs that was neither taken nor abandoned.
  bool Pending() const { return m_state != nullptr; }
  // The install has ended (the message may come from anyone; this says it is so).
  bool Done() const;
  // After the message: the hooks (null with the reason when they could not be set).
  std::unique_ptr<CInstalledHooks> Take(std::string* reason);
  // Forgets the running install; its hooks, if they come, are removed where they came.
  void Abandon();

 private:
  struct State {
    std::mutex lock;
    bool abandoned = false;
    bool done = false;
    std::unique_ptr<CInstalledHooks> hooks;
    std::string reason;
  };
  std::shared_ptr<State> m_state;
};

}  // namespace msglog
