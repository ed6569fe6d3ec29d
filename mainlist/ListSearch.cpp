#include "mainlist/ListSearch.h"

#include <commctrl.h>


void CListSearch::Attach(HWND dialog, int boxId) {
  m_hDialog = dialog;
  m_hBox = ::GetDlgItem(dialog, boxId);
  // Shown while the box is empty, also while it has the focus.
  ::SendMessageW(m_hBox, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(L"検索"));
}

void CListSearch::OnChange() const { ::SetTimer(m_hDialog, kSearchTimerId, kSearchDelayMs, nullptr); }

bool CListSearch::OnTimer() const { return ::KillTimer(m_hDialog, kSearchTimerId) != FALSE; }

bool CListSearch::Clear() const {
  const bool held = ::GetWindowTextLengthW(m_hBox) > 0;
  ::SetWindowTextW(m_hBox, L"");
  ::KillTimer(m_hDialog, kSearchTimerId);
  return held;
}

void CListSearch::BeginRefresh(HWND target) {
  std::wstring typed(static_cast<size_t>(::GetWindowTextLengthW(m_hBox)) + 1, L'\0');
  typed.resize(static_cast<size_t>(::GetWindowTextW(m_hBox, &typed[0], static_cast<int>(typed.size()))));
  m_search = mainlist::CRowSearch(typed);
  m_hTarget = target;
  m_hHidden = nullptr;
}

bool CListSearch::Admits(const std::wstring& title, const std::wstring& processName, DWORD pid, HWND hwnd) {
  if (m_search.Empty()) return true;
  // GetClassNameW does not wait for the window's program.
  wchar_t className[256] = {};
  ::GetClassNameW(hwnd, className, 256);
  if (m_search.Matches(title, className, processName, pid, hwnd)) return true;
  if (hwnd == m_hTarget) m_hHidden = hwnd;
  return false;
}
