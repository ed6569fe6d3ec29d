#include "msglog/MessageLogs.h"

#include <algorithm>

#include "platform/Target.h"

namespace msglog {

CMessageLogDlg* CMessageLogs::Find(HWND window) const {
  for (const auto& log : m_logs)
    if (log->Logged() == window && !log->Closed()) return log.get();
  return nullptr;
}

void CMessageLogs::Open(HWND owner, HWND window) {
  if (!platform::IsLiveTarget(window) || !window) return;
  // Logs the user closed have taken their hooks off already; their dialogs go now.
  m_logs.erase(std::remove_if(m_logs.begin(), m_logs.end(), [](const auto& log) { return log->Closed(); }), m_logs.end());
  if (CMessageLogDlg* open = Find(window)) {
    if (::IsIconic(open->GetSafeHwnd())) open->ShowWindow(SW_RESTORE);
    open->ShowWindow(SW_SHOW);
    ::SetForegroundWindow(open->GetSafeHwnd());
    return;
  }
  auto log = std::make_unique<CMessageLogDlg>(window);
  if (log->Open(owner, static_cast<int>(m_logs.size()))) m_logs.push_back(std::move(log));
}

}  // namespace msglog
