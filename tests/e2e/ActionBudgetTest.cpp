// The real program against targets that answer slowly or stop answering midway: one click
// waits on them for one budget at most, and what a capture changed is put back even when the
// program is closed before the target answers again.
#include "E2eDriver.h"
#include "E2eSuite.h"
#include "WindowState.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class ActionBudgetTest : public e2e::E2eSuite {
 protected:
  // Clicks the window's row with real input; the milliseconds until a real click on a check box
  // of the main dialog took effect.
  DWORD ClickRowThenCheckBox(HWND target) {
    EXPECT_TRUE(WaitForRow(target));
    const DWORD start = GetTickCount();
    EXPECT_TRUE(rows->ClickRow(RowOf(target)));
    EXPECT_TRUE(e2e::ClickFlipsCheckBox(GetDlgItem(dialog, IDC_MAIN_WITHTITLE), 5000));
    return GetTickCount() - start;
  }
};

TEST_F(ActionBudgetTest, SlowChildrenAndASlowMinimisedWindowHoldAClickForOneBudgetAtMost) {
  HWND parent = fixture.Create("name=kids title=\"slow children\" x=980 y=40 w=330 h=200 show=noactivate thread=kids");
  ASSERT_NE(parent, nullptr);
  std::string script;
  for (int i = 0; i < 8; ++i) {
    const std::string name = "kid" + std::to_string(i);
    script += "child parent=kids name=" + name + " text=K" + std::to_string(i) + " x=" + std::to_string(i * 40) +
              " w=30 h=20; answer window=@" + name + " delay=900;";
  }
  ASSERT_TRUE(fixture.Command(script).answered);
  HWND minimised = fixture.Create("name=slowmin title=\"slow minimised\" x=980 y=400 w=240 h=160 show=minnoactive thread=slowmin");
  ASSERT_NE(minimised, nullptr);
  const e2e::WindowState before = e2e::ReadWindowState(minimised);
  ASSERT_EQ(fixture.Command("answer window=@slowmin delay=900").value, 1);

  ASSERT_NO_FATAL_FAILURE(StartQuorvel());
  EXPECT_LE(ClickRowThenCheckBox(parent), 1500u) << "eight children answering in 900 ms each";
  EXPECT_LE(ClickRowThenCheckBox(minimised), 1500u) << "a minimised window answering every message in 900 ms";
  std::string differences;
  EXPECT_TRUE(e2e::WaitUntil(
      [&] { return (differences = e2e::WindowStateDifferences(before, e2e::ReadWindowState(minimised))).empty(); },
      20000))
      << differences;
}

// The capture cycle stops at a window that stops answering on the way; the user closes Quorvel
// at once. The dialog goes, the process stays without windows until the put-back is done.
TEST_F(ActionBudgetTest, APutBackQueuedBehindAStoppedWindowIsFinishedAfterTheDialogCloses) {
  HWND target = fixture.Create("name=stops title=\"stops answering\" x=980 y=400 w=240 h=160 show=minnoactive thread=stops");
  ASSERT_NE(target, nullptr);
  const e2e::WindowState before = e2e::ReadWindowState(target);
  ASSERT_EQ(fixture.Command("answer window=@stops hangon=setredraw ms=5000").value, 1);
  ASSERT_NO_FATAL_FAILURE(StartQuorvel());
  ClickRowThenCheckBox(target);
  ASSERT_NE(e2e::WindowStateDifferences(before, e2e::ReadWindowState(target)), "") << "the cycle never began";

  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindow(dialog); }, 1000)) << "the dialog stayed";
  EXPECT_TRUE(quorvel.Process().Running()) << "ended with the put-back undone";
  for (HWND hwnd : e2e::TopLevelWindowsOf(quorvel.Pid())) EXPECT_FALSE(IsWindowVisible(hwnd));
  std::string differences;
  EXPECT_TRUE(e2e::WaitUntil(
      [&] { return (differences = e2e::WindowStateDifferences(before, e2e::ReadWindowState(target))).empty(); }, 20000))
      << differences;
  EXPECT_TRUE(quorvel.Process().WaitForExit(10000)) << "the process stayed after the put-back";
}

}  // namespace
