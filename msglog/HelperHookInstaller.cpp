#include "msglog/HelperHookInstaller.h"

#include <atomic>

#include "msglog/HookHelperProtocol.h"
#include "msglog/InProcessHookInstaller.h"
#include "platform/Format.h"
#include "platform/Handles.h"
#include "platform/HelperProgram.h"

namespace msglog {
namespace {

// The running helper: its hooks are in for as long as it runs. Asked to stop, it takes them
// off and ends on its own; nothing waits for it (hooks of a new log set meanwhile record
// nothing twice).
class CHelperHooks : public CInstalledHooks {
 public:
  CHelperHooks(platform::UniqueProcess helper, platform::UniqueHandle stop)
      : m_helper(std::move(helper)), m_stop(std::move(stop)) {}
  ~CHelperHooks() override { ::SetEvent(m_stop.get()); }

 private:
  platform::UniqueProcess m_helper;
  platform::UniqueHandle m_stop;
};

}  // namespace

std::string HelperFailureReason(DWORD exitCode) {
  const DWORD error = HookHelperError(exitCode);
  switch (HookHelperFailedStep(exitCode)) {
    case kHelperNoHookDll:
      return platform::Format("64 ビット用のフック QuorvelHook64.dll を読み込めませんでした (エラー %lu)。", error);
    case kHelperNoProcedure:
      return "QuorvelHook64.dll にフック関数がありません。";
    case kHelperHookRefused:
      return HookRefusalReason(error);
    default:
      return platform::Format("64 ビット用の補助プログラムが異常終了しました (終了コード 0x%08lx)。", exitCode);
  }
}

std::unique_ptr<CInstalledHooks> CHelperHookInstaller::Install(DWORD threadId, std::string* reason) {
  if (::GetFileAttributesW(m_helperPath.c_str()) == INVALID_FILE_ATTRIBUTES) {
    *reason = "64 ビットのプログラムを記録する補助プログラム QuorvelHookHelper64.exe が Quorvel.exe と同じフォルダーにありません。";
    return nullptr;
  }
  static std::atomic<unsigned> started{0};
  HookHelperArguments arguments;
  arguments.quorvelPid = ::GetCurrentProcessId();
  arguments.threadId = threadId;
  arguments.eventName = L"Local\\QuorvelHookHelper." + std::to_wstring(arguments.quorvelPid) + L"." +
                        std::to_wstring(++started);
  platform::UniqueHandle ready(::CreateEventW(nullptr, TRUE, FALSE, HookHelperReadyEvent(arguments.eventName).c_str()));
  platform::UniqueHandle stop(::CreateEventW(nullptr, TRUE, FALSE, HookHelperStopEvent(arguments.eventName).c_str()));
  DWORD error = ::GetLastError();
  platform::UniqueProcess helper;
  if (ready && stop) helper = platform::StartHelperProgram(m_helperPath, FormatHookHelperArguments(arguments), &error);
  if (!helper) {
    *reason = platform::Format("64 ビット用の補助プログラム QuorvelHookHelper64.exe を起動できませんでした (エラー %lu)。", error);
    return nullptr;
  }

  const HANDLE waits[] = {ready.get(), helper.get()};
  const DWORD woke = ::WaitForMultipleObjects(2, waits, FALSE, kReadyTimeoutMs);
  if (woke == WAIT_OBJECT_0) return std::make_unique<CHelperHooks>(std::move(helper), std::move(stop));
  DWORD exitCode = 0;
  if (woke == WAIT_OBJECT_0 + 1 && ::GetExitCodeProcess(helper.get(), &exitCode)) {
    *reason = HelperFailureReason(exitCode);
    return nullptr;
  }
  // Silent too long: it must not put hooks in later, behind a log that says it failed.
  ::TerminateProcess(helper.get(), 1);
  *reason = "64 ビット用の補助プログラムが応答しませんでした。";
  return nullptr;
}

}  // namespace msglog
