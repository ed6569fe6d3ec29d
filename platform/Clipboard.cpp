#include "platform/Clipboard.h"

#include <cstring>

namespace platform {

namespace {
constexpr DWORD kRetryMs = 500;
constexpr DWORD kRetryStepMs = 20;
}  // namespace

CClipboardOpen::CClipboardOpen(HWND owner) {
  const DWORD start = ::GetTickCount();
  while (!(m_bOpen = ::OpenClipboard(owner) != FALSE) && ::GetTickCount() - start < kRetryMs) ::Sleep(kRetryStepMs);
}

CClipboardOpen::~CClipboardOpen() {
  if (m_bOpen) ::CloseClipboard();
}

bool CopyTextToClipboard(HWND owner, const std::wstring& text) {
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
  void* data = memory ? ::GlobalLock(memory) : nullptr;
  if (!data) {
    if (memory) ::GlobalFree(memory);
    return true;  // out of memory: the clipboard was not the cause
  }
  std::memcpy(data, text.c_str(), bytes);
  ::GlobalUnlock(memory);
  CClipboardOpen clipboard(owner);
  // The system owns the memory once it has taken it.
  if (clipboard.IsOpen() && ::EmptyClipboard() && ::SetClipboardData(CF_UNICODETEXT, memory)) return true;
  ::GlobalFree(memory);
  return clipboard.IsOpen();
}

}  // namespace platform
