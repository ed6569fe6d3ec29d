// Dialogs from .rc templates: modal (DoModal) and modeless (Create), a typed message map per
// class, and data exchange between members and controls.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <cstddef>
#include <optional>
#include <string>

#include "platform/Controls.h"

namespace platform {

class CDialog;

// Carries the direction of one data exchange; the DDX_ helpers read or write by it.
class CDataExchange {
 public:
  CDataExchange(CDialog& dialog, bool saveAndValidate) : m_dlg(dialog), m_bSaveAndValidate(saveAndValidate) {}
  CDialog& m_dlg;
  const bool m_bSaveAndValidate;
};

// Check box state (0 or 1; an indeterminate box reads as 2) to and from an int.
void DDX_Check(CDataExchange& dx, int id, int& value);
// Control text to and from a string.
void DDX_Text(CDataExchange& dx, int id, std::string& value);
// Attaches a control wrapper to the control with the id.
void DDX_Control(CDataExchange& dx, int id, CWindow& control);

class CDialog {
 public:
  explicit CDialog(UINT templateId);
  // Destroys a window still open, but by then the derived class is gone: its messages
  // (WM_DESTROY, the children's notifications) reach only this base. A derived dialog whose
  // handlers or controls use its own members (brushes, bitmaps, timers, embedded panels) calls
  // DestroyWindow() in its own destructor, before those members go.
  virtual ~CDialog();
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  // Runs the dialog modally, owned by owner (null: the application's main window): the owner
  // is disabled and messages are routed through the keyboard handling of whichever of our
  // dialogs they belong to. Returns the EndDialog value, or -1 when the dialog could not be
  // created.
  INT_PTR DoModal(HWND owner = nullptr);
  // Creates the dialog modeless as a child or owned window of parent.
  bool Create(HWND parent);
  void DestroyWindow();
  // Ends a modal run with the result; hides a modeless dialog.
  void EndDialog(int result);

  HWND GetSafeHwnd() const { return m_hWnd; }
  HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
  // Writes the control's text only when it differs: an unchanged label is not repainted.
  void SetDlgItemText(int id, const std::string& text) const;
  std::string GetDlgItemText(int id) const;
  BOOL ShowWindow(int command) const { return ::ShowWindow(m_hWnd, command); }
  // Centres a pop-up on its owner (CenterOverOwner).
  void CenterOnOwner() const;

  // Moves values between members and controls: save = true reads the controls.
  bool UpdateData(bool saveAndValidate = true);

  // Passes every message of our dialogs' windows through IsDialogMessage of its top-level
  // dialog; false when the message is not for one of them.
  static bool RouteDialogMessage(MSG& msg);

 protected:
  // WM_INITDIALOG: the base writes the members to the controls. Its result is returned to
  // the system as it is (TRUE: the system sets the focus).
  virtual BOOL OnInitDialog();
  virtual void DoDataExchange(CDataExchange& dx);
  // IDOK: reads the controls and ends with IDOK. IDCANCEL: ends with IDCANCEL.
  virtual void OnOK();
  virtual void OnCancel();
  // The dialog's DPI changed (it moved to a monitor of another DPI): lays out again the pixel
  // figures it draws and hit-tests with. The system rescales the template's controls itself;
  // the default processing of the message runs after this.
  virtual void OnDpiChanged(UINT /*dpi*/) {}
  // Whether the dialog handles the message now; false leaves it to the system's default.
  virtual bool Answers(UINT /*message*/) const { return true; }
  // The message map of the derived class; true when the message was handled, with result.
  virtual bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  // The brush and colours the system would give a control-colour message.
  LRESULT DefaultCtlColor(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
  }

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  HWND m_hWnd = nullptr;
  UINT m_nTemplateId;
  bool m_bModal = false;
  bool m_bEndModal = false;
  INT_PTR m_nModalResult = -1;
};

// Centres a pop-up window over its owner while the owner is on screen, else over the work area;
// kept inside the work area of the monitor it is centred on.
void CenterOverOwner(HWND hwnd);

inline void CDialog::CenterOnOwner() const { CenterOverOwner(m_hWnd); }

// A message handler's type, for declaring a dialog's handlers together:
//   platform::MessageHandler OnTimer, OnPaint;
// (each is defined as std::optional<LRESULT> CMyDlg::OnTimer(WPARAM wParam, LPARAM lParam)).
using MessageHandler = std::optional<LRESULT>(WPARAM wParam, LPARAM lParam);

// The typed message map. A class derives from CDialogT<itself> and defines
//   static MessageMapView MessageMap();
// returning a static table of entries built with OnMessage, OnCommand, OnCommandRange and
// OnNotify. Handlers return what the message should answer; a message handler returning an
// empty optional lets the default processing run. Messages the map does not handle, or lets run
// on, go to Base (a dialog of a kind the framework knows, such as CModelessView), then to the
// default.
template <class T, class Base = CDialog>
class CDialogT : public Base {
 public:
  using Base::Base;

  struct MessageEntry {
    enum class Kind { Message, Command, Notify };
    Kind kind;
    UINT message;  // the window message, or the notification code for Command and Notify
    UINT idFirst;
    UINT idLast;
    std::optional<LRESULT> (T::*onMessage)(WPARAM, LPARAM);
    void (T::*onCommand)();
    void (T::*onCommandId)(UINT);
    LRESULT (T::*onNotify)(NMHDR*);
  };

  struct MessageMapView {
    template <std::size_t N>
    MessageMapView(const MessageEntry (&entries)[N]) : begin(entries), end(entries + N) {}
    const MessageEntry* begin;
    const MessageEntry* end;
  };

  static MessageEntry OnMessage(UINT message, std::optional<LRESULT> (T::*handler)(WPARAM, LPARAM)) {
    return {MessageEntry::Kind::Message, message, 0, 0, handler, nullptr, nullptr, nullptr};
  }
  static MessageEntry OnCommand(UINT id, UINT code, void (T::*handler)()) {
    return {MessageEntry::Kind::Command, code, id, id, nullptr, handler, nullptr, nullptr};
  }
  static MessageEntry OnCommandRange(UINT first, UINT last, UINT code, void (T::*handler)(UINT)) {
    return {MessageEntry::Kind::Command, code, first, last, nullptr, nullptr, handler, nullptr};
  }
  static MessageEntry OnNotify(UINT id, UINT code, LRESULT (T::*handler)(NMHDR*)) {
    return {MessageEntry::Kind::Notify, code, id, id, nullptr, nullptr, nullptr, handler};
  }

 protected:
  bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    T* self = static_cast<T*>(this);
    MessageMapView map = T::MessageMap();
    for (const MessageEntry* entry = map.begin; entry != map.end; ++entry) {
      switch (entry->kind) {
        case MessageEntry::Kind::Message:
          if (entry->message == message) {
            std::optional<LRESULT> answer = (self->*entry->onMessage)(wParam, lParam);
            if (!answer) return Base::ProcessMessage(message, wParam, lParam, result);
            result = *answer;
            return true;
          }
          break;
        case MessageEntry::Kind::Command:
          if (message == WM_COMMAND && HIWORD(wParam) == entry->message && LOWORD(wParam) >= entry->idFirst &&
              LOWORD(wParam) <= entry->idLast) {
            if (entry->onCommand)
              (self->*entry->onCommand)();
            else
              (self->*entry->onCommandId)(LOWORD(wParam));
            result = 0;
            return true;
          }
          break;
        case MessageEntry::Kind::Notify:
          if (message == WM_NOTIFY) {
            NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
            if (header->idFrom == entry->idFirst && header->code == entry->message) {
              result = (self->*entry->onNotify)(header);
              return true;
            }
          }
          break;
      }
    }
    return Base::ProcessMessage(message, wParam, lParam, result);
  }
};

}  // namespace platform
