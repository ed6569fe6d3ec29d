#include "operations/WindowStyleExDlg.h"

#include "operations/StyleBits.h"
#include "operations/WindowStyleDlg.h"
#include "platform/MessageBox.h"
#include "res/resource.h"

CWindowStyleExDlg::CWindowStyleExDlg() : CDialogT(IDD_WINDOWSTYLEEX) {}

CWindowStyleExDlg::~CWindowStyleExDlg() { DestroyWindow(); }

CWindowStyleExDlg::MessageMapView CWindowStyleExDlg::MessageMap() {
  static const MessageEntry entries[] = {
      OnCommandRange(IDC_EXSTYLE_DLGMODALFRAME, IDC_EXSTYLE_LAYERED, BN_CLICKED, &CWindowStyleExDlg::OnBoxClicked),
  };
  return entries;
}

BOOL CWindowStyleExDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_dwOrgExStyle = m_dwExStyle;
  operations::UpdateStyleChecks(*this, operations::WindowStyleExBits(), m_dwExStyle);
  return TRUE;
}

void CWindowStyleExDlg::OnBoxClicked(UINT id) {
  const operations::StyleBitTable table = operations::WindowStyleExBits();
  m_dwExStyle = operations::ReadStyleClick(*this, table, m_dwExStyle, id);
  operations::UpdateStyleChecks(*this, table, m_dwExStyle);
}

void CWindowStyleExDlg::OnOK() {
  if (operations::DecideExStyleOk(m_dwExStyle, m_dwOrgExStyle) == operations::StyleOkAction::Confirm &&
      !platform::AppConfirm("拡張ウィンドウスタイルを変更しますか？"))
    return;
  EndDialog(IDOK);
}
