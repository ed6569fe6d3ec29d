// QuorvelHookHelper64.exe: installs the 64-bit hook DLL on a 64-bit program's thread for the
// 32-bit Quorvel (the protocol is in msglog/HookHelperProtocol.h). It shows no window; its hooks
// live as long as its thread, and it never outlives the Quorvel that started it.
#include <windows.h>

#include "msglog/HookHelperProtocol.h"
#include "msglog/HookSetting.h"
#include "msglog/hook/MessageRecord.h"
#include "platform/Handles.h"
#include "platform/ProgramFolder.h"

namespace {

using msglog::HookHelperExitCode;

// Waits for the stop event or Quorvel's end, answering whatever the system sends the thread.
void WaitForStop(HANDLE stop, HANDLE quorvel) {
  const HANDLE waits[] = {stop, quorvel};
  for (;;) {
    const DWORD woke = MsgWaitForMultipleObjects(2, waits, FALSE, INFINITE, QS_ALLINPUT);
    if (woke != WAIT_OBJECT_0 + 2) return;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  msglog::HookHelperArguments arguments;
  if (!msglog::ParseHookHelperArguments(commandLine, &arguments))
    return HookHelperExitCode(msglog::kHelperBadArguments, ERROR_INVALID_PARAMETER);

  platform::UniqueProcess quorvel(OpenProcess(SYNCHRONIZE, FALSE, arguments.quorvelPid));
  platform::UniqueHandle ready(OpenEventW(EVENT_MODIFY_STATE, FALSE, msglog::HookHelperReadyEvent(arguments.eventName).c_str()));
  platform::UniqueHandle stop(OpenEventW(SYNCHRONIZE, FALSE, msglog::HookHelperStopEvent(arguments.eventName).c_str()));
  if (!quorvel || !ready || !stop) return HookHelperExitCode(msglog::kHelperNoQuorvel, GetLastError());

  platform::UniqueModule dll(LoadLibraryW(platform::PathBesideProgram(msglog::kHookDll64Name).c_str()));
  if (!dll) return HookHelperExitCode(msglog::kHelperNoHookDll, GetLastError());
  platform::UniqueHook hooks[3];  // removed before the DLL is let go
  DWORD error = 0;
  switch (msglog::SetMessageHooks(dll.get(), arguments.threadId, hooks, &error)) {
    case msglog::HookSetting::kSet:
      break;
    case msglog::HookSetting::kNoProcedure:
      return HookHelperExitCode(msglog::kHelperNoProcedure, error);
    case msglog::HookSetting::kRefused:
      return HookHelperExitCode(msglog::kHelperHookRefused, error);
  }
  SetEvent(ready.get());
  WaitForStop(stop.get(), quorvel.get());
  return 0;
}
