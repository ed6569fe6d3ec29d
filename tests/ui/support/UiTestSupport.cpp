#include "support/UiTestSupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "E2eDriver.h"
#include "platform/Controls.h"
#include "platform/Dialog.h"
#include "platform/ListCommands.h"

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
  for (HGDIOBJ handle : m_watched)
    EXPECT_EQ(::GetObjectType(handle), 0u) << "GDI object " << handle << " outlived its owner: given up, not deleted";
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
  return e2e::WaitUntil([&] { PumpPending(); return done(); }, timeoutMs, 10);
}

std::string ControlText(HWND dialog, int id) { return platform::CWindow(::GetDlgItem(dialog, id)).GetWindowText(); }

COLORREF LabelBrushColour(HWND dialog, int id) {
  HWND label = ::GetDlgItem(dialog, id);
  HDC dc = ::GetDC(label);
  const HBRUSH brush = reinterpret_cast<HBRUSH>(
      ::SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label)));
  ::ReleaseDC(label, dc);
  LOGBRUSH lb{};
  EXPECT_EQ(::GetObjectA(brush, sizeof lb, &lb), static_cast<int>(sizeof lb)) << id;
  return lb.lbColor;
}

void Click(HWND dialog, int id) { ::SendMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

bool ClickLeavesOpen(HWND dialog, int id) {
  Click(dialog, id);
  PumpPending();
  return ::IsWindow(dialog) && ::IsWindowVisible(dialog);
}

void PressCtrlC(HWND dialog, int id, UINT keyNotice) {
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  const BYTE held = keys[VK_CONTROL];
  keys[VK_CONTROL] = 0x80;
  ::SetKeyboardState(keys);
  NMLVKEYDOWN key{};  // NMTVKEYDOWN is laid out alike
  key.hdr = NMHDR{::GetDlgItem(dialog, id), static_cast<UINT_PTR>(id), keyNotice};
  key.wVKey = 'C';
  ::SendMessageW(dialog, WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&key));
  keys[VK_CONTROL] = held;
  ::SetKeyboardState(keys);
}

std::wstring ShownListRows(HWND list, int columns, bool selectedOnly) {
  std::wstring text;
  const int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    if (selectedOnly && !::SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED)) continue;
    const platform::CsvRow cells = platform::ListRowTexts(list, row, columns);
    for (size_t i = 0; i < cells.size(); ++i) text += (i ? L"\t" : L"") + cells[i];
    text += L"\r\n";
  }
  return text;
}

bool Checked(HWND dialog, int id) { return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

}  // namespace uitest
