#include "platform/HelperProgram.h"

namespace platform {

UniqueProcess StartHelperProgram(const std::wstring& path, const std::wstring& arguments, DWORD* error) {
  std::wstring commandLine = L"\"" + path + L"\" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process = {};
  if (!::CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    *error = ::GetLastError();
    return UniqueProcess();
  }
  ::CloseHandle(process.hThread);
  *error = 0;
  return UniqueProcess(process.hProcess);
}

}  // namespace platform
