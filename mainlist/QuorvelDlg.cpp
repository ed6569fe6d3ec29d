#include "mainlist/QuorvelDlg.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "app/AboutDlg.h"
#include "platform/ProcessLookup.h"
#include "mainlist/WindowRows.h"
#include "platform/Dpi.h"
#include "platform/Format.h"
#include "platform/Target.h"
#include "platform/ViewRequests.h"
#include "platform/WideText.h"
#include "platform/WinApp.h"
#include "platform/WindowWalk.h"
#include "res/resource.h"

CQuorvelDlg::CQuorvelDlg()
    : CDialogT(IDD_QUORVEL_DIALOG),
      m_hIcon(::LoadIconA(platform::AppInstance(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      m_brStatus(platform::MakeSolidBrush(RGB(255, 255, 255))) {}

// The window goes before the embedded panels, whose windows are its children.
CQuorvelDlg::~CQuorvelDlg() { DestroyWindow(); }

CQuorvelDlg::MessageMapView CQuorvelDlg::MessageMap() {
  static const MessageEntry kMap[] = {
      OnNotify(IDC_MAIN_LIST, NM_CLICK, &CQuorvelDlg::OnListClick),
      OnNotify(IDC_MAIN_LIST, LVN_DELETEALLITEMS, &CQuorvelDlg::OnListDeleteAll),
      OnCommand(IDC_MAIN_REFRESH, BN_CLICKED, &CQuorvelDlg::OnRefresh),
      OnCommand(IDC_MAIN_AUTOUPDATE, BN_CLICKED, &CQuorvelDlg::OnAutoUpdate),
      OnCommand(IDC_MAIN_CHILDINFO, BN_CLICKED, &CQuorvelDlg::OnChildInfo),
      OnCommand(IDC_MAIN_SEARCH, EN_CHANGE, &CQuorvelDlg::OnSearchChange),
      OnCommand(IDC_MAIN_MESSAGELOG, BN_CLICKED, &CQuorvelDlg::OnMessageLog),
      OnCommand(IDC_MAIN_PROPERTIES, BN_CLICKED, &CQuorvelDlg::OnProperties),
      OnCommand(IDC_MAIN_TREE, BN_CLICKED, &CQuorvelDlg::OnWindowTree),
      OnCommand(IDC_MAIN_ACCESSIBILITY, BN_CLICKED, &CQuorvelDlg::OnAccessibility),
      OnCommand(IDC_MAIN_SENDMESSAGE, BN_CLICKED, &CQuorvelDlg::OnSendMessage),
      OnMessage(WM_TIMER, &CQuorvelDlg::OnTimer),
      OnMessage(WM_SYSCOMMAND, &CQuorvelDlg::OnSysCommand),
      OnMessage(WM_PAINT, &CQuorvelDlg::OnPaint),
      OnMessage(WM_QUERYDRAGICON, &CQuorvelDlg::OnQueryDragIcon),
      OnMessage(WM_CTLCOLORBTN, &CQuorvelDlg::OnCtlColorBtn),
      OnMessage(WM_CTLCOLORSTATIC, &CQuorvelDlg::OnCtlColorStatic),
      OnMessage(WM_DESTROY, &CQuorvelDlg::OnDestroy),
      OnMessage(WM_LBUTTONDOWN, &CQuorvelDlg::OnLButtonDown),
      // The dialog class takes double clicks: a second press soon after the first is one too.
      OnMessage(WM_LBUTTONDBLCLK, &CQuorvelDlg::OnLButtonDown),
      OnMessage(WM_MOUSEMOVE, &CQuorvelDlg::OnMouseMove),
      OnMessage(WM_LBUTTONUP, &CQuorvelDlg::OnLButtonUp),
      OnMessage(WM_RBUTTONDOWN, &CQuorvelDlg::OnRButtonDown),
      OnMessage(WM_CAPTURECHANGED, &CQuorvelDlg::OnCaptureChanged),
      OnMessage(WM_HOTKEY, &CQuorvelDlg::OnHotKey),
      OnNotify(IDC_MAIN_LIST, LVN_KEYDOWN, &CQuorvelDlg::OnListKeyDown),
      OnMessage(WM_CONTEXTMENU, &CQuorvelDlg::OnContextMenu),
  };
  return kMap;
}

BOOL CQuorvelDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_requests.Register(GetSafeHwnd(), [this](const platform::ViewRequest& request) { OnViewRequest(request); });

  HMENU systemMenu = ::GetSystemMenu(GetSafeHwnd(), FALSE);
  if (systemMenu) {
    char about[256] = {};
    ::LoadStringA(platform::AppInstance(), IDS_ABOUTBOX, about, sizeof(about));
    if (about[0]) {
      ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
      ::AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, about);
    }
  }
  ::SendMessageA(GetSafeHwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  ::SendMessageA(GetSafeHwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
  ::SetWindowTextA(GetSafeHwnd(), "Tsuravi");

  m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
  OnDpiChanged(platform::WindowDpi(GetSafeHwnd()));
  FillWindowList();

  m_opDlg.Create(GetSafeHwnd());
  m_opDlg.ShowWindow(SW_SHOW);
  m_cptViewDlg.Create(GetSafeHwnd());
  m_cptViewDlg.ShowWindow(SW_SHOW);
  m_childInfoDlg.Create(GetSafeHwnd());
  m_childInfoDlg.ShowWindow(SW_HIDE);
  m_finder.Attach(GetSafeHwnd(), IDC_MAIN_FINDER, IDC_MAIN_PATH);
  m_search.Attach(GetSafeHwnd(), IDC_MAIN_SEARCH);

  m_bAutoUpdate = 1;
  ApplyAutoUpdate();
  UpdateData(false);
  ::SetTimer(GetSafeHwnd(), kAutoUpdateTimerId, kAutoUpdatePeriodMs, nullptr);
  return TRUE;
}

void CQuorvelDlg::DoDataExchange(platform::CDataExchange& dx) {
  platform::DDX_Control(dx, IDC_MAIN_AUTOUPDATE, m_btnAutoUpdate);
  platform::DDX_Control(dx, IDC_MAIN_LIST, m_list);
  // The two filters and the automatic refresh.
  const std::pair<int, int*> checks[] = {
      {IDC_MAIN_VISIBLEONLY, &m_bVisibleOnly}, {IDC_MAIN_WITHTITLE, &m_bWithTitle}, {IDC_MAIN_AUTOUPDATE, &m_bAutoUpdate}};
  for (const auto& [id, value] : checks) platform::DDX_Check(dx, id, *value);
}

void CQuorvelDlg::OnDpiChanged(UINT dpi) {
  platform::LayOutListColumns(m_list,
                              {{"Title", LVCFMT_LEFT, 150},
                               {"ProcessName", LVCFMT_LEFT, 100},
                               {"PID", LVCFMT_RIGHT, 40},
                               {"WinHandle", LVCFMT_LEFT, 100}},
                              dpi);
  FitLastHeading(dpi);
}

// The list grows with its font and the columns with the DPI; above 96 DPI the font grows less,
// and the last heading would be cut at the list's edge. The title column then gives up what is
// missing, down to half its width. At 96 DPI and below the columns keep their own widths.
void CQuorvelDlg::FitLastHeading(UINT dpi) {
  if (dpi <= platform::kDefaultDpi) return;
  constexpr int kLast = 3;
  constexpr char kLastHeading[] = "WinHandle";
  HWND header = reinterpret_cast<HWND>(m_list.Send(LVM_GETHEADER));
  if (!header) return;
  SIZE text{};
  {
    platform::CWindowDcGuard dc(header);
    if (!dc.Get()) return;
    platform::CSelectObjectGuard font(dc.Get(), reinterpret_cast<HGDIOBJ>(::SendMessageA(header, WM_GETFONT, 0, 0)));
    ::GetTextExtentPoint32A(dc.Get(), kLastHeading, sizeof(kLastHeading) - 1, &text);
  }
  int before = 0;
  for (int column = 0; column < kLast; ++column) before += static_cast<int>(m_list.Send(LVM_GETCOLUMNWIDTH, column));
  RECT client{};
  ::GetClientRect(m_list.GetSafeHwnd(), &client);
  // The heading's margins, as the header draws them.
  const int overflow = before + text.cx + platform::ScaleForDpi(12, dpi) - client.right;
  const int title = static_cast<int>(m_list.Send(LVM_GETCOLUMNWIDTH, 0));
  if (overflow > 0) m_list.Send(LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(std::max(title - overflow, title / 2), 0));
}

void CQuorvelDlg::FillWindowList() {
  std::vector<platform::ListRow> rows;
  ProcessNames processNames;
  ListedNames listed;
  platform::ForEachTopLevelWindow([&](HWND hwnd) {
    AddWindowRow(hwnd, rows, processNames, listed);
    return true;
  });
  // Between two refreshes few windows change: only what changed is written to the list.
  m_list.UpdateRows(m_rows, rows);
  m_rows = std::move(rows);
  m_listedNames = std::move(listed);
}

std::wstring CQuorvelDlg::ProcessNameOf(HWND hwnd, DWORD pid, ProcessNames& processNames, ListedNames& listed) {
  // A window listed at the last walk with the same process id belongs to the same process (no
  // window outlives its process): its name is not looked up again. Any other process is opened
  // once per walk however many windows it has.
  const ListedWindow window{hwnd, pid};
  auto shown = m_listedNames.find(window);
  if (shown != m_listedNames.end()) return listed.emplace(window, shown->second).first->second;
  auto known = processNames.find(pid);
  if (known == processNames.end()) known = processNames.emplace(pid, GetProcessNameW(pid)).first;
  return listed.emplace(window, known->second).first->second;
}

void CQuorvelDlg::AddWindowRow(HWND hwnd, std::vector<platform::ListRow>& rows, ProcessNames& processNames,
                               ListedNames& listed) {
  if (hwnd == GetSafeHwnd()) return;
  // IsWindowVisible is false for a handle that is no longer a window, so a window destroyed
  // during the walk counts as not visible without a separate IsWindow round trip.
  bool visible = ::IsWindowVisible(hwnd) != FALSE;
  if (m_bVisibleOnly && !visible) return;

  // The title the system keeps, in UTF-16: reading it does not wait for another program's
  // thread, so a hung window cannot stall the walk.
  const std::wstring title = platform::SystemWindowText(hwnd, mainlist::kTitleBufferSize - 1);
  if (!mainlist::PassesFilters(visible, title, m_bVisibleOnly != 0, m_bWithTitle != 0)) return;

  DWORD pid = 0;
  ::GetWindowThreadProcessId(hwnd, &pid);
  const std::wstring processName = ProcessNameOf(hwnd, pid, processNames, listed);
  if (!m_search.Admits(title, processName, pid, hwnd)) return;
  rows.push_back(mainlist::MakeWindowRow(title, processName, pid, hwnd).Cells());
}

void CQuorvelDlg::RefreshWindowList() {
  UpdateData(true);
  int selected = m_list.GetSelectionMark();
  // The target's row: the selected one, or the one the search hid at the last refresh.
  HWND target = selected >= 0 ? platform::ParseHandleText(m_list.GetItemText(selected, mainlist::kHandleColumn)) : m_search.HiddenTarget();
  m_search.BeginRefresh(target);

  m_list.ClearSelection();
  FillWindowList();

  if (target) {
    int found = m_list.FindRow(mainlist::kHandleColumn, platform::FormatHandle(target));
    if (found >= 0) {
      m_list.SelectRow(found);
    } else if (!m_search.HiddenTarget()) {
      m_opDlg.SetTarget(platform::kNoTarget, platform::kNoProcess);
    }
  }
}

LRESULT CQuorvelDlg::OnListClick(NMHDR*) {
  int row = m_list.GetSelectionMark();
  if (row < 0) return 0;
  mainlist::RowTarget target = mainlist::ParseRowTarget(m_list.GetItemText(row, mainlist::kPidColumn),
                                                        m_list.GetItemText(row, mainlist::kHandleColumn));
  HandOverTarget(target.hwnd, target.pid);
  return 0;
}

void CQuorvelDlg::HandOverTarget(HWND hwnd, DWORD pid) {
  m_opDlg.SetTarget(hwnd, pid);

  m_cptViewDlg.SetTarget(hwnd);

  m_childInfoDlg.SetParentHandle(hwnd);
  m_childInfoDlg.update();

  ShowProcessPath(pid);
}

void CQuorvelDlg::TakeFinderPick(const mainlist::FinderPick& pick, POINT screen) {
  DWORD pid = 0;
  ::GetWindowThreadProcessId(pick.root, &pid);
  const std::string handle = platform::FormatHandle(pick.root);
  int row = m_list.FindRow(mainlist::kHandleColumn, handle);
  if (row < 0) {
    // Looked for as the target whose row the search hid: selected when the list shows it,
    // and again once the search lets it back.
    m_list.ClearSelection();
    m_search.KeepTarget(pick.root);
    RefreshWindowList();
    row = m_list.FindRow(mainlist::kHandleColumn, handle);
  }
  if (row >= 0) {
    m_list.SelectRow(row);
  } else {
    // Hidden by the filters: no row stays marked for a window that is no longer the target.
    m_list.ClearSelection();
  }
  HandOverTarget(pick.root, pid);
  if (pick.window != pick.root) m_childInfoDlg.SelectChildAt(pick.window, screen);
}

void CQuorvelDlg::OnCancel() {
  if (m_finder.Dragging()) {
    m_finder.Cancel();
    return;
  }
  if (::GetFocus() == m_search.Box()) {
    if (m_search.Clear()) RefreshWindowList();
    return;
  }
  CDialog::OnCancel();
}

void CQuorvelDlg::OnOK() {
  if (::GetFocus() == m_search.Box()) {
    m_search.OnTimer();
    RefreshWindowList();
    return;
  }
  CDialog::OnOK();
}

namespace {
// Where the pointer is now. Under Wine a captured window's mouse messages can carry a position
// the pointer has long left, so the drag goes by the pointer itself.
POINT CursorPoint() {
  POINT point{};
  ::GetCursorPos(&point);
  return point;
}
}  // namespace

std::optional<LRESULT> CQuorvelDlg::OnLButtonDown(WPARAM wParam, LPARAM lParam) {
  m_finder.RelayMouse(WM_LBUTTONDOWN, wParam, lParam);
  if (!m_finder.BeginDrag(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)})) return std::nullopt;
  return 0;
}

std::optional<LRESULT> CQuorvelDlg::OnMouseMove(WPARAM wParam, LPARAM lParam) {
  m_finder.RelayMouse(WM_MOUSEMOVE, wParam, lParam);
  if (!m_finder.Dragging()) return std::nullopt;
  m_finder.Track(CursorPoint());
  return 0;
}

std::optional<LRESULT> CQuorvelDlg::OnLButtonUp(WPARAM wParam, LPARAM lParam) {
  m_finder.RelayMouse(WM_LBUTTONUP, wParam, lParam);
  if (!m_finder.Dragging()) return std::nullopt;
  DropFinder(CursorPoint());
  return 0;
}

void CQuorvelDlg::DropFinder(POINT screen) {
  if (const std::optional<mainlist::FinderPick> pick = m_finder.Drop(screen)) TakeFinderPick(*pick, screen);
}

std::optional<LRESULT> CQuorvelDlg::OnRButtonDown(WPARAM wParam, LPARAM lParam) {
  m_finder.RelayMouse(WM_RBUTTONDOWN, wParam, lParam);
  if (!m_finder.Dragging()) return std::nullopt;
  m_finder.Cancel();
  return 0;
}

std::optional<LRESULT> CQuorvelDlg::OnHotKey(WPARAM wParam, LPARAM) {
  // Not during a drag, nor while a modal dialog of ours works on the target.
  if (wParam != kPickKeyId || m_finder.Dragging() || !::IsWindowEnabled(GetSafeHwnd())) return 0;
  const POINT screen = CursorPoint();
  if (accessibility::CAccessibilityDlg* view = AccessibilityViewInFront()) {
    // Nothing over Quorvel's own windows; a window outside the view's is picked in a view of its own.
    const HWND under = ::WindowFromPoint(screen);
    DWORD pid = 0;
    if (under) ::GetWindowThreadProcessId(under, &pid);
    if (!under || pid == ::GetCurrentProcessId()) return 0;
    if (under != view->Viewed() && !::IsChild(view->Viewed(), under))
      if (accessibility::CAccessibilityDlg* other = m_accessibilityViews.Open(GetSafeHwnd(), under)) view = other;
    view->PickAt(screen);
    return 0;
  }
  if (const std::optional<mainlist::FinderPick> pick = m_finder.PickAt(screen)) TakeFinderPick(*pick, screen);
  return 0;
}

std::optional<LRESULT> CQuorvelDlg::OnCaptureChanged(WPARAM, LPARAM) {
  m_finder.Cancel();
  return std::nullopt;
}

// The rows carry no data of their own, so clearing the list needs no notice per row.
LRESULT CQuorvelDlg::OnListDeleteAll(NMHDR*) { return TRUE; }

void CQuorvelDlg::ShowProcessPath(DWORD pid) {
  ::SetDlgItemTextW(GetSafeHwnd(), IDC_MAIN_PATH, GetProcessPathW(pid).c_str());
}

void CQuorvelDlg::OnRefresh() { RefreshWindowList(); }

void CQuorvelDlg::OnAutoUpdate() {
  UpdateData(true);
  ApplyAutoUpdate();
  UpdateData(false);
}

void CQuorvelDlg::ApplyAutoUpdate() {
  HWND refresh = GetDlgItem(IDC_MAIN_REFRESH);
  if (m_bAutoUpdate == 1) {
    ::EnableWindow(refresh, FALSE);
    m_bWithTitle = 1;
    m_bVisibleOnly = 1;
  } else {
    ::EnableWindow(refresh, TRUE);
  }
}

void CQuorvelDlg::OnChildInfo() { m_childInfoDlg.ShowWindow(SW_SHOW); }

void CQuorvelDlg::OnSearchChange() { m_search.OnChange(); }
void CQuorvelDlg::OnMessageLog() { m_messageLogs.Open(GetSafeHwnd(), m_opDlg.Target()); }

// The inspector asks for the log of its selected child.
void CQuorvelDlg::OnProperties() { m_propertyViews.Open(GetSafeHwnd(), m_opDlg.Target()); }

void CQuorvelDlg::OnWindowTree() { m_treeDlg.Open(GetSafeHwnd()); }

// What the views ask of the main dialog: direct calls of its own thread (platform/ViewRequests).
void CQuorvelDlg::OnViewRequest(const platform::ViewRequest& request) {
  const HWND window = request.window;
  switch (request.code) {
    case platform::kOpenMessageLogMessage:
      m_messageLogs.Open(GetSafeHwnd(), window);
      break;
    case platform::kOpenPropertiesMessage:
      m_propertyViews.Open(GetSafeHwnd(), window);
      break;
    case platform::kOpenAccessibilityMessage:
      m_accessibilityViews.Open(GetSafeHwnd(), window);
      break;
    case platform::kPickWindowMessage:
      PickWindow(window);
      break;
    case platform::kFrameScreenRectMessage:
      if (request.part) m_childInfoDlg.FrameScreenRect(window, *request.part);
      break;
    case platform::kOpenSendMessageMessage:
      m_sendViews.Open(GetSafeHwnd(), window);
      break;
    case platform::kMarkSentMessage:
      // The window's log, when one is open, marks what the send dialog's next send causes.
      if (msglog::CMessageLogDlg* log = m_messageLogs.Find(window)) log->MarkNextSend(request.value);
      break;
    default:
      break;
  }
}

void CQuorvelDlg::PickWindow(HWND window) {
  DWORD pid = 0;
  // As with the finder, none of Quorvel's own windows.
  if (!window || !::GetWindowThreadProcessId(window, &pid) || pid == ::GetCurrentProcessId()) return;
  HWND root = ::GetAncestor(window, GA_ROOT);
  RECT rect{};
  ::GetWindowRect(window, &rect);
  TakeFinderPick(mainlist::FinderPick{window, root ? root : window},
                 POINT{rect.left + (rect.right - rect.left) / 2, rect.top + (rect.bottom - rect.top) / 2});
}

void CQuorvelDlg::OnAccessibility() { m_accessibilityViews.Open(GetSafeHwnd(), m_opDlg.Target()); }

void CQuorvelDlg::OnSendMessage() { m_sendViews.Open(GetSafeHwnd(), m_opDlg.Target()); }

accessibility::CAccessibilityDlg* CQuorvelDlg::AccessibilityViewInFront() const {
  const HWND front = ::GetForegroundWindow();
  for (const auto& view : m_accessibilityViews.All())
    if (!view->Closed() && view->GetSafeHwnd() == front) return view.get();
  return nullptr;
}

std::optional<LRESULT> CQuorvelDlg::OnTimer(WPARAM wParam, LPARAM) {
  if (wParam == kFinderTimerId) {
    POINT released{};
    if (m_finder.OnTimer(&released)) DropFinder(released);
    return 0;
  }
  if (wParam == kSearchTimerId) {
    if (m_search.OnTimer()) RefreshWindowList();
    return 0;
  }
  if (wParam == kAutoUpdateTimerId && (m_btnAutoUpdate.GetState() & 0x3) != 0) {
    ::KillTimer(GetSafeHwnd(), kAutoUpdateTimerId);
    RefreshWindowList();
    ::SetTimer(GetSafeHwnd(), kAutoUpdateTimerId, kAutoUpdatePeriodMs, nullptr);
  }
  return std::nullopt;
}

std::optional<LRESULT> CQuorvelDlg::OnSysCommand(WPARAM wParam, LPARAM) {
  if ((wParam & 0xFFF0) != IDM_ABOUTBOX) return std::nullopt;
  CAboutDlg about;
  about.DoModal();
  return 0;
}

std::optional<LRESULT> CQuorvelDlg::OnPaint(WPARAM, LPARAM) {
  if (!::IsIconic(GetSafeHwnd())) return std::nullopt;
  platform::CPaintDcGuard dc(GetSafeHwnd());
  ::SendMessageA(GetSafeHwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0);
  RECT client;
  ::GetClientRect(GetSafeHwnd(), &client);
  int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
  int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
  ::DrawIcon(dc.Get(), x, y, m_hIcon);
  return 0;
}

std::optional<LRESULT> CQuorvelDlg::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(m_hIcon); }

std::optional<LRESULT> CQuorvelDlg::OnCtlColorBtn(WPARAM wParam, LPARAM lParam) {
  DefaultCtlColor(WM_CTLCOLORBTN, wParam, lParam);
  return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
}

std::optional<LRESULT> CQuorvelDlg::OnCtlColorStatic(WPARAM wParam, LPARAM lParam) {
  LRESULT brush = DefaultCtlColor(WM_CTLCOLORSTATIC, wParam, lParam);
  ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
  if (::GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDC_MAIN_PATH)
    return reinterpret_cast<LRESULT>(m_brStatus.get());
  return brush;
}

std::optional<LRESULT> CQuorvelDlg::OnDestroy(WPARAM, LPARAM) {
  m_requests.Unregister();
  m_messageLogs.CloseAll();
  m_propertyViews.CloseAll();
  m_treeDlg.DestroyWindow();
  m_accessibilityViews.CloseAll();
  m_sendViews.CloseAll();
  m_childInfoDlg.DestroyWindow();
  return std::nullopt;
}
