// Saving a whole file so that a failure leaves neither a partial file nor a changed one, and the
// reason a user reads when a save fails. Pictures and lists are saved through these.
#pragma once
#include <windows.h>
#include <string>

namespace platform {

// A failed save's reason for a system error code: the cause a user can act on (a full disk, a
// folder that refuses writing, a missing folder, a name the system rejects), otherwise the
// system's own text for the code.
std::string SaveFailureReason(DWORD code);

// Writes bytes to path: first to a temporary file in the same folder, which replaces path only
// when complete. Returns "" on success, otherwise the reason.
std::string WriteWholeFile(const std::wstring& path, const std::string& bytes);

}  // namespace platform
