#include "layered/LayeredDlg.h"

#include "layered/SetLayeredDlg.h"
#include "platform/LayeredCalls.h"
#include "platform/MessageBox.h"
#include "res/resource.h"

namespace {

constexpr UINT_PTR kRefreshTimer = 102;
constexpr UINT kRefreshPeriodMs = 500;

const char kNoValidWindow[] = "有効なウィンドウが選択されていません";
const char kAskLayered[] = "拡張ウィンドウスタイル[WS_EX_LAYERED]が設定されていません。設定しますか？";

}  // namespace

CLayeredDlg::CLayeredDlg()
    : CDialogT(IDD_LAYERED) {}

// The labels must be gone before the brushes they paint with.
CLayeredDlg::~CLayeredDlg() { DestroyWindow(); }

CLayeredDlg::MessageMapView CLayeredDlg::MessageMap() {
  static const MessageEntry kMap[] = {
      OnMessage(WM_TIMER, &CLayeredDlg::OnTimer),
      OnMessage(WM_CTLCOLORDLG, &CLayeredDlg::OnCtlColor<WM_CTLCOLORDLG>),
      OnMessage(WM_CTLCOLORBTN, &CLayeredDlg::OnCtlColor<WM_CTLCOLORBTN>),
      OnMessage(WM_CTLCOLORSTATIC, &CLayeredDlg::OnCtlColor<WM_CTLCOLORSTATIC>),
      OnMessage(WM_CTLCOLOREDIT, &CLayeredDlg::OnCtlColor<WM_CTLCOLOREDIT>),
      OnMessage(WM_CTLCOLORLISTBOX, &CLayeredDlg::OnCtlColor<WM_CTLCOLORLISTBOX>),
      OnMessage(WM_CTLCOLORSCROLLBAR, &CLayeredDlg::OnCtlColor<WM_CTLCOLORSCROLLBAR>),
      OnMessage(WM_CTLCOLORMSGBOX, &CLayeredDlg::OnCtlColor<WM_CTLCOLORMSGBOX>),
      OnCommand(IDC_LAYERED_SET, BN_CLICKED, &CLayeredDlg::OnSet),
  };
  return kMap;
}

BOOL CLayeredDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  ::SetTimer(GetSafeHwnd(), kRefreshTimer, kRefreshPeriodMs, nullptr);
  return TRUE;
}

bool CLayeredDlg::HasValidTarget() const { return platform::IsLiveTarget(m_hTarget); }

void CLayeredDlg::RefreshLayeredInfo() {
  const layered::LayeredStates before = States();
  const bool valid = HasValidTarget();
  DWORD exStyle = 0;
  std::optional<layered::LayeredAttributes> attributes;
  if (valid) {
    exStyle = static_cast<DWORD>(::GetWindowLongA(m_hTarget, GWL_EXSTYLE));
    layered::LayeredAttributes read{};
    if ((exStyle & WS_EX_LAYERED) && CallGetLayeredWindowAttributes(m_hTarget, &read.colorKey, &read.alpha, &read.flags))
      attributes = read;
  }
  const layered::LayeredView view = layered::DescribeLayered(valid, exStyle, attributes);
  m_nLayered = view.states.layered;
  m_nColorKey = view.states.colorKey;
  m_nAlpha = view.states.alpha;
  if (view.values) {
    const int ids[] = {IDC_LAYERED_RED, IDC_LAYERED_GREEN, IDC_LAYERED_BLUE, IDC_LAYERED_ALPHAVALUE};
    for (int i = 0; i < 4; ++i) SetDlgItemText(ids[i], (*view.values)[i]);
  }
  platform::InvalidateChangedFlagLabels(GetSafeHwnd(), layered::StateLabelsOf(before), layered::StateLabelsOf(view.states));
}

std::optional<LRESULT> CLayeredDlg::OnTimer(WPARAM wParam, LPARAM) {
  if (wParam == kRefreshTimer) RefreshLayeredInfo();
  return std::nullopt;
}

template <UINT Message>
std::optional<LRESULT> CLayeredDlg::OnCtlColor(WPARAM wParam, LPARAM lParam) {
  const LRESULT fallback = DefaultCtlColor(Message, wParam, lParam);
  if (Message == WM_CTLCOLORBTN) return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
  if (Message != WM_CTLCOLORSTATIC) return fallback;
  ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
  const layered::LayeredBrush brush =
      layered::LayeredStaticBrush(::GetDlgCtrlID(reinterpret_cast<HWND>(lParam)), States(), HasValidTarget());
  return reinterpret_cast<LRESULT>(LabelBrushOf(brush, reinterpret_cast<HBRUSH>(fallback)));
}

void CLayeredDlg::OnSet() {
  if (!HasValidTarget()) {
    platform::PanelMessageBox(GetSafeHwnd(), kNoValidWindow);
    return;
  }
  // Yes only agrees to go on: the style is written by the dialog's OK, not here.
  if (!(::GetWindowLongA(m_hTarget, GWL_EXSTYLE) & WS_EX_LAYERED) && !platform::AppConfirm(kAskLayered)) return;
  CSetLayeredDlg dlg;
  dlg.m_hTarget = m_hTarget;
  dlg.DoModal();
}
