// The operations panel: the live state of the target window and the commands on it.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "layered/LayeredDlg.h"
#include "operations/PanelCommands.h"
#include "operations/PanelDisplay.h"
#include "platform/Dialog.h"
#include "platform/Handles.h"
#include "platform/LabelBrushes.h"
#include "platform/Target.h"

class COperationDlg : public platform::CDialogT<COperationDlg>, private platform::CLabelBrushes {
 public:
  COperationDlg();
  ~COperationDlg() override;
  static MessageMapView MessageMap();

  // Takes the target from the main dialog: m_hTarget and m_dwTargetPid, then UpdateTarget.
  void SetTarget(HWND hwnd, DWORD pid);
  // Refreshes the icon and the display for m_hTarget and hands the target to the layered panel.
  void UpdateTarget();

  HWND Target() const { return m_hTarget; }
  DWORD TargetPid() const { return m_dwTargetPid; }
  const std::wstring& ImagePath() const { return m_strImagePath; }
  // The wParam the next "query end session" command sends.
  int EndSessionWParam() const { return m_nEndSessionWParam; }
  const CLayeredDlg& LayeredPanel() const { return m_layeredDlg; }

 private:
  std::string m_strBottom;
  std::string m_strLeft;
  std::string m_strRight;
  std::string m_strTop;
  HWND m_hTarget = platform::kNoTarget;
  DWORD m_dwTargetPid = platform::kNoProcess;
  int m_nEnabled = -1;
  int m_nVisible = -1;
  int m_nIconic = -1;
  int m_nZoomed = -1;
  std::wstring m_strImagePath;
  platform::UniqueBrush m_brPanel;
  CLayeredDlg m_layeredDlg;
  int m_nEndSessionWParam = 1;

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(platform::CDataExchange& dx) override;

 private:
  bool HasValidTarget() const;
  void RefreshInfo();
  void UpdateImagePath();
  // The shell's icon for the target's executable; null when there is no path.
  platform::UniqueIcon GetFileIcon() const;
  // Shows icon in control 1023; a shell icon passed in owned is kept until it is replaced.
  void ShowIcon(HICON icon, platform::UniqueIcon owned = nullptr);
  TargetFlags Flags() const { return {m_nEnabled, m_nVisible, m_nIconic, m_nZoomed}; }

  std::optional<LRESULT> OnTimer(WPARAM wParam, LPARAM lParam);
  template <UINT Message>
  std::optional<LRESULT> OnCtlColor(WPARAM wParam, LPARAM lParam);

  void OnShow();
  void OnHide();
  void OnRestore();
  void OnMinimize();
  void OnMaximize();
  void OnClose();
  void OnUp() { Nudge(NudgeDirection::Up); }
  void OnDown() { Nudge(NudgeDirection::Down); }
  void OnLeft() { Nudge(NudgeDirection::Left); }
  void OnRight() { Nudge(NudgeDirection::Right); }
  void Nudge(NudgeDirection direction);
  void OnJump();
  void OnWinStyle();
  void OnExStyle();
  void OnSuspend();
  void OnResumeSuspend();
  void OnQueryEndSession();
  void OnEndSession();
  void OnAddTab();
  void OnDeleteTab();
  void OnTopMost();
  void OnNoTopMost();
  void OnPostF5();

  // The shell icon control 1023 shows, if any; icons of the target itself are not ours.
  platform::UniqueIcon m_fileIcon;
};

// Puts the window into (true) or out of the top-most band.
void SetTopMost(HWND hwnd, bool topMost);
