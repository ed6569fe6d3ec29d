#include "mainlist/ListSearch.h"

void CListSearch::Attach(HWND dialog, int boxId) { m_box.Attach(dialog, boxId, kSearchTimerId); }

void CListSearch::BeginRefresh(HWND target) {
  m_search = mainlist::CRowSearch(m_box.Text());
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
