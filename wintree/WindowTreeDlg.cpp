#include "wintree/WindowTreeDlg.h"

#include <windowsx.h>

#include <algorithm>
#include <iterator>

#include "platform/Clipboard.h"
#include "platform/Dpi.h"
#include "platform/FileDialog.h"
#include "platform/FileSave.h"
#include "platform/Format.h"
#include "platform/MessageBox.h"
#include "platform/WideText.h"
#include "platform/PopupMenu.h"
#include "platform/RowCopy.h"
#include "platform/ViewRequests.h"
#include "res/resource.h"

namespace wintree {

namespace {

const char kSnapshotSaveFailed[] = "スナップショットを保存できませんでした。";
const char kSnapshotLoadFailed[] = "スナップショットを読めませんでした。";
const wchar_t kSnapshotFilter[] = L"スナップショット (*.json)\0*.json\0すべてのファイル (*.*)\0*.*\0";

platform::SaveFileRequest SnapshotRequest() {
  platform::SaveFileRequest request;
  request.fileName = L"snapshot.json";
  request.filter.assign(kSnapshotFilter, std::size(kSnapshotFilter) - 1);
  request.defaultExtension = L"json";
  return request;
}

// The marks' images at the control's DPI: none, a changed window's dot, a removed one's cross.
platform::UniqueImageList MakeMarkImages(UINT dpi) {
  const int side = platform::ScaleForDpi(16, dpi);
  platform::UniqueImageList images(::ImageList_Create(side, side, ILC_COLOR24 | ILC_MASK, 3, 0));
  if (!images) return images;
  const HDC screen = ::GetDC(nullptr);
  platform::UniqueMemoryDc dc(::CreateCompatibleDC(screen));
  platform::UniqueBitmap strip(::CreateCompatibleBitmap(screen, side * 3, side));
  ::ReleaseDC(nullptr, screen);
  if (!dc || !strip) return platform::UniqueImageList();
  {
    platform::CSelectObjectGuard selected(dc.get(), strip.get());
    const COLORREF mask = RGB(255, 0, 255);
    platform::UniqueBrush background = platform::MakeSolidBrush(mask);
    RECT all{0, 0, side * 3, side};
    ::FillRect(dc.get(), &all, background.get());
    platform::UniqueBrush orange = platform::MakeSolidBrush(RGB(240, 140, 0));
    platform::UniquePen red(::CreatePen(PS_SOLID, platform::ScaleForDpi(2, dpi), RGB(210, 0, 0)));
    const int inset = side / 4;
    {
      platform::CSelectObjectGuard brush(dc.get(), orange.get());
      platform::CSelectObjectGuard pen(dc.get(), ::GetStockObject(NULL_PEN));
      ::Ellipse(dc.get(), side + inset, inset, 2 * side - inset + 1, side - inset + 1);
    }
    {
      platform::CSelectObjectGuard pen(dc.get(), red.get());
      ::MoveToEx(dc.get(), 2 * side + inset, inset, nullptr);
      ::LineTo(dc.get(), 3 * side - inset, side - inset);
      ::MoveToEx(dc.get(), 3 * side - inset - 1, inset, nullptr);
      ::LineTo(dc.get(), 2 * side + inset - 1, side - inset);
    }
  }
  // The list copies the pictures; the strip stays ours.
  if (::ImageList_AddMasked(images.get(), strip.get(), RGB(255, 0, 255)) < 0) return platform::UniqueImageList();
  return images;
}

// Which of the values make up a longest strictly increasing run of them (one of them, if
// several are as long).
std::vector<char> InLongestIncreasingRun(const std::vector<int>& values) {
  std::vector<size_t> tails;  // per run length, the value ending the lowest such run so far
  std::vector<long> before(values.size(), -1);
  for (size_t i = 0; i < values.size(); ++i) {
    auto at = std::lower_bound(tails.begin(), tails.end(), values[i],
                               [&](size_t tail, int value) { return values[tail] < value; });
    if (at != tails.begin()) before[i] = static_cast<long>(*(at - 1));
    if (at == tails.end()) tails.push_back(i);
    else *at = i;
  }
  std::vector<char> in(values.size(), 0);
  for (long i = tails.empty() ? -1 : static_cast<long>(tails.back()); i >= 0; i = before[i]) in[i] = 1;
  return in;
}

}  // namespace

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
      OnNotify(IDC_WT_TREE, TVN_KEYDOWN, &CWindowTreeDlg::OnTreeKeyDown),
      OnMessage(WM_CONTEXTMENU, &CWindowTreeDlg::OnContextMenu),
      OnMessage(WM_TIMER, &CWindowTreeDlg::OnTimer),
      OnMessage(WM_SIZE, &CWindowTreeDlg::OnSize),
      OnMessage(WM_GETMINMAXINFO, &CWindowTreeDlg::OnGetMinMaxInfo),
      OnMessage(kDesktopReadMessage, &CWindowTreeDlg::OnDesktopRead),
      OnCommand(IDC_WT_FOLLOW, BN_CLICKED, &CWindowTreeDlg::OnFollow),
      OnCommand(IDC_WT_CLEAR, BN_CLICKED, &CWindowTreeDlg::OnClear),
      OnCommand(IDC_WT_SAVE, BN_CLICKED, &CWindowTreeDlg::OnSave),
      OnCommand(IDC_WT_COMPARE, BN_CLICKED, &CWindowTreeDlg::OnCompare),
      OnNotify(IDC_WT_CHANGES, LVN_GETDISPINFOW, &CWindowTreeDlg::OnChangesGetDispInfoW),
      OnNotify(IDC_WT_CHANGES, LVN_GETDISPINFOA, &CWindowTreeDlg::OnChangesGetDispInfoA),
      OnNotify(IDC_WT_CHANGES, LVN_KEYDOWN, &CWindowTreeDlg::OnChangesKeyDown),
      OnMessage(kChangesFoundMessage, &CWindowTreeDlg::OnChangesFound),
      OnMessage(kTreeJobMessage, &CWindowTreeDlg::OnTreeJob),
      OnMessage(WM_DESTROY, &CWindowTreeDlg::OnDestroy),
  };
  return kMap;
}

// Shown first, so that the tree lists itself as shown.
void CWindowTreeDlg::OnShown() { Refresh(); }

BOOL CWindowTreeDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_shown.clear();
  m_treeCtrl.Attach(GetDlgItem(IDC_WT_TREE));
  m_treeCtrl.SetUnicodeFormat();
  m_search.Attach(GetSafeHwnd(), IDC_WT_SEARCH, kTreeSearchTimerId);
  m_markImages = MakeMarkImages(platform::WindowDpi(m_treeCtrl.GetSafeHwnd()));
  m_treeCtrl.SetStateImageList(m_markImages.get());
  m_changes.Attach(GetSafeHwnd(), GetDlgItem(IDC_WT_CHANGES));
  m_layout.Attach(GetSafeHwnd(), {{IDC_WT_SEARCH, platform::kAnchorTopLeft | platform::kAnchorRight},
                                  {IDC_WT_OWNERS, platform::kAnchorTop | platform::kAnchorRight},
                                  {IDC_WT_REFRESH, platform::kAnchorTop | platform::kAnchorRight},
                                  {IDC_WT_FOLLOW, platform::kAnchorTopLeft},
                                  {IDC_WT_SAVE, platform::kAnchorTop | platform::kAnchorRight},
                                  {IDC_WT_COMPARE, platform::kAnchorTop | platform::kAnchorRight},
                                  {IDC_WT_CLEAR, platform::kAnchorTop | platform::kAnchorRight},
                                  {IDC_WT_TREE, platform::kAnchorAll},
                                  {IDC_WT_CHANGES, platform::kAnchorLeft | platform::kAnchorRight | platform::kAnchorBottom},
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
  // A read asked for is newer than what the follower read before it.
  m_followedRead.reset();
  m_records = std::move(read->records);
  m_bOwnersRead = read->ownersRead;
  Rebuild();
  // Branches of windows gone stay closed: their handles may name new windows later.
  for (auto it = m_userOpen.begin(); it != m_userOpen.end();) it = m_tree.Find(*it) < 0 ? m_userOpen.erase(it) : ++it;
  Fill(state);
  SetStatus(std::to_wstring(m_tree.nodes.size() - 1) + L" 個のウィンドウ");
  return 0;
}

void CWindowTreeDlg::Rebuild() { m_tree = Built(); }

DesktopTree CWindowTreeDlg::Built() const {
  const bool owners = ::IsDlgButtonChecked(GetSafeHwnd(), IDC_WT_OWNERS) == BST_CHECKED;
  // Windows removed since the list was emptied stay where they were.
  return BuildTree(m_marks.Removed().empty() ? m_records : WithRemoved(m_records, m_marks.Removed()),
                   owners && m_bOwnersRead ? TreeShape::kOwners : TreeShape::kParents,
                   m_knownBefore ? &*m_knownBefore : nullptr);
}

UINT CWindowTreeDlg::ItemState(int index) const {
  const TreeNode& node = m_tree.nodes[index];
  const uint8_t mark = m_marks.Of(node.hwnd);
  const UINT image = (mark & kMarkRemoved) ? kRemovedImage : (mark & kMarkChanged) ? kChangedImage : 0;
  return (node.hidden ? TVIS_CUT : 0) | (node.isNew || (mark & kMarkAdded) ? TVIS_BOLD : 0) | INDEXTOSTATEIMAGEMASK(image);
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
  // The items to show, parents first, siblings in their order.
  std::vector<int> order;
  std::vector<char> shownNode(m_tree.nodes.size(), 0);
  std::vector<int> queue(m_tree.roots);
  for (size_t at = 0; at < queue.size(); ++at) {
    const int index = queue[at];
    const TreeNode& node = m_tree.nodes[index];
    if (!found.kept[index] || (node.parent >= 0 && !shownNode[node.parent])) continue;
    shownNode[index] = 1;
    order.push_back(index);
    queue.insert(queue.end(), node.children.begin(), node.children.end());
  }
  auto parentOf = [this](int index) {
    const int parent = m_tree.nodes[index].parent;
    return parent >= 0 ? m_tree.nodes[parent].hwnd : nullptr;
  };
  auto marksOf = [this](int index) { return ItemState(index); };

  // An item the control shows is kept where its window is shown under the same parent, which is
  // kept too; among siblings, the longest run that kept its order stays and the others move
  // (removed with their branches and inserted again).
  std::vector<HTREEITEM> items(m_tree.nodes.size(), nullptr);
  for (size_t start = 0; start < order.size();) {
    const int parent = m_tree.nodes[order[start]].parent;
    size_t end = start;
    while (end < order.size() && m_tree.nodes[order[end]].parent == parent) ++end;
    std::vector<size_t> candidates;
    std::vector<int> places;
    for (size_t at = start; at < end; ++at) {
      auto shown = m_shown.find(m_tree.nodes[order[at]].hwnd);
      if (shown == m_shown.end() || shown->second.parent != parentOf(order[at]) || (parent >= 0 && !items[parent]))
        continue;
      candidates.push_back(at);
      places.push_back(shown->second.place);
    }
    const std::vector<char> stays = InLongestIncreasingRun(places);
    for (size_t i = 0; i < candidates.size(); ++i)
      if (stays[i]) items[order[candidates[i]]] = m_shown[m_tree.nodes[order[candidates[i]]].hwnd].item;
    start = end;
  }
  std::vector<HTREEITEM> gone;
  std::unordered_set<HTREEITEM> kept(items.begin(), items.end());
  for (const auto& [hwnd, shown] : m_shown) {
    if (kept.count(shown.item)) continue;
    // Only the highest item of a removed branch: the control removes what is under it.
    auto parent = shown.parent ? m_shown.find(shown.parent) : m_shown.end();
    if (!shown.parent || (parent != m_shown.end() && kept.count(parent->second.item))) gone.push_back(shown.item);
  }
  size_t added = 0;
  for (int index : order) added += items[index] == nullptr;
  const bool anew = m_shown.empty();
  // Many changes are made unseen; a few are cheaper than switching the redraw back on.
  const bool quiet = anew || gone.size() + added > kQuietFillChanges;
  if (quiet) m_treeCtrl.SetRedraw(false);
  if (anew) {
    m_treeCtrl.DeleteAllItems();
    items.assign(m_tree.nodes.size(), nullptr);
  } else {
    for (HTREEITEM item : gone) m_treeCtrl.DeleteItem(item);
  }

  // New items go after the sibling before them; kept ones are told their node, text and marks.
  std::vector<HTREEITEM> lastChild(m_tree.nodes.size(), nullptr);
  HTREEITEM lastRoot = nullptr;
  for (int index : order) {
    const TreeNode& node = m_tree.nodes[index];
    HTREEITEM& before = node.parent >= 0 ? lastChild[node.parent] : lastRoot;
    if (!items[index]) {
      platform::TreeItemFields fields;
      fields.data = index;
      fields.state = marksOf(index);
      fields.stateMask = kItemStateMask;
      items[index] = m_treeCtrl.InsertItem(node.parent >= 0 ? items[node.parent] : TVI_ROOT, node.label, fields,
                                           before ? before : TVI_FIRST);
    } else {
      const ShownItem& shown = m_shown[node.hwnd];
      if (shown.node != index || shown.marks != marksOf(index) || shown.label != node.label)
        m_treeCtrl.SetItem(items[index], index, marksOf(index), kItemStateMask,
                           shown.label != node.label ? &node.label : nullptr);
    }
    before = items[index];
  }
  m_items = std::move(items);

  // Open what the search or the user opened, and close what only an earlier search had opened.
  for (int index : order) {
    const bool open = found.expanded[index] || m_userOpen.count(m_tree.nodes[index].hwnd);
    if (m_tree.nodes[index].children.empty() || open == m_treeCtrl.IsExpanded(m_items[index])) continue;
    m_treeCtrl.Expand(m_items[index], open ? TVE_EXPAND : TVE_COLLAPSE);
  }
  auto itemOf = [this](HWND hwnd) -> HTREEITEM {
    const int node = hwnd ? m_tree.Find(hwnd) : -1;
    return node >= 0 ? m_items[node] : nullptr;
  };
  if (anew) {
    if (HTREEITEM first = itemOf(state.firstShown)) m_treeCtrl.SelectSetFirstVisible(first);
  }
  if (HTREEITEM selected = itemOf(state.selected)) {
    if (m_treeCtrl.GetSelection() != selected) {
      m_treeCtrl.SelectItem(selected);
      m_treeCtrl.EnsureVisible(selected);
    }
  }
  if (quiet) {
    m_treeCtrl.SetRedraw(true);
    m_treeCtrl.Invalidate();
  }

  m_shown.clear();
  std::unordered_map<HWND, int> places;
  for (int index : order) {
    const HWND parent = parentOf(index);
    m_shown[m_tree.nodes[index].hwnd] =
        ShownItem{m_items[index], parent, index, places[parent]++, marksOf(index), m_tree.nodes[index].label};
  }
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

void CWindowTreeDlg::OnClosing() {
  m_outline.Hide();
  StopFollowing();
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
  SearchApplied();
}

void CWindowTreeDlg::OnCancel() {
  if (::GetFocus() == m_search.Box()) {
    if (m_search.Clear()) SearchApplied();
    return;
  }
  Close();
}

void CWindowTreeDlg::SearchApplied() {
  m_follower.SetNarrowing(m_search.Text());
  Fill(ReadShownState());
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

// Hidden windows are dimmed: their text is drawn in the system's grey unless selected. Removed
// windows are struck through.
LRESULT CWindowTreeDlg::OnCustomDraw(NMHDR* header) {
  auto* draw = reinterpret_cast<NMTVCUSTOMDRAW*>(header);
  if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw->nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
  const LPARAM node = draw->nmcd.lItemlParam;
  if (node < 0 || static_cast<size_t>(node) >= m_tree.nodes.size()) return CDRF_DODEFAULT;
  if (m_tree.nodes[node].hidden && !(draw->nmcd.uItemState & CDIS_SELECTED)) draw->clrText = ::GetSysColor(COLOR_GRAYTEXT);
  if (!(m_marks.Of(m_tree.nodes[node].hwnd) & kMarkRemoved)) return CDRF_DODEFAULT;
  const HFONT font = reinterpret_cast<HFONT>(::GetCurrentObject(draw->nmcd.hdc, OBJ_FONT));
  if (!m_struckFont || m_struckFrom != font) {
    LOGFONTW face{};
    if (!::GetObjectW(font, sizeof face, &face)) return CDRF_DODEFAULT;
    face.lfStrikeOut = TRUE;
    m_struckFont.reset(::CreateFontIndirectW(&face));
    m_struckFrom = font;
  }
  if (!m_struckFont) return CDRF_DODEFAULT;
  // The control puts its own font back after the item.
  ::SelectObject(draw->nmcd.hdc, m_struckFont.get());
  return CDRF_NEWFONT;
}

void CWindowTreeDlg::OnFollow() {
  if (::IsDlgButtonChecked(GetSafeHwnd(), IDC_WT_FOLLOW) != BST_CHECKED) return StopFollowing();
  if (!m_follower.Start(GetSafeHwnd(), kChangesFoundMessage, DesktopFollowPass())) {
    ::CheckDlgButton(GetSafeHwnd(), IDC_WT_FOLLOW, BST_UNCHECKED);
    SetStatus(platform::WidenAnsi("変化を追うスレッドを始められませんでした"));
    return;
  }
  m_follower.SetNarrowing(m_search.Text());
  m_bFollowReady = false;
  SetStatus(platform::WidenAnsi("デスクトップを読んでいます…"));
}

void CWindowTreeDlg::StopFollowing() {
  if (!m_follower.Running()) return;
  m_follower.Stop();
  ::CheckDlgButton(GetSafeHwnd(), IDC_WT_FOLLOW, BST_UNCHECKED);
  ::KillTimer(GetSafeHwnd(), kTreeFollowFillTimerId);
  ShowFollowedRead();
  SetStatus(platform::WidenAnsi("変化を追うのをやめました"));
}

// What the follower found: only from the follower running now, taken from it (the message
// carries nothing else).
std::optional<LRESULT> CWindowTreeDlg::OnChangesFound(WPARAM wParam, LPARAM) {
  if (!m_follower.Running() || wParam != m_follower.Generation()) return 0;
  CChangeFollower::Found found = m_follower.Take();
  if (found.read && !m_bFollowReady) {
    // From the first read on, whatever changes is listed.
    m_bFollowReady = true;
    SetStatus(platform::WidenAnsi("変化を追っています"));
  }
  if (found.events.empty()) return 0;
  TakeEvents(found.events, m_followedRead ? *m_followedRead : m_records);
  if (!found.windows.empty()) m_followedRead = std::move(found.windows);
  // The tree follows at most once a second; a read the tree is asked for meanwhile wins.
  const DWORD since = ::GetTickCount() - m_lastFollowFill;
  if (since >= kFollowFillMs) ShowFollowedRead();
  else ::SetTimer(GetSafeHwnd(), kTreeFollowFillTimerId, kFollowFillMs - since, nullptr);
  return 0;
}

void CWindowTreeDlg::TakeEvents(const std::vector<std::pair<ChangeTime, Json>>& events,
                                const std::vector<WindowRecord>& before) {
  for (const auto& [time, event] : events) {
    m_changes.Rows().Add(time, event);
    m_marks.Note(event, before);
  }
  m_changes.Update();
  const uint64_t dropped = m_changes.Rows().Dropped();
  if (dropped != m_droppedShown) {
    m_droppedShown = dropped;
    if (dropped)
      SetStatus(platform::WidenAnsi(platform::Format("一覧は最新の %u 件です (古い %llu 件を外しました)",
                                                     static_cast<unsigned>(kMaxChangeRows), static_cast<unsigned long long>(dropped))));
  }
}

void CWindowTreeDlg::ShowFollowedRead() {
  if (!m_followedRead) return;
  m_lastFollowFill = ::GetTickCount();
  const ShownState state = ReadShownState();
  m_records = std::move(*m_followedRead);
  m_followedRead.reset();
  // The follower reads the owners too.
  m_bOwnersRead = true;
  ShowMarks(state);
}

void CWindowTreeDlg::ShowMarks(const ShownState& state) {
  Rebuild();
  Fill(state);
}

void CWindowTreeDlg::OnClear() {
  m_changes.Clear();
  m_marks.Clear();
  m_droppedShown = 0;
  m_knownBefore.reset();
  ShowMarks(ReadShownState());
}

void CWindowTreeDlg::OnSave() {
  if (m_job.Busy()) return;
  const std::optional<platform::SaveFileChoice> choice = platform::ShowSaveFileDialog(GetSafeHwnd(), SnapshotRequest());
  if (!choice) return;
  const std::wstring path = choice->path;
  if (!m_job.Start(GetSafeHwnd(), kTreeJobMessage, [path] {
        TreeJobResult result;
        result.kind = TreeJobResult::Kind::kSaved;
        result.path = path;
        const std::string reason = platform::WriteWholeFile(path, DesktopSnapshotText());
        if (!reason.empty()) result.error = std::string(kSnapshotSaveFailed) + "\r\n" + reason;
        return result;
      }))
    return;
  SetStatus(platform::WidenAnsi("スナップショットを保存しています…"));
}

void CWindowTreeDlg::OnCompare() {
  if (m_job.Busy()) return;
  const std::optional<platform::SaveFileChoice> choice = platform::ShowOpenFileDialog(GetSafeHwnd(), SnapshotRequest());
  if (!choice) return;
  const std::wstring path = choice->path;
  const std::wstring narrowing = m_search.Text();
  if (!m_job.Start(GetSafeHwnd(), kTreeJobMessage, [path, narrowing] {
        TreeJobResult result;
        result.kind = TreeJobResult::Kind::kCompared;
        result.path = path;
        snapshot::Document document;
        snapshot::LoadError error;
        if (!snapshot::LoadDocument(platform::Utf8FromWide(path), &document, &error)) {
          // The reason is in UTF-8; the message box takes the program's code page.
          result.error = std::string(kSnapshotLoadFailed) + "\r\n" +
                         platform::CodePageFromWide(platform::WideFromUtf8(error.Text()), CP_ACP);
          return result;
        }
        result.comparison = CompareWithDesktop(document, narrowing);
        return result;
      }))
    return;
  SetStatus(platform::WidenAnsi("比較しています…"));
}

std::optional<LRESULT> CWindowTreeDlg::OnTreeJob(WPARAM wParam, LPARAM) {
  std::optional<TreeJobResult> result = m_job.Take(wParam);
  if (!result) return 0;
  if (!result->error.empty()) {
    SetStatus(L"");
    platform::PanelMessageBox(GetSafeHwnd(), result->error);
    return 0;
  }
  if (result->kind == TreeJobResult::Kind::kSaved) {
    SetStatus(platform::WidenAnsi("スナップショットを保存しました: ") + result->path);
    return 0;
  }
  Comparison& comparison = result->comparison;
  std::vector<std::pair<ChangeTime, Json>> events;
  for (Json& event : comparison.events) events.emplace_back(comparison.time, std::move(event));
  TakeEvents(events, comparison.before);
  const ShownState state = ReadShownState();
  m_records = std::move(comparison.now);
  m_bOwnersRead = true;
  ShowMarks(state);
  SetStatus(platform::WidenAnsi(platform::Format("比較: 違い %u 件 ", static_cast<unsigned>(events.size()))) +
            result->path);
  return 0;
}

LRESULT CWindowTreeDlg::OnChangesGetDispInfoW(NMHDR* header) { return m_changes.OnGetDispInfoW(header); }
LRESULT CWindowTreeDlg::OnChangesGetDispInfoA(NMHDR* header) { return m_changes.OnGetDispInfoA(header); }
LRESULT CWindowTreeDlg::OnChangesKeyDown(NMHDR* header) { return m_changes.OnKeyDown(header); }

// The follower and a job under way are let go; neither is waited for.
std::optional<LRESULT> CWindowTreeDlg::OnDestroy(WPARAM, LPARAM) {
  m_follower.Stop();
  m_job.Abandon();
  return std::nullopt;
}

platform::RowCopy CWindowTreeDlg::TreeCopy() const {
  return {GetSafeHwnd(), [this] { return platform::CopiedTreeItem(m_treeCtrl, m_treeCtrl.GetSelection()); },
          [this] { return platform::CopiedTreeRows(m_treeCtrl); }};
}

LRESULT CWindowTreeDlg::OnTreeKeyDown(NMHDR* header) {
  platform::CopyOnKey(TreeCopy(), header);
  return 0;
}

std::optional<LRESULT> CWindowTreeDlg::OnContextMenu(WPARAM wParam, LPARAM lParam) {
  if (reinterpret_cast<HWND>(wParam) == GetDlgItem(IDC_WT_CHANGES)) {
    m_changes.OnContextMenu(lParam);
    return 0;
  }
  if (reinterpret_cast<HWND>(wParam) != m_treeCtrl.GetSafeHwnd()) return std::nullopt;
  POINT screen{};
  const int node = NodeOf(platform::TreeMenuItem(m_treeCtrl, lParam, screen));
  if (node < 0) return 0;
  const HWND window = m_tree.nodes[node].hwnd;
  const bool isWindow = window != MessageOnlyRootKey();
  // コピー copies the item the menu is on, which a right-click does not select.
  platform::RowCopy copy = TreeCopy();
  copy.selectedRows = [this, node] { return platform::CopiedRow({m_tree.nodes[node].label}); };
  enum : UINT { kTarget = 1, kMessageLog, kProperties, kSendMessage };
  switch (platform::TrackRowMenu(copy, screen, true, true, {{kTarget, "ターゲットにする", isWindow}},
                                 {{kMessageLog, "メッセージログ", isWindow}, {kProperties, "プロパティ", isWindow},
                                  {kSendMessage, "メッセージ送信", isWindow}})) {
    case kTarget:
      Pick(node);
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
  if (wParam == kTreeOutlineTimerId) {
    ::KillTimer(GetSafeHwnd(), kTreeOutlineTimerId);
    m_outline.Hide();
    return 0;
  }
  if (wParam == kTreeFollowFillTimerId) {
    ::KillTimer(GetSafeHwnd(), kTreeFollowFillTimerId);
    ShowFollowedRead();
    return 0;
  }
  if (wParam != kTreeSearchTimerId) return std::nullopt;
  if (m_search.OnTimer()) SearchApplied();
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
