// The operations panel created in the test process on a host window, with targets in the
// fixture program: the live display and its colours, the icon choice, every command of the
// panel, the modal dialogs it opens (answered from a timer of this thread), and hung targets.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "E2eDriver.h"
#include "operations/OperationDlg.h"
#include "platform/Taskbar.h"
#include "platform/WindowCalls.h"
#include "res/resource.h"
#include "support/FixtureSuite.h"
#include "support/ModalAnswer.h"
#include "support/UiTestSupport.h"

namespace {

using platform::kNoTarget;
const COLORREF kGreen = RGB(0, 255, 0);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kLightYellow = RGB(255, 255, 180);
const COLORREF kGrey = RGB(100, 100, 100);
const char kNoValidWindow[] = "有効なウィンドウが選択されていません.";

using uitest::ModalAnswer;

RECT WindowRect(HWND hwnd) {
  RECT r{};
  ::GetWindowRect(hwnd, &r);
  return r;
}

// The rectangle as "left,top,right,bottom", for comparisons that show all four edges.
std::string RectText(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

// A style word the way a reader writes it down: "0x" and eight lower-case digits.
std::string Hex(LONG word) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lx", static_cast<unsigned long>(word));
  return text;
}

// Seconds a piece of work takes.
double Seconds(const std::function<void()>& work) {
  const DWORD start = ::GetTickCount();
  work();
  return (::GetTickCount() - start) / 1000.0;
}

// The fixture's record of a message: "count=%u wparam=0x%08x lparam=0x%08x".
std::string Record(e2e::FixtureClient& fixture, HWND hwnd, const char* msg) {
  return fixture.Command("query window=" + e2e::HandleText(hwnd) + " msg=" + msg).text;
}

class OperationDlgTest : public uitest::PanelSuite<COperationDlg> {
 protected:
  // The fixture's windows' moves and minimising never uncover the panel.
  OperationDlgTest() : PanelSuite(0, 640, 260) {}

  void Target(HWND hwnd, DWORD pid) {
    m_dlg->SetTarget(hwnd, pid);
  }
  void TargetFixture(HWND hwnd) { Target(hwnd, s_fixture->Pid()); }

  // Every button pressed without a live target: only the moves complain (a panel box each), and
  // the query fails, which answers 0: FALSE, and 0 is remembered.
  void ExpectOnlyMovesComplainAndTheQueryAnswersZero(const uitest::MessageBoxRecorder& boxes) {
    for (int id : {IDC_OP_TOPMOST, IDC_OP_NOTOPMOST, IDC_OP_WINSTYLE, IDC_OP_EXSTYLEEDIT, IDC_OP_ADDTAB,
                   IDC_OP_DELETETAB, IDC_OP_SHOW, IDC_OP_RESTORE, IDC_OP_MINIMIZE, IDC_OP_MAXIMIZE, IDC_OP_CLOSE,
                   IDC_OP_SUSPEND, IDC_OP_RESUME, IDC_OP_POSTF5, IDC_OP_HIDE})
      uitest::Click(m_panel, id);
    EXPECT_TRUE(boxes.Boxes().empty());
    for (int id : {IDC_OP_UP, IDC_OP_DOWN, IDC_OP_LEFTMOVE, IDC_OP_RIGHTMOVE, IDC_OP_JUMP}) uitest::Click(m_panel, id);
    ASSERT_EQ(boxes.Boxes().size(), 5u);
    for (const auto& box : boxes.Boxes()) {
      EXPECT_EQ(box.text, kNoValidWindow);
      EXPECT_EQ(box.owner, m_panel);
      EXPECT_EQ(box.type, static_cast<UINT>(MB_OK));
    }
    uitest::Click(m_panel, IDC_OP_QUERYENDSESSION);
    ASSERT_EQ(boxes.Boxes().size(), 6u);
    EXPECT_EQ(boxes.Boxes()[5].text, "QueryEndSession return Value is FALSE");
    EXPECT_EQ(m_dlg->EndSessionWParam(), 0);
  }

  void Tick() { ::SendMessageA(m_panel, WM_TIMER, 101, 0); }
  std::string Text(int id) const { return uitest::ControlText(m_panel, id); }

  COLORREF Background(int id) const { return uitest::LabelBrushColour(m_panel, id); }

  // Paints everything now, so that only what a later refresh invalidates is pending.
  void PaintAll() {
    uitest::PumpPending();
    ::RedrawWindow(m_host, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  }
  bool NeedsPaint(int id) const { return ::GetUpdateRect(::GetDlgItem(m_panel, id), nullptr, FALSE) != FALSE; }

  HICON ShownIcon() const {
    return reinterpret_cast<HICON>(::SendDlgItemMessageA(m_panel, IDC_OP_ICON, STM_GETICON, 0, 0));
  }

  void ExpectDisplayOf(HWND hwnd) {
    const RECT r = WindowRect(hwnd);
    EXPECT_EQ(Text(IDC_OP_TOP), std::to_string(r.top));
    EXPECT_EQ(Text(IDC_OP_LEFT), std::to_string(r.left));
    EXPECT_EQ(Text(IDC_OP_RIGHT), std::to_string(r.right));
    EXPECT_EQ(Text(IDC_OP_BOTTOM), std::to_string(r.bottom));
    EXPECT_EQ(Text(IDC_OP_STYLE), Hex(::GetWindowLongA(hwnd, GWL_STYLE)));
    EXPECT_EQ(Text(IDC_OP_EXSTYLE), Hex(::GetWindowLongA(hwnd, GWL_EXSTYLE)));
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    ASSERT_TRUE(::GetWindowPlacement(hwnd, &wp));
    EXPECT_EQ(Text(IDC_OP_NOR_TOP), std::to_string(wp.rcNormalPosition.top));
    EXPECT_EQ(Text(IDC_OP_NOR_LEFT), std::to_string(wp.rcNormalPosition.left));
    EXPECT_EQ(Text(IDC_OP_NOR_BOTTOM), std::to_string(wp.rcNormalPosition.bottom));
    EXPECT_EQ(Text(IDC_OP_NOR_RIGHT), std::to_string(wp.rcNormalPosition.right));
    EXPECT_EQ(Text(IDC_OP_MIN_X), std::to_string(wp.ptMinPosition.x));
    EXPECT_EQ(Text(IDC_OP_MIN_Y), std::to_string(wp.ptMinPosition.y));
    EXPECT_EQ(Text(IDC_OP_MAX_X), std::to_string(wp.ptMaxPosition.x));
    EXPECT_EQ(Text(IDC_OP_MAX_Y), std::to_string(wp.ptMaxPosition.y));
  }

  void ExpectNoTargetDisplay() {
    for (int id : {IDC_OP_TOP, IDC_OP_LEFT, IDC_OP_RIGHT, IDC_OP_BOTTOM, IDC_OP_NOR_TOP, IDC_OP_NOR_LEFT,
                   IDC_OP_NOR_BOTTOM, IDC_OP_NOR_RIGHT, IDC_OP_MIN_X, IDC_OP_MIN_Y, IDC_OP_MAX_X, IDC_OP_MAX_Y})
      EXPECT_EQ(Text(id), "0") << id;
    EXPECT_EQ(Text(IDC_OP_STYLE), "0x00000000");
    EXPECT_EQ(Text(IDC_OP_EXSTYLE), "0x00000000");
    for (int id : {IDC_OP_ENABLED, IDC_OP_VISIBLE, IDC_OP_ICONIC, IDC_OP_ZOOMED})
      EXPECT_EQ(Background(id), kLightYellow) << id;
  }

};

TEST_F(OperationDlgTest, StartsWithoutTargetAndShowsTheNoTargetState) {
  ExpectNoTargetDisplay();
  EXPECT_EQ(ShownIcon(), nullptr);
  EXPECT_EQ(m_dlg->LayeredPanel().TargetWindow(), kNoTarget);
  EXPECT_EQ(m_dlg->EndSessionWParam(), 1);
  // The panel, its buttons and the value labels take the panel's own colours.
  HDC dc = ::GetDC(m_panel);
  auto brushColour = [&](UINT msg, HWND control) {
    LOGBRUSH lb{};
    ::GetObjectA(reinterpret_cast<HBRUSH>(::SendMessageA(m_panel, msg, reinterpret_cast<WPARAM>(dc),
                                                          reinterpret_cast<LPARAM>(control))),
                 sizeof lb, &lb);
    return lb.lbColor;
  };
  EXPECT_EQ(brushColour(WM_CTLCOLORDLG, m_panel), kGrey);
  EXPECT_EQ(brushColour(WM_CTLCOLORBTN, ::GetDlgItem(m_panel, IDC_OP_CLOSE)), kGrey);
  ::ReleaseDC(m_panel, dc);
  EXPECT_EQ(Background(IDC_OP_TOP), kLightYellow);
  EXPECT_EQ(Background(IDC_OP_MAX_Y), kLightYellow);
  EXPECT_NE(Background(IDC_OP_ICON), kLightYellow);
}

TEST_F(OperationDlgTest, ShowsTheTargetsRectangleStylesPlacementAndFlags) {
  HWND target = CreateTarget("exstyle=WS_EX_TOOLWINDOW");
  TargetFixture(target);
  ExpectDisplayOf(target);
  EXPECT_EQ(Text(IDC_OP_TOP), "100");
  EXPECT_EQ(Text(IDC_OP_LEFT), "100");
  EXPECT_EQ(Text(IDC_OP_RIGHT), "400");
  EXPECT_EQ(Text(IDC_OP_BOTTOM), "300");
  EXPECT_EQ(Text(IDC_OP_STYLE), "0x14cf0000");
  EXPECT_EQ(Text(IDC_OP_EXSTYLE), "0x00000180");
  EXPECT_EQ(Background(IDC_OP_ENABLED), kGreen);
  EXPECT_EQ(Background(IDC_OP_VISIBLE), kGreen);
  EXPECT_EQ(Background(IDC_OP_ICONIC), kRed);
  EXPECT_EQ(Background(IDC_OP_ZOOMED), kRed);
  EXPECT_EQ(m_dlg->LayeredPanel().TargetWindow(), target);
  EXPECT_FALSE(m_dlg->ImagePath().empty());
  ::PostMessageA(target, WM_CLOSE, 0, 0);

  // Each flag reads its own call: a disabled window is visible but not enabled.
  HWND disabled = CreateTarget("style=WS_OVERLAPPEDWINDOW|WS_DISABLED");
  TargetFixture(disabled);
  EXPECT_EQ(Text(IDC_OP_STYLE), "0x1ccf0000");
  EXPECT_EQ(Background(IDC_OP_ENABLED), kRed);
  EXPECT_EQ(Background(IDC_OP_VISIBLE), kGreen);
  EXPECT_EQ(Background(IDC_OP_ICONIC), kRed);
  s_fixture->Command("destroy window=" + e2e::HandleText(disabled));
}

TEST_F(OperationDlgTest, MinimisingTurnsIsIconicGreenAtTheNextTickAndRepaintsOnlyThatLabel) {
  HWND target = CreateTarget();
  TargetFixture(target);
  PaintAll();
  uitest::Click(m_panel, IDC_OP_MINIMIZE);
  ASSERT_TRUE(e2e::WaitUntil([&] { return ::IsIconic(target) != FALSE; }, 3000));
  PaintAll();
  EXPECT_EQ(Background(IDC_OP_ICONIC), kRed);  // not before the tick
  Tick();
  EXPECT_TRUE(NeedsPaint(IDC_OP_ICONIC));
  EXPECT_FALSE(NeedsPaint(IDC_OP_ENABLED));
  EXPECT_FALSE(NeedsPaint(IDC_OP_VISIBLE));
  EXPECT_FALSE(NeedsPaint(IDC_OP_ZOOMED));
  EXPECT_EQ(Background(IDC_OP_ICONIC), kGreen);
  EXPECT_EQ(Background(IDC_OP_ENABLED), kGreen);
  ExpectDisplayOf(target);
  // A tick without a change repaints no flag label.
  PaintAll();
  Tick();
  for (int id : {IDC_OP_ENABLED, IDC_OP_VISIBLE, IDC_OP_ICONIC, IDC_OP_ZOOMED}) EXPECT_FALSE(NeedsPaint(id)) << id;
  ::PostMessageA(target, WM_CLOSE, 0, 0);
}

TEST_F(OperationDlgTest, TheTimerRefreshesTheDisplayOnItsOwn) {
  HWND target = CreateTarget();
  TargetFixture(target);
  s_fixture->Command("move window=" + e2e::HandleText(target) + " x=150 y=130 w=300 h=200");
  EXPECT_TRUE(uitest::PumpUntil([&] { return Text(IDC_OP_TOP) == "130"; }, 3000));
  EXPECT_EQ(Text(IDC_OP_LEFT), "150");
  ::PostMessageA(target, WM_CLOSE, 0, 0);
}

TEST_F(OperationDlgTest, ADestroyedTargetShowsNoTargetAtTheNextTickAndTheWhiteIconAtTheNextUpdate) {
  HWND target = CreateTarget();
  TargetFixture(target);
  const HICON before = ShownIcon();
  s_fixture->Command("destroy window=" + e2e::HandleText(target));
  ASSERT_FALSE(::IsWindow(target));
  Tick();
  ExpectNoTargetDisplay();
  EXPECT_EQ(ShownIcon(), before);
  m_dlg->UpdateTarget();
  EXPECT_EQ(ShownIcon(), ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_WHITE)));
  // The list lost the window: no target, the icon stays.
  const HICON white = ShownIcon();
  Target(kNoTarget, static_cast<DWORD>(-1));
  ExpectNoTargetDisplay();
  EXPECT_EQ(ShownIcon(), white);
  EXPECT_EQ(m_dlg->LayeredPanel().TargetWindow(), kNoTarget);
}

// Window icons come from WM_GETICON only within a process under wine, so these targets are
// windows of the test process itself.
class OwnWindow {
 public:
  OwnWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "OperationDlgTestWindow";
    ::RegisterClassA(&wc);
    m_hWnd = ::CreateWindowExA(0, wc.lpszClassName, "own", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 420, 200, 100,
                               nullptr, nullptr, wc.hInstance, nullptr);
  }
  ~OwnWindow() { ::DestroyWindow(m_hWnd); }
  HWND Get() const { return m_hWnd; }

 private:
  HWND m_hWnd;
};

bool IconAlive(HICON icon) {
  ICONINFO info{};
  if (!::GetIconInfo(icon, &info)) return false;
  if (info.hbmColor) ::DeleteObject(info.hbmColor);
  if (info.hbmMask) ::DeleteObject(info.hbmMask);
  return true;
}

TEST_F(OperationDlgTest, IconIsTheBigThenTheSmallWindowIconThenTheExecutablesIcon) {
  const HICON big = ::CopyIcon(::LoadIconA(nullptr, MAKEINTRESOURCEA(32512)));
  const HICON small = ::CopyIcon(::LoadIconA(nullptr, MAKEINTRESOURCEA(32515)));
  const DWORD ownPid = ::GetCurrentProcessId();
  {
    OwnWindow both, smallOnly, none;
    ::SendMessageA(both.Get(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    ::SendMessageA(both.Get(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    ::SendMessageA(smallOnly.Get(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));

    Target(both.Get(), ownPid);
    EXPECT_EQ(ShownIcon(), big);
    Target(smallOnly.Get(), ownPid);
    EXPECT_EQ(ShownIcon(), small);

    Target(none.Get(), ownPid);
    const HICON file1 = ShownIcon();
    ASSERT_NE(file1, nullptr);
    EXPECT_NE(file1, big);
    EXPECT_NE(file1, small);
    // Each update gets a new shell icon; the one it replaces is destroyed, not leaked.
    m_dlg->UpdateTarget();
    const HICON file2 = ShownIcon();
    ASSERT_NE(file2, nullptr);
    EXPECT_NE(file2, file1);
    EXPECT_FALSE(IconAlive(file1));
    EXPECT_TRUE(IconAlive(file2));
    // Without a readable executable path the picture is cleared.
    Target(none.Get(), static_cast<DWORD>(-1));
    EXPECT_EQ(ShownIcon(), nullptr);
    EXPECT_FALSE(IconAlive(file2));
  }
  // The window's own icons belong to the window, never to the panel.
  EXPECT_TRUE(IconAlive(big));
  EXPECT_TRUE(IconAlive(small));
  ::DestroyIcon(big);
  ::DestroyIcon(small);
}

TEST_F(OperationDlgTest, AnotherProgramsWindowWithoutIconsShowsItsExecutablesIcon) {
  HWND target = CreateTarget();
  TargetFixture(target);
  EXPECT_NE(m_dlg->ImagePath().find(L"QuorvelFixture"), std::wstring::npos) << m_dlg->ImagePath().size();
  EXPECT_NE(ShownIcon(), nullptr);
  ::PostMessageA(target, WM_CLOSE, 0, 0);
}

TEST_F(OperationDlgTest, ShowHideMinimiseMaximiseRestoreAndCloseActOnTheTarget) {
  HWND target = CreateTarget();
  TargetFixture(target);
  uitest::Click(m_panel, IDC_OP_HIDE);
  EXPECT_TRUE(e2e::WaitUntil([&] { return !::IsWindowVisible(target); }, 3000));
  uitest::Click(m_panel, IDC_OP_SHOW);
  EXPECT_TRUE(e2e::WaitUntil([&] { return ::IsWindowVisible(target) != FALSE; }, 3000));
  uitest::Click(m_panel, IDC_OP_MAXIMIZE);
  EXPECT_TRUE(e2e::WaitUntil([&] { return ::IsZoomed(target) != FALSE; }, 3000));
  Tick();
  EXPECT_EQ(Background(IDC_OP_ZOOMED), kGreen);
  uitest::Click(m_panel, IDC_OP_RESTORE);
  EXPECT_TRUE(e2e::WaitUntil([&] { return !::IsZoomed(target); }, 3000));
  EXPECT_EQ(Record(*s_fixture, target, "syscommand").rfind("count=1 wparam=0x0000f120", 0), 0u);
  uitest::Click(m_panel, IDC_OP_MINIMIZE);
  EXPECT_TRUE(e2e::WaitUntil([&] { return ::IsIconic(target) != FALSE; }, 3000));
  uitest::Click(m_panel, IDC_OP_CLOSE);
  EXPECT_TRUE(e2e::WaitUntil([&] { return !::IsWindow(target); }, 3000));
  EXPECT_EQ(s_fixture->MessageCount(target, "close"), 1);
}

TEST_F(OperationDlgTest, ArrowsMoveTheTargetOnePixelAPressAndKeepItsSize) {
  HWND target = CreateTarget();
  TargetFixture(target);
  ASSERT_EQ(RectText(WindowRect(target)), "100,100,400,300");
  // Another program's window moves once its thread has taken the call, as a user's next press
  // would find it.
  auto press = [&](int id, const char* expected) {
    uitest::Click(m_panel, id);
    EXPECT_TRUE(e2e::WaitUntil([&] { return RectText(WindowRect(target)) == expected; }, 3000))
        << id << " gave " << RectText(WindowRect(target)) << ", not " << expected;
  };
  press(IDC_OP_UP, "100,99,400,299");
  press(IDC_OP_UP, "100,98,400,298");
  press(IDC_OP_UP, "100,97,400,297");
  press(IDC_OP_UP, "100,96,400,296");
  press(IDC_OP_UP, "100,95,400,295");
  press(IDC_OP_DOWN, "100,96,400,296");
  press(IDC_OP_LEFTMOVE, "99,96,399,296");
  press(IDC_OP_LEFTMOVE, "98,96,398,296");
  press(IDC_OP_RIGHTMOVE, "99,96,399,296");
  ::PostMessageA(target, WM_CLOSE, 0, 0);
}

TEST_F(OperationDlgTest, JumpMovesToTheChosenPresetWithTheSizeItHadAndCancelLeavesIt) {
  HWND target = CreateTarget();
  TargetFixture(target);
  {
    std::string x, y;
    ModalAnswer answer("移動", [&](HWND dialog) {
      x = uitest::ControlText(dialog, IDC_MOVE_X);
      y = uitest::ControlText(dialog, IDC_MOVE_Y);
      uitest::Click(dialog, IDC_MOVE_BOTTOMRIGHT);
      uitest::Click(dialog, IDCANCEL);
    });
    uitest::Click(m_panel, IDC_OP_JUMP);
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(x, "100");
    EXPECT_EQ(y, "100");
  }
  RECT r = WindowRect(target);
  EXPECT_EQ(r.left, 100);
  EXPECT_EQ(r.top, 100);
  // The test scripts' screen is 1280 x 1024.
  const struct {
    int preset;
    const char* rect;
  } presets[] = {{IDC_MOVE_TOPLEFT, "0,0,300,200"}, {IDC_MOVE_BOTTOMRIGHT, "980,824,1280,1024"}};
  for (const auto& preset : presets) {
    ModalAnswer answer("移動", [&](HWND dialog) {
      uitest::Click(dialog, preset.preset);
      uitest::Click(dialog, IDOK);
    });
    uitest::Click(m_panel, IDC_OP_JUMP);
    ASSERT_TRUE(answer.Answered());
    EXPECT_TRUE(e2e::WaitUntil([&] { return RectText(WindowRect(target)) == preset.rect; }, 3000))
        << RectText(WindowRect(target));
  }
  ::PostMessageA(target, WM_CLOSE, 0, 0);
}

TEST_F(OperationDlgTest, WinStyleUncheckingTheCaptionWritesTheWordBackAndTheCaptionGoes) {
  HWND target = CreateTarget("style=WS_OVERLAPPEDWINDOW|WS_CLIPCHILDREN");
  TargetFixture(target);
  ASSERT_EQ(static_cast<DWORD>(::GetWindowLongA(target, GWL_STYLE)), 0x16CF0000u);
  const RECT r = WindowRect(target);
  const LPARAM titleBar = MAKELPARAM((r.left + r.right) / 2, r.top + ::GetSystemMetrics(SM_CYFRAME) + 6);
  LRESULT hit = 0;
  ASSERT_TRUE(e2e::SendWithTimeout(target, WM_NCHITTEST, 0, titleBar, &hit));
  EXPECT_EQ(hit, HTCAPTION);

  uitest::MessageBoxRecorder boxes;
  boxes.QueueAnswer(IDYES);
  std::string shown;
  ModalAnswer answer("WindowStyle", [&](HWND dialog) {
    uitest::Click(dialog, IDC_STYLE_CAPTION);
    shown = uitest::ControlText(dialog, IDC_STYLE_VALUE);
    uitest::Click(dialog, IDOK);
  });
  uitest::Click(m_panel, IDC_OP_WINSTYLE);
  ASSERT_TRUE(answer.Answered());
  EXPECT_EQ(shown, "0x160f0000");
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "ウィンドウスタイルを変更しますか？");
  EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(target, GWL_STYLE)), 0x160F0000u);
  ASSERT_TRUE(e2e::SendWithTimeout(target, WM_NCHITTEST, 0, titleBar, &hit));
  EXPECT_NE(hit, HTCAPTION);
  Tick();
  EXPECT_EQ(Text(IDC_OP_STYLE), "0x160f0000");
  ::PostMessageA(target, WM_CLOSE, 0, 0);
}

TEST_F(OperationDlgTest, WinStyleOkWithoutChangeAsksNothingAndTheChildPopupWordIsRefused) {
  HWND parent = CreateTarget();
  HWND child = reinterpret_cast<HWND>(
      s_fixture->Command("child parent=" + e2e::HandleText(parent) + " style=WS_CHILD|WS_VISIBLE").value);
  ASSERT_TRUE(::IsWindow(child));
  TargetFixture(child);
  const DWORD style = static_cast<DWORD>(::GetWindowLongA(child, GWL_STYLE));
  uitest::MessageBoxRecorder boxes;
  {
    ModalAnswer answer("WindowStyle", [](HWND dialog) { uitest::Click(dialog, IDOK); });
    uitest::Click(m_panel, IDC_OP_WINSTYLE);
    ASSERT_TRUE(answer.Answered());
  }
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(child, GWL_STYLE)), style);
  {
    ModalAnswer answer("WindowStyle", [](HWND dialog) {
      uitest::Click(dialog, IDC_STYLE_POPUPWINDOW);
      uitest::Click(dialog, IDOK);  // refused: the dialog stays
      uitest::Click(dialog, IDCANCEL);
    });
    uitest::Click(m_panel, IDC_OP_WINSTYLE);
    ASSERT_TRUE(answer.Answered());
  }
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "WS_CHILEとWS_POPUPは同時に指定できません");
  EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(child, GWL_STYLE)), style);
  ::PostMessageA(parent, WM_CLOSE, 0, 0);
}

TEST_F(OperationDlgTest, ExStyleCombinationBoxSetsBothEdgesOnYesAndNoThenCancelChangesNothing) {
  HWND target = CreateTarget();
  TargetFixture(target);
  const DWORD before = static_cast<DWORD>(::GetWindowLongA(target, GWL_EXSTYLE));
  ASSERT_NE(before & 0x300u, 0x300u);
  uitest::MessageBoxRecorder boxes;
  boxes.QueueAnswer(IDYES);
  {
    ModalAnswer answer("WindowStyleEX", [](HWND dialog) {
      uitest::Click(dialog, IDC_EXSTYLE_OVERLAPPEDWINDOW);
      uitest::Click(dialog, IDOK);
    });
    uitest::Click(m_panel, IDC_OP_EXSTYLEEDIT);
    ASSERT_TRUE(answer.Answered());
  }
  EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(target, GWL_EXSTYLE)), before | 0x300u);
  boxes.QueueAnswer(IDNO);
  {
    ModalAnswer answer("WindowStyleEX", [](HWND dialog) {
      uitest::Click(dialog, IDC_EXSTYLE_OVERLAPPEDWINDOW);
      uitest::Click(dialog, IDOK);
      uitest::Click(dialog, IDCANCEL);
    });
    uitest::Click(m_panel, IDC_OP_EXSTYLEEDIT);
    ASSERT_TRUE(answer.Answered());
  }
  ASSERT_EQ(boxes.Boxes().size(), 2u);
  EXPECT_EQ(boxes.Boxes()[1].text, "拡張ウィンドウスタイルを変更しますか？");
  EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(target, GWL_EXSTYLE)), before | 0x300u);
  ::PostMessageA(target, WM_CLOSE, 0, 0);
}

TEST_F(OperationDlgTest, TopMostTaskbarPowerBroadcastsAndF5ReachTheTarget) {
  HWND target = CreateTarget();
  TargetFixture(target);
  uitest::MessageBoxRecorder boxes;
  // The band changes, the place and size do not.
  uitest::Click(m_panel, IDC_OP_TOPMOST);
  EXPECT_TRUE(e2e::WaitUntil([&] { return (::GetWindowLongA(target, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }, 3000));
  EXPECT_EQ(RectText(WindowRect(target)), "100,100,400,300");
  uitest::Click(m_panel, IDC_OP_NOTOPMOST);
  EXPECT_TRUE(e2e::WaitUntil([&] { return (::GetWindowLongA(target, GWL_EXSTYLE) & WS_EX_TOPMOST) == 0; }, 3000));
  EXPECT_EQ(RectText(WindowRect(target)), "100,100,400,300");

  uitest::Click(m_panel, IDC_OP_ADDTAB);
  uitest::Click(m_panel, IDC_OP_DELETETAB);
  EXPECT_TRUE(boxes.Boxes().empty());
  // A taskbar object that cannot be made is reported, once per press.
  const TaskbarListFactory shell = SetTaskbarListFactory([](ITaskbarList**) -> HRESULT { return E_FAIL; });
  uitest::Click(m_panel, IDC_OP_ADDTAB);
  uitest::Click(m_panel, IDC_OP_DELETETAB);
  SetTaskbarListFactory(shell);
  ASSERT_EQ(boxes.Boxes().size(), 2u);
  EXPECT_EQ(boxes.Boxes()[0].text, "タスクバーへの登録でエラーが発生しました");
  EXPECT_EQ(boxes.Boxes()[1].text, "タスクバーからの削除でエラーが発生しました");
  for (const auto& box : boxes.Boxes()) EXPECT_EQ(box.type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));

  uitest::Click(m_panel, IDC_OP_SUSPEND);
  EXPECT_EQ(Record(*s_fixture, target, "powerbroadcast").rfind("count=1 wparam=0x00000004 lparam=0x00000000", 0), 0u);
  uitest::Click(m_panel, IDC_OP_RESUME);
  EXPECT_EQ(Record(*s_fixture, target, "powerbroadcast").rfind("count=2 wparam=0x00000007 lparam=0x00000000", 0), 0u);

  uitest::Click(m_panel, IDC_OP_POSTF5);
  EXPECT_TRUE(e2e::WaitUntil([&] { return s_fixture->MessageCount(target, "keydown") == 1; }, 3000));
  EXPECT_EQ(Record(*s_fixture, target, "keydown"), "count=1 wparam=0x00000074 lparam=0x00000000");
  EXPECT_EQ(s_fixture->MessageCount(target, "keyup"), 0);
  ::PostMessageA(target, WM_CLOSE, 0, 0);
}

TEST_F(OperationDlgTest, QueryEndSessionRemembersTheAnswerForEndSession) {
  HWND target = CreateTarget("queryend=2");
  TargetFixture(target);
  uitest::MessageBoxRecorder boxes;
  // Before any query the end-session command offers 1; No sends nothing.
  boxes.QueueAnswer(IDNO);
  uitest::Click(m_panel, IDC_OP_ENDSESSION);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Send WM_ENDSESSION wParam=1, lParam=ENDSESSION_LOGOFF を送信します.");
  EXPECT_EQ(boxes.Boxes()[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
  EXPECT_EQ(s_fixture->MessageCount(target, "endsession"), 0);

  uitest::Click(m_panel, IDC_OP_QUERYENDSESSION);
  ASSERT_EQ(boxes.Boxes().size(), 2u);
  EXPECT_EQ(boxes.Boxes()[1].text, "QueryEndSession return Value is FALSE");
  EXPECT_EQ(Record(*s_fixture, target, "queryendsession").rfind("count=1 wparam=0x00000000 lparam=0x80000000", 0), 0u);

  boxes.QueueAnswer(IDYES);
  uitest::Click(m_panel, IDC_OP_ENDSESSION);
  ASSERT_EQ(boxes.Boxes().size(), 3u);
  EXPECT_EQ(boxes.Boxes()[2].text, "Send WM_ENDSESSION wParam=2, lParam=ENDSESSION_LOGOFF を送信します.");
  EXPECT_EQ(Record(*s_fixture, target, "endsession").rfind("count=1 wparam=0x00000002 lparam=0x80000000", 0), 0u);

  // A window that agrees gives the TRUE text, and its answer replaces the remembered one.
  s_fixture->Command("queryend window=" + e2e::HandleText(target) + " value=1");
  uitest::Click(m_panel, IDC_OP_QUERYENDSESSION);
  ASSERT_EQ(boxes.Boxes().size(), 4u);
  EXPECT_EQ(boxes.Boxes()[3].text, "QueryEndSession return Value is TRUE");
  EXPECT_EQ(m_dlg->EndSessionWParam(), 1);
  ::PostMessageA(target, WM_CLOSE, 0, 0);
}

TEST_F(OperationDlgTest, WithoutTargetMovesComplainAndNoOtherCommandReachesAnyWindow) {
  // A window nobody chose: "no target" (-1) must not turn into "every top-level window".
  HWND bystander = CreateTarget();
  uitest::MessageBoxRecorder boxes;
  // Any dialog that opened would be cancelled and counted.
  ModalAnswer unexpected("", [](HWND dialog) { uitest::Click(dialog, IDCANCEL); });
  ASSERT_NO_FATAL_FAILURE(ExpectOnlyMovesComplainAndTheQueryAnswersZero(boxes));
  boxes.QueueAnswer(IDYES);
  uitest::Click(m_panel, IDC_OP_ENDSESSION);
  EXPECT_FALSE(unexpected.Answered());

  uitest::PumpPending();
  EXPECT_TRUE(::IsWindow(m_panel));
  EXPECT_TRUE(::IsWindowVisible(m_host));
  ASSERT_TRUE(::IsWindow(bystander));
  EXPECT_TRUE(::IsWindowVisible(bystander));
  EXPECT_FALSE(::IsIconic(bystander));
  for (const char* msg : {"close", "syscommand", "powerbroadcast", "queryendsession", "endsession", "keydown"})
    EXPECT_EQ(s_fixture->MessageCount(bystander, msg), 0) << msg;
  ::PostMessageA(bystander, WM_CLOSE, 0, 0);
}

TEST_F(OperationDlgTest, AStaleTargetComplainsOnMovesAndAnswersZeroToTheQuery) {
  HWND target = CreateTarget();
  TargetFixture(target);
  s_fixture->Command("destroy window=" + e2e::HandleText(target));
  ASSERT_FALSE(::IsWindow(target));
  uitest::MessageBoxRecorder boxes;
  ModalAnswer unexpected("", [](HWND dialog) { uitest::Click(dialog, IDCANCEL); });
  ASSERT_NO_FATAL_FAILURE(ExpectOnlyMovesComplainAndTheQueryAnswersZero(boxes));
  boxes.QueueAnswer(IDYES);
  uitest::Click(m_panel, IDC_OP_ENDSESSION);
  ASSERT_EQ(boxes.Boxes().size(), 7u);
  EXPECT_EQ(boxes.Boxes()[6].text, "Send WM_ENDSESSION wParam=0, lParam=ENDSESSION_LOGOFF を送信します.");
  EXPECT_FALSE(unexpected.Answered());
  EXPECT_FALSE(platform::HasDeferredWindowCalls());
}

// Once the system reports the target hung (after 5 s without reading messages), the bounded
// sends give up at once rather than after their time-outs, and the calls that wait for a
// window's thread do not wait at all; what needs no answer arrives once the target resumes.
TEST_F(OperationDlgTest, AHungTargetNeverFreezesThePanel) {
  HWND target = CreateTarget("thread=sleepy queryend=0");
  ASSERT_EQ(s_fixture->Command("hang window=" + e2e::HandleText(target) + " ms=forever").value, 1);
  ASSERT_TRUE(e2e::WaitUntil([&] { return ::IsHungAppWindow(target) != FALSE; }, 10000));
  uitest::MessageBoxRecorder boxes;
  EXPECT_LT(Seconds([&] { TargetFixture(target); }), 1.5);
  EXPECT_EQ(Text(IDC_OP_TOP), "100");
  EXPECT_LT(Seconds([&] { uitest::Click(m_panel, IDC_OP_QUERYENDSESSION); }), 1.5);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "QueryEndSession return Value is FALSE");
  // No answer came in time, so nothing new is remembered.
  EXPECT_EQ(m_dlg->EndSessionWParam(), 1);
  for (int id : {IDC_OP_SUSPEND, IDC_OP_UP, IDC_OP_TOPMOST, IDC_OP_HIDE, IDC_OP_CLOSE})
    EXPECT_LT(Seconds([&] { uitest::Click(m_panel, id); }), 1.5) << id;
  {
    ModalAnswer answer("WindowStyleEX", [](HWND dialog) { uitest::Click(dialog, IDOK); });
    EXPECT_LT(Seconds([&] { uitest::Click(m_panel, IDC_OP_EXSTYLEEDIT); }), 1.5);
    EXPECT_TRUE(answer.Answered());
  }
  EXPECT_EQ(s_fixture->MessageCount(target, "powerbroadcast"), 0);

  s_fixture->Command("resume window=" + e2e::HandleText(target));
  EXPECT_TRUE(e2e::WaitUntil([&] { return !::IsWindow(target); }, 5000)) << "the close was lost";
  EXPECT_EQ(Record(*s_fixture, target, "powerbroadcast").rfind("count=1 wparam=0x00000004", 0), 0u);
  EXPECT_EQ(s_fixture->MessageCount(target, "close"), 1);
  EXPECT_TRUE(platform::WaitForDeferredWindowCalls(5000));
}

}  // namespace
