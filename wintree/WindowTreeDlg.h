// The window tree: a modeless, resizable dialog owned by the main dialog that shows every window
// of the desktop under its parent (or, ticked 所有関係, top-level windows under their owner),
// searchable, refreshed on 更新 with the branches the user opened and the selection kept. The
// desktop is read on a thread of its own (wintree/DesktopReadWorker). Selecting a window only
// looks at it: the window is outlined on the screen when it shows there and the status line says
// what it is; Enter, a double-click or the menu's ターゲットにする asks the main dialog to make
// it the target as the finder would. Under the tree, the list of what changed: followed as it
// happens (変化を追う), or against a snapshot saved before (保存…, 比較…), with the same windows
// marked in the tree until クリア.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/Anchors.h"
#include "platform/Dialog.h"
#include "platform/Handles.h"
#include "platform/ModelessView.h"
#include "platform/RowCopy.h"
#include "platform/ScreenOutline.h"
#include "platform/SearchBox.h"
#include "platform/TreeCtrl.h"
#include "wintree/ChangeFollower.h"
#include "wintree/ChangeListView.h"
#include "wintree/ChangeMarks.h"
#include "wintree/DesktopReadWorker.h"
#include "wintree/DesktopTree.h"
#include "wintree/TreeJob.h"

namespace wintree {

// The dialog's timers: the search applied once the keys pause, the outline taken away.
constexpr UINT_PTR kTreeSearchTimerId = 1;
constexpr UINT_PTR kTreeOutlineTimerId = 2;
// The tree shows what the follower read, at most once a second.
constexpr UINT_PTR kTreeFollowFillTimerId = 3;
constexpr UINT kFollowFillMs = 1000;
// How long a selected window stays outlined.
constexpr UINT kTreeOutlineMs = 2000;
// Up to how many items a fill adds and removes with the control's redraw on.
constexpr size_t kQuietFillChanges = 32;
// Posted by the reader when a read is done: wParam its generation.
constexpr UINT kDesktopReadMessage = WM_APP + 1;
// Posted by the follower when it found changes, and by the save or compare job when it is done:
// wParam the generation.
constexpr UINT kChangesFoundMessage = WM_APP + 2;
constexpr UINT kTreeJobMessage = WM_APP + 3;
// The marks left of an item's text (its state image): changed, removed.
constexpr UINT kChangedImage = 1;
constexpr UINT kRemovedImage = 2;

class CWindowTreeDlg : public platform::CDialogT<CWindowTreeDlg, platform::CModelessView> {
 public:
  // read: how the desktop is read, on the reader's thread (tests put a read of their own).
  explicit CWindowTreeDlg(CDesktopReadWorker::ReadFunction read = CDesktopReadWorker::ReadDesktopWithOwners);
  ~CWindowTreeDlg() override;
  static MessageMapView MessageMap();

  // Open (CModelessView) creates the dialog owned by owner the first time; shows it and reads
  // the desktop when it was not on screen, else brings it to the front.
  // Asks for a new read of the desktop; once it is in, the tree shows it with the branches the
  // user opened, the selection and the first item shown kept (by handle), and windows that were
  // not there at the last read bold until the next one.
  void Refresh();
  // Whether a read asked for is not yet shown.
  bool Reading() const { return m_shownGeneration != m_reader.LastRequested(); }
  const DesktopTree& Tree() const { return m_tree; }
  const CChangeList& Changes() const { return m_changes.Rows(); }
  // Whether a save or compare is under way.
  bool Busy() const { return m_job.Busy(); }

 protected:
  BOOL OnInitDialog() override;
  // Enter in the search box applies it at once; on the tree it makes the selected window the
  // target.
  void OnOK() override;
  // Escape in the search box empties it; elsewhere it closes the dialog.
  void OnCancel() override;
  void OnShown() override;
  // Nobody looks: the desktop is not followed behind a closed tree.
  void OnClosing() override;

 private:
  // What the control shows that a new fill keeps, by handle.
  struct ShownState {
    HWND selected = nullptr;
    HWND firstShown = nullptr;
  };
  ShownState ReadShownState() const;
  // Makes the control show the tree and the search: items of windows shown as before stay,
  // others are added, moved and removed, then opens, selects and scrolls as kept.
  void Fill(const ShownState& state);
  void Rebuild();
  // The tree of the last read in the shape asked for, removed windows kept in place.
  DesktopTree Built() const;
  // An item's TVIS_ marks: hidden, new, and the state image of a change.
  UINT ItemState(int node) const;
  static constexpr UINT kItemStateMask = TVIS_CUT | TVIS_BOLD | TVIS_STATEIMAGEMASK;
  // The node an item stands for, or -1.
  int NodeOf(HTREEITEM item) const;
  HTREEITEM ItemAt(POINT screen) const;
  // Outlines the node's window when it is on the screen and says in the status line what it is.
  void Look(int node);
  // Asks the main dialog to make the node's window the target.
  void Pick(int node);
  void SetStatus(const std::wstring& text);

  void OnRefresh();
  void OnOwners();
  void OnSearchChange();
  // The search was applied: the follower narrows to it too.
  void SearchApplied();
  void OnFollow();
  void OnClear();
  void OnSave();
  void OnCompare();
  LRESULT OnChangesGetDispInfoW(NMHDR* header);
  LRESULT OnChangesGetDispInfoA(NMHDR* header);
  LRESULT OnChangesKeyDown(NMHDR* header);
  // Takes events into the list and the marks; before is the read they compare with.
  void TakeEvents(const std::vector<std::pair<ChangeTime, Json>>& events, const std::vector<WindowRecord>& before);
  void StopFollowing();
  void ShowFollowedRead();
  // The tree rebuilt with the marks as they are now.
  void ShowMarks(const ShownState& state);
  LRESULT OnSelChanged(NMHDR* header);
  LRESULT OnItemExpanded(NMHDR* header);
  LRESULT OnDoubleClick(NMHDR* header);
  LRESULT OnCustomDraw(NMHDR* header);
  // The tree's copy: the selected item, or every item shown.
  platform::RowCopy TreeCopy() const;
  LRESULT OnTreeKeyDown(NMHDR* header);
  platform::MessageHandler OnContextMenu, OnTimer, OnSize, OnGetMinMaxInfo, OnDesktopRead,
      OnChangesFound, OnTreeJob, OnDestroy;

  platform::CTreeCtrl m_treeCtrl;
  platform::CAnchorLayout m_layout;
  platform::CSearchBox m_search;
  platform::CScreenOutline m_outline;
  CDesktopReadWorker m_reader;
  // The generation of the read the tree shows (0: none yet).
  unsigned m_shownGeneration = 0;
  // The last read, the handles of the read before it (none before the first read), and the
  // tree made of them in the shape the check box asks for.
  std::vector<WindowRecord> m_records;
  bool m_bOwnersRead = false;
  std::optional<KnownWindows> m_knownBefore;
  DesktopTree m_tree;
  // The control's item of each node, null for a node the search left out.
  std::vector<HTREEITEM> m_items;
  // What the control shows, by window: a fill keeps the items of windows shown as before and
  // inserts and removes only the others.
  struct ShownItem {
    HTREEITEM item = nullptr;
    HWND parent = nullptr;  // the window of the parent item; null for a root
    int node = -1;
    int place = 0;  // among the siblings shown
    UINT marks = 0;
    std::wstring label;
  };
  std::unordered_map<HWND, ShownItem> m_shown;
  // The windows whose branches the user opened and has not closed since: a fill opens them
  // again wherever the search or a read had them.
  std::unordered_set<HWND> m_userOpen;
  // Set while the control is filled: its selection changes and openings are not the user's.
  bool m_bFilling = false;

  CChangeListView m_changes;
  CChangeMarks m_marks;
  CChangeFollower m_follower;
  CTreeJob m_job;
  // The follower's last read, not yet shown in the tree.
  std::optional<std::vector<WindowRecord>> m_followedRead;
  DWORD m_lastFollowFill = 0;
  bool m_bFollowReady = false;  // the follower's first read is done
  uint64_t m_droppedShown = 0;
  platform::UniqueImageList m_markImages;
  platform::UniqueFont m_struckFont;
  HFONT m_struckFrom = nullptr;  // the font the struck one was made from
};

}  // namespace wintree
