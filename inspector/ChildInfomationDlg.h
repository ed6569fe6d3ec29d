// The child-window inspector, a modeless pop-up owned by the main dialog. For the window the
// user last picked in the main list it lists every descendant window, shows the window's
// picture with a red frame on the selected child and that child's style words and rectangles,
// and acts on the child: mouse, key, focus and copy messages, its style editors, and window
// regions of the inspected window cut from the child's rectangle.
#pragma once
#include <windows.h>

#include <optional>
#include <set>
#include <vector>

#include "capture/WindowCapture.h"
#include "inspector/ChildWindowItem.h"
#include "inspector/ChildMessages.h"
#include "inspector/RegionEditing.h"
#include "platform/Dialog.h"
#include "platform/Handles.h"
#include "platform/RowCopy.h"
#include "platform/Target.h"

class CChildInfomationDlg : public platform::CDialogT<CChildInfomationDlg> {
 public:
  CChildInfomationDlg();
  ~CChildInfomationDlg() override;
  static MessageMapView MessageMap();

  // Takes a new window to inspect and clears the selection; the list keeps its rows until
  // the next update.
  void SetParentHandle(HWND hwnd);
  HWND ParentHandle() const { return m_hParent; }
  // Lists the window's descendants anew, selects the previously selected row again, and
  // takes a new picture.
  void update();
  // Selects a listed child as a click on the picture does: its row, the selected child, and
  // X/Y set to the screen point in the child's client coordinates (for an unlisted window only
  // X/Y, as for a click over no child).
  void SelectChildAt(HWND child, POINT screen);
  // Frames a part of the window, given in screen coordinates, in the picture while the
  // inspector shows that window or its parent (an object another view selected).
  void FrameScreenRect(HWND window, const RECT& screen);

  const std::vector<CChildWindowItem>& Children() const { return m_children; }
  const WindowPicture& Picture() const { return m_picture; }
  double Scale() const { return m_dScale; }
  const RECT& PictureArea() const { return m_rcImage; }
  HWND SelectedChild() const { return m_hSelected; }
  const RECT& SelectedRect() const { return m_rcSelected; }

 private:
  // The listed windows; row i of the list shows record i.
  std::vector<CChildWindowItem> m_children;
  platform::CListCtrl m_list;
  platform::CSpinButtonCtrl m_spinX;
  platform::CSpinButtonCtrl m_spinY;
  platform::UniqueBrush m_brLabel;
  // The picture area in dialog client pixels, scaled to the inspector's DPI (OnDpiChanged).
  RECT m_rcImage{};
  WindowPicture m_picture;
  // Drawn pixels per window pixel as last painted; 0 until the picture is painted.
  double m_dScale = 0.0;
  HWND m_hSelected = nullptr;
  // The selected child's rectangle relative to the window's top-left corner: the space of
  // the picture and of window regions.
  RECT m_rcSelected{};
  // The part another view asked to frame, in the same space; empty when none.
  RECT m_rcFramed{};

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(platform::CDataExchange& dx) override;
  // Enter hides the inspector; everything it shows stays for the next time.
  void OnOK() override;
  // Scales the picture area and the list's columns to the DPI.
  void OnDpiChanged(UINT dpi) override;

 private:
  void CollectChildren();
  void AddChild(HWND hwnd);
  std::wstring ReadChildText(HWND hwnd);
  static LRESULT ConfirmedLength(HWND hwnd, LRESULT written);
  void FillList();
  void RefreshSelection();
  void SelectChildByHandle(HWND hwnd);
  void InvalidateImage();
  // The child of the selected row while it is still a window.
  std::optional<HWND> AddressedChild() const;
  LPARAM SpinPoint() const;
  // Sends the command to the child of the selected row, at the X/Y point for the mouse buttons.
  void SendToSelected(inspector::ChildCommand command);

  platform::MessageHandler OnTimer, OnShowWindow, OnPaint, OnCtlColorStatic, OnLButtonDown, OnDestroy;
  LRESULT OnListClick(NMHDR* header);
  // Copy and save of the child list (inspector/ChildListCopy.cpp): Ctrl+C and the right-click menu.
  LRESULT OnListKeyDown(NMHDR* header);
  std::optional<LRESULT> OnContextMenu(WPARAM wParam, LPARAM lParam);
  // What Ctrl+C and the list's menu copy: the selected child as a report, or every row.
  platform::RowCopy ListCopy() const;
  std::wstring SelectedChildReport() const;
  LRESULT OnListDeleteAll(NMHDR* header);

  void OnRefresh();
  void OnLButtonDownButton() { SendToSelected(inspector::ChildCommand::LButtonDown); }
  void OnLButtonUpButton() { SendToSelected(inspector::ChildCommand::LButtonUp); }
  void OnSetFocus() { SendToSelected(inspector::ChildCommand::SetFocus); }
  void OnEnterKey() { SendToSelected(inspector::ChildCommand::EnterKey); }
  void OnF5Key() { SendToSelected(inspector::ChildCommand::F5Key); }
  void OnCopy() { SendToSelected(inspector::ChildCommand::Copy); }
  void OnCtrlC() { SendToSelected(inspector::ChildCommand::CtrlC); }
  void OnMessageLog();
  void OnProperties();
  LRESULT OnListDoubleClick(NMHDR* header);
  void OnAccessibility();
  void OnSendMessage();
  void OnStyle();
  void OnExStyle();
  void OnCutRegion();
  void OnRectRegion();
  void OnReleaseRegion();

  HWND m_hParent = platform::kNoTarget;
  // Threads that let a text request time out during the running update: their other windows
  // are read without waiting, so one hung program costs one wait.
  std::set<DWORD> m_silentThreads;
  inspector::CRegionEditing m_regions;
};
