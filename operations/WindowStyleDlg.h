// The style editor on the window style word (GWL_STYLE): the caller hands in the word in
// m_dwStyle and, after IDOK, writes m_dwStyle back to the window.
#pragma once
#include <windows.h>

#include "operations/StyleWordDlg.h"

class CWindowStyleDlg : public CStyleWordDlg {
 public:
  CWindowStyleDlg() : CStyleWordDlg(operations::WindowStyleKind()) {}

  DWORD& m_dwStyle = m_dwWord;
  DWORD& m_dwOrgStyle = m_dwOrgWord;
};
