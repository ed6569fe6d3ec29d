// The operations panel: the live state of the target window and the commands on it.
#pragma once
#include <windows.h>
#include <string>

#include "layered/LayeredDlg.h"
#include "platform/Dialog.h"

class COperationDlg : public platform::CDialogT<COperationDlg> {
 public:
  COperationDlg();
  ~COperationDlg() override;
  static MessageMapView MessageMap();

  // Refreshes the icon and the display for m_hTarget and hands the target to the layered panel.
  void UpdateTarget();

  HWND m_hTarget = reinterpret_cast<HWND>(-1);
  DWORD m_dwTargetPid = static_cast<DWORD>(-1);
  CLayeredDlg m_layeredDlg;

 protected:
  BOOL OnInitDialog() override;

 private:
  std::optional<LRESULT> OnTimer(WPARAM wParam, LPARAM lParam);
};
