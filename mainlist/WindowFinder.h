// The finder of the main dialog: a crosshair the user drags from its box onto any window. While
// the drag lasts the window under the pointer is outlined by a click-through top-most frame of
// our own and described in the path label; the dialog takes the window picked at the release.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "mainlist/FinderPick.h"
#include "platform/Handles.h"
#include "platform/ScreenOutline.h"

// Timer of the dialog that follows the pointer during a drag, and its period.
constexpr UINT_PTR kFinderTimerId = 105;
constexpr UINT kFinderPeriodMs = 50;
// The pick key, Ctrl+Alt+F, as a hot key of the dialog: the window under the pointer is taken
// as a release of the finder there, even while another program's menu or tool tip is open.
constexpr int kPickKeyId = 1;

class CWindowFinder {
 public:
  CWindowFinder();
  ~CWindowFinder();
  CWindowFinder(const CWindowFinder&) = delete;
  CWindowFinder& operator=(const CWindowFinder&) = delete;

  // Shows the crosshair in the dialog's finder box, registers the pick key, gives the box its
  // tool tip (which names the key, or says that another program holds it) and makes the
  // outline frame. The box lets clicks through to the dialog, which passes them on here.
  void Attach(HWND dialog, int finderId, int labelId);
  // The window a release at the screen point would pick, without a drag: the pick key's.
  std::optional<mainlist::FinderPick> PickAt(POINT screen) const;
  bool Dragging() const { return m_bDragging; }
  // A mouse message of the dialog, passed on to the box's tool tip.
  void RelayMouse(UINT message, WPARAM wParam, LPARAM lParam);
  // A left press at a point of the dialog's client area: starts a drag when it is on the box.
  bool BeginDrag(POINT dialogClient);
  // The pointer moved to a screen point: outlines and describes the window under it.
  void Track(POINT screen);
  // The drag's timer: follows the pointer and reads the buttons and Escape themselves, for
  // where the system hands the captured drag's messages to the window under the pointer
  // instead. True when the left button is up: the drag is then to be dropped at *released.
  // Ends the drag on the right button or Escape.
  bool OnTimer(POINT* released);
  // The release at a screen point ends the drag: the window picked there, or nothing (the
  // label then shows again what it showed before the drag).
  std::optional<mainlist::FinderPick> Drop(POINT screen);
  // Ends the drag and changes nothing: Escape, the right button, or a lost capture.
  void Cancel();
  // The outline frame; null before Attach.
  HWND FrameWindow() const { return m_outline.Window(); }

 private:
  void EndDrag();
  void Outline(HWND window);
  void HideOutline();

  HWND m_hDialog = nullptr, m_hFinder = nullptr, m_hLabel = nullptr;
  // Owned by the dialog, which destroys it with itself.
  HWND m_hTip = nullptr;
  platform::CScreenOutline m_outline;
  platform::UniqueIcon m_crosshair;
  platform::UniqueIcon m_empty;
  HCURSOR m_hCross = nullptr, m_hPreviousCursor = nullptr;
  bool m_bDragging = false, m_bPickKey = false;
  HWND m_hOutlined = nullptr;
  std::wstring m_labelBefore;
};
