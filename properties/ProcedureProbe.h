// Reads a window's procedure and its class's inside the window's program: the probe hook of
// QuorvelHook.dll is set on the window's thread, asked once through shared memory and taken off
// again. A 64-bit program gets the 64-bit hook from the helper QuorvelProbeHelper64.exe, which
// also reads its modules and command line; a helper that fails says which step did. Nothing
// here waits: Poll is called on a timer and answers at once, and a thread that does not run the
// hook within ProbeLimitMs is reported as not answering. Dropping the probe withdraws the
// question: the helper takes its hook off at once.
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "msglog/hook/WindowProbe.h"
#include "platform/Handles.h"
#include "properties/WindowFacts.h"

namespace properties {

constexpr DWORD kProbeLimitMs = 1500;
// How long a probe may go unanswered: a 64-bit program's also has the helper's time to start.
DWORD ProbeLimitMs(bool sixtyFourBit);

// The probe's answer as the hook (and, withHelper, the 64-bit helper) wrote it in the shared
// memory: another program's writing, each count read once and bounded.
ProcedureFacts ReadProbeAnswer(const msglog::ProbeMemory& memory, bool withHelper);

class CProcedureProbe {
 public:
  explicit CProcedureProbe(HWND window);
  CProcedureProbe(const CProcedureProbe&) = delete;
  CProcedureProbe& operator=(const CProcedureProbe&) = delete;
  ~CProcedureProbe();

  // The answer (or why there is none) once there is one; none while the question is open.
  // The hook is off again as soon as an answer is given.
  std::optional<ProcedureFacts> Poll();

 private:
  bool Ask(std::string* reason);
  bool StartHelper(std::string* reason);
  void TakeOff();
  std::optional<ProcedureFacts> NotRead(const std::string& reason);

  HWND m_hWindow;
  DWORD m_dwThreadId = 0;
  DWORD m_dwPid = 0;
  uint64_t m_start = 0;
  bool m_bSixtyFourBit = false;
  bool m_bDone = false;
  platform::UniqueHandle m_mapping;
  platform::UniqueMappedView m_view;
  platform::UniqueModule m_module;
  platform::UniqueHook m_hook;
  platform::UniqueProcess m_helper;
};

}  // namespace properties
