#include "platform/MessageBox.h"

#include "platform/ActionBudget.h"
#include "platform/WinApp.h"

namespace platform {
namespace {
MessageBoxHook& Hook() {
  static MessageBoxHook hook;
  return hook;
}
}  // namespace

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) {
  MessageBoxHook old = std::move(Hook());
  Hook() = std::move(hook);
  return old;
}

int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) {
  const CActionBudgetPause userAnswers;
  if (Hook()) return Hook()(owner, text, caption, type);
  return ::MessageBoxA(owner, text.c_str(), caption.c_str(), type);
}

int PanelMessageBox(HWND panel, const std::string& text) {
  return ShowMessageBox(panel, text, AppName(), MB_OK);
}

int AppMessageBox(const std::string& text) {
  return ShowMessageBox(MainWindowHandle(), text, AppName(), MB_OK | MB_ICONEXCLAMATION);
}

bool AppConfirm(const std::string& text) {
  return ShowMessageBox(MainWindowHandle(), text, AppName(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

}  // namespace platform
