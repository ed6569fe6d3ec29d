// The style editor: one check box per named bit of the window style word (GWL_STYLE), boxes
// for the named combinations, and the whole word in hexadecimal. The caller hands in the word
// in m_dwStyle and, after IDOK, writes m_dwStyle back to the window.
#pragma once
#include <windows.h>

#include "operations/StyleBits.h"
#include "platform/Dialog.h"

class CWindowStyleDlg : public platform::CDialogT<CWindowStyleDlg> {
 public:
  CWindowStyleDlg();
  ~CWindowStyleDlg() override;
  static MessageMapView MessageMap();

  DWORD m_dwStyle = 0;
  // The word as it was handed in; OK asks only when the word differs from it.
  DWORD m_dwOrgStyle = 0;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  void OnBoxClicked(UINT id);
};

namespace operations {

// Sets every box of the table from the word and shows the word in the value label.
void UpdateStyleChecks(const platform::CDialog& dialog, const StyleBitTable& table, DWORD word);

// The word after a click on the box with the id, read from the dialog's boxes.
DWORD ReadStyleClick(const platform::CDialog& dialog, const StyleBitTable& table, DWORD word, UINT id);

}  // namespace operations
