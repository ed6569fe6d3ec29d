// Every button of the real program's operations panel pressed on a window whose program has
// stopped answering or is busy: after each press a real click on the main dialog must still
// be handled at once, and what was pressed takes effect once the program recovers.
#include "E2eDriver.h"
#include "E2eSuite.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using e2e::FixtureClient;
using e2e::HandleText;

// What a button opens, and how the sweep answers it.
struct Press {
  int button;
  const char* dialog = nullptr;  // caption of the modal dialog the button opens, if any
  int inDialog = 0;              // a control clicked in that dialog before OK
  int boxAnswer = 0;             // the answer to the program's message box, if one follows
};

class HungTargetTest : public e2e::E2eSuite {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(E2eSuite::SetUp());
    target = fixture.Create("title=\"Sweep target\" x=1000 y=700 w=200 h=120 show=noactivate thread=stuck");
    ASSERT_TRUE(IsWindow(target));
    ASSERT_NO_FATAL_FAILURE(StartQuorvel());
    ASSERT_NO_FATAL_FAILURE(ClickRow(target));
    panel = e2e::DialogHolding(dialog, IDC_OP_JUMP);
    ASSERT_NE(panel, nullptr);
  }

  void TearDown() override {
    fixture.Command("resume window=" + HandleText(target));
    E2eSuite::TearDown();
  }

  void Hang(const std::string& duration) {
    ASSERT_EQ(fixture.Command("hang window=" + HandleText(target) + " ms=" + duration).value, 1);
  }

  // Presses the button, answers what it opens, then proves with a real click on a check box
  // that the program handles input again within flipMs. Seconds the press took until then.
  double PressAndProveAlive(const Press& press, DWORD flipMs) {
    const DWORD start = GetTickCount();
    EXPECT_TRUE(e2e::PressButton(GetDlgItem(panel, press.button))) << press.button;
    HWND modal = nullptr;
    if (press.dialog) {
      modal = e2e::WaitForTopLevelWindow(quorvel.Pid(), "#32770", press.dialog, 5000);
      // Found while it is still being made, the dialog may lack its controls: wait until it shows.
      EXPECT_TRUE(modal && e2e::WaitUntil([&] { return IsWindowVisible(modal) != FALSE; }, 5000)) << press.dialog;
      if (modal && press.inDialog) e2e::PressButton(GetDlgItem(modal, press.inDialog));
      if (modal) e2e::PressButton(GetDlgItem(modal, IDOK));
    }
    // The question an editor asks comes while the editor is still open.
    if (press.boxAnswer) {
      HWND box = e2e::WaitForTopLevelWindow(quorvel.Pid(), "#32770", "Quorvel", 5000);
      EXPECT_NE(box, nullptr) << press.button;
      if (box) {
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(press.boxAnswer, BN_CLICKED), 0);
        EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindow(box); }, 5000)) << press.button;
      }
    }
    if (modal) {
      EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindow(modal); }, 5000)) << press.dialog;
    }
    const bool flipped = e2e::ClickFlipsCheckBox(GetDlgItem(dialog, IDC_MAIN_WITHTITLE), flipMs);
    EXPECT_TRUE(flipped) << "the click after button " << press.button << " was not handled within " << flipMs << " ms";
    return (GetTickCount() - start) / 1000.0;
  }

  HWND target = nullptr;
  HWND panel = nullptr;
};

// Every button but WM_CLOSE, in an order whose end state is easy to see: shown normally, then
// moved, the style changed, and hidden last.
const Press kSweep[] = {
    {IDC_OP_MINIMIZE}, {IDC_OP_MAXIMIZE}, {IDC_OP_RESTORE}, {IDC_OP_SHOW},
    {IDC_OP_UP}, {IDC_OP_DOWN}, {IDC_OP_LEFTMOVE}, {IDC_OP_RIGHTMOVE},
    {IDC_OP_JUMP, "移動", IDC_MOVE_TOPLEFT},
    {IDC_OP_TOPMOST}, {IDC_OP_NOTOPMOST},
    {IDC_OP_SUSPEND}, {IDC_OP_RESUME},
    {IDC_OP_QUERYENDSESSION, nullptr, 0, IDOK},
    {IDC_OP_ENDSESSION, nullptr, 0, IDYES},
    {IDC_OP_ADDTAB}, {IDC_OP_DELETETAB}, {IDC_OP_POSTF5},
    {IDC_OP_WINSTYLE, "WindowStyle", IDC_STYLE_MINIMIZEBOX, IDYES},
    {IDC_OP_EXSTYLEEDIT, "WindowStyleEX"},
    {IDC_OP_HIDE},
};

TEST_F(HungTargetTest, EveryButtonOnAHungWindowLeavesTheProgramAnsweringAndTakesEffectOnResume) {
  Hang("forever");
  ASSERT_TRUE(e2e::WaitUntil([&] { return IsHungAppWindow(target) != FALSE; }, 10000));
  const LONG style = GetWindowLongA(target, GWL_STYLE);
  ASSERT_NE(style & WS_MINIMIZEBOX, 0);
  for (const Press& press : kSweep) {
    PressAndProveAlive(press, 3000);
    if (HasFailure()) return;  // a frozen program fails every later step the same way
  }

  // Nothing reached the window while it was hung; all of it arrives once it resumes.
  EXPECT_EQ(fixture.MessageCount(target, "powerbroadcast"), 0);
  fixture.Command("resume window=" + HandleText(target));
  EXPECT_TRUE(e2e::WaitUntil(
      [&] {
        RECT r{};
        GetWindowRect(target, &r);
        return !IsWindowVisible(target) && r.left == 0 && r.top == 0 &&
               (GetWindowLongA(target, GWL_STYLE) & WS_MINIMIZEBOX) == 0;
      },
      8000))
      << "visible " << IsWindowVisible(target) << ", style " << std::hex << GetWindowLongA(target, GWL_STYLE);
  EXPECT_TRUE(e2e::WaitUntil([&] { return fixture.MessageCount(target, "powerbroadcast") == 2; }, 5000));
  EXPECT_EQ(fixture.MessageCount(target, "syscommand"), 1);
  EXPECT_EQ(fixture.MessageCount(target, "endsession"), 1);
  EXPECT_EQ(fixture.MessageCount(target, "keydown"), 1);
  EXPECT_TRUE(IsWindow(target));
}

// A program busy for 3 s at each press, never long enough to be reported hung: each press
// returns within the 3 s bound of a command.
TEST_F(HungTargetTest, EveryButtonOnABusyWindowReturnsWithinTheBounds) {
  for (const Press& press : kSweep) {
    // A press returns well before the 3 s are over: the busy spell ends before the next begins.
    fixture.Command("resume window=" + HandleText(target));
    ASSERT_TRUE(e2e::SendWithTimeout(target, WM_NULL, 0, 0, nullptr, 15000));
    Hang("3000");
    EXPECT_LT(PressAndProveAlive(press, 5000), 6.0) << press.button;
    if (HasFailure()) return;
  }
  fixture.Command("resume window=" + HandleText(target));
  EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(target); }, 8000));
  EXPECT_TRUE(e2e::WaitUntil([&] { return fixture.MessageCount(target, "powerbroadcast") == 2; }, 5000));
}

// Commands pressed while the program is busy, before the system calls it hung, are neither
// lost nor doubled.
TEST_F(HungTargetTest, CloseAndSuspendPressedWhileBusyArriveOnceItRecovers) {
  Hang("8000");
  PressAndProveAlive({IDC_OP_SUSPEND}, 5000);
  PressAndProveAlive({IDC_OP_CLOSE}, 5000);
  EXPECT_TRUE(IsWindow(target)) << "closed while busy?";
  EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindow(target); }, 12000)) << "the close was lost";
  EXPECT_EQ(fixture.MessageCount(target, "close"), 1);
  EXPECT_EQ(fixture.MessageCount(target, "powerbroadcast"), 1);
}

}  // namespace
