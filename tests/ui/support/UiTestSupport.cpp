#include "support/UiTestSupport.h"

#include <gtest/gtest.h>

#include "platform/Controls.h"
#include "platform/Dialog.h"

namespace uitest {

MessageBoxRecorder::MessageBoxRecorder() {
  m_previous = platform::SetMessageBoxHook(
      [this](HWND owner, const std::string& text, const std::string& caption, UINT type) {
        m_boxes.push_back({owner, text, caption, type});
        if (m_answers.empty()) return IDOK;
        int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
      });
}

MessageBoxRecorder::~MessageBoxRecorder() { platform::SetMessageBoxHook(std::move(m_previous)); }

void GdiOwnerBalance::ExpectBalanced() const {
  const platform::GdiOwnerCounts now = platform::CurrentGdiOwnerCounts();
  EXPECT_EQ(now.owned, m_start.owned) << "GDI objects held by owners changed: a leak or a stray release";
  EXPECT_EQ(now.refusedReleases, m_start.refusedReleases) << "the system refused a release: released twice?";
}

void PumpPending() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!platform::CDialog::RouteDialogMessage(msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  DWORD start = ::GetTickCount();
  while (!done()) {
    if (::GetTickCount() - start >= timeoutMs) return done();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    PumpPending();
  }
  return true;
}

std::string ControlText(HWND dialog, int id) { return platform::CWindow(::GetDlgItem(dialog, id)).GetWindowText(); }

void Click(HWND dialog, int id) { ::SendMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

}  // namespace uitest
