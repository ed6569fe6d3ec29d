#include "msglog/MessageLogDlg.h"

#include <algorithm>

#include "platform/Anchors.h"
#include "platform/CsvFile.h"
#include "platform/Dpi.h"
#include "platform/FileDialog.h"
#include "platform/FileSave.h"
#include "platform/ListCommands.h"
#include "platform/Format.h"
#include "platform/MessageBox.h"
#include "platform/Target.h"
#include "platform/WideText.h"
#include "res/resource.h"

namespace msglog {
namespace {

const char kSaveFailedMessage[] = "メッセージログを保存できませんでした。";
const char kWindowClosedNote[] = "、ウィンドウが閉じられました";
// Window kinds remembered at most.
constexpr size_t kMaxKnownKinds = 4096;
// Time one tick may spend draining before the dialog takes input again.
constexpr uint64_t kDrainBudgetMs = 25;

uint64_t Counter() {
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return static_cast<uint64_t>(now.QuadPart);
}

}  // namespace

CMessageLogDlg::CMessageLogDlg(HWND logged) : CDialogT(IDD_MESSAGELOG), m_hLogged(logged) {
  m_dwThreadId = ::GetWindowThreadProcessId(logged, &m_dwPid);
  m_names.registered = [this](uint32_t message) { return RegisteredName(message); };
  m_names.kindOf = [this](uint64_t hwnd) { return KindOf(hwnd); };
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  m_frequency = static_cast<uint64_t>(frequency.QuadPart);
}

// Hooks and channel go before the window's members, and the window before them all.
CMessageLogDlg::~CMessageLogDlg() {
  m_save.Abandon();
  StopLogging();
  DestroyWindow();
}

CMessageLogDlg::MessageMapView CMessageLogDlg::MessageMap() {
  static const MessageEntry kMap[] = {
      OnCommand(IDC_ML_STARTSTOP, BN_CLICKED, &CMessageLogDlg::OnStartStop),
      OnCommand(IDC_ML_CLEAR, BN_CLICKED, &CMessageLogDlg::OnClear),
      OnCommand(IDC_ML_SAVE, BN_CLICKED, &CMessageLogDlg::OnSave),
      OnCommand(IDC_ML_FILTER, EN_CHANGE, &CMessageLogDlg::OnFilterChange),
      OnCommand(IDC_ML_CHILDREN, BN_CLICKED, &CMessageLogDlg::OnChildren),
      OnNotify(IDC_ML_LIST, LVN_GETDISPINFOA, &CMessageLogDlg::OnGetDispInfoA),
      OnNotify(IDC_ML_LIST, LVN_GETDISPINFOW, &CMessageLogDlg::OnGetDispInfoW),
      OnNotify(IDC_ML_LIST, NM_CUSTOMDRAW, &CMessageLogDlg::OnCustomDraw),
      OnNotify(IDC_ML_LIST, LVN_KEYDOWN, &CMessageLogDlg::OnListKeyDown),
      OnMessage(WM_CONTEXTMENU, &CMessageLogDlg::OnContextMenu),
      OnMessage(WM_TIMER, &CMessageLogDlg::OnTimer),
      OnMessage(WM_SIZE, &CMessageLogDlg::OnSize),
      OnMessage(WM_GETMINMAXINFO, &CMessageLogDlg::OnGetMinMaxInfo),
      OnMessage(kInstalledMessage, &CMessageLogDlg::OnInstalled),
      OnMessage(kSaveProgressMessage, &CMessageLogDlg::OnSaveProgress),
      OnMessage(kSaveDoneMessage, &CMessageLogDlg::OnSaveDone),
  };
  return kMap;
}

BOOL CMessageLogDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_list.Attach(GetDlgItem(IDC_ML_LIST));
  // Texts of other programs may hold any character: the list asks for them in UTF-16.
  m_list.Send(CCM_SETUNICODEFORMAT, TRUE);
  m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
  ::SetWindowTextA(GetSafeHwnd(), platform::Format("メッセージログ (%s)", platform::FormatHandle(m_hLogged).c_str()).c_str());
  RECT window{};
  ::GetWindowRect(GetSafeHwnd(), &window);
  m_minTrack = SIZE{(window.right - window.left) / 2, (window.bottom - window.top) / 2};
  // The list takes the growth, the filter box the width; the check box keeps to the right and
  // the status to the bottom; the buttons stay where the template put them.
  m_layout.Attach(GetSafeHwnd(), {{IDC_ML_FILTER, platform::kAnchorLeft | platform::kAnchorTop | platform::kAnchorRight},
                                  {IDC_ML_CHILDREN, platform::kAnchorTop | platform::kAnchorRight},
                                  {IDC_ML_LIST, platform::kAnchorAll},
                                  {IDC_ML_STATUS, platform::kAnchorLeft | platform::kAnchorRight | platform::kAnchorBottom}});
  OnDpiChanged(platform::WindowDpi(GetSafeHwnd()));
  m_origin = Counter();
  StartLogging();
  ::SetTimer(GetSafeHwnd(), kDrainTimerId, kDrainPeriodMs, nullptr);
  m_filterBox.Attach(GetSafeHwnd(), IDC_ML_FILTER, kFilterTimerId);
  return TRUE;
}

void CMessageLogDlg::OnDpiChanged(UINT dpi) {
  platform::LayOutListColumns(m_list,
                              {{kColumnHeadings[kColNumber], LVCFMT_RIGHT, 56},
                               {kColumnHeadings[kColTime], LVCFMT_RIGHT, 60},
                               {kColumnHeadings[kColHandle], LVCFMT_LEFT, 76},
                               {kColumnHeadings[kColKind], LVCFMT_CENTER, 36},
                               {kColumnHeadings[kColMessage], LVCFMT_LEFT, 150},
                               {kColumnHeadings[kColWParam], LVCFMT_LEFT, 76},
                               {kColumnHeadings[kColLParam], LVCFMT_LEFT, 76},
                               {kColumnHeadings[kColResult], LVCFMT_LEFT, 76},
                               {kColumnHeadings[kColContent], LVCFMT_LEFT, 320}},
                              dpi);
}

void CMessageLogDlg::StartLogging() {
  m_strReason.clear();
  if (!m_installer) m_installer = InstallerForProcess(m_dwPid);
  if (m_bWindowClosed || !::IsWindow(m_hLogged)) {
    m_bWindowClosed = true;
  } else if (!m_channel.IsOpen() &&
             !m_channel.Open(m_dwThreadId, m_hLogged, ::IsDlgButtonChecked(GetSafeHwnd(), IDC_ML_CHILDREN) == BST_CHECKED,
                             &m_strReason)) {
  } else if (m_installer->MayWait()) {
    m_install.Start(m_installer, m_dwThreadId, GetSafeHwnd(), kInstalledMessage);
    m_bStarting = true;
  } else if (std::unique_ptr<CInstalledHooks> hooks = m_installer->Install(m_dwThreadId, &m_strReason)) {
    BeganLogging(std::move(hooks));
  }
  ShowStartStop();
  ShowStatus();
}

void CMessageLogDlg::BeganLogging(std::unique_ptr<CInstalledHooks> hooks) {
  m_hooks = std::move(hooks);
  m_channel.SetActive(true);
  m_bLogging = true;
}

// "停止" once the hooks are in; while they are being put in, the button waits with the status
// saying so (a helper that does not answer is given up within seconds).
void CMessageLogDlg::ShowStartStop() {
  if (!GetSafeHwnd()) return;
  SetDlgItemText(IDC_ML_STARTSTOP, m_bLogging ? "停止" : "開始");
  ::EnableWindow(GetDlgItem(IDC_ML_STARTSTOP), !m_bWindowClosed && !m_bStarting);
}

std::optional<LRESULT> CMessageLogDlg::OnInstalled(WPARAM, LPARAM) {
  // Only the worker's end counts: the message itself may come from any program.
  if (!m_install.Done()) return 0;
  std::string reason;
  std::unique_ptr<CInstalledHooks> hooks = m_install.Take(&reason);
  if (!m_bStarting) return 0;
  m_bStarting = false;
  if (hooks)
    BeganLogging(std::move(hooks));
  else
    m_strReason = reason;
  ShowStartStop();
  ShowStatus();
  return 0;
}

void CMessageLogDlg::StopLogging() {
  m_channel.SetActive(false);
  m_install.Abandon();
  m_bStarting = false;
  m_hooks.reset();
  m_bLogging = false;
  ShowStartStop();
}

void CMessageLogDlg::OnStartStop() {
  if (m_bStarting) return;
  if (m_bLogging) {
    StopLogging();
    ShowStatus();
  } else {
    StartLogging();
  }
}

void CMessageLogDlg::OnClosing() {
  m_save.Abandon();
  Drain();
  StopLogging();
  m_channel.Close();
  ::KillTimer(GetSafeHwnd(), kDrainTimerId);
  ::KillTimer(GetSafeHwnd(), kFilterTimerId);
  // The rows go with the dialog, not when the next log opens.
  m_list.Send(LVM_SETITEMCOUNT, 0, 0);
  m_shown.Clear();
  {
    const std::lock_guard<std::mutex> hold(m_storeLock);
    m_store.Clear();
  }
}

ControlKind CMessageLogDlg::KindOf(uint64_t hwnd) {
  auto known = m_kinds.find(hwnd);
  if (known != m_kinds.end()) return known->second;
  // Handles come from the logged program: a flood of made-up ones must not grow the cache.
  if (m_kinds.size() >= kMaxKnownKinds) m_kinds.clear();
  char name[64] = {};
  ::GetClassNameA(reinterpret_cast<HWND>(static_cast<UINT_PTR>(hwnd)), name, sizeof(name));
  return m_kinds.emplace(hwnd, ControlKindOf(name)).first->second;
}

std::string CMessageLogDlg::RegisteredName(uint32_t message) {
  auto known = m_registeredNames.find(message);
  if (known != m_registeredNames.end()) return known->second;
  // Registered messages share the atom table of clipboard formats, which names them.
  char name[256] = {};
  int length = ::GetClipboardFormatNameA(message, name, sizeof(name));
  return m_registeredNames.emplace(message, std::string(name, length > 0 ? length : 0)).first->second;
}

void CMessageLogDlg::Drain() {
  if (!m_channel.IsOpen()) return;
  const uint64_t start = Counter();
  const uint64_t budget = m_frequency * kDrainBudgetMs / 1000;
  const uint64_t firstBefore = m_store.FirstNumber();
  const size_t shownBefore = m_shown.Count(m_store);
  bool added = false;
  MessageRecord record;
  {
    const std::lock_guard<std::mutex> hold(m_storeLock);
    for (int n = 0; m_channel.Read(record); ++n) {
      StoredRow row = RowFromRecord(record, m_origin, m_frequency, KindOf(record.hwnd));
      const uint64_t number = m_store.Add(row, PayloadFromRecord(record, CP_ACP));
      m_marks.Note(number, row.kind, row.message, row.hwnd);
      if (m_shown.Filtering()) m_shown.Added(number, RowMessageName(row, m_names));
      ++m_nRecorded;
      added = true;
      if ((n & 255) == 255 && Counter() - start > budget) break;
    }
  }
  if (added) {
    const int top = static_cast<int>(m_list.Send(LVM_GETTOPINDEX));
    const int perPage = static_cast<int>(m_list.Send(LVM_GETCOUNTPERPAGE));
    const bool atEnd = shownBefore == 0 || static_cast<size_t>(top + perPage) >= shownBefore;
    // Rows dropped from the front move every row up: the whole list is drawn again.
    const bool shifted = m_store.FirstNumber() != firstBefore;
    RefreshList(atEnd);
    const size_t shownNow = m_shown.Count(m_store);
    if (shifted) {
      m_list.Invalidate(false);
    } else if (shownNow > shownBefore && shownBefore < static_cast<size_t>(top + perPage + 1)) {
      // New rows on the page are drawn now, the first ones of an empty list among them.
      m_list.Send(LVM_REDRAWITEMS, shownBefore, std::min(shownNow - 1, static_cast<size_t>(top + perPage + 1)));
    }
  }
  ShowStatus();
}

void CMessageLogDlg::MarkNextSend(uint32_t message, bool posted) {
  // What the window got before the request is stored first, so none of it takes the mark.
  Drain();
  m_marks.Expect(message, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(m_hLogged)), posted);
}

bool CMessageLogDlg::IsShownRowMarked(int shown) {
  if (shown < 0 || static_cast<size_t>(shown) >= m_shown.Count(m_store)) return false;
  return m_marks.IsMarked(m_store.FirstNumber() + m_shown.StoreIndex(m_store, static_cast<size_t>(shown)));
}

// Rows a message sent by hand caused are drawn on a light orange ground.
LRESULT CMessageLogDlg::OnCustomDraw(NMHDR* header) {
  auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
  if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return m_marks.Any() ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
  if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && IsShownRowMarked(static_cast<int>(draw->nmcd.dwItemSpec)))
    draw->clrTextBk = RGB(255, 224, 160);
  return CDRF_DODEFAULT;
}

void CMessageLogDlg::RefreshList(bool followEnd) {
  const size_t count = m_shown.Count(m_store);
  m_list.Send(LVM_SETITEMCOUNT, count, LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
  if (followEnd && count) m_list.EnsureVisible(static_cast<int>(count - 1), false);
}

void CMessageLogDlg::ShowStatus() {
  // The count is the shared memory's: another program may have set it below where クリア found it.
  const uint32_t dropped = m_channel.IsOpen() ? m_channel.Dropped() : 0;
  std::string status = "記録 " + std::to_string(m_nRecorded) + " 件、取りこぼし " +
                       std::to_string(dropped >= m_nDroppedBase ? dropped - m_nDroppedBase : 0) + " 件";
  if (m_bWindowClosed) status += kWindowClosedNote;
  if (m_bStarting) status += "、開始しています…";
  if (m_save.Running()) status += "、保存中 " + std::to_string(m_save.Saved()) + " / " + std::to_string(m_save.Total()) + " 行";
  if (!m_strReason.empty()) status += "　" + m_strReason;
  if (status == m_strStatus) return;
  m_strStatus = status;
  SetDlgItemText(IDC_ML_STATUS, status);
}

std::optional<LRESULT> CMessageLogDlg::OnTimer(WPARAM wParam, LPARAM) {
  if (wParam == m_filterBox.TimerId()) {
    if (m_filterBox.OnTimer()) ReapplyFilter();
    return 0;
  }
  if (wParam != kDrainTimerId) return std::nullopt;
  Drain();
  if (!m_bWindowClosed && !::IsWindow(m_hLogged)) {
    // The window's last messages are in the ring already: take them, then take the hooks off.
    Drain();
    StopLogging();
    m_bWindowClosed = true;
    ::EnableWindow(GetDlgItem(IDC_ML_STARTSTOP), FALSE);
    ShowStatus();
  }
  return 0;
}

void CMessageLogDlg::OnClear() {
  {
    const std::lock_guard<std::mutex> hold(m_storeLock);
    m_store.Clear();
  }
  m_shown.Clear();
  m_marks.Clear();
  m_nRecorded = 0;
  m_nDroppedBase = m_channel.Dropped();
  m_list.Send(LVM_SETITEMCOUNT, 0, 0);
  ShowStatus();
}

void CMessageLogDlg::ReapplyFilter() {
  m_shown.Reset(CMessageFilter(GetDlgItemText(IDC_ML_FILTER)), m_store,
                [this](const StoredRow& row) { return RowMessageName(row, m_names); });
  m_list.Send(LVM_SETITEMCOUNT, m_shown.Count(m_store), 0);
  m_list.Invalidate(false);
}

// Typing restarts the pause: a million rows are filtered once the user stops, not at each key.
void CMessageLogDlg::OnFilterChange() { m_filterBox.OnChange(); }

void CMessageLogDlg::OnChildren() {
  m_channel.SetChildren(::IsDlgButtonChecked(GetSafeHwnd(), IDC_ML_CHILDREN) == BST_CHECKED);
}

LRESULT CMessageLogDlg::OnGetDispInfoW(NMHDR* header) {
  LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
  if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return 0;
  const size_t count = m_shown.Count(m_store);
  if (item.iItem < 0 || static_cast<size_t>(item.iItem) >= count) return 0;
  m_wideCellBuffer = platform::WideFromUtf8(CellText(m_store, m_shown.StoreIndex(m_store, item.iItem), item.iSubItem, m_names));
  lstrcpynW(item.pszText, m_wideCellBuffer.c_str(), item.cchTextMax);
  return 0;
}

LRESULT CMessageLogDlg::OnGetDispInfoA(NMHDR* header) {
  LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(header)->item;
  if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return 0;
  const size_t count = m_shown.Count(m_store);
  if (item.iItem < 0 || static_cast<size_t>(item.iItem) >= count) return 0;
  m_cellBuffer = platform::CodePageFromWide(
      platform::WideFromUtf8(CellText(m_store, m_shown.StoreIndex(m_store, item.iItem), item.iSubItem, m_names)), CP_ACP);
  lstrcpynA(item.pszText, m_cellBuffer.c_str(), item.cchTextMax);
  return 0;
}

std::wstring CMessageLogDlg::CopiedRows(bool selectedOnly) {
  std::wstring text;
  const size_t count = m_shown.Count(m_store);
  std::vector<std::wstring> cells(kColumnCount);
  for (int row = selectedOnly ? m_list.GetNextItem(-1, LVNI_SELECTED) : 0; row >= 0 && static_cast<size_t>(row) < count;
       row = selectedOnly ? m_list.GetNextItem(row, LVNI_SELECTED) : row + 1) {
    const size_t index = m_shown.StoreIndex(m_store, static_cast<size_t>(row));
    for (int column = 0; column < kColumnCount; ++column)
      cells[static_cast<size_t>(column)] = platform::WideFromUtf8(CellText(m_store, index, column, m_names));
    text += platform::CopiedRow(cells);
  }
  return text;
}

platform::RowCopy CMessageLogDlg::Copy() {
  return {GetSafeHwnd(), [this] { return CopiedRows(true); }, [this] { return CopiedRows(false); }};
}

LRESULT CMessageLogDlg::OnListKeyDown(NMHDR* header) {
  platform::CopyOnKey(Copy(), header);
  return 0;
}

std::optional<LRESULT> CMessageLogDlg::OnContextMenu(WPARAM wParam, LPARAM lParam) {
  const HWND list = m_list.GetSafeHwnd();
  if (reinterpret_cast<HWND>(wParam) != list) return std::nullopt;
  platform::TrackRowMenu(Copy(), platform::ListMenuPoint(list, lParam), platform::SelectedListRow(list) >= 0,
                         m_shown.Count(m_store) > 0);
  return 0;
}

void CMessageLogDlg::OnSave() {
  platform::SaveFileRequest request;
  request.fileName = L"messages.csv";
  static const wchar_t kFilter[] = L"CSV (*.csv)\0*.csv\0";
  request.filter.assign(kFilter, std::size(kFilter) - 1);
  request.defaultExtension = L"csv";
  std::optional<platform::SaveFileChoice> choice = platform::ShowSaveFileDialog(GetSafeHwnd(), request);
  if (!choice) return;

  SavedRows rows;
  rows.filtered = m_shown.Filtering();
  if (rows.filtered) {
    const size_t count = m_shown.Count(m_store);
    rows.numbers.reserve(count);
    for (size_t shown = 0; shown < count; ++shown) rows.numbers.push_back(m_store.FirstNumber() + m_shown.StoreIndex(m_store, shown));
  } else {
    rows.first = m_store.FirstNumber();
    rows.end = rows.first + m_store.Size();
  }
  m_save.Start(choice->path, std::move(rows), m_store, m_storeLock, GetSafeHwnd(), kSaveProgressMessage, kSaveDoneMessage);
  ::EnableWindow(GetDlgItem(IDC_ML_SAVE), FALSE);
  ShowStatus();
}

// The worker's messages only say "look": what is so comes from the save itself.
std::optional<LRESULT> CMessageLogDlg::OnSaveProgress(WPARAM, LPARAM) {
  if (m_save.Running()) ShowStatus();
  return 0;
}

std::optional<LRESULT> CMessageLogDlg::OnSaveDone(WPARAM, LPARAM) {
  const std::optional<std::string> reason = m_save.Finish();
  if (!reason) return 0;
  ::EnableWindow(GetDlgItem(IDC_ML_SAVE), TRUE);
  ShowStatus();
  if (!reason->empty()) platform::PanelMessageBox(GetSafeHwnd(), std::string(kSaveFailedMessage) + "\r\n" + *reason);
  return 0;
}

std::optional<LRESULT> CMessageLogDlg::OnSize(WPARAM wParam, LPARAM lParam) {
  if (wParam != SIZE_MINIMIZED) m_layout.LayOut(LOWORD(lParam), HIWORD(lParam));
  return std::nullopt;
}

std::optional<LRESULT> CMessageLogDlg::OnGetMinMaxInfo(WPARAM, LPARAM lParam) {
  if (m_minTrack.cx <= 0) return std::nullopt;
  MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
  info->ptMinTrackSize = POINT{m_minTrack.cx, m_minTrack.cy};
  return 0;
}

}  // namespace msglog
