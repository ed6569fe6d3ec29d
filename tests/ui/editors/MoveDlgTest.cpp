#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/ModalAnswer.h"
#include "operations/MoveDlg.h"
#include "res/resource.h"
#include "support/UiTestSupport.h"

namespace {

int SpinPos(HWND dialog, int id) {
  return static_cast<int>(::SendDlgItemMessageA(dialog, id, UDM_GETPOS32, 0, 0));
}

// The presets' expectations below are for the 1280 x 1024 screen the test scripts give wine.
void AssertTestScreen() {
  RECT desktop = {};
  ::GetWindowRect(::GetDesktopWindow(), &desktop);
  ASSERT_EQ(1280, desktop.right);
  ASSERT_EQ(1024, desktop.bottom);
}

class MoveDlgTest : public uitest::ModelessDialogTest<CMoveDlg> {
 protected:
  void Open(int x, int y, int width, int height) {
    m_dlg.m_nX = x;
    m_dlg.m_nY = y;
    m_dlg.m_nWidth = width;
    m_dlg.m_nHeight = height;
    Create();
  }
};

}  // namespace

TEST_F(MoveDlgTest, ShowsTheWindowsCornerInItsEditsAndSpinsBuddiedToThem) {
  Open(120, 80, 400, 300);
  EXPECT_EQ("120", uitest::ControlText(m_hDlg, IDC_MOVE_X));
  EXPECT_EQ("80", uitest::ControlText(m_hDlg, IDC_MOVE_Y));
  EXPECT_EQ(::GetDlgItem(m_hDlg, IDC_MOVE_X),
            reinterpret_cast<HWND>(::SendDlgItemMessageA(m_hDlg, IDC_MOVE_XSPIN, UDM_GETBUDDY, 0, 0)));
  EXPECT_EQ(::GetDlgItem(m_hDlg, IDC_MOVE_Y),
            reinterpret_cast<HWND>(::SendDlgItemMessageA(m_hDlg, IDC_MOVE_YSPIN, UDM_GETBUDDY, 0, 0)));
  // Both spins span -32768 to 32767, and numbers show without thousands separators.
  for (int spin : {IDC_MOVE_XSPIN, IDC_MOVE_YSPIN}) {
    int lower = 0, upper = 0;
    ::SendDlgItemMessageA(m_hDlg, spin, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower),
                          reinterpret_cast<LPARAM>(&upper));
    EXPECT_EQ(-32768, lower);
    EXPECT_EQ(32767, upper);
  }
  ::SendDlgItemMessageA(m_hDlg, IDC_MOVE_XSPIN, UDM_SETPOS32, 0, -12345);
  EXPECT_EQ("-12345", uitest::ControlText(m_hDlg, IDC_MOVE_X));
}

TEST_F(MoveDlgTest, PresetsSetBothSpinsFromTheDesktopAndTheWindowsSize) {
  AssertTestScreen();
  Open(120, 80, 400, 300);
  struct Case {
    int button;
    int x;
    int y;
  };
  for (const Case& c : {Case{IDC_MOVE_BOTTOMRIGHT, 880, 724}, Case{IDC_MOVE_TOPRIGHT, 880, 0},
                        Case{IDC_MOVE_CENTER, 440, 362}, Case{IDC_MOVE_BOTTOMLEFT, 0, 724},
                        Case{IDC_MOVE_TOPLEFT, 0, 0}}) {
    uitest::Click(m_hDlg, c.button);
    EXPECT_EQ(c.x, SpinPos(m_hDlg, IDC_MOVE_XSPIN)) << c.button;
    EXPECT_EQ(c.y, SpinPos(m_hDlg, IDC_MOVE_YSPIN)) << c.button;
    EXPECT_EQ(std::to_string(c.x), uitest::ControlText(m_hDlg, IDC_MOVE_X)) << c.button;
    EXPECT_EQ(std::to_string(c.y), uitest::ControlText(m_hDlg, IDC_MOVE_Y)) << c.button;
    // The members wait for OK.
    EXPECT_EQ(120, m_dlg.m_nX);
    EXPECT_EQ(80, m_dlg.m_nY);
  }
}

TEST(MoveDlgModalTest, OkTakesThePresetOrTypedNumbersCancelKeepsTheMembers) {
  AssertTestScreen();
  struct Outcome {
    INT_PTR result;
    int x;
    int y;
  };
  // Opens the dialog on a 400 x 300 window at (120, 80) and plays act in it.
  auto run = [](const std::function<void(HWND)>& act) {
    CMoveDlg dlg;
    dlg.m_nX = 120;
    dlg.m_nY = 80;
    dlg.m_nWidth = 400;
    dlg.m_nHeight = 300;
    const INT_PTR result = uitest::RunModal(dlg, [&] { act(dlg.GetSafeHwnd()); });
    return Outcome{result, dlg.m_nX, dlg.m_nY};
  };
  auto expect = [](const Outcome& outcome, INT_PTR result, int x, int y) {
    EXPECT_EQ(outcome.result, result);
    EXPECT_EQ(outcome.x, x);
    EXPECT_EQ(outcome.y, y);
  };
  expect(run([](HWND dialog) {
           uitest::Click(dialog, IDC_MOVE_BOTTOMRIGHT);
           uitest::Click(dialog, IDOK);
         }),
         IDOK, 880, 724);
  expect(run([](HWND dialog) {
           ::SetDlgItemTextA(dialog, IDC_MOVE_X, "-250");
           ::SetDlgItemTextA(dialog, IDC_MOVE_Y, "1500");
           uitest::Click(dialog, IDOK);
         }),
         IDOK, -250, 1500);
  expect(run([](HWND dialog) {
           uitest::Click(dialog, IDC_MOVE_CENTER);
           uitest::Click(dialog, IDCANCEL);
         }),
         IDCANCEL, 120, 80);
  // OK without a change gives back the corner the dialog was opened with.
  expect(run([](HWND dialog) { uitest::Click(dialog, IDOK); }), IDOK, 120, 80);
}

#include "operations/StyleWordDlg.h"

namespace {

// The modal editors open centred over the window they belong to, not at the screen's corner.
TEST(ModalEditorPlacement, MoveAndStyleDialogsOpenOverTheirOwner) {
  HWND owner = ::CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 640, 420, 400, 300, nullptr, nullptr,
                                 nullptr, nullptr);
  ASSERT_NE(owner, nullptr);
  CMoveDlg move;
  CWindowStyleDlg style;
  CWindowStyleExDlg exStyle;
  exStyle.m_dwWord = 0;
  for (platform::CDialog* dialog : std::initializer_list<platform::CDialog*>{&move, &style, &exStyle}) {
    RECT shown{};
    uitest::ModalAnswer answer("", [&](HWND hwnd) {
      ::GetWindowRect(hwnd, &shown);
      ::PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    EXPECT_EQ(dialog->DoModal(owner), IDCANCEL);
    EXPECT_NEAR((shown.left + shown.right) / 2, 640 + 200, 1);
    EXPECT_NEAR((shown.top + shown.bottom) / 2, 420 + 150, 1);
  }
  ::DestroyWindow(owner);
}

}  // namespace
