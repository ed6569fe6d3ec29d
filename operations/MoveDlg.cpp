#include "operations/MoveDlg.h"

#include "operations/MovePresets.h"
#include "platform/Monitors.h"
#include "res/resource.h"

CMoveDlg::CMoveDlg() : CDialogT(IDD_MOVE) {}

CMoveDlg::~CMoveDlg() { DestroyWindow(); }

CMoveDlg::MessageMapView CMoveDlg::MessageMap() {
  static const MessageEntry entries[] = {
      OnCommandRange(IDC_MOVE_TOPLEFT, IDC_MOVE_CENTER, BN_CLICKED, &CMoveDlg::OnPreset),
  };
  return entries;
}

void CMoveDlg::DoDataExchange(platform::CDataExchange& dx) {
  platform::DDX_Control(dx, IDC_MOVE_XSPIN, m_spinX);
  platform::DDX_Control(dx, IDC_MOVE_YSPIN, m_spinY);
}

BOOL CMoveDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  // While the dialog is open the two numbers live in the spins (and their buddy edits).
  m_spinX.SetRange32(kMoveSpinMin, kMoveSpinMax);
  m_spinX.SetPos32(m_nX);
  m_spinY.SetRange32(kMoveSpinMin, kMoveSpinMax);
  m_spinY.SetPos32(m_nY);
  return TRUE;
}

void CMoveDlg::OnPreset(UINT id) {
  operations::MovePreset preset;
  switch (id) {
    case IDC_MOVE_TOPLEFT: preset = operations::MovePreset::TopLeft; break;
    case IDC_MOVE_TOPRIGHT: preset = operations::MovePreset::TopRight; break;
    case IDC_MOVE_BOTTOMLEFT: preset = operations::MovePreset::BottomLeft; break;
    case IDC_MOVE_BOTTOMRIGHT: preset = operations::MovePreset::BottomRight; break;
    default: preset = operations::MovePreset::Center; break;
  }
  const RECT monitor = platform::MonitorRectOf(m_hTarget);
  operations::MovePosition position = operations::PresetPosition(preset, monitor, m_nWidth, m_nHeight);
  m_spinX.SetPos32(position.x);
  m_spinY.SetPos32(position.y);
}

void CMoveDlg::OnOK() {
  // The spins re-read their buddy edits, so typed numbers count.
  m_nX = m_spinX.GetPos32();
  m_nY = m_spinY.GetPos32();
  EndDialog(IDOK);
}
