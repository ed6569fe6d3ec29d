// A search box that applies what is typed once the keys pause: the cue "検索" while it is
// empty, a timer of the dialog restarted by every change, Escape's emptying, and its text.
#pragma once
#include <windows.h>

#include <string>

namespace platform {

// How long the keys must pause before a search applies.
constexpr UINT kSearchPauseMs = 200;

class CSearchBox {
 public:
  // The box with the id in the dialog; timerId is the dialog's timer for the pause.
  void Attach(HWND dialog, int boxId, UINT_PTR timerId);
  HWND Box() const { return m_hBox; }
  UINT_PTR TimerId() const { return m_timerId; }
  // A key changed the box: the search applies once the keys pause.
  void OnChange() const;
  // The pause's timer, or Enter: true when a search was waiting to apply.
  bool OnTimer() const;
  // Empties the box at once; true when it held text.
  bool Clear() const;
  std::wstring Text() const;

 private:
  HWND m_hDialog = nullptr;
  HWND m_hBox = nullptr;
  UINT_PTR m_timerId = 0;
};

}  // namespace platform
