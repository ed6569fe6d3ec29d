#include "platform/ProcessBits.h"

#include "platform/Handles.h"
#include "platform/LateBound.h"

namespace platform {

std::optional<bool> IsSixtyFourBitProcess(DWORD pid) {
  BOOL self = FALSE;
  // A 32-bit system (no IsWow64Process, or this process not under WoW64) runs no 64-bit programs.
  if (!CallLateBound<BOOL>("kernel32.dll", "IsWow64Process", ::GetCurrentProcess(), &self) || !self) return false;
  UniqueProcess process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  BOOL target = TRUE;
  if (!process || !CallLateBound<BOOL>("kernel32.dll", "IsWow64Process", process.get(), &target)) return std::nullopt;
  return !target;
}

}  // namespace platform
