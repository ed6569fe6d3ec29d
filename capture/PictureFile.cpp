#include "capture/PictureFile.h"

#include <wincodec.h>

#include <cwchar>

#include "platform/Com.h"
#include "platform/FileSave.h"
#include "platform/WideText.h"

namespace capture {

namespace {

constexpr size_t kMaxNameCharacters = 200;
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

std::string WritePictureFile(HBITMAP bitmap, const std::wstring& path, PictureFormat format) {
  using platform::SaveFailureReason;
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
  return platform::WriteWholeFile(path, bytes);
}

}  // namespace capture
