#include "operations/WindowStyleDlg.h"

#include "platform/Controls.h"
#include "platform/Format.h"
#include "platform/MessageBox.h"
#include "res/resource.h"

namespace operations {

void UpdateStyleChecks(const platform::CDialog& dialog, const StyleBitTable& table, DWORD word) {
  for (const StyleBitRow& row : table)
    platform::CButton(dialog.GetDlgItem(row.id)).SetCheck(IsBoxChecked(word, row.mask) ? BST_CHECKED : BST_UNCHECKED);
  dialog.SetDlgItemText(IDC_STYLE_VALUE, platform::FormatHex32(word));
}

DWORD ReadStyleClick(const platform::CDialog& dialog, const StyleBitTable& table, DWORD word, UINT id) {
  return ApplyBoxClick(word, table, static_cast<int>(id),
                       [&dialog](int box) { return platform::CButton(dialog.GetDlgItem(box)).GetCheck() != 0; });
}

}  // namespace operations

CWindowStyleDlg::CWindowStyleDlg() : CDialogT(IDD_WINDOWSTYLE) {}

CWindowStyleDlg::~CWindowStyleDlg() { DestroyWindow(); }

CWindowStyleDlg::MessageMapView CWindowStyleDlg::MessageMap() {
  static const MessageEntry entries[] = {
      OnCommandRange(IDC_STYLE_POPUP, IDC_STYLE_POPUPWINDOW, BN_CLICKED, &CWindowStyleDlg::OnBoxClicked),
  };
  return entries;
}

BOOL CWindowStyleDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_dwOrgStyle = m_dwStyle;
  operations::UpdateStyleChecks(*this, operations::WindowStyleBits(), m_dwStyle);
  return TRUE;
}

void CWindowStyleDlg::OnBoxClicked(UINT id) {
  const operations::StyleBitTable table = operations::WindowStyleBits();
  m_dwStyle = operations::ReadStyleClick(*this, table, m_dwStyle, id);
  operations::UpdateStyleChecks(*this, table, m_dwStyle);
}

void CWindowStyleDlg::OnOK() {
  switch (operations::DecideStyleOk(m_dwStyle, m_dwOrgStyle)) {
    case operations::StyleOkAction::Refuse:
      platform::AppMessageBox("WS_CHILEとWS_POPUPは同時に指定できません");
      return;
    case operations::StyleOkAction::Confirm:
      if (!platform::AppConfirm("ウィンドウスタイルを変更しますか？")) return;
      break;
    case operations::StyleOkAction::Close:
      break;
  }
  EndDialog(IDOK);
}
