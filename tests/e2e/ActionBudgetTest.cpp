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

  // A minimised 400 x 200 window whose program stalls for stallMs once the capture's restore
  // has sized it, so Quorvel's put-back has to wait; where it stands when shown normally.
  HWND StallingMinimisedWindow(DWORD stallMs, RECT* normal) {
    HWND target = fixture.Create("name=stalls title=\"stalls when sized\" x=700 y=300 w=400 h=200 thread=stalls");
    EXPECT_NE(target, nullptr);
    GetWindowRect(target, normal);
    EXPECT_TRUE(fixture.Command("show window=@stalls cmd=min").answered);
    EXPECT_TRUE(IsIconic(target));
    EXPECT_EQ(fixture.Command("answer window=@stalls hangon=0x0005 ms=" + std::to_string(stallMs)).value, 1);
    return target;
  }

  // Once the put-back is done: minimised, as opaque as before, and shown normally it is back at
  // its own size and place.
  void ExpectPutBackAt(HWND target, const RECT& normal) {
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsIconic(target) && !(GetWindowLongA(target, GWL_EXSTYLE) & WS_EX_LAYERED); },
                               15000))
        << "not put back";
    ASSERT_TRUE(fixture.Command("show window=@stalls cmd=restore").answered);
    RECT restored{};
    GetWindowRect(target, &restored);
    EXPECT_TRUE(EqualRect(&restored, &normal)) << "restored at " << restored.left << "," << restored.top << " "
                                               << restored.right - restored.left << "x" << restored.bottom - restored.top;
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

// The program stalls after the restore has sized its window: meanwhile the window is neither in
// sight nor in the way of clicks, Quorvel keeps the foreground, and the put-back made once the
// program recovers leaves the window's normal size and place as they were.
TEST_F(ActionBudgetTest, AStallMidCaptureKeepsTheWindowOutOfTheWayAndItsPlaceAfterThePutBack) {
  HWND quiet = fixture.Create("title=\"answers at once\" x=100 y=600 w=300 h=150 show=minnoactive thread=quiet");
  RECT normal{};
  HWND target = StallingMinimisedWindow(3000, &normal);
  ASSERT_NO_FATAL_FAILURE(StartQuorvel());
  auto quorvelInFront = [&] {
    DWORD pid = 0;
    GetWindowThreadProcessId(GetForegroundWindow(), &pid);
    return pid == quorvel.Pid();
  };
  ClickRowThenCheckBox(quiet);
  EXPECT_TRUE(e2e::WaitUntil([&] { return IsIconic(quiet) && !(GetWindowLongA(quiet, GWL_EXSTYLE) & WS_EX_LAYERED); },
                             5000));
  EXPECT_TRUE(e2e::WaitUntil(quorvelInFront, 2000)) << "Quorvel lost the foreground to a window it captured";

  ClickRowThenCheckBox(target);
  EXPECT_TRUE(e2e::WaitUntil([&] { return !IsIconic(target); }, 3000)) << "the cycle never restored it";
  const POINT middle{(normal.left + normal.right) / 2, (normal.top + normal.bottom) / 2};
  EXPECT_NE(GetAncestor(WindowFromPoint(middle), GA_ROOT), target) << "the stalled window takes the clicks";
  EXPECT_TRUE(quorvelInFront()) << "the stalled window took the foreground";
  ExpectPutBackAt(target, normal);
}

// Ctrl+C typed in Quorvel's debug console (one of its own, as a terminal gives it) ends Quorvel
// as 終了 ends it: the put-back queued for a stalled window is still made before the process
// goes. (The console's close, log-off and shut-down take the same way where the system calls the
// handler; under wine the server ends the console's processes itself.)
TEST_F(ActionBudgetTest, CtrlCInTheConsoleEndsQuorvelAfterItsQueuedPutBack) {
  RECT normal{};
  HWND target = StallingMinimisedWindow(2500, &normal);
  ASSERT_NO_FATAL_FAILURE(StartQuorvel(10000, {"-K407"}, CREATE_NEW_CONSOLE));
  HWND console = nullptr;
  ASSERT_TRUE(e2e::WaitUntil([&] { return (console = e2e::FindTopLevelWindow(0, "WineConsoleClass", nullptr)) != nullptr; },
                             5000))
      << "no console window";
  ClickRowThenCheckBox(target);
  SetForegroundWindow(console);
  ASSERT_TRUE(e2e::WaitUntil([&] { return GetForegroundWindow() == console; }, 2000));
  keybd_event(VK_CONTROL, 0, 0, 0);
  keybd_event('C', 0, 0, 0);
  keybd_event('C', 0, KEYEVENTF_KEYUP, 0);
  keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
  EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindow(dialog); }, 2000)) << "Ctrl+C left Quorvel running";
  ExpectPutBackAt(target, normal);
  EXPECT_TRUE(quorvel.Process().WaitForExit(8000)) << "Quorvel stayed";
}

}  // namespace
