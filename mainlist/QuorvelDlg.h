// The main dialog: the list of top-level windows, the auto update, and the hand-over of the
// clicked window to the panels.
#pragma once
#include <windows.h>
#include <string>
#include <unordered_map>

#include "capture/CptViewDlg.h"
#include "inspector/ChildInfomationDlg.h"
#include "operations/OperationDlg.h"
#include "platform/Controls.h"
#include "platform/Dialog.h"
#include "platform/Handles.h"

class CQuorvelDlg : public platform::CDialogT<CQuorvelDlg> {
 public:
  CQuorvelDlg();
  ~CQuorvelDlg() override;
  static MessageMapView MessageMap();

  // Rebuilds the list and selects again the window that was selected.
  void RefreshWindowList();
  // Walks all top-level windows and appends a row for each that passes the filters.
  void FillWindowList();
  // Appends the row of one window, unless it is filtered out.
  void AddWindowRow(HWND hwnd);

  // The panels, for reading what they were handed.
  const COperationDlg& OperationPanel() const { return m_opDlg; }
  const CCptViewDlg& CaptureView() const { return m_cptViewDlg; }
  const CChildInfomationDlg& Inspector() const { return m_childInfoDlg; }

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

 protected:
  void DoDataExchange(platform::CDataExchange& dx) override;
  BOOL OnInitDialog() override;
  // Scales the list's columns to the DPI.
  void OnDpiChanged(UINT dpi) override;

 private:
  LRESULT OnListClick(NMHDR* header);
  LRESULT OnListDeleteAll(NMHDR* header);
  void OnRefresh();
  void OnAutoUpdate();
  void OnChildInfo();
  std::optional<LRESULT> OnTimer(WPARAM wParam, LPARAM lParam);
  std::optional<LRESULT> OnSysCommand(WPARAM wParam, LPARAM lParam);
  std::optional<LRESULT> OnPaint(WPARAM wParam, LPARAM lParam);
  std::optional<LRESULT> OnQueryDragIcon(WPARAM wParam, LPARAM lParam);
  std::optional<LRESULT> OnCtlColorBtn(WPARAM wParam, LPARAM lParam);
  std::optional<LRESULT> OnCtlColorStatic(WPARAM wParam, LPARAM lParam);
  std::optional<LRESULT> OnDestroy(WPARAM wParam, LPARAM lParam);

  void ApplyAutoUpdate();
  void ShowProcessPath(DWORD pid);
  std::string LookUpProcessName(DWORD pid);

  // Process names already looked up by the walk in progress, so a process is opened once per
  // walk however many windows it has; null outside FillWindowList.
  std::unordered_map<DWORD, std::string>* m_pProcessNames = nullptr;
};

// Timer of the auto update and its period.
constexpr UINT_PTR kAutoUpdateTimerId = 103;
constexpr UINT kAutoUpdatePeriodMs = 3000;
