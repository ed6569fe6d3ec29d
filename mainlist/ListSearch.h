// The main dialog's search box: what it holds narrows the window list, together with the two
// filter boxes, at every refresh. The target stays the target while the search hides its row,
// and its row is selected again when the search lets it back.
#pragma once
#include <windows.h>

#include <string>

#include "mainlist/RowSearch.h"
#include "platform/SearchBox.h"

// Timer of the dialog that narrows the list once the keys pause.
constexpr UINT_PTR kSearchTimerId = 106;

class CListSearch {
 public:
  // Gives the box its cue text.
  void Attach(HWND dialog, int boxId);
  HWND Box() const { return m_box.Box(); }
  // A key changed the box: the list is narrowed once the keys pause.
  void OnChange() const { m_box.OnChange(); }
  // The pause's timer; true when the list is to be narrowed now.
  bool OnTimer() const { return m_box.OnTimer(); }
  // Empties the box at once; true when it held text.
  bool Clear() const { return m_box.Clear(); }

  // At the start of a refresh: takes the box's text, and the target whose row is looked for.
  void BeginRefresh(HWND target);
  // Whether a row that passed the filter boxes is listed (texts as the list shows them; the
  // window's class name is read only while the box holds text).
  bool Admits(const std::wstring& title, const std::wstring& processName, DWORD pid, HWND hwnd);
  // After the refresh: the target the search hid, or null. Looked for again at the next one.
  HWND HiddenTarget() const { return m_hHidden; }
  // Makes a window the target looked for at the next refresh, as if the search had hidden it.
  void KeepTarget(HWND target) { m_hHidden = target; }

 private:
  platform::CSearchBox m_box;
  mainlist::CRowSearch m_search;
  HWND m_hTarget = nullptr;
  HWND m_hHidden = nullptr;
};
