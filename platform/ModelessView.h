// A view of ours that lives beside the main dialog (a message log, a properties or accessibility
// view, the window tree, a send dialog): opened beside its owner, brought to the front when asked
// for again, and closed by its close box or Escape.
//
// One close policy for all of them: closing hides the view at once, after it has let go of what
// it runs (OnClosing: readers, hooks, timers, outlines, never waiting for another program). Its
// window then goes with its object (the main dialog drops closed views the next time it opens one
// of their kind, and every view when it closes). The views of single windows are made anew for
// each opening (CWindowViews); the window tree, one for the desktop, is shown again by the next
// Open (OnShown), which reads the desktop anew.
//
// A view derives from platform::CDialogT<itself, CModelessView>.
#pragma once
#include <windows.h>

#include "platform/Dialog.h"

namespace platform {

class CModelessView : public CDialog {
 public:
  using CDialog::CDialog;

  // Shows the view owned by owner: created and placed beside it the first time (cascade: how
  // many views of its kind are open, for when the screen has no room), shown again after it was
  // closed, restored when minimised, and brought to the front. False when it could not be made.
  bool Open(HWND owner, int cascade = 0);
  // Closes the view as its close box does; nothing when it is closed already.
  void Close();
  // Whether the user closed it (and it was not opened since): it has let go of what it ran.
  bool Closed() const { return m_bClosed; }

 protected:
  // The view was shown by Open: the first time or again after it was closed.
  virtual void OnShown() {}
  // The view is closing, or its window is being destroyed without a close: stop what it runs,
  // without waiting for another program. Called once per opening.
  virtual void OnClosing() {}
  // A closed view answers no command or timer: it has let go of what they would use, and a
  // hidden view is clicked or ticked only by another program.
  bool Answers(UINT message) const override;
  // Escape closes the view.
  void OnCancel() override { Close(); }
  // The close box closes the view wherever the focus is (not through OnCancel, which a view
  // may give a meaning of its own in a box); a window destroyed unclosed closes the view first.
  // A view whose map handles WM_DESTROY or WM_CLOSE keeps them from here.
  bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  bool m_bClosed = false;
};

}  // namespace platform
