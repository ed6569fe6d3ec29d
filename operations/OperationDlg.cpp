#include "operations/OperationDlg.h"

#include <shellapi.h>

#include "platform/ProcessLookup.h"
#include "platform/Taskbar.h"
#include "operations/MoveDlg.h"
#include "operations/StyleEditing.h"
#include "platform/MessageBox.h"
#include "platform/Messaging.h"
#include "platform/Target.h"
#include "platform/WinApp.h"
#include "platform/WindowCalls.h"
#include "res/resource.h"

namespace {

using platform::HasTarget;
using platform::kNoTarget;

constexpr UINT_PTR kRefreshTimer = 101;
constexpr UINT kRefreshPeriodMs = 500;

const char kNoValidWindow[] = "有効なウィンドウが選択されていません.";
const char kAddTabFailed[] = "タスクバーへの登録でエラーが発生しました";
const char kDeleteTabFailed[] = "タスクバーからの削除でエラーが発生しました";

// A command message to the target; the result is ignored. A target that does not answer in
// time still gets it once it recovers.
void SendCommand(HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!HasTarget(target)) return;
  platform::SendOrPost(target, message, wParam, lParam, platform::kCommandTimeoutMs);
}

// Moves the window to (x, y) with its size, repainting it.
void MoveTarget(HWND target, int x, int y, int width, int height) {
  platform::MoveWindowNoWait(target, x, y, width, height, true);
}

}  // namespace

void SetTopMost(HWND hwnd, bool topMost) {
  operations::RunWindowCommand(hwnd, topMost ? operations::WindowCommand::TopMost : operations::WindowCommand::NoTopMost);
}

COperationDlg::COperationDlg()
    : CDialogT(IDD_OPERATION),
      m_brPanel(platform::MakeSolidBrush(RGB(100, 100, 100))) {}

// The window goes first: control 1023 must let go of the shell icon before it is destroyed.
COperationDlg::~COperationDlg() { DestroyWindow(); }

COperationDlg::MessageMapView COperationDlg::MessageMap() {
  static const MessageEntry kMap[] = {
      OnMessage(WM_TIMER, &COperationDlg::OnTimer),
      OnMessage(WM_CTLCOLORDLG, &COperationDlg::OnCtlColor<WM_CTLCOLORDLG>),
      OnMessage(WM_CTLCOLORBTN, &COperationDlg::OnCtlColor<WM_CTLCOLORBTN>),
      OnMessage(WM_CTLCOLORSTATIC, &COperationDlg::OnCtlColor<WM_CTLCOLORSTATIC>),
      OnMessage(WM_CTLCOLOREDIT, &COperationDlg::OnCtlColor<WM_CTLCOLOREDIT>),
      OnMessage(WM_CTLCOLORLISTBOX, &COperationDlg::OnCtlColor<WM_CTLCOLORLISTBOX>),
      OnMessage(WM_CTLCOLORSCROLLBAR, &COperationDlg::OnCtlColor<WM_CTLCOLORSCROLLBAR>),
      OnMessage(WM_CTLCOLORMSGBOX, &COperationDlg::OnCtlColor<WM_CTLCOLORMSGBOX>),
      OnCommand(IDC_OP_SHOW, BN_CLICKED, &COperationDlg::OnShow),
      OnCommand(IDC_OP_HIDE, BN_CLICKED, &COperationDlg::OnHide),
      OnCommand(IDC_OP_RESTORE, BN_CLICKED, &COperationDlg::OnRestore),
      OnCommand(IDC_OP_MINIMIZE, BN_CLICKED, &COperationDlg::OnMinimize),
      OnCommand(IDC_OP_MAXIMIZE, BN_CLICKED, &COperationDlg::OnMaximize),
      OnCommand(IDC_OP_CLOSE, BN_CLICKED, &COperationDlg::OnClose),
      OnCommand(IDC_OP_UP, BN_CLICKED, &COperationDlg::OnUp),
      OnCommand(IDC_OP_DOWN, BN_CLICKED, &COperationDlg::OnDown),
      OnCommand(IDC_OP_LEFTMOVE, BN_CLICKED, &COperationDlg::OnLeft),
      OnCommand(IDC_OP_RIGHTMOVE, BN_CLICKED, &COperationDlg::OnRight),
      OnCommand(IDC_OP_JUMP, BN_CLICKED, &COperationDlg::OnJump),
      OnCommand(IDC_OP_WINSTYLE, BN_CLICKED, &COperationDlg::OnWinStyle),
      OnCommand(IDC_OP_EXSTYLEEDIT, BN_CLICKED, &COperationDlg::OnExStyle),
      OnCommand(IDC_OP_SUSPEND, BN_CLICKED, &COperationDlg::OnSuspend),
      OnCommand(IDC_OP_RESUME, BN_CLICKED, &COperationDlg::OnResumeSuspend),
      OnCommand(IDC_OP_QUERYENDSESSION, BN_CLICKED, &COperationDlg::OnQueryEndSession),
      OnCommand(IDC_OP_ENDSESSION, BN_CLICKED, &COperationDlg::OnEndSession),
      OnCommand(IDC_OP_ADDTAB, BN_CLICKED, &COperationDlg::OnAddTab),
      OnCommand(IDC_OP_DELETETAB, BN_CLICKED, &COperationDlg::OnDeleteTab),
      OnCommand(IDC_OP_TOPMOST, BN_CLICKED, &COperationDlg::OnTopMost),
      OnCommand(IDC_OP_NOTOPMOST, BN_CLICKED, &COperationDlg::OnNoTopMost),
      OnCommand(IDC_OP_POSTF5, BN_CLICKED, &COperationDlg::OnPostF5),
  };
  return kMap;
}

void COperationDlg::DoDataExchange(platform::CDataExchange& dx) {
  platform::DDX_Text(dx, IDC_OP_BOTTOM, m_strBottom);
  platform::DDX_Text(dx, IDC_OP_LEFT, m_strLeft);
  platform::DDX_Text(dx, IDC_OP_RIGHT, m_strRight);
  platform::DDX_Text(dx, IDC_OP_TOP, m_strTop);
}

BOOL COperationDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_hTarget = kNoTarget;
  m_layeredDlg.Create(GetSafeHwnd());
  m_layeredDlg.ShowWindow(SW_SHOW);
  UpdateTarget();
  ::SetTimer(GetSafeHwnd(), kRefreshTimer, kRefreshPeriodMs, nullptr);
  return TRUE;
}

void COperationDlg::SetTarget(HWND hwnd, DWORD pid) {
  m_hTarget = hwnd;
  m_dwTargetPid = pid;
  UpdateTarget();
}

bool COperationDlg::HasValidTarget() const { return platform::IsLiveTarget(m_hTarget); }

void COperationDlg::UpdateTarget() {
  const bool noTarget = !HasTarget(m_hTarget);
  const bool isWindow = !noTarget && ::IsWindow(m_hTarget);
  std::optional<LRESULT> big;
  std::optional<LRESULT> small;
  if (isWindow) {
    UpdateImagePath();
    big = platform::SendMessageBounded(m_hTarget, WM_GETICON, ICON_BIG, 0, platform::kReadTimeoutMs);
    // A target that did not answer the first question is not asked a second time.
    if (big && !*big)
      small = platform::SendMessageBounded(m_hTarget, WM_GETICON, ICON_SMALL, 0, platform::kReadTimeoutMs);
  }
  auto asIcon = [](const std::optional<LRESULT>& answer) -> std::optional<HICON> {
    if (!answer) return std::nullopt;
    return reinterpret_cast<HICON>(*answer);
  };
  switch (ChooseIconSource(noTarget, isWindow, asIcon(big), asIcon(small))) {
    case IconSource::Keep:
      break;
    case IconSource::Big:
      ShowIcon(reinterpret_cast<HICON>(*big));
      break;
    case IconSource::Small:
      ShowIcon(reinterpret_cast<HICON>(*small));
      break;
    case IconSource::File: {
      platform::UniqueIcon fileIcon = GetFileIcon();
      HICON icon = fileIcon.get();
      ShowIcon(icon, std::move(fileIcon));
      break;
    }
    case IconSource::White:
      ShowIcon(::LoadIconA(platform::AppInstance(), MAKEINTRESOURCEA(IDI_WHITE)));
      break;
  }
  RefreshInfo();
  m_layeredDlg.SetTargetWindow(m_hTarget);
}

void COperationDlg::ShowIcon(HICON icon, platform::UniqueIcon owned) {
  ::SendDlgItemMessageA(GetSafeHwnd(), IDC_OP_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  // The control no longer shows the previous shell icon, so it can go now.
  m_fileIcon = std::move(owned);
}

void COperationDlg::UpdateImagePath() { m_strImagePath = GetProcessPathW(m_dwTargetPid); }

platform::UniqueIcon COperationDlg::GetFileIcon() const {
  if (m_strImagePath.empty()) return nullptr;
  SHFILEINFOW info{};
  if (!::SHGetFileInfoW(m_strImagePath.c_str(), 0, &info, sizeof info, SHGFI_ICON)) return nullptr;
  return platform::UniqueIcon(info.hIcon);
}

void COperationDlg::RefreshInfo() {
  std::optional<TargetState> state;
  if (HasValidTarget()) {
    TargetState read;
    ::GetWindowRect(m_hTarget, &read.window);
    read.flags.visible = ::IsWindowVisible(m_hTarget);
    read.flags.iconic = ::IsIconic(m_hTarget);
    read.flags.zoomed = ::IsZoomed(m_hTarget);
    read.flags.enabled = ::IsWindowEnabled(m_hTarget);
    read.style = static_cast<DWORD>(::GetWindowLongA(m_hTarget, GWL_STYLE));
    read.exStyle = static_cast<DWORD>(::GetWindowLongA(m_hTarget, GWL_EXSTYLE));
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (::GetWindowPlacement(m_hTarget, &placement)) read.placement = placement;
    state = read;
  }

  const PanelTexts texts = FormatPanelTexts(state);
  m_strTop = texts.top;
  m_strBottom = texts.bottom;
  m_strLeft = texts.left;
  m_strRight = texts.right;
  SetDlgItemText(IDC_OP_TOP, m_strTop);
  SetDlgItemText(IDC_OP_BOTTOM, m_strBottom);
  SetDlgItemText(IDC_OP_LEFT, m_strLeft);
  SetDlgItemText(IDC_OP_RIGHT, m_strRight);

  const TargetFlags before = Flags();
  const TargetFlags after = state ? state->flags : TargetFlags{};
  m_nEnabled = after.enabled;
  m_nVisible = after.visible;
  m_nIconic = after.iconic;
  m_nZoomed = after.zoomed;
  platform::InvalidateChangedFlagLabels(GetSafeHwnd(), FlagLabelsOf(before), FlagLabelsOf(after));

  SetDlgItemText(IDC_OP_STYLE, texts.style);
  SetDlgItemText(IDC_OP_EXSTYLE, texts.exStyle);

  SetDlgItemText(IDC_OP_NOR_TOP, texts.normalTop);
  SetDlgItemText(IDC_OP_NOR_LEFT, texts.normalLeft);
  SetDlgItemText(IDC_OP_NOR_BOTTOM, texts.normalBottom);
  SetDlgItemText(IDC_OP_NOR_RIGHT, texts.normalRight);
  SetDlgItemText(IDC_OP_MIN_X, texts.minX);
  SetDlgItemText(IDC_OP_MIN_Y, texts.minY);
  SetDlgItemText(IDC_OP_MAX_X, texts.maxX);
  SetDlgItemText(IDC_OP_MAX_Y, texts.maxY);
}

std::optional<LRESULT> COperationDlg::OnTimer(WPARAM wParam, LPARAM) {
  if (wParam == kRefreshTimer) RefreshInfo();
  return std::nullopt;
}

template <UINT Message>
std::optional<LRESULT> COperationDlg::OnCtlColor(WPARAM wParam, LPARAM lParam) {
  const HBRUSH fallback = reinterpret_cast<HBRUSH>(DefaultCtlColor(Message, wParam, lParam));
  PanelBrush brush = PanelBrush::Default;
  if (Message == WM_CTLCOLORDLG || Message == WM_CTLCOLORBTN) {
    brush = PanelBrush::Panel;
  } else if (Message == WM_CTLCOLORSTATIC) {
    ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
    brush = StaticBrush(::GetDlgCtrlID(reinterpret_cast<HWND>(lParam)), Flags());
  }
  return reinterpret_cast<LRESULT>(brush == PanelBrush::Panel ? m_brPanel.get() : LabelBrushOf(brush, fallback));
}

void COperationDlg::OnShow() { operations::RunWindowCommand(m_hTarget, operations::WindowCommand::Show); }

void COperationDlg::OnHide() { operations::RunWindowCommand(m_hTarget, operations::WindowCommand::Hide); }

void COperationDlg::OnRestore() { operations::RunWindowCommand(m_hTarget, operations::WindowCommand::Restore); }

void COperationDlg::OnMinimize() { operations::RunWindowCommand(m_hTarget, operations::WindowCommand::Minimize); }

void COperationDlg::OnMaximize() { operations::RunWindowCommand(m_hTarget, operations::WindowCommand::Maximize); }

void COperationDlg::OnClose() { operations::RunWindowCommand(m_hTarget, operations::WindowCommand::Close); }

void COperationDlg::Nudge(NudgeDirection direction) {
  if (!HasValidTarget()) {
    platform::PanelMessageBox(GetSafeHwnd(), kNoValidWindow);
    return;
  }
  RECT window{};
  ::GetWindowRect(m_hTarget, &window);
  const RECT moved = NudgedRect(window, direction);
  MoveTarget(m_hTarget, moved.left, moved.top, moved.right - moved.left, moved.bottom - moved.top);
}

void COperationDlg::OnJump() {
  if (!HasValidTarget()) {
    platform::PanelMessageBox(GetSafeHwnd(), kNoValidWindow);
    return;
  }
  CMoveDlg dlg;
  RECT window{};
  ::GetWindowRect(m_hTarget, &window);
  dlg.m_nX = window.left;
  dlg.m_nY = window.top;
  dlg.m_nWidth = window.right - window.left;
  dlg.m_nHeight = window.bottom - window.top;
  dlg.m_hTarget = m_hTarget;
  if (dlg.DoModal() == IDOK)
    MoveTarget(m_hTarget, dlg.m_nX, dlg.m_nY, window.right - window.left, window.bottom - window.top);
}

void COperationDlg::OnWinStyle() { operations::EditStyleWord(nullptr, m_hTarget, GWL_STYLE); }

void COperationDlg::OnExStyle() { operations::EditStyleWord(nullptr, m_hTarget, GWL_EXSTYLE); }

void COperationDlg::OnSuspend() { SendCommand(m_hTarget, WM_POWERBROADCAST, PBT_APMSUSPEND, 0); }

void COperationDlg::OnResumeSuspend() { SendCommand(m_hTarget, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0); }

void COperationDlg::OnQueryEndSession() {
  // The answer is the point of this command, so it is not left to arrive later. A call that
  // failed answers 0, as the system's own send does; only a time-out leaves no answer.
  std::optional<LRESULT> answer = 0;
  if (HasTarget(m_hTarget)) {
    const platform::SendOutcome sent = platform::SendMessageWithin(
        m_hTarget, WM_QUERYENDSESSION, 0, static_cast<LPARAM>(ENDSESSION_LOGOFF), platform::kCommandTimeoutMs);
    if (sent.status == platform::SendStatus::TimedOut) answer.reset();
    else answer = sent.value;
  }
  m_nEndSessionWParam = NextEndSessionWParam(m_nEndSessionWParam, answer);
  platform::AppMessageBox(QueryEndSessionText(answer));
}

void COperationDlg::OnEndSession() {
  if (!platform::AppConfirm(EndSessionPrompt(m_nEndSessionWParam))) return;
  SendCommand(m_hTarget, WM_ENDSESSION, static_cast<WPARAM>(m_nEndSessionWParam),
              static_cast<LPARAM>(ENDSESSION_LOGOFF));
}

void COperationDlg::OnAddTab() {
  if (!HasValidTarget()) return;
  if (!TaskbarAddTab(m_hTarget)) platform::AppMessageBox(kAddTabFailed);
}

void COperationDlg::OnDeleteTab() {
  if (!HasValidTarget()) return;
  if (!TaskbarDeleteTab(m_hTarget)) platform::AppMessageBox(kDeleteTabFailed);
}

void COperationDlg::OnTopMost() {
  if (HasValidTarget()) SetTopMost(m_hTarget, true);
}

void COperationDlg::OnNoTopMost() {
  if (HasValidTarget()) SetTopMost(m_hTarget, false);
}

void COperationDlg::OnPostF5() {
  if (HasTarget(m_hTarget)) ::PostMessageA(m_hTarget, WM_KEYDOWN, VK_F5, 0);
}
