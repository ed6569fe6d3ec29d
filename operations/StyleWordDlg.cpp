#include "operations/StyleWordDlg.h"

#include <algorithm>

#include "platform/Controls.h"
#include "platform/Format.h"
#include "platform/MessageBox.h"
#include "res/resource.h"

namespace operations {

const StyleEditorKind& WindowStyleKind() {
  static const StyleEditorKind kind{IDD_WINDOWSTYLE, WindowStyleBits, DecideStyleOk,
                                    "ウィンドウスタイルを変更しますか？",
                                    "WS_CHILEとWS_POPUPは同時に指定できません"};
  return kind;
}

const StyleEditorKind& WindowStyleExKind() {
  static const StyleEditorKind kind{IDD_WINDOWSTYLEEX, WindowStyleExBits, DecideExStyleOk,
                                    "拡張ウィンドウスタイルを変更しますか？", nullptr};
  return kind;
}

}  // namespace operations

CStyleWordDlg::CStyleWordDlg(const operations::StyleEditorKind& kind) : CDialogT(kind.templateId), m_kind(kind) {}

CStyleWordDlg::~CStyleWordDlg() { DestroyWindow(); }

CStyleWordDlg::MessageMapView CStyleWordDlg::MessageMap() {
  // The boxes of both templates lie in one range of ids; a click on an id the kind's table
  // does not have changes nothing.
  static const MessageEntry entries[] = {
      OnCommandRange(std::min(IDC_STYLE_POPUP, IDC_EXSTYLE_DLGMODALFRAME),
                     std::max(IDC_STYLE_POPUPWINDOW, IDC_EXSTYLE_LAYERED), BN_CLICKED, &CStyleWordDlg::OnBoxClicked),
  };
  return entries;
}

BOOL CStyleWordDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_dwOrgWord = m_dwWord;
  UpdateChecks();
  return TRUE;
}

void CStyleWordDlg::UpdateChecks() {
  for (const operations::StyleBitRow& row : m_kind.bits())
    platform::CButton(GetDlgItem(row.id))
        .SetCheck(operations::IsBoxChecked(m_dwWord, row.mask) ? BST_CHECKED : BST_UNCHECKED);
  SetDlgItemText(IDC_STYLE_VALUE, platform::FormatHex32(m_dwWord));
}

void CStyleWordDlg::OnBoxClicked(UINT id) {
  m_dwWord = operations::ApplyBoxClick(m_dwWord, m_kind.bits(), static_cast<int>(id), [this](int box) {
    return platform::CButton(GetDlgItem(box)).GetCheck() != 0;
  });
  UpdateChecks();
}

void CStyleWordDlg::OnOK() {
  switch (m_kind.decideOk(m_dwWord, m_dwOrgWord)) {
    case operations::StyleOkAction::Refuse:
      platform::AppMessageBox(m_kind.refusal ? m_kind.refusal : "");
      return;
    case operations::StyleOkAction::Confirm:
      if (!platform::AppConfirm(m_kind.question)) return;
      break;
    case operations::StyleOkAction::Close:
      break;
  }
  EndDialog(IDOK);
}
