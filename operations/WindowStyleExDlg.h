// The extended style editor: the same editing as the style editor, on the extended window
// style word (GWL_EXSTYLE) handed in and taken back in m_dwExStyle.
#pragma once
#include <windows.h>

#include "platform/Dialog.h"

class CWindowStyleExDlg : public platform::CDialogT<CWindowStyleExDlg> {
 public:
  CWindowStyleExDlg();
  ~CWindowStyleExDlg() override;
  static MessageMapView MessageMap();

  DWORD m_dwExStyle = 0;
  // The word as it was handed in; OK asks only when the word differs from it.
  DWORD m_dwOrgExStyle = 0;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  void OnBoxClicked(UINT id);
};
