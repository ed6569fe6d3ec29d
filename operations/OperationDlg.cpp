#include "operations/OperationDlg.h"

#include "res/resource.h"

COperationDlg::COperationDlg() : CDialogT(IDD_OPERATION) {}

COperationDlg::~COperationDlg() { DestroyWindow(); }

COperationDlg::MessageMapView COperationDlg::MessageMap() {
  static const MessageEntry kMap[] = {
      OnMessage(WM_TIMER, &COperationDlg::OnTimer),
  };
  return kMap;
}

BOOL COperationDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_hTarget = reinterpret_cast<HWND>(-1);
  m_layeredDlg.Create(m_hWnd);
  m_layeredDlg.ShowWindow(SW_SHOW);
  UpdateTarget();
  return TRUE;
}

void COperationDlg::UpdateTarget() { m_layeredDlg.SetTargetWindow(m_hTarget); }

std::optional<LRESULT> COperationDlg::OnTimer(WPARAM, LPARAM) { return std::nullopt; }
