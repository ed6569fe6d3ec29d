#include "mainlist/QuorvelDlg.h"

#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "app/AboutDlg.h"
#include "platform/ProcessLookup.h"
#include "mainlist/WindowRows.h"
#include "platform/Dpi.h"
#include "platform/Format.h"
#include "platform/Target.h"
#include "platform/WideText.h"
#include "platform/WinApp.h"
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
  };
  return kMap;
}

void CQuorvelDlg::DoDataExchange(platform::CDataExchange& dx) {
  platform::DDX_Control(dx, IDC_MAIN_AUTOUPDATE, m_btnAutoUpdate);
  platform::DDX_Control(dx, IDC_MAIN_LIST, m_list);
  platform::DDX_Check(dx, IDC_MAIN_VISIBLEONLY, m_bVisibleOnly);
  platform::DDX_Check(dx, IDC_MAIN_WITHTITLE, m_bWithTitle);
  platform::DDX_Check(dx, IDC_MAIN_AUTOUPDATE, m_bAutoUpdate);
}

BOOL CQuorvelDlg::OnInitDialog() {
  CDialog::OnInitDialog();

  HMENU systemMenu = ::GetSystemMenu(m_hWnd, FALSE);
  if (systemMenu) {
    char about[256] = {};
    ::LoadStringA(platform::AppInstance(), IDS_ABOUTBOX, about, sizeof(about));
    if (about[0]) {
      ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
      ::AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, about);
    }
  }
  ::SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  ::SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
  ::SetWindowTextA(m_hWnd, "Tsuravi");

  m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
  OnDpiChanged(platform::WindowDpi(m_hWnd));
  FillWindowList();

  m_opDlg.Create(m_hWnd);
  m_opDlg.ShowWindow(SW_SHOW);
  m_cptViewDlg.Create(m_hWnd);
  m_cptViewDlg.ShowWindow(SW_SHOW);
  m_childInfoDlg.Create(m_hWnd);
  m_childInfoDlg.ShowWindow(SW_HIDE);
  m_finder.Attach(m_hWnd, IDC_MAIN_FINDER, IDC_MAIN_PATH);

  m_bAutoUpdate = 1;
  ApplyAutoUpdate();
  UpdateData(false);
  ::SetTimer(m_hWnd, kAutoUpdateTimerId, kAutoUpdatePeriodMs, nullptr);
  return TRUE;
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

// The list grows with its font and the columns with the DPI; at a high DPI the font grows less,
// and the last heading would be cut at the list's edge. The title column then gives up what is
// missing, down to half its width.
void CQuorvelDlg::FitLastHeading(UINT dpi) {
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
  for (const mainlist::WindowRow& row : CollectRows()) AppendRow(row);
}

std::vector<mainlist::WindowRow> CQuorvelDlg::CollectRows() {
  // A window listed before with the same process identifier belongs to the same process (no
  // window outlives its process): its name is taken from the list, not looked up again.
  std::unordered_map<std::string, std::string> processNames;
  for (int i = 0; i < m_list.GetItemCount(); ++i)
    processNames.emplace(m_list.GetItemText(i, 3) + "/" + m_list.GetItemText(i, 2), m_list.GetItemText(i, 1));
  std::vector<mainlist::WindowRow> rows;
  m_pProcessNames = &processNames;
  m_pRows = &rows;
  ::EnumWindows(
      [](HWND hwnd, LPARAM context) WINAPI -> BOOL {
        reinterpret_cast<CQuorvelDlg*>(context)->AddWindowRow(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(this));
  m_pRows = nullptr;
  m_pProcessNames = nullptr;
  return rows;
}

std::string CQuorvelDlg::LookUpProcessName(DWORD pid, const std::string& handle) {
  if (!m_pProcessNames) return GetProcessName(pid);
  const std::string pidText = platform::FormatInt(static_cast<int>(pid));
  auto known = m_pProcessNames->find(handle + "/" + pidText);
  if (known == m_pProcessNames->end()) known = m_pProcessNames->find(pidText);
  if (known != m_pProcessNames->end()) return known->second;
  return m_pProcessNames->emplace(pidText, GetProcessName(pid)).first->second;
}

void CQuorvelDlg::AddWindowRow(HWND hwnd) {
  if (hwnd == m_hWnd) return;
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
  mainlist::WindowRow row =
      mainlist::MakeWindowRow(title, LookUpProcessName(pid, platform::FormatHandle(hwnd)), pid, hwnd);
  if (m_pRows)
    m_pRows->push_back(std::move(row));
  else
    AppendRow(row);
}

void CQuorvelDlg::AppendRow(const mainlist::WindowRow& row) {
  int index = m_list.InsertItem(m_list.GetItemCount(), row.title);
  m_list.SetItemText(index, 1, row.processName);
  m_list.SetItemText(index, 2, row.pid);
  m_list.SetItemText(index, 3, row.handle);
}

bool CQuorvelDlg::ShowsRows(const std::vector<mainlist::WindowRow>& rows) const {
  if (m_list.GetItemCount() != static_cast<int>(rows.size())) return false;
  for (size_t i = 0; i < rows.size(); ++i) {
    const int index = static_cast<int>(i);
    if (m_list.GetItemText(index, 3) != rows[i].handle || m_list.GetItemText(index, 2) != rows[i].pid ||
        m_list.GetItemText(index, 1) != rows[i].processName || m_list.GetItemTextW(index, 0) != rows[i].title)
      return false;
  }
  return true;
}

void CQuorvelDlg::RefreshWindowList() {
  UpdateData(true);
  int selected = m_list.GetSelectionMark();
  std::string selectedHandle = selected >= 0 ? m_list.GetItemText(selected, 3) : std::string();

  const std::vector<mainlist::WindowRow> rows = CollectRows();
  // Rows as they are shown are left alone: a refresh at rest neither rebuilds nor repaints.
  const bool changed = !ShowsRows(rows);
  if (changed) {
    m_list.SetRedraw(false);
    m_list.DeleteAllItems();
    for (const mainlist::WindowRow& row : rows) AppendRow(row);
  }

  if (selected >= 0) {
    int found = FindRowOf(selectedHandle);
    if (found >= 0) {
      SelectListRow(found);
    } else {
      m_opDlg.SetTarget(platform::kNoTarget, static_cast<DWORD>(-1));
    }
  }
  if (changed) m_list.SetRedraw(true);
}

int CQuorvelDlg::FindRowOf(const std::string& handle) {
  std::vector<std::string> handles;
  int count = m_list.GetItemCount();
  handles.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) handles.push_back(m_list.GetItemText(i, 3));
  return mainlist::FindRowByHandle(handles, handle);
}

void CQuorvelDlg::SelectListRow(int row) {
  m_list.SetSelectionMark(row);
  m_list.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
  m_list.SetHotItem(row);
  m_list.EnsureVisible(row, false);
}

LRESULT CQuorvelDlg::OnListClick(NMHDR*) {
  int row = m_list.GetSelectionMark();
  if (row < 0) return 0;
  mainlist::RowTarget target = mainlist::ParseRowTarget(m_list.GetItemText(row, 2), m_list.GetItemText(row, 3));
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
  int row = FindRowOf(handle);
  if (row < 0) {
    RefreshWindowList();
    row = FindRowOf(handle);
  }
  if (row >= 0) {
    SelectListRow(row);
  } else {
    // Hidden by the filters: no row stays marked for a window that is no longer the target.
    m_list.SetItemState(-1, 0, LVIS_SELECTED);
    m_list.SetSelectionMark(-1);
  }
  HandOverTarget(pick.root, pid);
  if (pick.window != pick.root) m_childInfoDlg.SelectChildAt(pick.window, screen);
}

void CQuorvelDlg::OnCancel() {
  if (m_finder.Dragging()) {
    m_finder.Cancel();
    return;
  }
  CDialog::OnCancel();
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

std::optional<LRESULT> CQuorvelDlg::OnLButtonDown(WPARAM, LPARAM lParam) {
  if (!m_finder.BeginDrag(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)})) return std::nullopt;
  return 0;
}

std::optional<LRESULT> CQuorvelDlg::OnMouseMove(WPARAM, LPARAM) {
  if (!m_finder.Dragging()) return std::nullopt;
  m_finder.Track(CursorPoint());
  return 0;
}

std::optional<LRESULT> CQuorvelDlg::OnLButtonUp(WPARAM, LPARAM) {
  if (!m_finder.Dragging()) return std::nullopt;
  DropFinder(CursorPoint());
  return 0;
}

void CQuorvelDlg::DropFinder(POINT screen) {
  if (const std::optional<mainlist::FinderPick> pick = m_finder.Drop(screen)) TakeFinderPick(*pick, screen);
}

std::optional<LRESULT> CQuorvelDlg::OnRButtonDown(WPARAM, LPARAM) {
  if (!m_finder.Dragging()) return std::nullopt;
  m_finder.Cancel();
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

std::optional<LRESULT> CQuorvelDlg::OnTimer(WPARAM wParam, LPARAM) {
  if (wParam == kFinderTimerId) {
    POINT released{};
    if (m_finder.OnTimer(&released)) DropFinder(released);
    return 0;
  }
  if (wParam == kAutoUpdateTimerId && (m_btnAutoUpdate.GetState() & 0x3) != 0) {
    ::KillTimer(m_hWnd, kAutoUpdateTimerId);
    RefreshWindowList();
    ::SetTimer(m_hWnd, kAutoUpdateTimerId, kAutoUpdatePeriodMs, nullptr);
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
  if (!::IsIconic(m_hWnd)) return std::nullopt;
  platform::CPaintDcGuard dc(m_hWnd);
  ::SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0);
  RECT client;
  ::GetClientRect(m_hWnd, &client);
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
  m_childInfoDlg.DestroyWindow();
  return std::nullopt;
}
