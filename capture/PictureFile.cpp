#include "capture/PictureFile.h"

#include <wincodec.h>

#include <cctype>
#include <cstring>

#include "platform/Com.h"
#include "platform/FileSave.h"

namespace capture {


namespace {

constexpr size_t kMaxNameBytes = 200;
const char kFallbackName[] = "capture";

// Length of the name's part before its first dot when that part, blanks at its end aside, is
// one the system reserves for a device ("CON", "nul.txt"); 0 otherwise.
size_t ReservedDeviceNameLength(const std::string& name) {
  std::string base = name.substr(0, name.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (char& c : base) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  static const char* const kReserved[] = {"CON", "PRN", "AUX", "NUL"};
  for (const char* reserved : kReserved)
    if (base == reserved) return base.size();
  bool numbered = base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
                  base[3] >= '1' && base[3] <= '9';
  return numbered ? base.size() : 0;
}

bool EndsWithNoCase(const std::string& text, const char* suffix) {
  const size_t length = std::strlen(suffix);
  return text.size() >= length && lstrcmpiA(text.c_str() + text.size() - length, suffix) == 0;
}

// The path as the system's wide calls take it.
std::wstring WidePath(const std::string& path) {
  const int length = ::MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  if (length > 0) ::MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), &wide[0], length);
  return wide;
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

std::string ProposedFileName(const std::string& title) {
  std::string name;
  for (size_t i = 0; i < title.size();) {
    const unsigned char c = static_cast<unsigned char>(title[i]);
    const size_t length = ::IsDBCSLeadByte(c) && i + 1 < title.size() ? 2 : 1;
    if (name.size() + length > kMaxNameBytes) break;
    if (length == 2) {
      name.append(title, i, 2);  // a trail byte may be '\\' or '|' and is part of the character
    } else if (c < 0x20 || std::strchr("\\/:*?\"<>|", c)) {
      name += '_';
    } else {
      name += static_cast<char>(c);
    }
    i += length;
  }
  while (!name.empty() && (name.back() == ' ' || name.back() == '.')) name.pop_back();
  if (name.empty()) return kFallbackName;
  if (size_t reserved = ReservedDeviceNameLength(name)) name.insert(reserved, 1, '_');
  return name;
}

PictureFormat ChosenFormat(const std::string& path, DWORD filterIndex) {
  if (EndsWithNoCase(path, ".png")) return PictureFormat::Png;
  if (EndsWithNoCase(path, ".bmp")) return PictureFormat::Bmp;
  return filterIndex == kBmpFilterIndex ? PictureFormat::Bmp : PictureFormat::Png;
}

std::string WritePictureFile(HBITMAP bitmap, const std::string& path, PictureFormat format) {
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
  return platform::WriteWholeFile(WidePath(path), bytes);
}

}  // namespace capture
