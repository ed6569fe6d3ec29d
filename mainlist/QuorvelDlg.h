// The main dialog: the list of top-level windows, the auto update, the finder, and the
// hand-over of the window clicked in the list or picked with the finder to the panels.
#pragma once
#include <windows.h>
#include <string>
#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

#include "accessibility/AccessibilityDlg.h"
#include "capture/CptViewDlg.h"
#include "inspector/ChildInfomationDlg.h"
#include "mainlist/ListSearch.h"
#include "mainlist/WindowFinder.h"
#include "mainlist/WindowRows.h"
#include "msglog/MessageLogs.h"
#include "sendmsg/SendMessageDlg.h"
#include "operations/OperationDlg.h"
#include "platform/Controls.h"
#include "platform/Dialog.h"
#include "platform/Handles.h"
#include "platform/RowCopy.h"
#include "platform/ViewRequests.h"
#include "properties/PropertyViews.h"
#include "wintree/WindowTreeDlg.h"
#include "platform/WindowViews.h"

class CQuorvelDlg : public platform::CDialogT<CQuorvelDlg> {
 public:
  CQuorvelDlg();
  ~CQuorvelDlg() override;
  static MessageMapView MessageMap();

  // Brings the list up to date and selects again the window that was selected.
  void RefreshWindowList();
  // Walks all top-level windows and shows a row for each that passes the filters.
  void FillWindowList();

  // The panels, for reading what they were handed.
  const COperationDlg& OperationPanel() const { return m_opDlg; }
  const CCptViewDlg& CaptureView() const { return m_cptViewDlg; }
  const CChildInfomationDlg& Inspector() const { return m_childInfoDlg; }
  const CWindowFinder& Finder() const { return m_finder; }

 private:
  platform::CButton m_btnAutoUpdate;
  platform::CListCtrl m_list;
  int m_bVisibleOnly = 1;
  int m_bWithTitle = 1;
  int m_bAutoUpdate = 0;
  HICON m_hIcon;
  platform::UniqueBrush m_brStatus;
  COperationDlg m_opDlg;
  CCptViewDlg m_cptViewDlg;
  CChildInfomationDlg m_childInfoDlg;
  CWindowFinder m_finder;
  CListSearch m_search;
  msglog::CMessageLogs m_messageLogs;
  properties::CPropertyViews m_propertyViews;
  wintree::CWindowTreeDlg m_treeDlg;
  platform::CWindowViews<accessibility::CAccessibilityDlg> m_accessibilityViews;
  platform::CWindowViews<sendmsg::CSendMessageDlg> m_sendViews;
  platform::CViewRequestReceiver m_requests;

 protected:
  void DoDataExchange(platform::CDataExchange& dx) override;
  BOOL OnInitDialog() override;
  // Scales the list's columns to the DPI.
  void OnDpiChanged(UINT dpi) override;
  // Escape ends a finder drag instead of the dialog, and in the search box empties it.
  void OnCancel() override;
  // Enter in the search box narrows the list at once instead of ending the program.
  void OnOK() override;

 private:
  LRESULT OnListClick(NMHDR* header);
  // Hands a chosen top-level window to the panels, in their order, and shows its executable.
  void HandOverTarget(HWND hwnd, DWORD pid);
  // Makes the window the finder picked the target: its row selected when the filters show it,
  // and a picked child selected in the inspector at the release point.
  void TakeFinderPick(const mainlist::FinderPick& pick, POINT screen);
  // Ends the finder's drag with a release at the screen point.
  void DropFinder(POINT screen);
  // The finder's drag.
  platform::MessageHandler OnLButtonDown, OnMouseMove, OnLButtonUp, OnRButtonDown, OnCaptureChanged;
  // Copy and save of the list (mainlist/MainListCopy.cpp): Ctrl+C and the right-click menu.
  LRESULT OnListKeyDown(NMHDR* header);
  std::optional<LRESULT> OnContextMenu(WPARAM wParam, LPARAM lParam);
  // What Ctrl+C and the list's menu copy: the selected row, or every row.
  platform::RowCopy ListCopy() const;
  // The pick key: the window under the pointer, taken as a finder release there.
  std::optional<LRESULT> OnHotKey(WPARAM wParam, LPARAM lParam);
  LRESULT OnListDeleteAll(NMHDR* header);
  void OnRefresh();
  void OnAutoUpdate();
  void OnChildInfo();
  void OnSearchChange();
  void OnMessageLog();
  void OnProperties();
  platform::MessageHandler OnTimer, OnSysCommand, OnPaint, OnQueryDragIcon,
      OnCtlColorBtn, OnCtlColorStatic, OnDestroy;
  void OnWindowTree();
  void OnAccessibility();
  // A view's request (platform/ViewRequests): open a view of a window, pick it, or frame a part
  // of it in the inspector's picture.
  void OnViewRequest(const platform::ViewRequest& request);
  // A view picked the window: taken as a finder release over its middle (none of Quorvel's own
  // windows, as with the finder).
  void PickWindow(HWND window);
  void OnSendMessage();
  // The accessibility view in front, if any: the pick key then picks an object in it.
  accessibility::CAccessibilityDlg* AccessibilityViewInFront() const;

  void FitLastHeading(UINT dpi);
  void ApplyAutoUpdate();
  void ShowProcessPath(DWORD pid);

  // Names of the processes a walk has looked up, by process id.
  using ProcessNames = std::unordered_map<DWORD, std::wstring>;
  // Process names of the windows a walk listed, by window and process id.
  using ListedWindow = std::pair<HWND, DWORD>;
  using ListedNames = std::map<ListedWindow, std::wstring>;
  // The window's process name: from the last walk's rows, else looked up once per walk.
  std::wstring ProcessNameOf(HWND hwnd, DWORD pid, ProcessNames& processNames, ListedNames& listed);
  // Appends the row of one window to rows, unless it is filtered out.
  void AddWindowRow(HWND hwnd, std::vector<platform::ListRow>& rows, ProcessNames& processNames,
                    ListedNames& listed);

  // What the list shows, row by row, as last written, and the process names of those rows.
  std::vector<platform::ListRow> m_rows;
  ListedNames m_listedNames;
};

// Timer of the auto update and its period.
constexpr UINT_PTR kAutoUpdateTimerId = 103;
constexpr UINT kAutoUpdatePeriodMs = 3000;
