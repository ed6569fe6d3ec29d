#include "capture/CptViewDlg.h"

#include "res/resource.h"

CCptViewDlg::CCptViewDlg() : CDialog(IDD_CPTVIEW) {}

CCptViewDlg::~CCptViewDlg() { DestroyWindow(); }

void CCptViewDlg::AutoCapture() {}
