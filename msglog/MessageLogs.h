// The open message logs: one per logged window. Opening the log of a window already logged
// brings its dialog to the front.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "msglog/MessageLogDlg.h"

namespace msglog {

class CMessageLogs {
 public:
  // Opens (or brings to the front) the log of the window, owned by owner; nothing for a window
  // that is not there.
  void Open(HWND owner, HWND window);
  // Ends every log: hooks off, dialogs gone.
  void CloseAll() { m_logs.clear(); }
  // The open log of the window, or null.
  CMessageLogDlg* Find(HWND window) const;

 private:
  std::vector<std::unique_ptr<CMessageLogDlg>> m_logs;
};

}  // namespace msglog
