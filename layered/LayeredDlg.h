// The layered-attributes panel on the operations panel. For now it only keeps its target.
#pragma once
#include "platform/Dialog.h"

class CLayeredDlg : public platform::CDialog {
 public:
  CLayeredDlg();
  ~CLayeredDlg() override;

  // Takes the target window (-1 when there is none).
  void SetTargetWindow(HWND hwnd) { m_hTarget = hwnd; }
  HWND TargetWindow() const { return m_hTarget; }

 private:
  HWND m_hTarget = reinterpret_cast<HWND>(-1);
};
