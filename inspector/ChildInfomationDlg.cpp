#include "inspector/ChildInfomationDlg.h"

#include "res/resource.h"

CChildInfomationDlg::CChildInfomationDlg() : CDialog(IDD_CHILDINFO) {}

CChildInfomationDlg::~CChildInfomationDlg() { DestroyWindow(); }

void CChildInfomationDlg::update() {}
