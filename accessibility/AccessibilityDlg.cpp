#include "accessibility/AccessibilityDlg.h"

#include "platform/Dpi.h"
#include "platform/Format.h"
#include "platform/ListCommands.h"
#include "platform/ViewRequests.h"
#include "platform/WideText.h"
#include "res/resource.h"

namespace accessibility {
namespace {

// Posted by the reader when answers are waiting.
constexpr UINT kAnswersMessage = WM_APP + 0x140;
// Looks every so often whether a question has gone unanswered too long.
constexpr UINT_PTR kWaitTimerId = 1;
constexpr UINT kWaitPeriodMs = 200;
// Takes the outline off the screen.
constexpr UINT_PTR kOutlineTimerId = 2;

constexpr char kNoAnswer[] = "応答なし";
constexpr char kWindowGone[] = "ウィンドウは閉じられました";
constexpr char kReading[] = "読み込み中…";

int NodeOf(const NMTREEVIEWW* notice, bool newItem) {
  return static_cast<int>((newItem ? notice->itemNew : notice->itemOld).lParam);
}

// The local time waited ms ago, "HH:MM:SS".
std::string SinceText(DWORD waited) {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  FILETIME file{};
  ::SystemTimeToFileTime(&now, &file);
  ULARGE_INTEGER at{};
  at.LowPart = file.dwLowDateTime;
  at.HighPart = file.dwHighDateTime;
  at.QuadPart -= static_cast<ULONGLONG>(waited) * 10000;
  file.dwLowDateTime = at.LowPart;
  file.dwHighDateTime = at.HighPart;
  SYSTEMTIME since{};
  ::FileTimeToSystemTime(&file, &since);
  return platform::Format("%02u:%02u:%02u", since.wHour, since.wMinute, since.wSecond);
}

std::string NoAnswerText(DWORD waited) {
  return platform::Format("%s: プログラムが %s から応答しません", kNoAnswer, SinceText(waited).c_str());
}

}  // namespace

CAccessibilityDlg::CAccessibilityDlg(HWND viewed) : CDialogT(IDD_ACCESSIBILITY), m_hViewed(viewed) {}

CAccessibilityDlg::~CAccessibilityDlg() { DestroyWindow(); }

CAccessibilityDlg::MessageMapView CAccessibilityDlg::MessageMap() {
  static const MessageEntry kMap[] = {
      OnCommand(IDC_AC_REFRESH, BN_CLICKED, &CAccessibilityDlg::OnRefresh),
      OnCommand(IDC_AC_DEFAULTACTION, BN_CLICKED, &CAccessibilityDlg::OnDefaultAction),
      OnCommand(IDC_AC_GIVEUP, BN_CLICKED, &CAccessibilityDlg::OnGiveUp),
      OnNotify(IDC_AC_TREE, TVN_ITEMEXPANDINGA, &CAccessibilityDlg::OnItemExpanding),
      OnNotify(IDC_AC_TREE, TVN_ITEMEXPANDINGW, &CAccessibilityDlg::OnItemExpanding),
      OnNotify(IDC_AC_TREE, TVN_SELCHANGEDA, &CAccessibilityDlg::OnSelChanged),
      OnNotify(IDC_AC_TREE, TVN_SELCHANGEDW, &CAccessibilityDlg::OnSelChanged),
      OnNotify(IDC_AC_LIST, LVN_KEYDOWN, &CAccessibilityDlg::OnListKeyDown),
      OnNotify(IDC_AC_TREE, TVN_KEYDOWN, &CAccessibilityDlg::OnTreeKeyDown),
      OnMessage(WM_CONTEXTMENU, &CAccessibilityDlg::OnContextMenu),
      OnMessage(kAnswersMessage, &CAccessibilityDlg::OnAnswers),
      OnMessage(WM_TIMER, &CAccessibilityDlg::OnTimer),
      OnMessage(WM_SIZE, &CAccessibilityDlg::OnSize),
      OnMessage(WM_GETMINMAXINFO, &CAccessibilityDlg::OnGetMinMaxInfo),
  };
  return kMap;
}

BOOL CAccessibilityDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  ::SetWindowTextA(GetSafeHwnd(), platform::Format("アクセシビリティ (%s)", platform::FormatHandle(m_hViewed).c_str()).c_str());
  m_tree.Attach(GetDlgItem(IDC_AC_TREE));
  m_list.Attach(GetDlgItem(IDC_AC_LIST));
  // Names and values of other programs may hold any character: both controls take UTF-16.
  m_tree.SetUnicodeFormat();
  m_list.Send(CCM_SETUNICODEFORMAT, TRUE);
  m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
  OnDpiChanged(platform::WindowDpi(GetSafeHwnd()));
  m_anchors.Attach(GetSafeHwnd(), {{IDC_AC_TREE, platform::kAnchorLeft | platform::kAnchorTop | platform::kAnchorBottom},
                                   {IDC_AC_LIST, platform::kAnchorAll},
                                   {IDC_AC_STATUS, platform::kAnchorLeft | platform::kAnchorRight | platform::kAnchorBottom},
                                   {IDC_AC_GIVEUP, platform::kAnchorRight | platform::kAnchorBottom},
                                   {IDC_AC_DEFAULTACTION, platform::kAnchorRight | platform::kAnchorBottom},
                                   {IDC_AC_REFRESH, platform::kAnchorRight | platform::kAnchorBottom}});
  m_outline.Create();
  StartReading();
  ::SetTimer(GetSafeHwnd(), kWaitTimerId, kWaitPeriodMs, nullptr);
  Refresh();
  return TRUE;
}

void CAccessibilityDlg::OnDpiChanged(UINT dpi) {
  platform::LayOutListColumns(m_list, {{"項目", LVCFMT_LEFT, 90}, {"値", LVCFMT_LEFT, 220}}, dpi);
}

// A reader of its own: one stuck in a call of a hung program is left to end by itself, and no
// second one is started beside it.
void CAccessibilityDlg::StartReading() {
  m_reader.reset();
  m_childrenAsked.clear();
  // Serials count anew with each reader; the objects shown were the last reader's.
  m_rootSerial = m_detailsSerial = 0;
  if (m_selected) m_pending = m_model.PathOf(m_selected);
  ClearTree();
  if (const std::optional<DWORD> waited = CObjectReader::GivenUpOn(m_hViewed)) {
    m_bAwaitingGivenUp = true;
    SetStatus(NoAnswerText(*waited));
    return;
  }
  m_bAwaitingGivenUp = false;
  m_reader = std::make_unique<CObjectReader>(m_hViewed, GetSafeHwnd(), kAnswersMessage);
  if (!m_reader->Started()) {
    m_reader.reset();
    SetStatus("オブジェクトを読むスレッドを開始できません");
  }
}

void CAccessibilityDlg::ClearTree() {
  RemovePlaceholder();
  m_selected = 0;
  m_items.clear();
  m_tree.DeleteAllItems();
  m_list.DeleteAllItems();
  m_rows.clear();
  m_model.Clear();
  m_treeGeneration = 0;
}

void CAccessibilityDlg::Refresh() {
  if (!m_reader) return;
  m_rootSerial = m_reader->Post(Ask{AskKind::Root});
  SetStatus(kReading);
}

// While the program has not answered, the question asked stays the only one: no second reader
// and no second question.
void CAccessibilityDlg::OnRefresh() {
  if (m_reader && m_reader->Waiting() >= kSlowAnswerMs) return ShowProgress();
  // The place selected now is looked for again in the new reading.
  if (m_selected) m_pending = m_model.PathOf(m_selected);
  if (!m_reader) StartReading();
  Refresh();
}

// The reader is abandoned (its thread ends when the program answers); reading starts again
// by itself once that call has returned.
void CAccessibilityDlg::OnGiveUp() {
  if (!m_reader) return;
  const DWORD waited = m_reader->Waiting();
  if (waited < kSlowAnswerMs) return;
  StartReading();
  ShowSlow(false);
  SetStatus(platform::Format("待つのをやめました (プログラムは %s から応答していません)", SinceText(waited).c_str()));
}

// Acts only on an object of the tree shown, read by the reader that is asked.
void CAccessibilityDlg::OnDefaultAction() {
  if (!m_reader || !m_selected || m_treeGeneration != m_reader->Generation() || !m_model.Find(m_selected)) return;
  m_reader->Post(Ask{AskKind::DefaultAction, m_selected});
}

void CAccessibilityDlg::PickAt(POINT screen) {
  if (!m_reader) return;
  Ask ask{AskKind::HitTest};
  ask.point = screen;
  m_reader->Post(ask);
}

std::optional<LRESULT> CAccessibilityDlg::OnAnswers(WPARAM, LPARAM) {
  if (!m_reader) return 0;
  for (const Answer& answer : m_reader->Take()) {
    HandleAnswer(answer);
    if (!m_reader) return 0;
  }
  if (std::optional<std::string> failure = m_reader->Failure()) ShowFailure(*failure);
  return 0;
}

void CAccessibilityDlg::ShowFailure(const std::string& reason) {
  m_reader.reset();
  ShowSlow(false);
  SetStatus("オブジェクトを読めませんでした: " + reason);
}

void CAccessibilityDlg::HandleAnswer(const Answer& answer) {
  // Only the reader asked now answers for the tree shown.
  if (answer.generation != m_reader->Generation()) return;
  switch (answer.kind) {
    case AskKind::Root:
      if (answer.serial == m_rootSerial) ShowRoot(answer);
      break;
    case AskKind::Children:
      ShowChildren(answer);
      break;
    case AskKind::Details:
      if (answer.serial == m_detailsSerial) ShowDetails(answer);
      break;
    case AskKind::DefaultAction:
      SetStatus(SUCCEEDED(answer.result)
                    ? std::string("既定の操作を実行しました")
                    : platform::Format("既定の操作は失敗しました (0x%08lx)", static_cast<unsigned long>(answer.result)));
      // What the action changed (a state, a value) shows at once.
      if (answer.node == m_selected) m_detailsSerial = m_reader->Post(Ask{AskKind::Details, m_selected});
      break;
    case AskKind::HitTest:
      if (answer.result == S_OK) {
        m_pending = answer.path;
        ContinuePending();
      }
      break;
  }
}

void CAccessibilityDlg::ShowRoot(const Answer& answer) {
  ClearTree();
  if (FAILED(answer.result) || answer.items.empty()) {
    m_pending.reset();
    SetStatus(::IsWindow(m_hViewed) ? RefusalText(answer.result) : std::string(kWindowGone));
    return;
  }
  m_model.SetRoot(answer.items.front());
  m_treeGeneration = answer.generation;
  InsertItem(TVI_ROOT, answer.items.front());
  SetStatus("");
  if (!m_pending) m_pending = ObjectPath{};
  // The selection first: the root's details come before a long list of its children.
  ContinuePending();
  AskChildren(m_model.Root());
}

void CAccessibilityDlg::ShowChildren(const Answer& answer) {
  const CObjectTree::Node* before = m_model.Find(answer.node);
  const bool firstBatch = before && !before->reading;
  if (!m_model.AddChildren(answer.node, answer.items, !answer.more)) return;
  RemovePlaceholder();
  auto found = m_items.find(answer.node);
  if (found == m_items.end()) return;
  HTREEITEM parent = found->second;
  m_tree.SetRedraw(false);
  for (const ObjectItem& item : answer.items) InsertItem(parent, item);
  m_tree.SetRedraw(true);
  if (answer.more) {
    if (firstBatch) m_tree.Expand(parent);
    return;
  }
  if (m_model.Find(answer.node)->children.empty()) {
    m_tree.SetHasChildren(parent, false);
  } else {
    m_tree.Expand(parent);
  }
  if (answer.cut) SetStatus(platform::Format("子が多すぎるため最初の %ld 個だけを表示します", kMaxChildren));
  ContinuePending();
}

HTREEITEM CAccessibilityDlg::InsertItem(HTREEITEM parent, const ObjectItem& item) {
  platform::TreeItemFields fields;
  fields.data = item.id;
  fields.hasChildren = item.summary.childCount > 0 ? 1 : 0;
  HTREEITEM inserted = m_tree.InsertItem(parent, ItemText(item.summary.role, item.summary.name), fields);
  if (inserted) m_items[item.id] = inserted;
  return inserted;
}

void CAccessibilityDlg::AskChildren(int node) {
  if (!m_reader || !m_childrenAsked.insert(node).second) return;
  m_reader->Post(Ask{AskKind::Children, node});
}

void CAccessibilityDlg::ContinuePending() {
  if (!m_pending || !m_model.Root()) return;
  int node = m_model.Root();
  for (const PathStep& step : *m_pending) {
    const CObjectTree::Node* at = m_model.Find(node);
    if (!at) break;
    if (!at->childrenRead) {
      // Goes on when the branch's children come.
      AskChildren(node);
      return;
    }
    const std::optional<size_t> index = FindStep(m_model.ChildSummaries(node), step);
    if (!index) break;
    node = at->children[*index];
  }
  m_pending.reset();
  SelectNode(node);
}

void CAccessibilityDlg::SelectNode(int node) {
  auto found = m_items.find(node);
  if (found == m_items.end()) return;
  m_tree.SelectItem(found->second);
  m_tree.EnsureVisible(found->second);
}

LRESULT CAccessibilityDlg::OnItemExpanding(NMHDR* header) {
  const auto* notice = reinterpret_cast<const NMTREEVIEWW*>(header);
  const int node = NodeOf(notice, true);
  const CObjectTree::Node* at = m_model.Find(node);
  if (notice->action == TVE_EXPAND && at && !at->childrenRead) AskChildren(node);
  return FALSE;
}

LRESULT CAccessibilityDlg::OnSelChanged(NMHDR* header) {
  const auto* notice = reinterpret_cast<const NMTREEVIEWW*>(header);
  m_selected = notice->itemNew.hItem ? NodeOf(notice, true) : 0;
  if (m_reader && m_selected) m_detailsSerial = m_reader->Post(Ask{AskKind::Details, m_selected});
  return 0;
}

void CAccessibilityDlg::ShowDetails(const Answer& answer) {
  const ObjectDetails& details = answer.details;
  m_rows = DetailRows(details);
  m_list.SetRedraw(false);
  m_list.DeleteAllItems();
  for (size_t i = 0; i < m_rows.size(); ++i) {
    const int row = m_list.InsertItem(static_cast<int>(i), m_rows[i].item);
    m_list.SetItemText(row, 1, m_rows[i].value);
  }
  m_list.SetRedraw(true);
  if (!details.location) return;
  const RECT desktop{::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN),
                     ::GetSystemMetrics(SM_XVIRTUALSCREEN) + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                     ::GetSystemMetrics(SM_YVIRTUALSCREEN) + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  const std::optional<RECT> onScreen = LocationOnScreen(*details.location, desktop);
  if (!onScreen) return;
  const RECT screen = *onScreen;
  m_outline.Show(screen, platform::WindowDpi(GetSafeHwnd()));
  ::SetTimer(GetSafeHwnd(), kOutlineTimerId, kOutlineMs, nullptr);
  // The inspector frames it in its picture when it shows this window.
  platform::RequestFrame(GetSafeHwnd(), m_hViewed, screen);
}

std::wstring CAccessibilityDlg::CopiedListRows(bool selectedOnly) const {
  std::vector<PropertyRow> copied;
  for (size_t i = 0; i < m_rows.size(); ++i)
    if (!selectedOnly || m_list.GetItemState(static_cast<int>(i), LVIS_SELECTED)) copied.push_back(m_rows[i]);
  return CopiedRows(copied);
}

platform::RowCopy CAccessibilityDlg::ListCopy() const {
  return {GetSafeHwnd(), [this] { return CopiedListRows(true); }, [this] { return CopiedListRows(false); }};
}

platform::RowCopy CAccessibilityDlg::TreeCopy() const {
  return {GetSafeHwnd(), [this] { return platform::CopiedTreeItem(m_tree, m_tree.GetSelection()); },
          [this] { return platform::CopiedTreeRows(m_tree); }};
}

LRESULT CAccessibilityDlg::OnListKeyDown(NMHDR* header) {
  platform::CopyOnKey(ListCopy(), header);
  return 0;
}

LRESULT CAccessibilityDlg::OnTreeKeyDown(NMHDR* header) {
  platform::CopyOnKey(TreeCopy(), header);
  return 0;
}

std::optional<LRESULT> CAccessibilityDlg::OnContextMenu(WPARAM wParam, LPARAM lParam) {
  const HWND on = reinterpret_cast<HWND>(wParam);
  if (on == m_list.GetSafeHwnd()) {
    platform::TrackRowMenu(ListCopy(), platform::ListMenuPoint(on, lParam), platform::SelectedListRow(on) >= 0, !m_rows.empty());
    return 0;
  }
  if (on != m_tree.GetSafeHwnd()) return std::nullopt;
  POINT screen{};
  const HTREEITEM item = platform::TreeMenuItem(m_tree, lParam, screen);
  // コピー copies the item the menu is on, which a right-click does not select.
  platform::RowCopy copy = TreeCopy();
  copy.selectedRows = [this, item] { return platform::CopiedTreeItem(m_tree, item); };
  platform::TrackRowMenu(copy, screen, item != nullptr, m_tree.GetCount() > 0);
  return 0;
}

void CAccessibilityDlg::SetStatus(const std::string& text) {
  m_status = text;
  if (!m_bSlowShown) SetDlgItemText(IDC_AC_STATUS, text);
}

std::optional<LRESULT> CAccessibilityDlg::OnTimer(WPARAM wParam, LPARAM) {
  if (wParam == kOutlineTimerId) {
    ::KillTimer(GetSafeHwnd(), kOutlineTimerId);
    m_outline.Hide();
    return 0;
  }
  if (wParam != kWaitTimerId) return std::nullopt;
  if (m_bAwaitingGivenUp) {
    // The given-up call returned: reading starts again.
    if (!CObjectReader::GivenUpOn(m_hViewed)) {
      StartReading();
      Refresh();
    }
    return 0;
  }
  if (m_reader) {
    if (std::optional<std::string> failure = m_reader->Failure()) {
      ShowFailure(*failure);
      return 0;
    }
  }
  ShowSlow(m_reader && m_reader->Waiting() >= kSlowAnswerMs);
  ShowProgress();
  return 0;
}

void CAccessibilityDlg::ShowProgress() {
  if (!m_reader) return;
  Ask current;
  const DWORD waited = m_reader->Waiting(&current);
  if (m_bSlowShown) {
    SetDlgItemText(IDC_AC_STATUS, NoAnswerText(waited));
  } else if (waited && current.kind == AskKind::Children && m_reader->ReadSoFar() > 0) {
    // A long branch: how far it is, never "応答なし".
    SetDlgItemText(IDC_AC_STATUS, platform::Format("%s (%u 個)", kReading, static_cast<unsigned>(m_reader->ReadSoFar())));
  } else if (GetDlgItemText(IDC_AC_STATUS) != m_status) {
    SetDlgItemText(IDC_AC_STATUS, m_status);
  }
}

void CAccessibilityDlg::ShowSlow(bool slow) {
  if (slow == m_bSlowShown) return;
  m_bSlowShown = slow;
  ::ShowWindow(GetDlgItem(IDC_AC_GIVEUP), slow ? SW_SHOW : SW_HIDE);
  SetDlgItemText(IDC_AC_STATUS, slow ? NoAnswerText(m_reader ? m_reader->Waiting() : 0) : m_status);
  if (!slow) return RemovePlaceholder();
  Ask current;
  m_reader->Waiting(&current);
  HTREEITEM parent = nullptr;
  if (current.kind == AskKind::Root && m_items.empty()) {
    parent = TVI_ROOT;
  } else if (current.kind == AskKind::Children) {
    auto found = m_items.find(current.node);
    if (found != m_items.end()) parent = found->second;
  }
  if (!parent) return;
  platform::TreeItemFields fields;
  fields.hasChildren = 0;
  m_placeholder = m_tree.InsertItem(parent, platform::WidenAnsi(kNoAnswer), fields);
  if (parent != TVI_ROOT) m_tree.Expand(parent);
}

void CAccessibilityDlg::RemovePlaceholder() {
  if (m_placeholder) m_tree.DeleteItem(m_placeholder);
  m_placeholder = nullptr;
}

std::optional<LRESULT> CAccessibilityDlg::OnSize(WPARAM wParam, LPARAM lParam) {
  if (wParam != SIZE_MINIMIZED) m_anchors.LayOut(LOWORD(lParam), HIWORD(lParam));
  return std::nullopt;
}

std::optional<LRESULT> CAccessibilityDlg::OnGetMinMaxInfo(WPARAM, LPARAM lParam) {
  if (!m_anchors.LimitTracking(reinterpret_cast<MINMAXINFO*>(lParam))) return std::nullopt;
  return 0;
}

void CAccessibilityDlg::OnClosing() {
  m_reader.reset();
  m_outline.Hide();
  ::KillTimer(GetSafeHwnd(), kWaitTimerId);
  ::KillTimer(GetSafeHwnd(), kOutlineTimerId);
}

}  // namespace accessibility
