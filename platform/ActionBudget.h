// The time one user action may spend waiting on other programs. A click or a tick runs as one
// action: every wait on another program's window inside it (a bounded send, a call handed to a
// window thread's worker) draws on the same budget, so a target whose windows each answer just
// inside their own bound still cannot hold Quorvel for longer than the budget. Once it is spent,
// sends are not made at all (readers fall back to what the system keeps, such as the window's
// own text as GetWindowText reads it) and calls go to the worker without being waited for.
//
// The dialog framework opens a budget around every message it hands to a handler, unless one is
// already open on the thread (a message sent to Quorvel's own windows inside a handler belongs
// to the same action). Only time spent waiting counts; a nested message loop that waits for the
// user pauses the budget (CActionBudgetPause).
#pragma once
#include <windows.h>

namespace platform {

// What one action may wait for in all; leaves the rest of a second for Quorvel's own work.
constexpr DWORD kActionBudgetMs = 800;

class CActionBudget {
 public:
  // Opens a budget on this thread unless one is open already (then this one does nothing).
  explicit CActionBudget(DWORD budgetMs = kActionBudgetMs);
  ~CActionBudget();
  CActionBudget(const CActionBudget&) = delete;
  CActionBudget& operator=(const CActionBudget&) = delete;

  // The longest a wait wanting wantedMs may take now: wantedMs without an open budget.
  static DWORD Bound(DWORD wantedMs);
  // Charges a wait that took elapsedMs to the open budget, if any.
  static void Charge(DWORD elapsedMs);
  // True when an open budget has nothing left.
  static bool Spent();

 private:
  bool m_bOpened = false;
};

// A message loop nested in an action (a modal dialog, a message box, the Save As dialog) waits
// for the user, not for another program: while it runs, each message it hands out is an action
// of its own, and the outer action's budget comes back, as it was, when the loop ends.
class CActionBudgetPause {
 public:
  CActionBudgetPause();
  ~CActionBudgetPause();
  CActionBudgetPause(const CActionBudgetPause&) = delete;
  CActionBudgetPause& operator=(const CActionBudgetPause&) = delete;

 private:
  bool m_bOpen;
  DWORD m_leftMs;
};

// Measures one wait from construction to destruction and charges it to the open budget.
class CBudgetedWait {
 public:
  explicit CBudgetedWait(DWORD wantedMs) : m_bound(CActionBudget::Bound(wantedMs)), m_start(::GetTickCount()) {}
  ~CBudgetedWait() { CActionBudget::Charge(::GetTickCount() - m_start); }
  CBudgetedWait(const CBudgetedWait&) = delete;
  CBudgetedWait& operator=(const CBudgetedWait&) = delete;
  DWORD Bound() const { return m_bound; }

 private:
  DWORD m_bound;
  DWORD m_start;
};

}  // namespace platform
