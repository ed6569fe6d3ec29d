// The clipboard, opened for a window of ours. Another program that holds it usually lets go
// within moments, so opening tries again for a short while before it gives up.
#pragma once
#include <windows.h>
#include <string>

namespace platform {

// What the user is told when the clipboard stayed held.
inline constexpr char kClipboardBusyMessage[] = "クリップボードは他のプログラムが使用中です。";

class CClipboardOpen {
 public:
  // Tries for 500 ms.
  explicit CClipboardOpen(HWND owner);
  ~CClipboardOpen();
  CClipboardOpen(const CClipboardOpen&) = delete;
  CClipboardOpen& operator=(const CClipboardOpen&) = delete;
  bool IsOpen() const { return m_bOpen; }

 private:
  bool m_bOpen = false;
};

// Replaces the clipboard's content with the text (Unicode text); false when another program
// held the clipboard throughout.
bool CopyTextToClipboard(HWND owner, const std::wstring& text);

}  // namespace platform
