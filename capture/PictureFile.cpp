#include "capture/PictureFile.h"

#include <wincodec.h>

#include <cwchar>

#include "platform/Com.h"
#include "platform/Format.h"
#include "platform/Handles.h"

namespace capture {


namespace {

constexpr size_t kMaxNameCharacters = 200;
FileWriteCall g_writeFile = ::WriteFile;
const wchar_t kFallbackName[] = L"capture";

// Length of the name's part before its first dot when that part, blanks at its end aside, is
// one the system reserves for a device ("CON", "nul.txt"); 0 otherwise.
size_t ReservedDeviceNameLength(const std::wstring& name) {
  std::wstring base = name.substr(0, name.find(L'.'));
  while (!base.empty() && base.back() == L' ') base.pop_back();
  for (wchar_t& c : base)
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  static const wchar_t* const kReserved[] = {L"CON", L"PRN", L"AUX", L"NUL"};
  for (const wchar_t* reserved : kReserved)
    if (base == reserved) return base.size();
  bool numbered = base.size() == 4 && (base.compare(0, 3, L"COM") == 0 || base.compare(0, 3, L"LPT") == 0) &&
                  base[3] >= L'1' && base[3] <= L'9';
  return numbered ? base.size() : 0;
}

bool EndsWithNoCase(const std::wstring& text, const wchar_t* suffix) {
  const size_t length = std::wcslen(suffix);
  return text.size() >= length && lstrcmpiW(text.c_str() + text.size() - length, suffix) == 0;
}

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

// The system's text for an error code, or the code itself.
std::string SystemText(DWORD code) {
  char* text = nullptr;
  DWORD length = ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string reason = length && text ? std::string(text, length) : std::string();
  if (text) ::LocalFree(text);
  while (!reason.empty() && (reason.back() == '\r' || reason.back() == '\n' || reason.back() == ' ')) reason.pop_back();
  if (reason.empty()) reason = platform::FormatHex32(code);
  return reason;
}

// Encodes the bitmap into the stream (in memory: the file itself is written with the system's
// file calls, whose errors say what went wrong).
HRESULT Encode(HBITMAP bitmap, IStream* stream, PictureFormat format) {
  platform::CComRef<IWICImagingFactory> factory;
  HRESULT hr = ::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  factory.OutVoid());
  if (FAILED(hr)) return hr;
  platform::CComRef<IWICBitmap> source;
  if (FAILED(hr = factory->CreateBitmapFromHBITMAP(bitmap, nullptr, WICBitmapIgnoreAlpha, source.Out()))) return hr;
  UINT width = 0;
  UINT height = 0;
  if (FAILED(hr = source->GetSize(&width, &height))) return hr;
  // Both formats take 24-bit colour everywhere; the screen's own format may carry an unused byte.
  platform::CComRef<IWICFormatConverter> converter;
  if (FAILED(hr = factory->CreateFormatConverter(converter.Out()))) return hr;
  if (FAILED(hr = converter->Initialize(source.Get(), GUID_WICPixelFormat24bppBGR, WICBitmapDitherTypeNone, nullptr,
                                        0.0, WICBitmapPaletteTypeCustom)))
    return hr;

  platform::CComRef<IWICBitmapEncoder> encoder;
  const GUID& container = format == PictureFormat::Png ? GUID_ContainerFormatPng : GUID_ContainerFormatBmp;
  if (FAILED(hr = factory->CreateEncoder(container, nullptr, encoder.Out()))) return hr;
  if (FAILED(hr = encoder->Initialize(stream, WICBitmapEncoderNoCache))) return hr;
  platform::CComRef<IWICBitmapFrameEncode> frame;
  platform::CComRef<IPropertyBag2> options;
  if (FAILED(hr = encoder->CreateNewFrame(frame.Out(), options.Out()))) return hr;
  if (FAILED(hr = frame->Initialize(options.Get()))) return hr;
  if (FAILED(hr = frame->SetSize(width, height))) return hr;
  WICPixelFormatGUID pixelFormat = GUID_WICPixelFormat24bppBGR;
  if (FAILED(hr = frame->SetPixelFormat(&pixelFormat))) return hr;
  if (FAILED(hr = frame->WriteSource(converter.Get(), nullptr))) return hr;
  if (FAILED(hr = frame->Commit())) return hr;
  return encoder->Commit();
}

}  // namespace

std::wstring ProposedFileName(const std::wstring& title) {
  std::wstring name;
  for (size_t i = 0; i < title.size();) {
    const wchar_t c = title[i];
    const size_t length = IsHighSurrogate(c) && i + 1 < title.size() ? 2 : 1;
    if (name.size() + length > kMaxNameCharacters) break;
    if (length == 2)
      name.append(title, i, 2);
    else if (c < 0x20 || std::wcschr(L"\\/:*?\"<>|", c))
      name += L'_';
    else
      name += c;
    i += length;
  }
  while (!name.empty() && (name.back() == L' ' || name.back() == L'.')) name.pop_back();
  if (name.empty()) return kFallbackName;
  if (size_t reserved = ReservedDeviceNameLength(name)) name.insert(reserved, 1, L'_');
  return name;
}

PictureFormat ChosenFormat(const std::wstring& path, DWORD filterIndex) {
  if (EndsWithNoCase(path, L".png")) return PictureFormat::Png;
  if (EndsWithNoCase(path, L".bmp")) return PictureFormat::Bmp;
  return filterIndex == kBmpFilterIndex ? PictureFormat::Bmp : PictureFormat::Png;
}

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

std::string WritePictureFile(HBITMAP bitmap, const std::wstring& path, PictureFormat format) {
  wchar_t full[MAX_PATH] = {};
  wchar_t* filePart = nullptr;
  DWORD length = ::GetFullPathNameW(path.c_str(), MAX_PATH, full, &filePart);
  if (length == 0 || length >= MAX_PATH || !filePart)
    return SaveFailureReason(length == 0 ? ::GetLastError() : ERROR_BAD_PATHNAME);
  const std::wstring folder(full, static_cast<size_t>(filePart - full));

  // The picture first goes to memory, so the file holds either all of it or nothing.
  std::string bytes;
  {
    platform::CComScope com;
    platform::CComRef<IStream> memory;
    HRESULT hr = ::CreateStreamOnHGlobal(nullptr, TRUE, memory.Out());
    if (SUCCEEDED(hr)) hr = Encode(bitmap, memory.Get(), format);
    ULARGE_INTEGER size{};
    if (SUCCEEDED(hr)) hr = memory->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &size);
    if (SUCCEEDED(hr) && size.QuadPart > 0x7fffffff) hr = E_OUTOFMEMORY;
    if (SUCCEEDED(hr)) {
      bytes.resize(static_cast<size_t>(size.QuadPart));
      ULONG read = 0;
      hr = memory->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
      if (SUCCEEDED(hr) && !bytes.empty()) hr = memory->Read(&bytes[0], static_cast<ULONG>(bytes.size()), &read);
      if (SUCCEEDED(hr) && read != bytes.size()) hr = E_FAIL;
    }
    if (FAILED(hr)) return SaveFailureReason(HRESULT_FACILITY(hr) == FACILITY_WIN32 ? HRESULT_CODE(hr) : static_cast<DWORD>(hr));
  }

  // GetTempFileNameW creates the file, so a folder that cannot be written fails here; a full
  // disk fails on the writing.
  wchar_t temporary[MAX_PATH] = {};
  if (!::GetTempFileNameW(folder.c_str(), L"qvl", 0, temporary)) return SaveFailureReason(::GetLastError());
  DWORD error = ERROR_SUCCESS;
  {
    platform::UniqueHandle file(::CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
      file.release();
      error = ::GetLastError();
    } else {
      DWORD written = 0;
      if (!g_writeFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        error = ::GetLastError();
      else if (written != bytes.size())
        error = ERROR_DISK_FULL;
      else if (!::FlushFileBuffers(file.get()))
        error = ::GetLastError();
    }
  }
  if (error != ERROR_SUCCESS) {
    ::DeleteFileW(temporary);
    return SaveFailureReason(error);
  }
  if (!::MoveFileExW(temporary, full, MOVEFILE_REPLACE_EXISTING)) {
    error = ::GetLastError();
    ::DeleteFileW(temporary);
    return SaveFailureReason(error);
  }
  return std::string();
}

}  // namespace capture
