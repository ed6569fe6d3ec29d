// QuorvelProbeHelper64.exe: asks the window probe for 32-bit Quorvel on a 64-bit program's
// thread (the protocol is in WindowProbe.h). It writes what a 64-bit process can read of
// another from outside (the modules, the command line), sets the probe hook, nudges the window
// with a posted WM_NULL (again every few milliseconds: the hook looks its question up no more
// often than that) and takes the hook off again once the probe has answered, Quorvel has
// withdrawn the question or is gone, or the time is up. It shows no window, and ends with the
// log's helper's step codes (msglog/HookHelperProtocol.h). Built with the 64-bit hook DLL.
#include <windows.h>

#include <cwchar>

#include "msglog/HookHelperProtocol.h"
#include "msglog/hook/MessageRecord.h"
#include "msglog/hook/WindowProbe.h"
#include "platform/Handles.h"
#include "platform/ProgramFolder.h"
#include "properties/ProcessFacts.h"

namespace {

void CopyText(uint16_t* to, size_t capacity, const std::wstring& text) {
  size_t i = 0;
  for (; i < text.size() && i < capacity; ++i) to[i] = text[i];
  if (i < capacity) to[i] = 0;
}

void WriteOutsideFacts(msglog::ProbeHelperAnswer& answer, DWORD pid) {
  uint32_t count = 0;
  for (const properties::ModuleRange& module : properties::ProcessModules(pid)) {
    if (count == msglog::kMaxProbeModules) break;
    msglog::ProbeModule& out = answer.modules[count++];
    out.base = module.base;
    out.size = module.size;
    CopyText(out.name, msglog::kProbeModuleNameChars, module.name);
  }
  answer.moduleCount = count;
  std::string reason;
  const std::optional<std::wstring> line = properties::ProcessCommandLine(pid, false, &reason);
  answer.commandLineChars = msglog::kNoCommandLine;
  if (line) {
    CopyText(answer.commandLine, msglog::kProbeCommandLineChars, *line);
    answer.commandLineChars = static_cast<uint32_t>(std::min<size_t>(line->size(), msglog::kProbeCommandLineChars));
  }
  answer.written.store(1, std::memory_order_release);
}

int Failed(msglog::HookHelperStep step, DWORD error) { return static_cast<int>(msglog::HookHelperExitCode(step, error)); }

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  unsigned long quorvelPid = 0, threadId = 0;
  if (!commandLine || std::swscanf(commandLine, L"%lu %lu", &quorvelPid, &threadId) != 2 || !threadId)
    return Failed(msglog::kHelperBadArguments, ERROR_INVALID_PARAMETER);
  platform::UniqueProcess quorvel(OpenProcess(SYNCHRONIZE, FALSE, quorvelPid));
  wchar_t name[64];
  msglog::ProbeMemoryName(name, threadId);
  platform::UniqueHandle mapping(OpenFileMappingW(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, name));
  if (!quorvel || !mapping) return Failed(msglog::kHelperNoQuorvel, GetLastError());
  platform::UniqueMappedView view(MapViewOfFile(mapping.get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(msglog::ProbeMemory)));
  if (!view) return Failed(msglog::kHelperNoQuorvel, GetLastError());
  auto* memory = static_cast<msglog::ProbeMemory*>(view.get());
  if (memory->probe.magic != msglog::kProbeMagic) return Failed(msglog::kHelperBadArguments, ERROR_INVALID_DATA);
  const HWND window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(memory->probe.window));
  DWORD pid = 0;
  if (GetWindowThreadProcessId(window, &pid) != threadId) return Failed(msglog::kHelperBadArguments, ERROR_INVALID_WINDOW_HANDLE);
  WriteOutsideFacts(memory->helper, pid);

  platform::UniqueModule dll(LoadLibraryW(platform::PathBesideProgram(msglog::kHookDll64Name).c_str()));
  if (!dll) return Failed(msglog::kHelperNoHookDll, GetLastError());
  const auto procedure = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(dll.get(), msglog::kWindowProbeName)));
  if (!procedure) return Failed(msglog::kHelperNoProcedure, GetLastError());
  platform::UniqueHook hook(SetWindowsHookExW(WH_GETMESSAGE, procedure, dll.get(), threadId));
  if (!hook) return Failed(msglog::kHelperHookRefused, GetLastError());
  const ULONGLONG start = GetTickCount64();
  HANDLE quorvelProcess = quorvel.get();
  // Until answered or withdrawn: any other state ends the wait, and the hook comes off.
  while (memory->probe.state.load(std::memory_order_acquire) == msglog::kProbeAsked &&
         GetTickCount64() - start < msglog::kProbeHelperLimitMs) {
    PostMessageW(window, WM_NULL, 0, 0);
    if (MsgWaitForMultipleObjects(1, &quorvelProcess, FALSE, 20, QS_ALLINPUT) == WAIT_OBJECT_0) break;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  return 0;
}
