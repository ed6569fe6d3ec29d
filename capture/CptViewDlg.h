// The capture-view panel. For now it only keeps its target.
#pragma once
#include "platform/Dialog.h"

class CCptViewDlg : public platform::CDialog {
 public:
  CCptViewDlg();
  ~CCptViewDlg() override;

  // Takes the picture of m_hTarget by the method its state calls for.
  void AutoCapture();

  HWND m_hTarget = reinterpret_cast<HWND>(-1);
};
