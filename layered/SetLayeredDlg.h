// The set dialog of the layered-attributes panel ("SetLayeredWindowAttributes"): the colour-key
// and alpha flags as check boxes, R, G, B and Alpha on spins from 0 to 255. OK makes the target
// layered if it is not and writes the attributes; Cancel and the close box change nothing.
#pragma once
#include <windows.h>

#include "platform/Controls.h"
#include "platform/Dialog.h"
#include "platform/Target.h"

class CSetLayeredDlg : public platform::CDialog {
 public:
  CSetLayeredDlg();
  ~CSetLayeredDlg() override;

  platform::CSpinButtonCtrl m_spinR;
  platform::CSpinButtonCtrl m_spinG;
  platform::CSpinButtonCtrl m_spinB;
  platform::CSpinButtonCtrl m_spinAlpha;
  int m_bAlpha = 0;
  int m_bColorKey = 0;
  // Set by the caller before the dialog runs.
  HWND m_hTarget = platform::kNoTarget;

 protected:
  void DoDataExchange(platform::CDataExchange& dx) override;
  BOOL OnInitDialog() override;
  void OnOK() override;
};
