#include "inspector/ChildInfomationDlg.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <iterator>

#include "inspector/ChildHitTest.h"
#include "inspector/ChildMessages.h"
#include "inspector/PictureLayout.h"
#include "operations/StyleEditing.h"
#include "platform/Dpi.h"
#include "platform/Format.h"
#include "platform/Target.h"
#include "platform/ViewRequests.h"
#include "res/resource.h"

namespace {

constexpr UINT_PTR kSelectionTimer = 104;
constexpr UINT kSelectionPeriodMs = 500;
// The picture area in dialog client pixels at 96 DPI.
constexpr RECT kImageArea{20, 250, 320, 450};

// The labels of the selected child's style words and rectangles, emptied while there is none.
constexpr int kSelectionLabels[] = {IDC_CI_STYLE,     IDC_CI_EXSTYLE,    IDC_CI_RECT_TOP,   IDC_CI_RECT_LEFT,
                                    IDC_CI_RECT_RIGHT, IDC_CI_RECT_BOTTOM, IDC_CI_REL_TOP,    IDC_CI_REL_LEFT,
                                    IDC_CI_REL_RIGHT,  IDC_CI_REL_BOTTOM};

// The labels on light yellow: those of the selection and the client size.
bool IsValueLabel(int id) {
  return id == IDC_CI_CLIENT_W || id == IDC_CI_CLIENT_H ||
         std::find(std::begin(kSelectionLabels), std::end(kSelectionLabels), id) != std::end(kSelectionLabels);
}

void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Trace(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vprintf(format, args);
  va_end(args);
  std::fflush(stdout);
}

unsigned HandleValue(HWND hwnd) { return static_cast<unsigned>(reinterpret_cast<UINT_PTR>(hwnd)); }

}  // namespace

CChildInfomationDlg::CChildInfomationDlg()
    : CDialogT(IDD_CHILDINFO), m_brLabel(platform::MakeSolidBrush(RGB(255, 255, 180))) {}

CChildInfomationDlg::~CChildInfomationDlg() { DestroyWindow(); }

CChildInfomationDlg::MessageMapView CChildInfomationDlg::MessageMap() {
  static const MessageEntry kMap[] = {
      OnMessage(WM_TIMER, &CChildInfomationDlg::OnTimer),
      OnMessage(WM_SHOWWINDOW, &CChildInfomationDlg::OnShowWindow),
      OnMessage(WM_PAINT, &CChildInfomationDlg::OnPaint),
      OnMessage(WM_CTLCOLORSTATIC, &CChildInfomationDlg::OnCtlColorStatic),
      OnMessage(WM_LBUTTONDOWN, &CChildInfomationDlg::OnLButtonDown),
      OnMessage(WM_DESTROY, &CChildInfomationDlg::OnDestroy),
      OnNotify(IDC_CI_LIST, NM_CLICK, &CChildInfomationDlg::OnListClick),
      OnNotify(IDC_CI_LIST, LVN_KEYDOWN, &CChildInfomationDlg::OnListKeyDown),
      OnMessage(WM_CONTEXTMENU, &CChildInfomationDlg::OnContextMenu),
      OnNotify(IDC_CI_LIST, LVN_DELETEALLITEMS, &CChildInfomationDlg::OnListDeleteAll),
      OnCommand(IDC_CI_REFRESH, BN_CLICKED, &CChildInfomationDlg::OnRefresh),
      OnCommand(IDC_CI_LBUTTONDOWN, BN_CLICKED, &CChildInfomationDlg::OnLButtonDownButton),
      OnCommand(IDC_CI_LBUTTONUP, BN_CLICKED, &CChildInfomationDlg::OnLButtonUpButton),
      OnCommand(IDC_CI_SETFOCUS, BN_CLICKED, &CChildInfomationDlg::OnSetFocus),
      OnCommand(IDC_CI_MESSAGELOG, BN_CLICKED, &CChildInfomationDlg::OnMessageLog),
      OnCommand(IDC_CI_PROPERTIES, BN_CLICKED, &CChildInfomationDlg::OnProperties),
      OnNotify(IDC_CI_LIST, NM_DBLCLK, &CChildInfomationDlg::OnListDoubleClick),
      OnCommand(IDC_CI_ACCESSIBILITY, BN_CLICKED, &CChildInfomationDlg::OnAccessibility),
      OnCommand(IDC_CI_SENDMESSAGE, BN_CLICKED, &CChildInfomationDlg::OnSendMessage),
      OnCommand(IDC_CI_ENTERKEY, BN_CLICKED, &CChildInfomationDlg::OnEnterKey),
      OnCommand(IDC_CI_F5KEY, BN_CLICKED, &CChildInfomationDlg::OnF5Key),
      OnCommand(IDC_CI_WMCOPY, BN_CLICKED, &CChildInfomationDlg::OnCopy),
      OnCommand(IDC_CI_CTRLC, BN_CLICKED, &CChildInfomationDlg::OnCtrlC),
      OnCommand(IDC_CI_STYLEEDIT, BN_CLICKED, &CChildInfomationDlg::OnStyle),
      OnCommand(IDC_CI_EXSTYLEEDIT, BN_CLICKED, &CChildInfomationDlg::OnExStyle),
      OnCommand(IDC_CI_CUTRGN, BN_CLICKED, &CChildInfomationDlg::OnCutRegion),
      OnCommand(IDC_CI_RECTRGN, BN_CLICKED, &CChildInfomationDlg::OnRectRegion),
      OnCommand(IDC_CI_RELEASERGN, BN_CLICKED, &CChildInfomationDlg::OnReleaseRegion),
  };
  return kMap;
}

void CChildInfomationDlg::DoDataExchange(platform::CDataExchange& dx) {
  platform::DDX_Control(dx, IDC_CI_YSPIN, m_spinY);
  platform::DDX_Control(dx, IDC_CI_XSPIN, m_spinX);
  platform::DDX_Control(dx, IDC_CI_LIST, m_list);
}

BOOL CChildInfomationDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  ShowWindow(SW_HIDE);
  CenterOnOwner();

  m_list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
  OnDpiChanged(platform::WindowDpi(GetSafeHwnd()));

  for (const platform::CSpinButtonCtrl* spin : {&m_spinX, &m_spinY}) {
    spin->SetRange32(0, 1024);
    spin->SetPos32(0);
  }
  // The selection's refresh runs while the inspector is shown (OnShowWindow).
  return TRUE;
}

// A hidden inspector shows nothing, so it refreshes nothing: its timer runs only while it is
// shown, and showing it brings the selection's labels up to date at once.
std::optional<LRESULT> CChildInfomationDlg::OnShowWindow(WPARAM wParam, LPARAM) {
  if (wParam) {
    RefreshSelection();
    ::SetTimer(GetSafeHwnd(), kSelectionTimer, kSelectionPeriodMs, nullptr);
  } else {
    ::KillTimer(GetSafeHwnd(), kSelectionTimer);
  }
  return std::nullopt;
}

void CChildInfomationDlg::OnOK() { ShowWindow(SW_HIDE); }

void CChildInfomationDlg::OnDpiChanged(UINT dpi) {
  m_rcImage = platform::ScaleForDpi(kImageArea, dpi);
  platform::LayOutListColumns(m_list,
                              {{"handle", LVCFMT_LEFT, 80},
                               {"className", LVCFMT_LEFT, 120},
                               {"text", LVCFMT_LEFT, 120},
                               {"parent", LVCFMT_LEFT, 80},
                               {"CtrlID", LVCFMT_LEFT, 60},
                               {"Visible", LVCFMT_LEFT, 50},
                               {"Enable", LVCFMT_LEFT, 50},
                               {"", LVCFMT_LEFT, 10}},
                              dpi);
  // The picture is laid out again at its next paint; until then a click maps nothing.
  m_dScale = 0.0;
  ::InvalidateRect(GetSafeHwnd(), nullptr, TRUE);
}

std::optional<LRESULT> CChildInfomationDlg::OnDestroy(WPARAM, LPARAM) {
  // Saved regions were never handed to a window: they go with the inspector.
  m_regions.Clear();
  ::KillTimer(GetSafeHwnd(), kSelectionTimer);
  return std::nullopt;
}

void CChildInfomationDlg::SetParentHandle(HWND hwnd) {
  m_hParent = hwnd;
  if (GetSafeHwnd())
    ::SetWindowTextA(GetSafeHwnd(), platform::Format("子ウィンドウ情報（親ハンドル=0x%08x)", HandleValue(hwnd)).c_str());
  m_hSelected = nullptr;
  m_rcSelected = RECT{};
  m_rcFramed = RECT{};
}

void CChildInfomationDlg::update() {
  Trace("CChildInfomationDlg::update()\n");
  CollectChildren();

  const int mark = m_list.GetSelectionMark();
  std::optional<std::string> remembered;
  if (mark >= 0) remembered = m_list.GetItemText(mark, 0);

  m_list.SetRedraw(false);
  m_list.DeleteAllItems();
  FillList();
  if (remembered) {
    const int found = m_list.FindRow(0, *remembered);
    if (found >= 0)
      m_list.SelectRow(found);
    else
      m_rcSelected = RECT{};
  }
  m_list.SetRedraw(true);

  if (AutoCapture(GetSafeHwnd(), m_hParent, m_picture)) {
    m_dScale = 0.0;
    InvalidateImage();
  }
}

void CChildInfomationDlg::FillList() {
  for (size_t i = 0; i < m_children.size(); ++i) {
    const auto cells = inspector::ChildRowTexts(m_children[i]);
    const int row = m_list.InsertItem(static_cast<int>(i), cells[0]);
    for (int column = 1; column < inspector::kChildColumns; ++column) m_list.SetItemText(row, column, cells[column]);
  }
}

LRESULT CChildInfomationDlg::OnListDeleteAll(NMHDR*) { return TRUE; }

void CChildInfomationDlg::RefreshSelection() {
  if (!::IsWindow(m_hSelected)) {
    for (int id : kSelectionLabels) SetDlgItemText(id, "");
    m_rcSelected = RECT{};
    return;
  }
  SetDlgItemText(IDC_CI_STYLE, platform::FormatHex32(static_cast<DWORD>(::GetWindowLongA(m_hSelected, GWL_STYLE))));
  SetDlgItemText(IDC_CI_EXSTYLE,
                 platform::FormatHex32(static_cast<DWORD>(::GetWindowLongA(m_hSelected, GWL_EXSTYLE))));
  RECT window{};
  ::GetWindowRect(m_hSelected, &window);
  SetDlgItemText(IDC_CI_RECT_TOP, platform::FormatInt(window.top));
  SetDlgItemText(IDC_CI_RECT_LEFT, platform::FormatInt(window.left));
  SetDlgItemText(IDC_CI_RECT_RIGHT, platform::FormatInt(window.right));
  SetDlgItemText(IDC_CI_RECT_BOTTOM, platform::FormatInt(window.bottom));
  RECT client{};
  ::GetClientRect(m_hSelected, &client);
  SetDlgItemText(IDC_CI_CLIENT_W, platform::FormatInt(client.right));
  SetDlgItemText(IDC_CI_CLIENT_H, platform::FormatInt(client.bottom));
  RECT parent{};
  ::GetWindowRect(m_hParent, &parent);
  const RECT relative{window.left - parent.left, window.top - parent.top, window.right - parent.left,
                      window.bottom - parent.top};
  SetDlgItemText(IDC_CI_REL_TOP, platform::FormatInt(relative.top));
  SetDlgItemText(IDC_CI_REL_LEFT, platform::FormatInt(relative.left));
  SetDlgItemText(IDC_CI_REL_RIGHT, platform::FormatInt(relative.right));
  SetDlgItemText(IDC_CI_REL_BOTTOM, platform::FormatInt(relative.bottom));
  m_rcSelected = relative;
}

std::optional<LRESULT> CChildInfomationDlg::OnTimer(WPARAM wParam, LPARAM) {
  if (wParam == kSelectionTimer) RefreshSelection();
  return std::nullopt;
}

void CChildInfomationDlg::InvalidateImage() { ::InvalidateRect(GetSafeHwnd(), &m_rcImage, TRUE); }

std::optional<LRESULT> CChildInfomationDlg::OnPaint(WPARAM, LPARAM) {
  platform::CPaintDcGuard paint(GetSafeHwnd());
  if (!platform::HasTarget(m_hParent)) return 0;
  HDC dc = paint.Get();
  const POINT corner{m_rcImage.left, m_rcImage.top};
  const inspector::PictureLayout layout =
      inspector::LayOutPicture(m_picture.width, m_picture.height, m_rcImage.right - m_rcImage.left,
                               m_rcImage.bottom - m_rcImage.top);
  m_dScale = layout.scale;
  if (m_picture.bitmap) {
    platform::UniqueMemoryDc memory(::CreateCompatibleDC(dc));
    if (memory) {
      platform::CSelectObjectGuard select(memory.get(), m_picture.bitmap.get());
      if (layout.stretched) {
        ::SetStretchBltMode(dc, HALFTONE);
        ::SetBrushOrgEx(dc, 0, 0, nullptr);
        ::StretchBlt(dc, corner.x, corner.y, layout.drawWidth, layout.drawHeight, memory.get(), 0, 0,
                     m_picture.width, m_picture.height, SRCCOPY);
      } else {
        ::BitBlt(dc, corner.x, corner.y, m_picture.width, m_picture.height, memory.get(), 0, 0, SRCCOPY);
      }
    }
  }
  if (const std::optional<RECT> frame = inspector::FrameOnPicture(m_rcSelected, layout, corner)) {
    platform::UniqueBrush red = platform::MakeSolidBrush(RGB(255, 0, 0));
    ::FrameRect(dc, &*frame, red.get());
  }
  if (const std::optional<RECT> framed = inspector::FrameOnPicture(m_rcFramed, layout, corner)) {
    platform::UniqueBrush blue = platform::MakeSolidBrush(RGB(0, 0, 255));
    ::FrameRect(dc, &*framed, blue.get());
  }
  return 0;
}

std::optional<LRESULT> CChildInfomationDlg::OnCtlColorStatic(WPARAM wParam, LPARAM lParam) {
  const LRESULT fallback = DefaultCtlColor(WM_CTLCOLORSTATIC, wParam, lParam);
  ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
  if (IsValueLabel(::GetDlgCtrlID(reinterpret_cast<HWND>(lParam)))) return reinterpret_cast<LRESULT>(m_brLabel.get());
  return fallback;
}

LRESULT CChildInfomationDlg::OnListClick(NMHDR*) {
  const int mark = m_list.GetSelectionMark();
  if (mark < 0) return 0;
  m_hSelected = platform::ParseHandleText(m_list.GetItemText(mark, 0));
  RefreshSelection();
  m_spinX.SetPos32(0);
  m_spinY.SetPos32(0);
  InvalidateImage();
  return 0;
}

std::optional<LRESULT> CChildInfomationDlg::OnLButtonDown(WPARAM wParam, LPARAM lParam) {
  const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  Trace("OnLButtonDown(0x%08x, x=%d, y=%d) ", static_cast<unsigned>(wParam), static_cast<int>(point.x),
        static_cast<int>(point.y));
  if (!::IsWindow(m_hParent)) return 0;
  if (!::PtInRect(&m_rcImage, point)) {
    Trace("OutOfImageRect\n");
    return std::nullopt;
  }
  Trace("Iner ImageRect\n");
  const POINT onPicture{point.x - m_rcImage.left, point.y - m_rcImage.top};
  Trace("ipoint x=%d, y=%d\n", static_cast<int>(onPicture.x), static_cast<int>(onPicture.y));
  // Before the new picture has been painted there is no scale to map the point with.
  const std::optional<POINT> onWindow = inspector::PictureToWindowPoint(onPicture, m_dScale);
  if (!onWindow) return std::nullopt;
  Trace("WinPoint x=%d, y=%d\n", static_cast<int>(onWindow->x), static_cast<int>(onWindow->y));
  RECT parent{};
  ::GetWindowRect(m_hParent, &parent);
  const POINT screen{onWindow->x + parent.left, onWindow->y + parent.top};
  Trace("spoint x=%d, y=%d\n", static_cast<int>(screen.x), static_cast<int>(screen.y));

  const std::optional<HWND> found = inspector::FindDeepestChildAt(m_children, m_hParent, screen).deepest;
  if (!found) {
    Trace("NotFind ChildWindow!\n");
    return std::nullopt;
  }
  Trace("Find ChildWindow handle=0x%08x\n", HandleValue(*found));
  SelectChildAt(*found, screen);
  return std::nullopt;
}

void CChildInfomationDlg::SelectChildAt(HWND child, POINT screen) {
  SelectChildByHandle(child);
  POINT client = screen;
  ::ScreenToClient(child, &client);
  m_spinX.SetPos32(client.x);
  m_spinY.SetPos32(client.y);
}

void CChildInfomationDlg::SelectChildByHandle(HWND hwnd) {
  for (size_t i = 0; i < m_children.size(); ++i) {
    if (m_children[i].hwnd != hwnd) continue;
    m_hSelected = hwnd;
    RefreshSelection();
    m_list.SelectRow(static_cast<int>(i));
    InvalidateImage();
    return;
  }
}

void CChildInfomationDlg::OnRefresh() {
  if (::IsWindow(m_hParent)) update();
}

std::optional<HWND> CChildInfomationDlg::AddressedChild() const {
  const int mark = m_list.GetSelectionMark();
  if (mark < 0 || static_cast<size_t>(mark) >= m_children.size()) return std::nullopt;
  const HWND child = m_children[static_cast<size_t>(mark)].hwnd;
  if (!::IsWindow(child)) return std::nullopt;
  return child;
}

LPARAM CChildInfomationDlg::SpinPoint() const {
  const WORD x = LOWORD(m_spinX.Send(UDM_GETPOS));
  const WORD y = LOWORD(m_spinY.Send(UDM_GETPOS));
  return MAKELPARAM(x, y);
}

void CChildInfomationDlg::SendToSelected(inspector::ChildCommand command) {
  if (const auto child = AddressedChild()) inspector::SendToChild(*child, command, SpinPoint());
}

// The log belongs to the main dialog, which keeps one per window.
void CChildInfomationDlg::OnMessageLog() {
  if (m_hSelected && platform::IsLiveTarget(m_hSelected))
    platform::RequestView(GetSafeHwnd(), platform::kOpenMessageLogMessage, m_hSelected);
}

// The send dialog of the selected child, or of the inspected window; the main dialog keeps them.
void CChildInfomationDlg::OnSendMessage() {
  platform::RequestView(GetSafeHwnd(), platform::kOpenSendMessageMessage, m_hSelected ? m_hSelected : m_hParent);
}

// The selected child's properties, or the inspected window's; the main dialog keeps the views.
void CChildInfomationDlg::OnProperties() {
  platform::RequestView(GetSafeHwnd(), platform::kOpenPropertiesMessage, m_hSelected ? m_hSelected : m_hParent);
}

LRESULT CChildInfomationDlg::OnListDoubleClick(NMHDR* header) {
  const int row = reinterpret_cast<const NMITEMACTIVATE*>(header)->iItem;
  if (row >= 0) platform::RequestView(GetSafeHwnd(), platform::kOpenPropertiesMessage, platform::ParseHandleText(m_list.GetItemText(row, 0)));
  return 0;
}

// The view of the selected child, or of the inspected window when none is selected.
void CChildInfomationDlg::OnAccessibility() {
  const HWND window = m_hSelected && platform::IsLiveTarget(m_hSelected) ? m_hSelected : m_hParent;
  if (platform::IsLiveTarget(window)) platform::RequestView(GetSafeHwnd(), platform::kOpenAccessibilityMessage, window);
}

void CChildInfomationDlg::FrameScreenRect(HWND window, const RECT& screen) {
  RECT parent{};
  if (!platform::IsLiveTarget(m_hParent) || (window != m_hParent && !::IsChild(m_hParent, window)) ||
      !::GetWindowRect(m_hParent, &parent))
    return;
  m_rcFramed = RECT{screen.left - parent.left, screen.top - parent.top, screen.right - parent.left,
                    screen.bottom - parent.top};
  InvalidateImage();
}

// The editors are owned by the inspector, so it is disabled while they are open.
void CChildInfomationDlg::OnStyle() { operations::EditStyleWord(GetSafeHwnd(), m_hSelected, GWL_STYLE); }

void CChildInfomationDlg::OnExStyle() { operations::EditStyleWord(GetSafeHwnd(), m_hSelected, GWL_EXSTYLE); }

void CChildInfomationDlg::OnCutRegion() { m_regions.CutOut(m_hParent, m_rcSelected); }

void CChildInfomationDlg::OnRectRegion() { m_regions.SetRectangle(m_hParent, m_rcSelected); }

void CChildInfomationDlg::OnReleaseRegion() { m_regions.Release(m_hParent); }
