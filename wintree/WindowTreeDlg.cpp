#include "wintree/WindowTreeDlg.h"

#include <windowsx.h>

#include <cstring>

#include "platform/Clipboard.h"
#include "platform/MessageBox.h"
#include "platform/ViewPlacement.h"
#include "platform/PopupMenu.h"
#include "platform/ViewRequests.h"
#include "res/resource.h"
#include "wintree/DesktopReader.h"

namespace wintree {

CWindowTreeDlg::CWindowTreeDlg() : CDialogT(IDD_WINDOWTREE) {}

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
      OnNotify(IDC_WT_TREE, NM_CUSTOMDRAW, &CWindowTreeDlg::OnCustomDraw),
      OnMessage(WM_CONTEXTMENU, &CWindowTreeDlg::OnContextMenu),
      OnMessage(WM_CLOSE, &CWindowTreeDlg::OnClose),
      OnMessage(WM_TIMER, &CWindowTreeDlg::OnTimer),
      OnMessage(WM_SIZE, &CWindowTreeDlg::OnSize),
      OnMessage(WM_GETMINMAXINFO, &CWindowTreeDlg::OnGetMinMaxInfo),
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
  m_hTree = GetDlgItem(IDC_WT_TREE);
  ::SendMessageW(m_hTree, TVM_SETUNICODEFORMAT, TRUE, 0);
  m_search.Attach(GetSafeHwnd(), IDC_WT_SEARCH, kTreeSearchTimerId);
  m_layout.Attach(GetSafeHwnd(), {{IDC_WT_SEARCH, platform::kAnchorTopLeft | platform::kAnchorRight},
                                  {IDC_WT_OWNERS, platform::kAnchorTop | platform::kAnchorRight},
                                  {IDC_WT_REFRESH, platform::kAnchorTop | platform::kAnchorRight},
                                  {IDC_WT_TREE, platform::kAnchorAll}});
  return TRUE;
}

void CWindowTreeDlg::Refresh() {
  const ShownState state = ReadShownState();
  // The first read marks nothing new; every later one marks what the read before lacked.
  if (!m_tree.nodes.empty()) m_knownBefore = KnownOf(m_tree);
  m_records = ReadDesktop();
  m_bOwnersRead = false;
  Rebuild();
  Fill(state);
}

void CWindowTreeDlg::Rebuild() {
  const bool owners = ::IsDlgButtonChecked(GetSafeHwnd(), IDC_WT_OWNERS) == BST_CHECKED;
  if (owners && !m_bOwnersRead) {
    ReadOwners(m_records);
    m_bOwnersRead = true;
  }
  m_tree = BuildTree(m_records, owners ? TreeShape::kOwners : TreeShape::kParents,
                     m_knownBefore ? &*m_knownBefore : nullptr);
}

int CWindowTreeDlg::NodeOf(HTREEITEM item) const {
  if (!item) return -1;
  TVITEMW data{};
  data.mask = TVIF_HANDLE | TVIF_PARAM;
  data.hItem = item;
  if (!::SendMessageW(m_hTree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data))) return -1;
  const LPARAM node = data.lParam;
  if (node < 0 || static_cast<size_t>(node) >= m_items.size() || m_items[node] != item) return -1;
  return static_cast<int>(node);
}

CWindowTreeDlg::ShownState CWindowTreeDlg::ReadShownState() const {
  ShownState state;
  // Only an item with children can be open.
  for (size_t node = 0; node < m_items.size(); ++node) {
    if (!m_items[node] || m_tree.nodes[node].children.empty()) continue;
    const WPARAM item = reinterpret_cast<WPARAM>(m_items[node]);
    if (::SendMessageW(m_hTree, TVM_GETITEMSTATE, item, TVIS_EXPANDED) & TVIS_EXPANDED)
      state.expanded.insert(m_tree.nodes[node].hwnd);
  }
  auto handleOf = [this](UINT which) -> HWND {
    const int node = NodeOf(reinterpret_cast<HTREEITEM>(::SendMessageW(m_hTree, TVM_GETNEXTITEM, which, 0)));
    return node >= 0 ? m_tree.nodes[node].hwnd : nullptr;
  };
  state.selected = handleOf(TVGN_CARET);
  state.firstShown = handleOf(TVGN_FIRSTVISIBLE);
  return state;
}

void CWindowTreeDlg::Fill(const ShownState& state) {
  m_bFilling = true;
  const SearchResult found = Search(m_tree, platform::CTextSearch(m_search.Text()));
  ::SendMessageW(m_hTree, WM_SETREDRAW, FALSE, 0);
  ::SendMessageW(m_hTree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  m_items.assign(m_tree.nodes.size(), nullptr);

  // Breadth first, each item last under its parent: siblings keep their order.
  std::vector<int> queue(m_tree.roots);
  for (size_t at = 0; at < queue.size(); ++at) {
    const int index = queue[at];
    const TreeNode& node = m_tree.nodes[index];
    if (!found.kept[index] || (node.parent >= 0 && !m_items[node.parent])) continue;
    TVINSERTSTRUCTW insert{};
    insert.hParent = node.parent >= 0 ? m_items[node.parent] : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE;
    insert.item.pszText = const_cast<wchar_t*>(node.label.c_str());
    insert.item.lParam = index;
    insert.item.state = (node.hidden ? TVIS_CUT : 0) | (node.isNew ? TVIS_BOLD : 0);
    insert.item.stateMask = TVIS_CUT | TVIS_BOLD;
    m_items[index] =
        reinterpret_cast<HTREEITEM>(::SendMessageW(m_hTree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    queue.insert(queue.end(), node.children.begin(), node.children.end());
  }

  for (size_t index = 0; index < m_items.size(); ++index) {
    if (m_items[index] && (found.expanded[index] || state.expanded.count(m_tree.nodes[index].hwnd)))
      ::SendMessageW(m_hTree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(m_items[index]));
  }
  auto itemOf = [this](HWND hwnd) -> HTREEITEM {
    const int node = hwnd ? m_tree.Find(hwnd) : -1;
    return node >= 0 ? m_items[node] : nullptr;
  };
  if (HTREEITEM first = itemOf(state.firstShown))
    ::SendMessageW(m_hTree, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(first));
  if (HTREEITEM selected = itemOf(state.selected)) {
    ::SendMessageW(m_hTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(selected));
    ::SendMessageW(m_hTree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(selected));
  }
  ::SendMessageW(m_hTree, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(m_hTree, nullptr, TRUE);
  m_bFilling = false;
}

HTREEITEM CWindowTreeDlg::ItemAt(POINT screen) const {
  TVHITTESTINFO hit{};
  hit.pt = screen;
  ::ScreenToClient(m_hTree, &hit.pt);
  HTREEITEM item = reinterpret_cast<HTREEITEM>(::SendMessageW(m_hTree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  return (hit.flags & TVHT_ONITEM) ? item : nullptr;
}

void CWindowTreeDlg::OnRefresh() { Refresh(); }

void CWindowTreeDlg::OnOwners() {
  const ShownState state = ReadShownState();
  Rebuild();
  Fill(state);
}

void CWindowTreeDlg::OnSearchChange() { m_search.OnChange(); }

void CWindowTreeDlg::OnOK() {
  if (::GetFocus() != m_search.Box()) return;
  m_search.OnTimer();
  Fill(ReadShownState());
}

void CWindowTreeDlg::OnCancel() {
  if (::GetFocus() == m_search.Box()) {
    if (m_search.Clear()) Fill(ReadShownState());
    return;
  }
  ShowWindow(SW_HIDE);
}

// The close box hides the tree wherever the focus is.
std::optional<LRESULT> CWindowTreeDlg::OnClose(WPARAM, LPARAM) {
  ShowWindow(SW_HIDE);
  return 0;
}

// The user's choice of an item (mouse, keys, or another program's TVM_SELECTITEM): the window
// becomes the target as the finder would make it.
LRESULT CWindowTreeDlg::OnSelChanged(NMHDR* header) {
  if (m_bFilling) return 0;
  const auto* change = reinterpret_cast<const NMTREEVIEWW*>(header);
  const int node = NodeOf(change->itemNew.hItem);
  if (node < 0 || m_tree.nodes[node].hwnd == MessageOnlyRootKey()) return 0;
  platform::RequestView(GetSafeHwnd(), platform::kPickWindowMessage, m_tree.nodes[node].hwnd);
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
  if (reinterpret_cast<HWND>(wParam) != m_hTree) return std::nullopt;
  POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  HTREEITEM item = nullptr;
  if (screen.x == -1 && screen.y == -1) {
    // From the keyboard: the selected item, the menu below it.
    item = reinterpret_cast<HTREEITEM>(::SendMessageW(m_hTree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    RECT rect{};
    // TVM_GETITEMRECT takes the item in the rectangle's place.
    std::memcpy(&rect, &item, sizeof(item));
    if (!item || !::SendMessageW(m_hTree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect))) return 0;
    screen = POINT{rect.left, rect.bottom};
    ::ClientToScreen(m_hTree, &screen);
  } else {
    item = ItemAt(screen);
  }
  const int node = NodeOf(item);
  if (node < 0) return 0;
  const HWND window = m_tree.nodes[node].hwnd;
  const bool isWindow = window != MessageOnlyRootKey();
  enum : UINT { kCopy = 1, kMessageLog, kProperties, kSendMessage };
  switch (platform::ShowPopupMenu(GetSafeHwnd(), screen,
                                  {{kCopy, "コピー"}, {kMessageLog, "メッセージログ", isWindow},
                                   {kProperties, "プロパティ", isWindow}, {kSendMessage, "メッセージ送信", isWindow}})) {
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
    case kSendMessage:
      platform::RequestView(GetSafeHwnd(), platform::kOpenSendMessageMessage, window);
      break;
  }
  return 0;
}

std::optional<LRESULT> CWindowTreeDlg::OnTimer(WPARAM wParam, LPARAM) {
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
