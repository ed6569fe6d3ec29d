#include "msglog/InProcessHookInstaller.h"

#include "msglog/hook/MessageRecord.h"
#include "platform/Format.h"
#include "platform/Handles.h"

namespace msglog {
namespace {

// The module stays loaded while the hooks that run its code are set: hooks are declared after
// it, so they go first.
class CInProcessHooks : public CInstalledHooks {
 public:
  platform::UniqueModule module;
  platform::UniqueHook hooks[3];
};

}  // namespace

std::string HookRefusalReason(DWORD error) {
  if (error == ERROR_ACCESS_DENIED)
    return "このプログラムはメッセージの記録を受け付けません（管理者として実行されているプログラムは、"
           "Quorvel も管理者として実行したときだけ記録できます）。";
  return platform::Format("メッセージの記録を始められません（エラー %lu）。", error);
}

std::unique_ptr<CInstalledHooks> CInProcessHookInstaller::Install(DWORD threadId, std::string* reason) {
  auto installed = std::make_unique<CInProcessHooks>();
  installed->module.reset(::LoadLibraryW(m_dllPath.c_str()));
  if (!installed->module) {
    *reason = "QuorvelHook.dll が Quorvel.exe と同じフォルダーに見つかりません。";
    return nullptr;
  }
  const struct {
    int kind;
    const char* name;
  } kHooks[] = {{WH_CALLWNDPROC, kCallWndProcName}, {WH_CALLWNDPROCRET, kCallWndProcRetName}, {WH_GETMESSAGE, kGetMessageName}};
  for (int i = 0; i < 3; ++i) {
    auto procedure = reinterpret_cast<HOOKPROC>(::GetProcAddress(installed->module.get(), kHooks[i].name));
    if (!procedure) {
      *reason = "QuorvelHook.dll が壊れています。";
      return nullptr;
    }
    installed->hooks[i].reset(::SetWindowsHookExW(kHooks[i].kind, procedure, installed->module.get(), threadId));
    if (!installed->hooks[i]) {
      *reason = HookRefusalReason(::GetLastError());
      return nullptr;
    }
  }
  return installed;
}

}  // namespace msglog
