// The one loop that sets the three message hooks of a loaded hook DLL on a thread: Quorvel's
// own installer runs it for 32-bit programs, the 64-bit helper for 64-bit ones. Header only,
// as the helper links nothing of Quorvel's.
#pragma once
#include <windows.h>

#include "msglog/hook/MessageRecord.h"
#include "platform/Handles.h"

namespace msglog {

enum class HookSetting {
  kSet,          // all three hooks are in
  kNoProcedure,  // the DLL lacks a hook procedure
  kRefused,      // the system refused a hook: error says why
};

// Sets the hooks of dll on the thread into hooks (each removed when its owner goes; none is
// left in when one fails). error gets the system's code of a failed step.
inline HookSetting SetMessageHooks(HMODULE dll, DWORD threadId, platform::UniqueHook (&hooks)[3], DWORD* error) {
  static const struct {
    int kind;
    const char* procedure;
  } kHooks[] = {{WH_CALLWNDPROC, kCallWndProcName}, {WH_CALLWNDPROCRET, kCallWndProcRetName}, {WH_GETMESSAGE, kGetMessageName}};
  for (int i = 0; i < 3; ++i) {
    const auto procedure = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(::GetProcAddress(dll, kHooks[i].procedure)));
    if (!procedure) {
      *error = ::GetLastError();
      for (auto& hook : hooks) hook.reset();
      return HookSetting::kNoProcedure;
    }
    hooks[i].reset(::SetWindowsHookExW(kHooks[i].kind, procedure, dll, threadId));
    if (!hooks[i]) {
      *error = ::GetLastError();
      for (auto& hook : hooks) hook.reset();
      return HookSetting::kRefused;
    }
  }
  return HookSetting::kSet;
}

}  // namespace msglog
