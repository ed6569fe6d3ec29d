#include "app/AboutDlg.h"

#include "app/VersionText.h"
#include "res/resource.h"

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

CAboutDlg::~CAboutDlg() { DestroyWindow(); }

void CAboutDlg::DoDataExchange(platform::CDataExchange& dx) { platform::DDX_Text(dx, IDC_ABOUT_VERSION, m_strVersion); }

BOOL CAboutDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_strVersion = app::FormatAboutVersion(app::GetVersionText());
  UpdateData(false);
  return TRUE;
}
