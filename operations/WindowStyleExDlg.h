// The style editor on the extended window style word (GWL_EXSTYLE), handed in and taken back
// in m_dwExStyle.
#pragma once
#include <windows.h>

#include "operations/StyleWordDlg.h"

class CWindowStyleExDlg : public CStyleWordDlg {
 public:
  CWindowStyleExDlg() : CStyleWordDlg(operations::WindowStyleExKind()) {}

  DWORD& m_dwExStyle = m_dwWord;
  DWORD& m_dwOrgExStyle = m_dwOrgWord;
};
