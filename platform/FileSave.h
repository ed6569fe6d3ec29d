// Saving a whole file so that a failure leaves neither a partial file nor a changed one, and the
// reason a user reads when a save fails. Pictures and lists are saved through these.
#pragma once
#include <windows.h>
#include <functional>
#include <string>

namespace platform {

// A failed save's reason for a system error code: the cause a user can act on (a full disk, a
// folder that refuses writing, a missing folder, a name the system rejects), otherwise the
// system's own text for the code.
std::string SaveFailureReason(DWORD code);

// Writes bytes to path: first to a temporary file in the same folder, which replaces path only
// when complete. Returns "" on success, otherwise the reason.
std::string WriteWholeFile(const std::wstring& path, const std::string& bytes);

// The same for a file made chunk by chunk, so it is never held whole: next(chunk) fills the
// chunk it is given (empty) and says whether more follow. stopped, when given, is asked after
// each chunk; when it says so the file is abandoned (path stays as it was) and the reason is
// kSaveStoppedReason.
std::string WriteFileInChunks(const std::wstring& path, const std::function<bool(std::string& chunk)>& next,
                              const std::function<bool()>& stopped = {});
extern const char kSaveStoppedReason[];

// The write of the file's bytes (WriteFile). Tests replace it to play a disk that fills up
// half-way; the previous one is returned, null restores the system's.
using FileWriteCall = BOOL(WINAPI*)(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped);
FileWriteCall SetFileWriteCall(FileWriteCall call);

}  // namespace platform
