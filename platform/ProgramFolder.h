// Files beside the running program (Quorvel.exe, or the 64-bit helper beside it). Header only,
// so the 64-bit helper, which links nothing of platform/, shares it.
#pragma once
#include <windows.h>

#include <string>

namespace platform {

// The running program's full path; "" when the system gives none. A path longer than the
// buffer comes back cut and without its end, so the buffer grows until the whole path fits.
inline std::wstring ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (length == 0) return std::wstring();
    if (length < path.size()) return path.substr(0, length);
    if (path.size() >= 32768) return std::wstring();  // no path is longer
    path.resize(path.size() * 2);
  }
}

// The path of a file in the running program's folder; "" when the program's path is unknown,
// so nothing is looked up in whatever the current folder happens to be.
inline std::wstring PathBesideProgram(const wchar_t* fileName) {
  const std::wstring program = ProgramPath();
  const size_t slash = program.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return std::wstring();
  return program.substr(0, slash + 1) + fileName;
}

}  // namespace platform
