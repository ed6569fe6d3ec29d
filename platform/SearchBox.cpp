#include "platform/SearchBox.h"

#include <commctrl.h>

namespace platform {

void CSearchBox::Attach(HWND dialog, int boxId, UINT_PTR timerId) {
  m_hDialog = dialog;
  m_hBox = ::GetDlgItem(dialog, boxId);
  m_timerId = timerId;
  // Shown while the box is empty, also while it has the focus.
  ::SendMessageW(m_hBox, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(L"検索"));
}

void CSearchBox::OnChange() const { ::SetTimer(m_hDialog, m_timerId, kSearchPauseMs, nullptr); }

bool CSearchBox::OnTimer() const { return ::KillTimer(m_hDialog, m_timerId) != FALSE; }

bool CSearchBox::Clear() const {
  const bool held = ::GetWindowTextLengthW(m_hBox) > 0;
  ::SetWindowTextW(m_hBox, L"");
  ::KillTimer(m_hDialog, m_timerId);
  return held;
}

std::wstring CSearchBox::Text() const {
  std::wstring typed(static_cast<size_t>(::GetWindowTextLengthW(m_hBox)) + 1, L'\0');
  typed.resize(static_cast<size_t>(::GetWindowTextW(m_hBox, &typed[0], static_cast<int>(typed.size()))));
  return typed;
}

}  // namespace platform
