// The style-word editor: one check box per named bit of a window's style word, boxes for the
// named combinations of bits, and the whole word in hexadecimal, kept in step with every click.
// What it edits comes from its kind: the template, the table of bits and the rule for OK. The
// caller hands in the word in m_dwWord and, after IDOK, writes m_dwWord back to the window.
#pragma once
#include <windows.h>

#include "operations/StyleBits.h"
#include "platform/Dialog.h"

namespace operations {

// One kind of style word the editor edits.
struct StyleEditorKind {
  UINT templateId;
  StyleBitTable (*bits)();
  // What OK does with the edited word and the word handed in.
  StyleOkAction (*decideOk)(DWORD word, DWORD original);
  // Asked before a changed word is taken.
  const char* question;
  // Shown when OK refuses the word; null for a kind that refuses none.
  const char* refusal;
};

// The window style word (GWL_STYLE) and the extended one (GWL_EXSTYLE).
const StyleEditorKind& WindowStyleKind();
const StyleEditorKind& WindowStyleExKind();

}  // namespace operations

class CStyleWordDlg : public platform::CDialogT<CStyleWordDlg> {
 public:
  explicit CStyleWordDlg(const operations::StyleEditorKind& kind);
  ~CStyleWordDlg() override;
  static MessageMapView MessageMap();

  DWORD m_dwWord = 0;
  // The word as it was handed in; OK asks only when the word differs from it.
  DWORD m_dwOrgWord = 0;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  void OnBoxClicked(UINT id);
  // Sets every box from the word and shows the word in the value label.
  void UpdateChecks();

  const operations::StyleEditorKind& m_kind;
};

// The editor on each kind of word: CWindowStyleDlg on GWL_STYLE, CWindowStyleExDlg on GWL_EXSTYLE.
template <const operations::StyleEditorKind& (*Kind)()>
class CStyleWordDlgOf : public CStyleWordDlg {
 public:
  CStyleWordDlgOf() : CStyleWordDlg(Kind()) {}
};
using CWindowStyleDlg = CStyleWordDlgOf<operations::WindowStyleKind>;
using CWindowStyleExDlg = CStyleWordDlgOf<operations::WindowStyleExKind>;
