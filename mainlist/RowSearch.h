// The search box's narrowing of the window list: which rows contain the typed text.
#pragma once
#include <windows.h>
#include <string>

#include "platform/TextSearch.h"

namespace mainlist {

// The typed text, prepared once for every row of a refresh.
class CRowSearch {
 public:
  CRowSearch() = default;
  explicit CRowSearch(const std::wstring& typed) : m_search(typed) {}
  bool Empty() const { return m_search.Empty(); }
  // Whether the row's title, its window's class name, process name, process id (decimal) or
  // handle (hexadecimal digits, with or without "0x", with or without the leading zeros)
  // contains the typed text, case aside as the system compares Unicode text. An empty search
  // lets every row through.
  bool Matches(const std::wstring& title, const std::wstring& className, const std::wstring& processName, DWORD pid,
               HWND hwnd) const;

 private:
  platform::CTextSearch m_search;
};

}  // namespace mainlist
