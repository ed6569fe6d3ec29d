// The layered-attributes panel on the operations panel: twice a second it shows whether the
// target is layered, whether its colour key and constant alpha are in use (as coloured labels)
// and the key's R, G, B and the alpha; "設定" opens the set dialog.
#pragma once
#include <windows.h>

#include <optional>

#include "layered/LayeredDisplay.h"
#include "platform/Dialog.h"
#include "platform/Handles.h"
#include "platform/LabelBrushes.h"
#include "platform/Target.h"

class CLayeredDlg : public platform::CDialogT<CLayeredDlg>, private platform::CLabelBrushes {
 public:
  CLayeredDlg();
  ~CLayeredDlg() override;
  static MessageMapView MessageMap();

  // Takes the target window (-1 when there is none); the display follows at the next tick.
  void SetTargetWindow(HWND hwnd) { m_hTarget = hwnd; }
  HWND TargetWindow() const { return m_hTarget; }

  // Reads the target's layered state and shows it; run by timer 102.
  void RefreshLayeredInfo();

  // The three states as last read: 1 set, 0 not set, -1 not read.
  layered::LayeredStates States() const { return {m_nLayered, m_nColorKey, m_nAlpha}; }

 protected:
  BOOL OnInitDialog() override;

 private:
  bool HasValidTarget() const;

  std::optional<LRESULT> OnTimer(WPARAM wParam, LPARAM lParam);
  template <UINT Message>
  std::optional<LRESULT> OnCtlColor(WPARAM wParam, LPARAM lParam);
  void OnSet();

  HWND m_hTarget = platform::kNoTarget;
  int m_nLayered = -1;
  int m_nColorKey = -1;
  int m_nAlpha = -1;
};
