#include "platform/FileSave.h"

#include "platform/Format.h"
#include "platform/Handles.h"

namespace platform {

namespace {

FileWriteCall g_writeFile = ::WriteFile;

// The system's text for an error code, or the code itself.
std::string SystemText(DWORD code) {
  char* text = nullptr;
  DWORD length = ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string reason = length && text ? std::string(text, length) : std::string();
  if (text) ::LocalFree(text);
  while (!reason.empty() && (reason.back() == '\r' || reason.back() == '\n' || reason.back() == ' ')) reason.pop_back();
  if (reason.empty()) reason = FormatHex32(code);
  return reason;
}

}  // namespace

FileWriteCall SetFileWriteCall(FileWriteCall call) {
  const FileWriteCall old = g_writeFile;
  g_writeFile = call ? call : ::WriteFile;
  return old;
}

std::string SaveFailureReason(DWORD code) {
  switch (code) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return "ディスクの空き領域が足りません。";
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_SHARING_VIOLATION:
      return "このフォルダーには書き込めません（アクセスが拒否されました）。";
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DIRECTORY:  // what a missing folder gives when a file is to be made in it
      return "保存先のフォルダーが見つかりません。";
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
      return "このファイル名はシステムに受け付けられません。";
    default:
      return SystemText(code);
  }
}

const char kSaveStoppedReason[] = "保存を取りやめました。";

std::string WriteWholeFile(const std::wstring& path, const std::string& bytes) {
  return WriteFileInChunks(path, [&bytes](std::string& chunk) {
    chunk = bytes;
    return false;
  });
}

std::string WriteFileInChunks(const std::wstring& path, const std::function<bool(std::string& chunk)>& next,
                              const std::function<bool()>& stopped) {
  wchar_t full[MAX_PATH] = {};
  wchar_t* filePart = nullptr;
  DWORD length = ::GetFullPathNameW(path.c_str(), MAX_PATH, full, &filePart);
  if (length == 0 || length >= MAX_PATH || !filePart)
    return SaveFailureReason(length == 0 ? ::GetLastError() : ERROR_BAD_PATHNAME);
  const std::wstring folder(full, static_cast<size_t>(filePart - full));

  // GetTempFileNameW creates the file, so a folder that cannot be written fails here; a full
  // disk fails on the writing.
  wchar_t temporary[MAX_PATH] = {};
  if (!::GetTempFileNameW(folder.c_str(), L"qvl", 0, temporary)) return SaveFailureReason(::GetLastError());
  DWORD error = ERROR_SUCCESS;
  {
    UniqueHandle file(::CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
      file.release();
      error = ::GetLastError();
    } else {
      std::string chunk;
      for (bool more = true; more && error == ERROR_SUCCESS;) {
        chunk.clear();
        more = next(chunk);
        DWORD written = 0;
        if (stopped && stopped())
          error = ERROR_CANCELLED;
        else if (chunk.empty())
          continue;
        else if (!g_writeFile(file.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &written, nullptr))
          error = ::GetLastError();
        else if (written != chunk.size())
          error = ERROR_DISK_FULL;
      }
      if (error == ERROR_SUCCESS && !::FlushFileBuffers(file.get())) error = ::GetLastError();
    }
  }
  if (error != ERROR_SUCCESS) {
    ::DeleteFileW(temporary);
    return error == ERROR_CANCELLED ? std::string(kSaveStoppedReason) : SaveFailureReason(error);
  }
  if (!::MoveFileExW(temporary, full, MOVEFILE_REPLACE_EXISTING)) {
    error = ::GetLastError();
    ::DeleteFileW(temporary);
    return SaveFailureReason(error);
  }
  return std::string();
}

}  // namespace platform
