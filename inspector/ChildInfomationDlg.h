// The child-window inspector, a modeless pop-up owned by the main dialog. For now it only
// keeps the window whose children it will list.
#pragma once
#include "platform/Dialog.h"

class CChildInfomationDlg : public platform::CDialog {
 public:
  CChildInfomationDlg();
  ~CChildInfomationDlg() override;

  void SetParentHandle(HWND hwnd) { m_hParent = hwnd; }
  HWND ParentHandle() const { return m_hParent; }
  // Rebuilds the child list and the picture of the parent window.
  void update();

 private:
  HWND m_hParent = reinterpret_cast<HWND>(-1);
};
