// What the dialog tests share: answering message boxes and pumping messages to a deadline.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/Handles.h"
#include "platform/MessageBox.h"

namespace uitest {

// Records every message box the program shows while it lives and answers each with the next
// queued answer (IDOK when the queue is empty).
class MessageBoxRecorder {
 public:
  struct Box {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
  };

  MessageBoxRecorder();
  ~MessageBoxRecorder();
  MessageBoxRecorder(const MessageBoxRecorder&) = delete;
  MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

  void QueueAnswer(int answer) { m_answers.push_back(answer); }
  const std::vector<Box>& Boxes() const { return m_boxes; }

 private:
  std::vector<Box> m_boxes;
  std::deque<int> m_answers;
  platform::MessageBoxHook m_previous;
};

// What the GDI owners of platform/Handles.h hold when it is made; Expect... fails the running
// test when they hold more (a leak) or less (a release of what they never took), or when the
// system refused a release since (a double release), or when a handle the test watched is still
// an object (an owner that gave it up without deleting it keeps the counts even).
class GdiOwnerBalance {
 public:
  GdiOwnerBalance() : m_start(platform::CurrentGdiOwnerCounts()) {}
  // The object must be deleted by the time ExpectBalanced runs (null is ignored).
  void Watch(HGDIOBJ handle) {
    if (handle) m_watched.push_back(handle);
  }
  void ExpectBalanced() const;

 private:
  platform::GdiOwnerCounts m_start;
  std::vector<HGDIOBJ> m_watched;
};

// e2e::WaitUntil with this thread's messages dispatched through our dialogs' keyboard
// handling: until done() holds or timeoutMs passes; returns done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

// Dispatches the messages already waiting.
void PumpPending();

// Text of a control by id in a dialog.
std::string ControlText(HWND dialog, int id);

// The colour of the brush the dialog gives its static control id (WM_CTLCOLORSTATIC).
COLORREF LabelBrushColour(HWND dialog, int id);

// Presses a button the way a click does (BN_CLICKED reaches the dialog synchronously).
void Click(HWND dialog, int id);
// Presses the button and dispatches what follows; whether the dialog is still shown afterwards.
bool ClickLeavesOpen(HWND dialog, int id);
// Ctrl+C in a list or tree of the dialog: its key notice (LVN_KEYDOWN or TVN_KEYDOWN) sent as
// the control sends it, with Ctrl held in this thread's key state meanwhile.
void PressCtrlC(HWND dialog, int id, UINT keyNotice);

// The list's rows as it shows them (only the selected ones, or all), read from the control:
// "cell<TAB>cell…" and CR LF each, as a copy of them must read.
std::wstring ShownListRows(HWND list, int columns, bool selectedOnly);

// Whether the dialog's check box id is checked.
bool Checked(HWND dialog, int id);

// Checks the GDI owners' balance when it goes: declared before what a test makes, it is
// checked once all of that is gone.
class GdiOwnerBalanceAtEnd {
 public:
  ~GdiOwnerBalanceAtEnd() { m_balance.ExpectBalanced(); }

 private:
  GdiOwnerBalance m_balance;
};

// A dialog of type Dlg that a test creates without an owner, once it has set the dialog's
// members, and that goes with the test, giving back every GDI object it made.
template <class Dlg>
class ModelessDialogTest : public ::testing::Test {
 protected:
  void Create() {
    ASSERT_TRUE(m_dlg.Create(nullptr));
    m_hDlg = m_dlg.GetSafeHwnd();
  }
  GdiOwnerBalanceAtEnd m_gdi;
  Dlg m_dlg;
  HWND m_hDlg = nullptr;
};

}  // namespace uitest
