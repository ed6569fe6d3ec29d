#include "layered/SetLayeredDlg.h"

#include <optional>

#include "layered/LayeredDisplay.h"
#include "platform/LayeredCalls.h"
#include "platform/WindowCalls.h"
#include "res/resource.h"

namespace {

// The range every spin of the dialog accepts: one byte.
constexpr int kSpinMin = 0;
constexpr int kSpinMax = 255;

}  // namespace

CSetLayeredDlg::CSetLayeredDlg() : CDialog(IDD_SETLAYERED) {}

CSetLayeredDlg::~CSetLayeredDlg() { DestroyWindow(); }

void CSetLayeredDlg::DoDataExchange(platform::CDataExchange& dx) {
  platform::DDX_Control(dx, IDC_SETLAYERED_REDSPIN, m_spinR);
  platform::DDX_Control(dx, IDC_SETLAYERED_GREENSPIN, m_spinG);
  platform::DDX_Control(dx, IDC_SETLAYERED_BLUESPIN, m_spinB);
  platform::DDX_Control(dx, IDC_SETLAYERED_ALPHASPIN, m_spinAlpha);
  platform::DDX_Check(dx, IDC_SETLAYERED_ALPHAFLAG, m_bAlpha);
  platform::DDX_Check(dx, IDC_SETLAYERED_COLORKEYFLAG, m_bColorKey);
}

BOOL CSetLayeredDlg::OnInitDialog() {
  std::optional<layered::LayeredAttributes> read;
  if (platform::IsLiveTarget(m_hTarget) && (::GetWindowLongA(m_hTarget, GWL_EXSTYLE) & WS_EX_LAYERED)) {
    layered::LayeredAttributes attributes{};
    if (CallGetLayeredWindowAttributes(m_hTarget, &attributes.colorKey, &attributes.alpha, &attributes.flags))
      read = attributes;
  }
  const layered::LayeredAttributes presets = layered::SetDialogPresets(read);
  m_bColorKey = (presets.flags & LWA_COLORKEY) ? 1 : 0;
  m_bAlpha = (presets.flags & LWA_ALPHA) ? 1 : 0;
  CDialog::OnInitDialog();  // attaches the spins and ticks the boxes

  // While the dialog is open the four numbers live in the spins (and their buddy edits).
  const layered::ColorKeyParts parts = layered::UnpackColorKey(presets.colorKey);
  auto preset = [](const platform::CSpinButtonCtrl& spin, int pos) {
    spin.SetRange32(kSpinMin, kSpinMax);
    spin.SetPos32(pos);
  };
  preset(m_spinAlpha, presets.alpha);
  preset(m_spinR, parts.r);
  preset(m_spinG, parts.g);
  preset(m_spinB, parts.b);
  return TRUE;
}

void CSetLayeredDlg::OnOK() {
  UpdateData(true);
  // The spins re-read their buddy edits, so typed numbers count; what is not a number from 0
  // to 255 is the spin's to settle, and only its low 8 bits are used.
  const layered::LayeredAttributes wanted = layered::SetDialogResult(
      m_bColorKey == 1, m_bAlpha == 1, m_spinR.GetPos32(), m_spinG.GetPos32(), m_spinB.GetPos32(),
      m_spinAlpha.GetPos32());
  if (platform::IsLiveTarget(m_hTarget)) {
    const HWND target = m_hTarget;
    const LONG exStyle = ::GetWindowLongA(target, GWL_EXSTYLE);
    // Both go to the window's thread in this order, so the attributes never come before the style.
    if (!(exStyle & WS_EX_LAYERED)) platform::SetWindowLongNoWait(target, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    platform::RunOnWindow(target, [target, wanted] {
      CallSetLayeredWindowAttributes(target, wanted.colorKey, wanted.alpha, wanted.flags);
    });
  }
  EndDialog(IDOK);
}
