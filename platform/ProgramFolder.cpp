#include "platform/ProgramFolder.h"

#include <windows.h>

namespace platform {

std::wstring PathBesideProgram(const wchar_t* fileName) {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  const size_t slash = folder.find_last_of(L"\\/");
  folder.resize(slash == std::wstring::npos ? 0 : slash + 1);
  return folder + fileName;
}

}  // namespace platform
