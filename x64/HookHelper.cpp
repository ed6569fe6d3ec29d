// QuorvelHookHelper64.exe: installs the 64-bit hook DLL on a 64-bit program's thread for the
// 32-bit Quorvel (the protocol is in msglog/HookHelperProtocol.h). It shows no window; its hooks
// live as long as its thread, and it never outlives the Quorvel that started it.
#include <windows.h>

#include "msglog/HookHelperProtocol.h"
#include "msglog/hook/MessageRecord.h"
#include "platform/Handles.h"

namespace {

using msglog::HookHelperExitCode;

// The hook DLL in the helper's own folder.
std::wstring HookDllPath() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (!length || length >= MAX_PATH) return msglog::kHookDll64Name;
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L"\\/") + 1) + msglog::kHookDll64Name;
}

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

  platform::UniqueModule dll(LoadLibraryW(HookDllPath().c_str()));
  if (!dll) return HookHelperExitCode(msglog::kHelperNoHookDll, GetLastError());
  const struct {
    int kind;
    const char* procedure;
  } kinds[] = {{WH_CALLWNDPROC, msglog::kCallWndProcName},
               {WH_CALLWNDPROCRET, msglog::kCallWndProcRetName},
               {WH_GETMESSAGE, msglog::kGetMessageName}};
  platform::UniqueHook hooks[3];  // removed before the DLL is let go
  for (int i = 0; i < 3; ++i) {
    const auto procedure = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(dll.get(), kinds[i].procedure)));
    if (!procedure) return HookHelperExitCode(msglog::kHelperNoProcedure, GetLastError());
    hooks[i].reset(SetWindowsHookExW(kinds[i].kind, procedure, dll.get(), arguments.threadId));
    if (!hooks[i]) return HookHelperExitCode(msglog::kHelperHookRefused, GetLastError());
  }
  SetEvent(ready.get());
  WaitForStop(stop.get(), quorvel.get());
  return 0;
}
