#include "wintree/WindowTreeDlg.h"

#include <windowsx.h>

#include "platform/Clipboard.h"
#include "platform/Dpi.h"
#include "platform/MessageBox.h"
#include "platform/ViewPlacement.h"
#include "platform/PopupMenu.h"
#include "platform/ViewRequests.h"
#include "res/resource.h"

namespace wintree {

CWindowTreeDlg::CWindowTreeDlg(CDesktopReadWorker::ReadFunction read)
    : CDialogT(IDD_WINDOWTREE), m_reader(std::move(read)) {}

// The window goes while the items' nodes are still here.
CWindowTreeDlg::~CWindowTreeDlg() { DestroyWindow(); }

CWindowTreeDlg::MessageMapView CWindowTreeDlg::MessageMap() {
  static const MessageEntry kMap[] = {
      OnCommand(IDC_WT_REFRESH, BN_CLICKED, &CWindowTreeDlg::OnRefresh),
      OnCommand(IDC_WT_OWNERS, BN_CLICKED, &CWindowTreeDlg::OnOwners),
      OnCommand(IDC_WT_SEARCH, EN_CHANGE, &CWindowTreeDlg::OnSearchChange),
      // The item data both forms carry is laid out alike.
      OnNotify(IDC_WT_TREE, TVN_SELCHANGEDW, &CWindowTreeDlg::OnSelChanged),
      OnNotify(IDC_WT_TREE, TVN_SELCHANGEDA, &CWindowTreeDlg::OnSelChanged),
      OnNotify(IDC_WT_TREE, TVN_ITEMEXPANDEDW, &CWindowTreeDlg::OnItemExpanded),
      OnNotify(IDC_WT_TREE, TVN_ITEMEXPANDEDA, &CWindowTreeDlg::OnItemExpanded),
      OnNotify(IDC_WT_TREE, NM_DBLCLK, &CWindowTreeDlg::OnDoubleClick),
      OnNotify(IDC_WT_TREE, NM_CUSTOMDRAW, &CWindowTreeDlg::OnCustomDraw),
      OnMessage(WM_CONTEXTMENU, &CWindowTreeDlg::OnContextMenu),
      OnMessage(WM_CLOSE, &CWindowTreeDlg::OnClose),
      OnMessage(WM_TIMER, &CWindowTreeDlg::OnTimer),
      OnMessage(WM_SIZE, &CWindowTreeDlg::OnSize),
      OnMessage(WM_GETMINMAXINFO, &CWindowTreeDlg::OnGetMinMaxInfo),
      OnMessage(kDesktopReadMessage, &CWindowTreeDlg::OnDesktopRead),
  };
  return kMap;
}

bool CWindowTreeDlg::Open(HWND owner) {
  if (!GetSafeHwnd()) {
    if (!Create(owner)) return false;
    platform::PlaceBesideOwner(GetSafeHwnd(), owner, 0);
  }
  HWND dialog = GetSafeHwnd();
  if (::IsIconic(dialog)) {
    ShowWindow(SW_RESTORE);
  } else if (!::IsWindowVisible(dialog)) {
    // Shown first, so that the tree lists itself as shown.
    ShowWindow(SW_SHOW);
    Refresh();
  }
  ::SetForegroundWindow(dialog);
  return true;
}

BOOL CWindowTreeDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_treeCtrl.Attach(GetDlgItem(IDC_WT_TREE));
  m_treeCtrl.SetUnicodeFormat();
  m_search.Attach(GetSafeHwnd(), IDC_WT_SEARCH, kTreeSearchTimerId);
  m_layout.Attach(GetSafeHwnd(), {{IDC_WT_SEARCH, platform::kAnchorTopLeft | platform::kAnchorRight},
                                  {IDC_WT_OWNERS, platform::kAnchorTop | platform::kAnchorRight},
                                  {IDC_WT_REFRESH, platform::kAnchorTop | platform::kAnchorRight},
                                  {IDC_WT_TREE, platform::kAnchorAll},
                                  {IDC_WT_STATUS, platform::kAnchorLeft | platform::kAnchorRight | platform::kAnchorBottom}});
  m_outline.Create();
  return TRUE;
}

void CWindowTreeDlg::Refresh() {
  const bool owners = ::IsDlgButtonChecked(GetSafeHwnd(), IDC_WT_OWNERS) == BST_CHECKED;
  m_reader.Request(GetSafeHwnd(), kDesktopReadMessage, owners);
  SetStatus(L"デスクトップを読んでいます…");
}

// A read is in: only the last one asked for, handed over by the reader itself, is shown.
std::optional<LRESULT> CWindowTreeDlg::OnDesktopRead(WPARAM wParam, LPARAM) {
  std::optional<DesktopRead> read = m_reader.Take(static_cast<unsigned>(wParam));
  if (!read) return 0;
  const ShownState state = ReadShownState();
  // The first read marks nothing new; every later one marks what the read before lacked.
  if (m_shownGeneration) m_knownBefore = KnownOf(m_tree);
  m_shownGeneration = read->generation;
  m_records = std::move(read->records);
  m_bOwnersRead = read->ownersRead;
  Rebuild();
  // Branches of windows gone stay closed: their handles may name new windows later.
  for (auto it = m_userOpen.begin(); it != m_userOpen.end();) it = m_tree.Find(*it) < 0 ? m_userOpen.erase(it) : ++it;
  Fill(state);
  SetStatus(std::to_wstring(m_tree.nodes.size() - 1) + L" 個のウィンドウ");
  return 0;
}

void CWindowTreeDlg::Rebuild() {
  const bool owners = ::IsDlgButtonChecked(GetSafeHwnd(), IDC_WT_OWNERS) == BST_CHECKED;
  m_tree = BuildTree(m_records, owners && m_bOwnersRead ? TreeShape::kOwners : TreeShape::kParents,
                     m_knownBefore ? &*m_knownBefore : nullptr);
}

int CWindowTreeDlg::NodeOf(HTREEITEM item) const {
  const std::optional<LPARAM> data = m_treeCtrl.GetItemData(item);
  if (!data) return -1;
  const LPARAM node = *data;
  if (node < 0 || static_cast<size_t>(node) >= m_items.size() || m_items[node] != item) return -1;
  return static_cast<int>(node);
}

CWindowTreeDlg::ShownState CWindowTreeDlg::ReadShownState() const {
  auto handleOf = [this](HTREEITEM item) -> HWND {
    const int node = NodeOf(item);
    return node >= 0 ? m_tree.nodes[node].hwnd : nullptr;
  };
  ShownState state;
  state.selected = handleOf(m_treeCtrl.GetSelection());
  state.firstShown = handleOf(m_treeCtrl.GetFirstVisible());
  return state;
}

void CWindowTreeDlg::Fill(const ShownState& state) {
  m_bFilling = true;
  const SearchResult found = Search(m_tree, platform::CTextSearch(m_search.Text()));
  m_treeCtrl.SetRedraw(false);
  m_treeCtrl.DeleteAllItems();
  m_items.assign(m_tree.nodes.size(), nullptr);

  // Breadth first, each item last under its parent: siblings keep their order.
  std::vector<int> queue(m_tree.roots);
  for (size_t at = 0; at < queue.size(); ++at) {
    const int index = queue[at];
    const TreeNode& node = m_tree.nodes[index];
    if (!found.kept[index] || (node.parent >= 0 && !m_items[node.parent])) continue;
    platform::TreeItemFields fields;
    fields.data = index;
    fields.state = (node.hidden ? TVIS_CUT : 0) | (node.isNew ? TVIS_BOLD : 0);
    fields.stateMask = TVIS_CUT | TVIS_BOLD;
    m_items[index] = m_treeCtrl.InsertItem(node.parent >= 0 ? m_items[node.parent] : TVI_ROOT, node.label, fields);
    queue.insert(queue.end(), node.children.begin(), node.children.end());
  }

  for (size_t index = 0; index < m_items.size(); ++index) {
    if (m_items[index] && (found.expanded[index] || m_userOpen.count(m_tree.nodes[index].hwnd)))
      m_treeCtrl.Expand(m_items[index]);
  }
  auto itemOf = [this](HWND hwnd) -> HTREEITEM {
    const int node = hwnd ? m_tree.Find(hwnd) : -1;
    return node >= 0 ? m_items[node] : nullptr;
  };
  if (HTREEITEM first = itemOf(state.firstShown)) m_treeCtrl.SelectSetFirstVisible(first);
  if (HTREEITEM selected = itemOf(state.selected)) {
    m_treeCtrl.SelectItem(selected);
    m_treeCtrl.EnsureVisible(selected);
  }
  m_treeCtrl.SetRedraw(true);
  m_treeCtrl.Invalidate();
  m_bFilling = false;
}

HTREEITEM CWindowTreeDlg::ItemAt(POINT screen) const {
  ::ScreenToClient(m_treeCtrl.GetSafeHwnd(), &screen);
  return m_treeCtrl.HitTest(screen);
}

void CWindowTreeDlg::SetStatus(const std::wstring& text) {
  ::SetDlgItemTextW(GetSafeHwnd(), IDC_WT_STATUS, text.c_str());
}

void CWindowTreeDlg::Look(int node) {
  m_outline.Hide();
  ::KillTimer(GetSafeHwnd(), kTreeOutlineTimerId);
  const HWND window = m_tree.nodes[node].hwnd;
  if (window == MessageOnlyRootKey()) {
    SetStatus(m_tree.nodes[node].label);
    return;
  }
  // Only read: nothing here sends the window a message or changes it.
  WindowLook look = WindowLook::kShown;
  const HWND root = ::GetAncestor(window, GA_ROOT);
  if (!::IsWindow(window)) look = WindowLook::kClosed;
  else if (!::IsWindowVisible(window)) look = WindowLook::kHidden;
  else if (::IsIconic(window) || (root && ::IsIconic(root))) look = WindowLook::kMinimised;
  RECT rect{};
  if (look == WindowLook::kShown && ::GetWindowRect(window, &rect) && rect.right > rect.left && rect.bottom > rect.top) {
    m_outline.Show(rect, platform::WindowDpi(GetSafeHwnd()));
    ::SetTimer(GetSafeHwnd(), kTreeOutlineTimerId, kTreeOutlineMs, nullptr);
  }
  SetStatus(LookStatus(look, m_tree.nodes[node].label));
}

void CWindowTreeDlg::Pick(int node) {
  if (node < 0 || m_tree.nodes[node].hwnd == MessageOnlyRootKey()) return;
  platform::RequestView(GetSafeHwnd(), platform::kPickWindowMessage, m_tree.nodes[node].hwnd);
}

void CWindowTreeDlg::Hide() {
  m_outline.Hide();
  ShowWindow(SW_HIDE);
}

void CWindowTreeDlg::OnRefresh() { Refresh(); }

// The owner view needs the owners, which only a read asked for it brings.
void CWindowTreeDlg::OnOwners() {
  const bool owners = ::IsDlgButtonChecked(GetSafeHwnd(), IDC_WT_OWNERS) == BST_CHECKED;
  if (owners && !m_bOwnersRead) return Refresh();
  const ShownState state = ReadShownState();
  Rebuild();
  Fill(state);
}

void CWindowTreeDlg::OnSearchChange() { m_search.OnChange(); }

void CWindowTreeDlg::OnOK() {
  if (::GetFocus() == m_treeCtrl.GetSafeHwnd()) return Pick(NodeOf(m_treeCtrl.GetSelection()));
  if (::GetFocus() != m_search.Box()) return;
  m_search.OnTimer();
  Fill(ReadShownState());
}

void CWindowTreeDlg::OnCancel() {
  if (::GetFocus() == m_search.Box()) {
    if (m_search.Clear()) Fill(ReadShownState());
    return;
  }
  Hide();
}

// The close box hides the tree wherever the focus is.
std::optional<LRESULT> CWindowTreeDlg::OnClose(WPARAM, LPARAM) {
  Hide();
  return 0;
}

// The user's choice of an item (mouse, keys, or another program's TVM_SELECTITEM) only looks at
// the window: it changes no window and not the target.
LRESULT CWindowTreeDlg::OnSelChanged(NMHDR* header) {
  if (m_bFilling) return 0;
  const auto* change = reinterpret_cast<const NMTREEVIEWW*>(header);
  const int node = NodeOf(change->itemNew.hItem);
  if (node >= 0) Look(node);
  return 0;
}

// The user opened or closed a branch: a later fill does the same.
LRESULT CWindowTreeDlg::OnItemExpanded(NMHDR* header) {
  if (m_bFilling) return 0;
  const auto* change = reinterpret_cast<const NMTREEVIEWW*>(header);
  const int node = NodeOf(change->itemNew.hItem);
  if (node < 0) return 0;
  if ((change->action & (TVE_EXPAND | TVE_COLLAPSE)) == TVE_EXPAND) m_userOpen.insert(m_tree.nodes[node].hwnd);
  else if ((change->action & (TVE_EXPAND | TVE_COLLAPSE)) == TVE_COLLAPSE) m_userOpen.erase(m_tree.nodes[node].hwnd);
  return 0;
}

// A double-click on an item makes its window the target.
LRESULT CWindowTreeDlg::OnDoubleClick(NMHDR*) {
  const DWORD at = ::GetMessagePos();
  Pick(NodeOf(ItemAt(POINT{GET_X_LPARAM(at), GET_Y_LPARAM(at)})));
  return 0;
}

// Hidden windows are dimmed: their text is drawn in the system's grey unless selected.
LRESULT CWindowTreeDlg::OnCustomDraw(NMHDR* header) {
  auto* draw = reinterpret_cast<NMTVCUSTOMDRAW*>(header);
  if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && !(draw->nmcd.uItemState & CDIS_SELECTED)) {
    const LPARAM node = draw->nmcd.lItemlParam;
    if (node >= 0 && static_cast<size_t>(node) < m_tree.nodes.size() && m_tree.nodes[node].hidden)
      draw->clrText = ::GetSysColor(COLOR_GRAYTEXT);
  }
  return CDRF_DODEFAULT;
}

std::optional<LRESULT> CWindowTreeDlg::OnContextMenu(WPARAM wParam, LPARAM lParam) {
  if (reinterpret_cast<HWND>(wParam) != m_treeCtrl.GetSafeHwnd()) return std::nullopt;
  POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  HTREEITEM item = nullptr;
  if (screen.x == -1 && screen.y == -1) {
    // From the keyboard: the selected item, the menu below it.
    item = m_treeCtrl.GetSelection();
    const std::optional<RECT> rect = m_treeCtrl.GetItemRect(item, true);
    if (!rect) return 0;
    screen = POINT{rect->left, rect->bottom};
    ::ClientToScreen(m_treeCtrl.GetSafeHwnd(), &screen);
  } else {
    item = ItemAt(screen);
  }
  const int node = NodeOf(item);
  if (node < 0) return 0;
  const HWND window = m_tree.nodes[node].hwnd;
  const bool isWindow = window != MessageOnlyRootKey();
  enum : UINT { kCopy = 1, kMessageLog, kProperties, kTarget };
  switch (platform::ShowPopupMenu(GetSafeHwnd(), screen,
                                  {{kTarget, "ターゲットにする", isWindow}, {kCopy, "コピー"},
                                   {kMessageLog, "メッセージログ", isWindow}, {kProperties, "プロパティ", isWindow}})) {
    case kTarget:
      Pick(node);
      break;
    case kCopy:
      if (!platform::CopyTextToClipboard(GetSafeHwnd(), m_tree.nodes[node].label))
        platform::PanelMessageBox(GetSafeHwnd(), platform::kClipboardBusyMessage);
      break;
    case kMessageLog:
      platform::RequestView(GetSafeHwnd(), platform::kOpenMessageLogMessage, window);
      break;
    case kProperties:
      platform::RequestView(GetSafeHwnd(), platform::kOpenPropertiesMessage, window);
      break;
  }
  return 0;
}

std::optional<LRESULT> CWindowTreeDlg::OnTimer(WPARAM wParam, LPARAM) {
  if (wParam == kTreeOutlineTimerId) {
    ::KillTimer(GetSafeHwnd(), kTreeOutlineTimerId);
    m_outline.Hide();
    return 0;
  }
  if (wParam != kTreeSearchTimerId) return std::nullopt;
  if (m_search.OnTimer()) Fill(ReadShownState());
  return 0;
}

std::optional<LRESULT> CWindowTreeDlg::OnSize(WPARAM wParam, LPARAM lParam) {
  if (wParam != SIZE_MINIMIZED) m_layout.LayOut(LOWORD(lParam), HIWORD(lParam));
  return std::nullopt;
}

std::optional<LRESULT> CWindowTreeDlg::OnGetMinMaxInfo(WPARAM, LPARAM lParam) {
  if (!m_layout.LimitTracking(reinterpret_cast<MINMAXINFO*>(lParam))) return std::nullopt;
  return 0;
}

}  // namespace wintree
