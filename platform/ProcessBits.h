// Whether a process is a 64-bit program, which this 32-bit one reaches only from outside.
#pragma once
#include <windows.h>

#include <optional>

namespace platform {

// True for a 64-bit program (not WoW64 on a 64-bit system), false for a 32-bit one; none when
// the process cannot be asked.
std::optional<bool> IsSixtyFourBitProcess(DWORD pid);

}  // namespace platform
