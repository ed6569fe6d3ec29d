// The window tree: a modeless, resizable dialog owned by the main dialog that shows every window
// of the desktop under its parent (or, ticked 所有関係, top-level windows under their owner),
// searchable, refreshed on 更新 with the open branches and the selection kept. Selecting a
// window asks the main dialog to make it the target as the finder would.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/Anchors.h"
#include "platform/Dialog.h"
#include "platform/SearchBox.h"
#include "wintree/DesktopTree.h"

namespace wintree {

// The dialog's timer that applies the search once the keys pause.
constexpr UINT_PTR kTreeSearchTimerId = 1;

class CWindowTreeDlg : public platform::CDialogT<CWindowTreeDlg> {
 public:
  CWindowTreeDlg();
  ~CWindowTreeDlg() override;
  static MessageMapView MessageMap();

  // Creates the dialog owned by owner the first time; shows it and reads the desktop when it
  // was not on screen, else brings it to the front.
  bool Open(HWND owner);
  // Reads the desktop again: the open branches, the selection and the first item shown stay
  // (by handle); windows that were not there at the last read are bold until the next one.
  void Refresh();
  const DesktopTree& Tree() const { return m_tree; }

 protected:
  BOOL OnInitDialog() override;
  // Enter in the search box applies it at once.
  void OnOK() override;
  // Escape in the search box empties it; elsewhere it hides the dialog.
  void OnCancel() override;

 private:
  // What the control shows that a new fill keeps, by handle.
  struct ShownState {
    std::unordered_set<HWND> expanded;
    HWND selected = nullptr;
    HWND firstShown = nullptr;
  };
  ShownState ReadShownState() const;
  // Fills the control from the tree and the search, then opens, selects and scrolls as kept.
  void Fill(const ShownState& state);
  void Rebuild();
  // The node an item stands for, or -1.
  int NodeOf(HTREEITEM item) const;
  HTREEITEM ItemAt(POINT screen) const;

  void OnRefresh();
  void OnOwners();
  void OnSearchChange();
  LRESULT OnSelChanged(NMHDR* header);
  LRESULT OnCustomDraw(NMHDR* header);
  platform::MessageHandler OnContextMenu, OnClose, OnTimer, OnSize, OnGetMinMaxInfo;

  HWND m_hTree = nullptr;
  platform::CAnchorLayout m_layout;
  platform::CSearchBox m_search;
  // The last read, the handles of the read before it (none before the first read), and the
  // tree made of them in the shape the check box asks for.
  std::vector<WindowRecord> m_records;
  bool m_bOwnersRead = false;
  std::optional<KnownWindows> m_knownBefore;
  DesktopTree m_tree;
  // The control's item of each node, null for a node the search left out.
  std::vector<HTREEITEM> m_items;
  // Set while the control is filled: its selection changes are not the user's.
  bool m_bFilling = false;
};

}  // namespace wintree
