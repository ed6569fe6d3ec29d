#include "layered/LayeredDlg.h"

#include "res/resource.h"

CLayeredDlg::CLayeredDlg() : CDialog(IDD_LAYERED) {}

CLayeredDlg::~CLayeredDlg() { DestroyWindow(); }
