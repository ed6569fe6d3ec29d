// Answers the next modal dialog of this thread that a handler opens on its own: once a visible
// dialog with the caption (any caption when empty) shows, act runs on it from a thread timer
// that the dialog's own message loop dispatches. A dialog that act leaves open is destroyed a
// few seconds later (its modal run then ends with -1), so a failing test cannot hang.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <utility>

#include "platform/Dialog.h"

namespace uitest {

class ModalAnswer {
 public:
  ModalAnswer(std::string caption, std::function<void(HWND)> act) : m_caption(std::move(caption)), m_act(std::move(act)) {
    Current() = this;
    m_timer = ::SetTimer(nullptr, 0, 30, &ModalAnswer::Tick);
  }
  ~ModalAnswer() {
    if (m_timer) ::KillTimer(nullptr, m_timer);
    if (m_guard) ::KillTimer(nullptr, m_guard);
    Current() = nullptr;
  }
  ModalAnswer(const ModalAnswer&) = delete;
  ModalAnswer& operator=(const ModalAnswer&) = delete;
  bool Answered() const { return m_bAnswered; }

 private:
  static ModalAnswer*& Current() {
    static ModalAnswer* current = nullptr;
    return current;
  }

  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    ModalAnswer* self = Current();
    if (!self || self->m_bAnswered) return;
    struct Search {
      const std::string* caption;
      HWND found;
    } search{&self->m_caption, nullptr};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hwnd, LPARAM lParam) WINAPI -> BOOL {
          Search* s = reinterpret_cast<Search*>(lParam);
          char text[128] = {};
          char className[32] = {};
          ::GetWindowTextA(hwnd, text, sizeof text);
          ::GetClassNameA(hwnd, className, sizeof className);
          if (::IsWindowVisible(hwnd) && std::string(className) == "#32770" &&
              (s->caption->empty() || *s->caption == text)) {
            s->found = hwnd;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (!search.found) return;
    self->m_bAnswered = true;
    ::KillTimer(nullptr, self->m_timer);
    self->m_timer = 0;
    self->m_found = search.found;
    self->m_guard = ::SetTimer(nullptr, 0, kGuardMs, &ModalAnswer::Guard);
    self->m_act(search.found);
  }

  static void CALLBACK Guard(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    ModalAnswer* self = Current();
    if (!self) return;
    self->m_guard = 0;
    if (::IsWindow(self->m_found)) ::DestroyWindow(self->m_found);
  }

  static constexpr UINT kGuardMs = 5000;

  std::string m_caption;
  std::function<void(HWND)> m_act;
  UINT_PTR m_timer = 0;
  UINT_PTR m_guard = 0;
  HWND m_found = nullptr;
  bool m_bAnswered = false;
};

// Runs the dialog modally, as its callers do, and plays act inside the dialog's own loop once
// it shows.
inline INT_PTR RunModal(platform::CDialog& dialog, const std::function<void()>& act) {
  ModalAnswer answer("", [&act](HWND) { act(); });
  return dialog.DoModal();
}

}  // namespace uitest
