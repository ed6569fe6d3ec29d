#include "mainlist/RowSearch.h"

namespace mainlist {

bool CRowSearch::Matches(const std::wstring& title, const std::wstring& className, const std::wstring& processName,
                         DWORD pid, HWND hwnd) const {
  if (m_search.Empty()) return true;
  return m_search.Contains(title) || m_search.Contains(className) || m_search.Contains(processName) ||
         m_search.ContainsNumber(pid) || m_search.MatchesHandle(hwnd);
}

}  // namespace mainlist
