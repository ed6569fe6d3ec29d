// The accessibility view of one window: a modeless, resizable dialog owned by the main dialog.
// Its tree shows the window's accessible objects from the client object down, each branch read
// when it opens; its list the selected object's properties. Every call to the objects goes
// through a CObjectReader on a thread of its own, so a slow or hung program shows "応答なし"
// and never holds the dialog. One question at a time may hang: while the program has not
// answered, 更新 starts no second reader and the view offers to give up waiting; a given-up
// reader is the only thread left on that program until its call returns.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "accessibility/ObjectReader.h"
#include "accessibility/ObjectText.h"
#include "accessibility/ObjectTree.h"
#include "platform/Anchors.h"
#include "platform/Controls.h"
#include "platform/Dialog.h"
#include "platform/ModelessView.h"
#include "platform/RowCopy.h"
#include "platform/ScreenOutline.h"
#include "platform/TreeCtrl.h"

namespace accessibility {

// How long a call may go unanswered before the view says "応答なし".
constexpr DWORD kSlowAnswerMs = 1000;
// How long a selected object stays outlined on the screen.
constexpr UINT kOutlineMs = 2000;

class CAccessibilityDlg : public platform::CDialogT<CAccessibilityDlg, platform::CModelessView> {
 public:
  explicit CAccessibilityDlg(HWND viewed);
  ~CAccessibilityDlg() override;
  static MessageMapView MessageMap();

  // Open (CModelessView) shows the view and reads the tree.
  HWND Viewed() const { return m_hViewed; }
  // Selects the object at the screen point (the pick key with this view in front).
  void PickAt(POINT screen);

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override {}
  // Closing never waits for a call in progress: the reader is abandoned and ends by itself.
  void OnClosing() override;
  // Scales the list's columns to the DPI.
  void OnDpiChanged(UINT dpi) override;

 private:
  // A new reader, unless a given-up one still hangs in the program: then none, and the view
  // starts one once that call has returned.
  void StartReading();
  void ClearTree();
  void Refresh();
  // Shows why the reader stopped, and drops it.
  void ShowFailure(const std::string& reason);
  // The status line while the view waits: how long, and for a long branch how far it is.
  void ShowProgress();
  void HandleAnswer(const Answer& answer);
  void ShowRoot(const Answer& answer);
  void ShowChildren(const Answer& answer);
  void ShowDetails(const Answer& answer);
  // Walks the pending path as far as the branches are read, asking for the next one; selects
  // the object at its end.
  void ContinuePending();
  void AskChildren(int node);
  void SelectNode(int node);
  HTREEITEM InsertItem(HTREEITEM parent, const ObjectItem& item);
  void SetStatus(const std::string& text);
  // Shows or takes away "応答なし" where the view waits: the status line, and in the tree the
  // place of the root or of the branch whose children are being read.
  void ShowSlow(bool slow);
  void RemovePlaceholder();
  // The list's rows (the selected ones, or all) and the tree's items, as copied.
  std::wstring CopiedListRows(bool selectedOnly) const;
  platform::RowCopy ListCopy() const;
  platform::RowCopy TreeCopy() const;

  void OnRefresh();
  void OnGiveUp();
  void OnDefaultAction();
  LRESULT OnItemExpanding(NMHDR* header);
  LRESULT OnSelChanged(NMHDR* header);
  LRESULT OnListKeyDown(NMHDR* header);
  LRESULT OnTreeKeyDown(NMHDR* header);
  std::optional<LRESULT> OnContextMenu(WPARAM wParam, LPARAM lParam);
  platform::MessageHandler OnAnswers, OnTimer, OnSize, OnGetMinMaxInfo;

  HWND m_hViewed;
  platform::CTreeCtrl m_tree;
  platform::CListCtrl m_list;
  platform::CAnchorLayout m_anchors;
  platform::CScreenOutline m_outline;
  std::unique_ptr<CObjectReader> m_reader;
  // No reader while a given-up one still hangs in the program: one is started when it ends.
  bool m_bAwaitingGivenUp = false;
  // The reader whose objects the tree shows (its generation).
  unsigned m_treeGeneration = 0;
  CObjectTree m_model;
  std::map<int, HTREEITEM> m_items;
  std::set<int> m_childrenAsked;
  int m_selected = 0;
  unsigned m_rootSerial = 0;
  unsigned m_detailsSerial = 0;
  std::optional<ObjectPath> m_pending;
  std::vector<PropertyRow> m_rows;
  std::string m_status;
  bool m_bSlowShown = false;
  // The tree's "応答なし" item, while there is one.
  HTREEITEM m_placeholder = nullptr;
};

}  // namespace accessibility
