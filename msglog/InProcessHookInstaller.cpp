#include "msglog/InProcessHookInstaller.h"

#include "msglog/HookSetting.h"
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
  DWORD error = 0;
  switch (SetMessageHooks(installed->module.get(), threadId, installed->hooks, &error)) {
    case HookSetting::kSet:
      break;
    case HookSetting::kNoProcedure:
      *reason = "QuorvelHook.dll が壊れています。";
      return nullptr;
    case HookSetting::kRefused:
      *reason = HookRefusalReason(error);
      return nullptr;
  }
  return installed;
}

}  // namespace msglog
