// The layered-attributes panel created in the test process on a host window, with targets in
// the fixture program: its states and numbers, the colours its labels are painted in, which
// labels repaint, the set dialog it opens (answered from a timer of this thread) and what that
// dialog writes to the target, read back from the fixture's window.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include "E2eDriver.h"
#include "layered/LayeredDlg.h"
#include "operations/OperationDlg.h"
#include "platform/WindowCalls.h"
#include "res/resource.h"
#include "support/ModalAnswer.h"
#include "support/FixtureSuite.h"
#include "support/UiTestSupport.h"

namespace {

using platform::kNoTarget;
const COLORREF kGreen = RGB(0, 255, 0);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kLightYellow = RGB(255, 255, 180);
const char kCaption[] = "SetLayeredWindowAttributes";
const char kNoValidWindow[] = "有効なウィンドウが選択されていません";
const char kAskLayered[] = "拡張ウィンドウスタイル[WS_EX_LAYERED]が設定されていません。設定しますか？";

const int kStateLabels[] = {IDC_LAYERED_LAYEREDSTATE, IDC_LAYERED_COLORKEYSTATE, IDC_LAYERED_ALPHASTATE};
const int kValueLabels[] = {IDC_LAYERED_RED, IDC_LAYERED_GREEN, IDC_LAYERED_BLUE, IDC_LAYERED_ALPHAVALUE};

// What the target's own window manager says about it.
struct Layered {
  bool ok = false;
  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
};
Layered ReadLayered(HWND hwnd) {
  Layered read;
  read.ok = ::GetLayeredWindowAttributes(hwnd, &read.key, &read.alpha, &read.flags) != FALSE;
  return read;
}
bool IsLayered(HWND hwnd) { return (::GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0; }

void Type(HWND dialog, int id, const char* text) { ::SetDlgItemTextA(dialog, id, text); }
using uitest::Checked;

class LayeredDlgTest : public uitest::PanelSuite<CLayeredDlg> {
 protected:
  // Top-most, so that the labels' pixels are the panel's.
  LayeredDlgTest() : PanelSuite(WS_EX_TOPMOST, 400, 200) {}

  void MakeLayered(HWND hwnd, const std::string& options) {
    ASSERT_EQ(s_fixture->Command("layered window=" + e2e::HandleText(hwnd) + " " + options).text, "ok");
  }
  // A new fixture window made layered with the options and handed to the panel.
  HWND ChosenLayeredTarget(const std::string& options) {
    HWND target = CreateTarget();
    MakeLayered(target, options);
    m_dlg->SetTargetWindow(target);
    return target;
  }

  void Tick() { ::SendMessageA(m_panel, WM_TIMER, 102, 0); }
  std::string Text(int id) const { return uitest::ControlText(m_panel, id); }

  COLORREF Background(int id) const { return uitest::LabelBrushColour(m_panel, id); }
  // The colour the label really shows once everything pending has been painted.
  COLORREF ShownColour(int id) const {
    uitest::PumpPending();
    ::RedrawWindow(m_host, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    HWND label = ::GetDlgItem(m_panel, id);
    RECT client{};
    ::GetClientRect(label, &client);
    HDC dc = ::GetDC(label);
    const COLORREF colour = e2e::CommonColour(dc, 0, 0, client.right, client.bottom);
    ::ReleaseDC(label, dc);
    return colour;
  }
  void ExpectStateColours(COLORREF layered, COLORREF colorKey, COLORREF alpha) {
    const COLORREF expected[] = {layered, colorKey, alpha};
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(Background(kStateLabels[i]), expected[i]) << kStateLabels[i];
      EXPECT_EQ(ShownColour(kStateLabels[i]), expected[i]) << kStateLabels[i];
    }
  }
  void ExpectNumbers(const char* r, const char* g, const char* b, const char* alpha) {
    EXPECT_EQ(Text(IDC_LAYERED_RED), r);
    EXPECT_EQ(Text(IDC_LAYERED_GREEN), g);
    EXPECT_EQ(Text(IDC_LAYERED_BLUE), b);
    EXPECT_EQ(Text(IDC_LAYERED_ALPHAVALUE), alpha);
  }
  // The three states' colours and the four numbers (red, green, blue, alpha).
  void ExpectDisplay(COLORREF layered, COLORREF colorKey, COLORREF alpha, const char* const (&numbers)[4]) {
    ExpectStateColours(layered, colorKey, alpha);
    ExpectNumbers(numbers[0], numbers[1], numbers[2], numbers[3]);
  }

  void PaintAll() {
    uitest::PumpPending();
    ::RedrawWindow(m_host, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  }
  bool NeedsPaint(int id) const { return ::GetUpdateRect(::GetDlgItem(m_panel, id), nullptr, FALSE) != FALSE; }

  // Presses "設定" with the dialog answered by act; false when no dialog came up.
  bool Set(const std::function<void(HWND)>& act) {
    uitest::ModalAnswer answer(kCaption, act);
    uitest::Click(m_panel, IDC_LAYERED_SET);
    return answer.Answered();
  }

};

TEST_F(LayeredDlgTest, ANonLayeredWindowShowsThreeRedLabelsAndEmptyNumbersFromTheFirstTickOn) {
  // A new panel: no target, the template's numbers, every state label light yellow.
  EXPECT_EQ(m_dlg->TargetWindow(), kNoTarget);
  ExpectDisplay(kLightYellow, kLightYellow, kLightYellow, {"255", "255", "255", "255"});
  for (int id : kValueLabels) EXPECT_EQ(Background(id), kLightYellow) << id;
  // The button paints no background of its own; the panel and its captions keep the system's.
  HDC dc = ::GetDC(m_panel);
  auto brushFor = [&](UINT msg, HWND control) {
    return reinterpret_cast<HBRUSH>(
        ::SendMessageA(m_panel, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
  };
  EXPECT_EQ(brushFor(WM_CTLCOLORBTN, ::GetDlgItem(m_panel, IDC_LAYERED_SET)), ::GetStockObject(NULL_BRUSH));
  EXPECT_EQ(brushFor(WM_CTLCOLORDLG, m_panel), ::GetSysColorBrush(COLOR_3DFACE));
  ::ReleaseDC(m_panel, dc);
  EXPECT_EQ(Background(IDC_STATIC), ::GetSysColor(COLOR_3DFACE));
  Tick();
  ExpectNumbers("255", "255", "255", "255");

  HWND target = CreateTarget();
  m_dlg->SetTargetWindow(target);
  // Nothing is read before the tick: the states are still unknown, not on.
  EXPECT_EQ(m_dlg->States().layered, -1);
  ExpectDisplay(kLightYellow, kLightYellow, kLightYellow, {"255", "255", "255", "255"});
  PaintAll();
  Tick();
  for (int id : kStateLabels) EXPECT_TRUE(NeedsPaint(id)) << id;
  ExpectDisplay(kRed, kRed, kRed, {"", "", "", ""});
  for (int id : kValueLabels) EXPECT_EQ(ShownColour(id), kLightYellow) << id;
  // A tick that finds the same states repaints no state label.
  PaintAll();
  Tick();
  for (int id : kStateLabels) EXPECT_FALSE(NeedsPaint(id)) << id;
  ::PostMessageA(target, WM_CLOSE, 0, 0);
}

TEST_F(LayeredDlgTest, ALayeredWindowShowsItsFlagsAsColoursAndItsKeyAndAlphaAsNumbers) {
  HWND target = ChosenLayeredTarget("alpha=128");
  Tick();
  ExpectDisplay(kGreen, kRed, kGreen, {"0", "0", "0", "128"});

  // The key alone: only the two labels whose state changed repaint.
  MakeLayered(target, "key=0x00c0ff10");
  PaintAll();
  Tick();
  EXPECT_FALSE(NeedsPaint(IDC_LAYERED_LAYEREDSTATE));
  EXPECT_TRUE(NeedsPaint(IDC_LAYERED_COLORKEYSTATE));
  EXPECT_TRUE(NeedsPaint(IDC_LAYERED_ALPHASTATE));
  ExpectStateColours(kGreen, kGreen, kRed);
  // The alpha is shown though unused; what this window manager keeps of it without LWA_ALPHA is its own.
  ExpectNumbers("16", "255", "192", std::to_string(ReadLayered(target).alpha).c_str());

  // Not layered any more: red everywhere, numbers emptied.
  ASSERT_EQ(s_fixture->Command("layered window=" + e2e::HandleText(target) + " off").text, "off");
  Tick();
  ExpectDisplay(kRed, kRed, kRed, {"", "", "", ""});
  ::PostMessageA(target, WM_CLOSE, 0, 0);
}

TEST_F(LayeredDlgTest, ATargetClosedWhileChosenTurnsTheLabelsYellowAndKeepsTheNumbers) {
  HWND target = ChosenLayeredTarget("key=0x00030201 alpha=77");
  Tick();
  ExpectDisplay(kGreen, kGreen, kGreen, {"1", "2", "3", "77"});
  s_fixture->Command("destroy window=" + e2e::HandleText(target));
  ASSERT_FALSE(::IsWindow(target));
  // Even before the tick a repaint no longer claims anything about a dead window.
  EXPECT_EQ(Background(IDC_LAYERED_LAYEREDSTATE), kLightYellow);
  PaintAll();
  Tick();
  for (int id : kStateLabels) EXPECT_TRUE(NeedsPaint(id)) << id;
  ExpectDisplay(kLightYellow, kLightYellow, kLightYellow, {"1", "2", "3", "77"});
  EXPECT_EQ(m_dlg->States().layered, -1);
  EXPECT_EQ(m_dlg->States().colorKey, -1);
  EXPECT_EQ(m_dlg->States().alpha, -1);
  // The list losing the window hands over -1: the same picture.
  m_dlg->SetTargetWindow(kNoTarget);
  Tick();
  ExpectDisplay(kLightYellow, kLightYellow, kLightYellow, {"1", "2", "3", "77"});
}

TEST_F(LayeredDlgTest, TheTimerRefreshesTheDisplayOnItsOwn) {
  HWND target = ChosenLayeredTarget("alpha=128");
  EXPECT_TRUE(uitest::PumpUntil([&] { return Text(IDC_LAYERED_ALPHAVALUE) == "128"; }, 3000));
  MakeLayered(target, "alpha=40");
  EXPECT_TRUE(uitest::PumpUntil([&] { return Text(IDC_LAYERED_ALPHAVALUE) == "40"; }, 3000));
  EXPECT_EQ(Background(IDC_LAYERED_ALPHASTATE), kGreen);
  ::PostMessageA(target, WM_CLOSE, 0, 0);
}

TEST_F(LayeredDlgTest, SetWithoutAValidTargetSaysSoAndOpensNothing) {
  uitest::MessageBoxRecorder boxes;
  HWND target = CreateTarget();
  s_fixture->Command("destroy window=" + e2e::HandleText(target));
  for (HWND hwnd : {kNoTarget, target}) {
    m_dlg->SetTargetWindow(hwnd);
    EXPECT_FALSE(Set([](HWND dialog) { uitest::Click(dialog, IDCANCEL); }));
  }
  ASSERT_EQ(boxes.Boxes().size(), 2u);
  for (const auto& box : boxes.Boxes()) {
    EXPECT_EQ(box.text, kNoValidWindow);
    EXPECT_EQ(box.owner, m_panel);
    EXPECT_EQ(box.type, static_cast<UINT>(MB_OK));
  }
}

TEST_F(LayeredDlgTest, OnANonLayeredWindowNoAndYesThenCancelChangeNothingYesThenOkLayersItWithFlagsZero) {
  HWND target = CreateTarget();
  m_dlg->SetTargetWindow(target);
  uitest::MessageBoxRecorder boxes;

  boxes.QueueAnswer(IDNO);
  EXPECT_FALSE(Set([](HWND dialog) { uitest::Click(dialog, IDCANCEL); }));
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, kAskLayered);
  EXPECT_EQ(boxes.Boxes()[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
  EXPECT_FALSE(IsLayered(target));

  // Yes opens the dialog with white, 255 and both boxes clear; Cancel writes nothing.
  boxes.QueueAnswer(IDYES);
  std::string shown[4];
  bool colorKeyBox = true, alphaBox = true;
  int lower = -1, upper = -1;
  ASSERT_TRUE(Set([&](HWND dialog) {
    const int edits[] = {IDC_SETLAYERED_RED, IDC_SETLAYERED_GREEN, IDC_SETLAYERED_BLUE, IDC_SETLAYERED_ALPHA};
    for (int i = 0; i < 4; ++i) shown[i] = uitest::ControlText(dialog, edits[i]);
    colorKeyBox = Checked(dialog, IDC_SETLAYERED_COLORKEYFLAG);
    alphaBox = Checked(dialog, IDC_SETLAYERED_ALPHAFLAG);
    ::SendDlgItemMessageA(dialog, IDC_SETLAYERED_BLUESPIN, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower),
                          reinterpret_cast<LPARAM>(&upper));
    uitest::Click(dialog, IDCANCEL);
  }));
  for (const std::string& text : shown) EXPECT_EQ(text, "255");
  EXPECT_FALSE(colorKeyBox);
  EXPECT_FALSE(alphaBox);
  EXPECT_EQ(lower, 0);
  EXPECT_EQ(upper, 255);
  EXPECT_FALSE(IsLayered(target));

  // The close box is a Cancel too.
  boxes.QueueAnswer(IDYES);
  ASSERT_TRUE(Set([](HWND dialog) { ::SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }));
  EXPECT_FALSE(IsLayered(target));
  Tick();
  ExpectStateColours(kRed, kRed, kRed);

  boxes.QueueAnswer(IDYES);
  ASSERT_TRUE(Set([](HWND dialog) { uitest::Click(dialog, IDOK); }));
  EXPECT_EQ(boxes.Boxes().size(), 4u);
  EXPECT_TRUE(IsLayered(target));
  const Layered read = ReadLayered(target);
  ASSERT_TRUE(read.ok);
  EXPECT_EQ(read.flags, 0u);
  EXPECT_EQ(read.key, 0xFFFFFFu);
  Tick();
  ExpectStateColours(kGreen, kRed, kRed);
  ExpectNumbers("255", "255", "255", std::to_string(read.alpha).c_str());
  ::PostMessageA(target, WM_CLOSE, 0, 0);
}

TEST_F(LayeredDlgTest, OkWithRed1Green2Blue3AndOnlyColorKeyTickedSetsKey0x030201) {
  HWND target = ChosenLayeredTarget("alpha=128");
  uitest::MessageBoxRecorder boxes;
  std::string alphaShown;
  bool alphaBox = false, colorKeyBox = true;
  ASSERT_TRUE(Set([&](HWND dialog) {
    // Opened from the window: Alpha ticked and 128, ColorKey clear.
    alphaShown = uitest::ControlText(dialog, IDC_SETLAYERED_ALPHA);
    alphaBox = Checked(dialog, IDC_SETLAYERED_ALPHAFLAG);
    colorKeyBox = Checked(dialog, IDC_SETLAYERED_COLORKEYFLAG);
    uitest::Click(dialog, IDC_SETLAYERED_ALPHAFLAG);
    uitest::Click(dialog, IDC_SETLAYERED_COLORKEYFLAG);
    Type(dialog, IDC_SETLAYERED_RED, "1");
    Type(dialog, IDC_SETLAYERED_GREEN, "2");
    Type(dialog, IDC_SETLAYERED_BLUE, "3");
    uitest::Click(dialog, IDOK);
  }));
  EXPECT_TRUE(boxes.Boxes().empty());  // already layered: nothing to ask
  EXPECT_EQ(alphaShown, "128");
  EXPECT_TRUE(alphaBox);
  EXPECT_FALSE(colorKeyBox);
  const Layered read = ReadLayered(target);
  ASSERT_TRUE(read.ok);
  EXPECT_EQ(read.key, 0x030201u);
  EXPECT_EQ(read.flags, static_cast<DWORD>(LWA_COLORKEY));
  EXPECT_EQ(read.alpha, 128);
  Tick();
  ExpectDisplay(kGreen, kGreen, kRed, {"1", "2", "3", "128"});
  ::PostMessageA(target, WM_CLOSE, 0, 0);
}

TEST_F(LayeredDlgTest, TextThatIsNoNumberFrom0To255NeitherCrashesNorAsksAndCancelWritesNothing) {
  HWND target = ChosenLayeredTarget("key=0x00030201 alpha=77");
  uitest::MessageBoxRecorder boxes;
  auto typeBadInput = [](HWND dialog) {
    Type(dialog, IDC_SETLAYERED_RED, "abc");
    Type(dialog, IDC_SETLAYERED_GREEN, "");
    Type(dialog, IDC_SETLAYERED_BLUE, "-5");
    Type(dialog, IDC_SETLAYERED_ALPHA, "99999999999");
    uitest::Click(dialog, IDC_SETLAYERED_ALPHAFLAG);  // clears it
  };
  int positions[4] = {};
  ASSERT_TRUE(Set([&](HWND dialog) {
    typeBadInput(dialog);
    const int spins[] = {IDC_SETLAYERED_REDSPIN, IDC_SETLAYERED_GREENSPIN, IDC_SETLAYERED_BLUESPIN,
                         IDC_SETLAYERED_ALPHASPIN};
    for (int i = 0; i < 4; ++i)
      positions[i] = static_cast<int>(::SendDlgItemMessageA(dialog, spins[i], UDM_GETPOS32, 0, 0));
    uitest::Click(dialog, IDCANCEL);
  }));
  Layered read = ReadLayered(target);
  ASSERT_TRUE(read.ok);
  EXPECT_EQ(read.key, 0x030201u);
  EXPECT_EQ(read.alpha, 77);
  EXPECT_EQ(read.flags, static_cast<DWORD>(LWA_COLORKEY | LWA_ALPHA));
  // The spin keeps its last good position for text it cannot take; this one reads an empty
  // edit as 0.
  EXPECT_EQ(positions[0], 1);
  EXPECT_EQ(positions[1], 0);
  EXPECT_EQ(positions[2], 3);
  EXPECT_EQ(positions[3], 77);

  // OK takes what the spins report.
  ASSERT_TRUE(Set([&](HWND dialog) {
    typeBadInput(dialog);
    uitest::Click(dialog, IDOK);
  }));
  EXPECT_TRUE(boxes.Boxes().empty());
  read = ReadLayered(target);
  ASSERT_TRUE(read.ok);
  EXPECT_EQ(read.key, 0x030001u);
  EXPECT_EQ(read.flags, static_cast<DWORD>(LWA_COLORKEY));
  EXPECT_TRUE(::IsWindow(m_panel));
  ::PostMessageA(target, WM_CLOSE, 0, 0);
}

TEST_F(LayeredDlgTest, OkOnAHungWindowReturnsAtOnceAndTheWindowIsLayeredOnceItRecovers) {
  HWND target = CreateTarget("thread=sleepy");
  m_dlg->SetTargetWindow(target);
  ASSERT_EQ(s_fixture->Command("hang window=" + e2e::HandleText(target) + " ms=8000").value, 1);
  uitest::MessageBoxRecorder boxes;
  boxes.QueueAnswer(IDYES);
  // The panel's reads do not wait for the window's thread either.
  const DWORD start = ::GetTickCount();
  Tick();
  ExpectStateColours(kRed, kRed, kRed);
  ASSERT_TRUE(Set([](HWND dialog) {
    uitest::Click(dialog, IDC_SETLAYERED_ALPHAFLAG);
    Type(dialog, IDC_SETLAYERED_ALPHA, "200");
    uitest::Click(dialog, IDOK);
  }));
  EXPECT_LT(::GetTickCount() - start, 4000u);
  s_fixture->Command("resume window=" + e2e::HandleText(target));
  ASSERT_TRUE(platform::WaitForDeferredWindowCalls(10000));
  EXPECT_TRUE(IsLayered(target));
  const Layered read = ReadLayered(target);
  ASSERT_TRUE(read.ok);
  EXPECT_EQ(read.alpha, 200);
  EXPECT_EQ(read.flags, static_cast<DWORD>(LWA_ALPHA));
  s_fixture->Command("destroy window=" + e2e::HandleText(target));
}

// The operations panel hosts the layered panel and hands it each target.
TEST_F(LayeredDlgTest, TheOperationsPanelHostsThePanelAt1_70AndHandsItTheTarget) {
  COperationDlg operations;
  ASSERT_TRUE(operations.Create(m_host));
  operations.ShowWindow(SW_SHOW);
  const HWND layered = operations.LayeredPanel().GetSafeHwnd();
  ASSERT_NE(layered, nullptr);
  EXPECT_EQ(::GetParent(layered), operations.GetSafeHwnd());
  EXPECT_TRUE(::IsWindowVisible(layered));
  RECT expected{1, 70, 135, 25};  // a place and a size, each in dialog units
  ::MapDialogRect(operations.GetSafeHwnd(), &expected);
  // The template places the panel's client area.
  RECT actual{};
  ::GetClientRect(layered, &actual);
  ::MapWindowPoints(layered, operations.GetSafeHwnd(), reinterpret_cast<POINT*>(&actual), 2);
  EXPECT_EQ(actual.left, expected.left);
  EXPECT_EQ(actual.top, expected.top);
  EXPECT_EQ(actual.right - actual.left, expected.right);
  EXPECT_EQ(actual.bottom - actual.top, expected.bottom);
  EXPECT_EQ(operations.LayeredPanel().TargetWindow(), kNoTarget);

  HWND target = CreateTarget();
  MakeLayered(target, "alpha=128");
  operations.SetTarget(target, s_fixture->Pid());
  EXPECT_EQ(operations.LayeredPanel().TargetWindow(), target);
  EXPECT_TRUE(uitest::PumpUntil(
      [&] { return uitest::ControlText(layered, IDC_LAYERED_ALPHAVALUE) == "128"; }, 3000));
  EXPECT_EQ(operations.LayeredPanel().States().layered, 1);
  EXPECT_EQ(operations.LayeredPanel().States().alpha, 1);
  ::PostMessageA(target, WM_CLOSE, 0, 0);
}

}  // namespace
