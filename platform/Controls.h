// Non-owning wrappers around control windows: each holds an HWND and forwards to the
// control's messages. They keep no state of their own.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <string>
#include <vector>

namespace platform {

// The texts of one row of a report list, column by column, in UTF-16.
using ListRow = std::vector<std::wstring>;

class CWindow {
 public:
  CWindow() = default;
  explicit CWindow(HWND hwnd) : m_hWnd(hwnd) {}
  void Attach(HWND hwnd) { m_hWnd = hwnd; }
  HWND GetSafeHwnd() const { return m_hWnd; }
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
  }
  BOOL EnableWindow(bool enable) const { return ::EnableWindow(m_hWnd, enable); }
  BOOL ShowWindow(int command) const { return ::ShowWindow(m_hWnd, command); }
  bool IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd) != FALSE; }
  void SetWindowText(const std::string& text) const { ::SetWindowTextA(m_hWnd, text.c_str()); }
  std::string GetWindowText() const;
  void Invalidate(bool erase = true) const { ::InvalidateRect(m_hWnd, nullptr, erase); }

 protected:
  HWND m_hWnd = nullptr;
};

class CButton : public CWindow {
 public:
  using CWindow::CWindow;
  UINT GetState() const { return static_cast<UINT>(Send(BM_GETSTATE)); }
  int GetCheck() const { return static_cast<int>(Send(BM_GETCHECK)); }
  void SetCheck(int state) const { Send(BM_SETCHECK, static_cast<WPARAM>(state)); }
};

class CSpinButtonCtrl : public CWindow {
 public:
  using CWindow::CWindow;
  void SetRange32(int lower, int upper) const { Send(UDM_SETRANGE32, static_cast<WPARAM>(lower), upper); }
  int SetPos32(int pos) const { return static_cast<int>(Send(UDM_SETPOS32, 0, pos)); }
  int GetPos32() const { return static_cast<int>(Send(UDM_GETPOS32, 0, 0)); }
};

class CListCtrl : public CWindow {
 public:
  using CWindow::CWindow;
  void SetExtendedStyle(DWORD style) const { Send(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style); }
  DWORD GetExtendedStyle() const { return static_cast<DWORD>(Send(LVM_GETEXTENDEDLISTVIEWSTYLE)); }
  int InsertColumn(int index, const char* heading, int format, int width) const;
  int GetItemCount() const { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }
  int InsertItem(int index, const std::string& text) const;
  void SetItemText(int index, int subItem, const std::string& text) const;
  std::string GetItemText(int index, int subItem) const;
  // The same in UTF-16, for texts of other programs that code page 932 cannot hold.
  int InsertItem(int index, const std::wstring& text) const;
  void SetItemText(int index, int subItem, const std::wstring& text) const;
  std::wstring GetItemTextW(int index, int subItem) const;
  void DeleteAllItems() const { Send(LVM_DELETEALLITEMS); }
  int GetSelectionMark() const { return static_cast<int>(Send(LVM_GETSELECTIONMARK)); }
  int SetSelectionMark(int index) const { return static_cast<int>(Send(LVM_SETSELECTIONMARK, 0, index)); }
  void SetItemState(int index, UINT state, UINT mask) const;
  UINT GetItemState(int index, UINT mask) const {
    return static_cast<UINT>(Send(LVM_GETITEMSTATE, static_cast<WPARAM>(index), mask));
  }
  int SetHotItem(int index) const { return static_cast<int>(Send(LVM_SETHOTITEM, static_cast<WPARAM>(index))); }
  int GetHotItem() const { return static_cast<int>(Send(LVM_GETHOTITEM)); }
  void EnsureVisible(int index, bool partialOk) const {
    Send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), partialOk ? TRUE : FALSE);
  }
  int GetNextItem(int start, UINT flags) const {
    return static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(start), flags));
  }
  void SetRedraw(bool redraw) const { Send(WM_SETREDRAW, redraw ? TRUE : FALSE); }

  // Selects the row as the user's click would: selection mark, selected, hot, and scrolled
  // fully into view.
  void SelectRow(int row) const;
  // No row selected, focused or hot, and no selection mark.
  void ClearSelection() const;
  // The first row whose column shows exactly text; -1 when none does.
  int FindRow(int column, const std::string& text) const;
  // Makes the list show rows, given the rows it shows now: only cells whose text differs are
  // written, with the list's redraw off, and rows are added or removed at the end; a list whose
  // row count is not that of shown is filled anew. A list that shows the rows already is not
  // touched, since switching its redraw back on alone costs more than most changes. True when
  // something was written.
  bool UpdateRows(const std::vector<ListRow>& shown, const std::vector<ListRow>& rows) const;
};

}  // namespace platform
