// The move dialog: the new top-left corner of the target window, typed or from a preset.
// It only edits numbers; the caller moves the window after OK.
#pragma once
#include <windows.h>

#include "platform/Controls.h"
#include "platform/Dialog.h"

class CMoveDlg : public platform::CDialogT<CMoveDlg> {
 public:
  CMoveDlg();
  ~CMoveDlg() override;
  static MessageMapView MessageMap();

  // In: the window's current top-left corner. Out after IDOK: the chosen one.
  int m_nX = 0;
  int m_nY = 0;
  // The window's size and the window itself; used only by the presets, which place it on the
  // monitor it is on (the primary one without a window).
  int m_nWidth = 0;
  int m_nHeight = 0;
  HWND m_hTarget = nullptr;

 protected:
  void DoDataExchange(platform::CDataExchange& dx) override;
  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  void OnPreset(UINT id);

  platform::CSpinButtonCtrl m_spinX;
  platform::CSpinButtonCtrl m_spinY;
};

// The range both spins accept.
constexpr int kMoveSpinMin = -32768;
constexpr int kMoveSpinMax = 32767;
