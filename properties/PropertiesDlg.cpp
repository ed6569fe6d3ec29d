#include "properties/PropertiesDlg.h"

#include <algorithm>

#include "platform/Dpi.h"
#include "platform/Format.h"
#include "platform/ListCommands.h"
#include "platform/PopupMenu.h"
#include "platform/ViewRequests.h"
#include "platform/WideText.h"
#include "res/resource.h"

namespace properties {

CPropertiesDlg::CPropertiesDlg(HWND viewed) : CPropertiesDlg(viewed, MakeSystemWindowReader()) {}

CPropertiesDlg::CPropertiesDlg(HWND viewed, std::unique_ptr<IWindowReader> reader)
    : CDialogT(IDD_PROPERTIES), m_hViewed(viewed), m_reader(std::move(reader)) {}

// The probe goes before the window, and the window before the members its messages use.
CPropertiesDlg::~CPropertiesDlg() {
  DestroyWindow();
  m_reader.reset();
}

CPropertiesDlg::MessageMapView CPropertiesDlg::MessageMap() {
  static const MessageEntry kMap[] = {
      OnCommand(IDC_PR_REFRESH, BN_CLICKED, &CPropertiesDlg::OnRefresh),
      OnNotify(IDC_PR_LIST, LVN_KEYDOWN, &CPropertiesDlg::OnListKeyDown),
      OnNotify(IDC_PR_LIST, NM_DBLCLK, &CPropertiesDlg::OnListDoubleClick),
      OnMessage(WM_CONTEXTMENU, &CPropertiesDlg::OnContextMenu),
      OnMessage(WM_TIMER, &CPropertiesDlg::OnTimer),
      OnMessage(WM_SIZE, &CPropertiesDlg::OnSize),
      OnMessage(WM_GETMINMAXINFO, &CPropertiesDlg::OnGetMinMaxInfo),
  };
  return kMap;
}

BOOL CPropertiesDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_list.Attach(GetDlgItem(IDC_PR_LIST));
  // Texts of other programs may hold any character: the list takes them in UTF-16.
  m_list.Send(CCM_SETUNICODEFORMAT, TRUE);
  m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
  m_list.Send(LVM_ENABLEGROUPVIEW, TRUE);
  for (Group group : {Group::kWindow, Group::kClass, Group::kRelations, Group::kProcess, Group::kProps, Group::kDisplay}) {
    std::wstring name = platform::WidenAnsi(GroupName(group));
    LVGROUP entry{};
    entry.cbSize = sizeof(entry);
    entry.mask = LVGF_HEADER | LVGF_GROUPID;
    entry.pszHeader = &name[0];
    entry.iGroupId = static_cast<int>(group);
    m_list.Send(LVM_INSERTGROUP, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&entry));
  }
  ::SetWindowTextA(GetSafeHwnd(), platform::Format("プロパティ (%s)", platform::FormatHandle(m_hViewed).c_str()).c_str());
  m_layout.Attach(GetSafeHwnd(), {{IDC_PR_REFRESH, platform::kAnchorTopLeft}, {IDC_PR_LIST, platform::kAnchorAll}});
  OnDpiChanged(platform::WindowDpi(GetSafeHwnd()));
  ReadAll();
  return TRUE;
}

void CPropertiesDlg::OnDpiChanged(UINT dpi) {
  platform::LayOutListColumns(m_list, {{"項目", LVCFMT_LEFT, 150}, {"値", LVCFMT_LEFT, 380}}, dpi);
}

// What can be read at once is shown at once; the probe's answer comes on the timer. A window
// that is not the one read before is not shown under it.
void CPropertiesDlg::ReadAll() {
  if (!m_reader) return;  // closed: its reader is gone
  WindowFacts facts = m_reader->Read(m_hViewed);
  facts.hwnd = m_hViewed;
  if (IsAnotherWindow(m_facts, facts)) {
    ::KillTimer(GetSafeHwnd(), kProbeTimerId);
    m_bAnotherWindow = true;
    ShowRows(AnotherWindowRows(m_facts, facts));
    return;
  }
  m_bAnotherWindow = false;
  m_facts = std::move(facts);
  if (m_facts.alive) {
    m_reader->AskProcedures(m_hViewed);
    ::SetTimer(GetSafeHwnd(), kProbeTimerId, kProbePeriodMs, nullptr);
  } else {
    m_facts.procedures.status = ProcedureFacts::Status::kNotRead;
    m_facts.procedures.reason = "ウィンドウがありません";
  }
  ShowRows(PropertyRows(m_facts));
}

// Rows whose items are those shown get their values written where they differ (the selection
// stays); any other change fills the list anew.
void CPropertiesDlg::ShowRows(std::vector<PropertyRow> rows) {
  const bool sameItems = rows.size() == m_rows.size() &&
                         std::equal(rows.begin(), rows.end(), m_rows.begin(), [](const PropertyRow& a, const PropertyRow& b) {
                           return a.item == b.item && a.group == b.group;
                         });
  m_list.SetRedraw(false);
  if (!sameItems) m_list.DeleteAllItems();
  for (size_t i = 0; i < rows.size(); ++i) {
    const int index = static_cast<int>(i);
    if (!sameItems) {
      LVITEMW item{};
      item.mask = LVIF_TEXT | LVIF_GROUPID;
      item.iItem = index;
      item.pszText = &rows[i].item[0];
      item.iGroupId = static_cast<int>(rows[i].group);
      ::SendMessageW(m_list.GetSafeHwnd(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
      m_list.SetItemText(index, 1, rows[i].value);
    } else if (rows[i].value != m_rows[i].value) {
      m_list.SetItemText(index, 1, rows[i].value);
    }
  }
  m_list.SetRedraw(true);
  m_list.Invalidate(false);
  m_rows = std::move(rows);
}

void CPropertiesDlg::OnRefresh() { ReadAll(); }

std::optional<LRESULT> CPropertiesDlg::OnTimer(WPARAM wParam, LPARAM) {
  if (wParam != kProbeTimerId) return std::nullopt;
  // A tick another program posts after the view closed finds no reader.
  if (!m_reader) return 0;
  if (std::optional<ProcedureFacts> answer = m_reader->PollProcedures()) {
    ::KillTimer(GetSafeHwnd(), kProbeTimerId);
    MergeProbeAnswer(m_facts, *answer);
    ShowRows(PropertyRows(m_facts));
  }
  return 0;
}

std::wstring CPropertiesDlg::CopiedRows(bool selectedOnly) const {
  std::vector<PropertyRow> copied;
  for (size_t i = 0; i < m_rows.size(); ++i)
    if (!selectedOnly || m_list.GetItemState(static_cast<int>(i), LVIS_SELECTED)) copied.push_back(m_rows[i]);
  return RowsAsText(copied);
}

platform::RowCopy CPropertiesDlg::Copy() const {
  return {GetSafeHwnd(), [this] { return CopiedRows(true); }, [this] { return CopiedRows(false); }};
}

LRESULT CPropertiesDlg::OnListKeyDown(NMHDR* header) {
  platform::CopyOnKey(Copy(), header);
  return 0;
}

// A relation row opens the properties of the window it names, through the main dialog that
// keeps every view.
LRESULT CPropertiesDlg::OnListDoubleClick(NMHDR* header) {
  const int row = reinterpret_cast<const NMITEMACTIVATE*>(header)->iItem;
  if (row < 0 || static_cast<size_t>(row) >= m_rows.size()) return 0;
  const HWND related = m_rows[static_cast<size_t>(row)].related;
  if (m_bAnotherWindow && related == m_hViewed) {
    // The window the handle names now, read as a window of its own.
    m_facts = WindowFacts{};
    ReadAll();
    return 0;
  }
  if (related && ::IsWindow(related)) platform::RequestView(GetSafeHwnd(), platform::kOpenPropertiesMessage, related);
  return 0;
}

std::optional<LRESULT> CPropertiesDlg::OnContextMenu(WPARAM wParam, LPARAM lParam) {
  HWND list = m_list.GetSafeHwnd();
  if (reinterpret_cast<HWND>(wParam) != list) return std::nullopt;
  platform::TrackRowMenu(Copy(), platform::ListMenuPoint(list, lParam), platform::SelectedListRow(list) >= 0, !m_rows.empty());
  return 0;
}

std::optional<LRESULT> CPropertiesDlg::OnSize(WPARAM wParam, LPARAM lParam) {
  if (wParam != SIZE_MINIMIZED) m_layout.LayOut(LOWORD(lParam), HIWORD(lParam));
  return std::nullopt;
}

std::optional<LRESULT> CPropertiesDlg::OnGetMinMaxInfo(WPARAM, LPARAM lParam) {
  if (!m_layout.LimitTracking(reinterpret_cast<MINMAXINFO*>(lParam))) return std::nullopt;
  return 0;
}

void CPropertiesDlg::OnClosing() {
  ::KillTimer(GetSafeHwnd(), kProbeTimerId);
  m_reader.reset();
}

}  // namespace properties
