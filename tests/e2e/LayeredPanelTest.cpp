// The layered-attributes panel inside the real program's operations panel, watched from
// outside: a click on a layered fixture window's row shows its flags in colour on screen and
// its numbers, and "設定" writes new attributes to the fixture's window.
#include "E2eDriver.h"
#include "E2eSuite.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using e2e::HandleText;

const COLORREF kGreen = RGB(0, 255, 0);
const COLORREF kRed = RGB(255, 0, 0);

// The colour a label shows on screen.
COLORREF ScreenColour(HWND label) {
    RECT client{};
    GetClientRect(label, &client);
    POINT origin{0, 0};
    ClientToScreen(label, &origin);
    HDC screen = GetDC(nullptr);
    const COLORREF colour = e2e::CommonColour(screen, origin.x, origin.y, client.right, client.bottom);
    ReleaseDC(nullptr, screen);
    return colour;
}

using LayeredPanelTest = e2e::E2eSuite;

TEST_F(LayeredPanelTest, AClickedLayeredWindowShowsItsStateAndSetWritesNewAttributes) {
    HWND target = fixture.Create("title=\"Layered target\" x=980 y=40 w=240 h=80 show=noactivate");
    ASSERT_TRUE(IsWindow(target));
    ASSERT_EQ(fixture.Command("layered window=" + HandleText(target) + " alpha=128").text, "ok");

    ASSERT_NO_FATAL_FAILURE(StartQuorvel());
    ASSERT_NO_FATAL_FAILURE(ClickRow(target));

    HWND panel = e2e::DialogHolding(dialog, IDC_LAYERED_SET);
    ASSERT_NE(panel, nullptr) << "no layered panel in the main dialog";
    auto label = [&](int id) { return GetDlgItem(panel, id); };
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::WindowText(label(IDC_LAYERED_ALPHAVALUE)) == "128"; }, 3000))
        << e2e::WindowText(label(IDC_LAYERED_ALPHAVALUE));
    EXPECT_EQ(e2e::WindowText(label(IDC_LAYERED_RED)), "0");
    EXPECT_EQ(e2e::WindowText(label(IDC_LAYERED_GREEN)), "0");
    EXPECT_EQ(e2e::WindowText(label(IDC_LAYERED_BLUE)), "0");
    EXPECT_TRUE(e2e::WaitUntil([&] { return ScreenColour(label(IDC_LAYERED_LAYEREDSTATE)) == kGreen; }, 2000));
    EXPECT_EQ(ScreenColour(label(IDC_LAYERED_COLORKEYSTATE)), kRed);
    EXPECT_EQ(ScreenColour(label(IDC_LAYERED_ALPHASTATE)), kGreen);

    ASSERT_TRUE(e2e::PressButton(label(IDC_LAYERED_SET)));
    HWND set = e2e::WaitForTopLevelWindow(quorvel.Pid(), "#32770", "SetLayeredWindowAttributes", 5000);
    ASSERT_NE(set, nullptr);
    // A BM_CLICK handled before the dialog is active is lost: the button's press sets the focus,
    // that activates the dialog, and the activation takes the press's capture away (under Wine
    // the check box then stays unticked). A user clicks a dialog that is up; so does the test.
    GUITHREADINFO info{sizeof info};
    ASSERT_TRUE(e2e::WaitUntil([&] {
        return IsWindowVisible(set) && GetGUIThreadInfo(GetWindowThreadProcessId(set, nullptr), &info) &&
               info.hwndActive == set;
    }, 5000)) << "the set dialog never became active";
    SetDlgItemTextA(set, IDC_SETLAYERED_RED, "1");
    SetDlgItemTextA(set, IDC_SETLAYERED_GREEN, "2");
    SetDlgItemTextA(set, IDC_SETLAYERED_BLUE, "3");
    ASSERT_TRUE(e2e::PressButton(GetDlgItem(set, IDC_SETLAYERED_COLORKEYFLAG)));
    ASSERT_TRUE(e2e::WaitUntil([&] { return SendMessageA(GetDlgItem(set, IDC_SETLAYERED_COLORKEYFLAG), BM_GETCHECK, 0, 0) == BST_CHECKED; }, 2000));
    ASSERT_TRUE(e2e::PressButton(GetDlgItem(set, IDOK)));
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(set); }, 3000));

    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(target, &key, &alpha, &flags));
    EXPECT_EQ(key, 0x030201u);
    EXPECT_EQ(alpha, 128);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY | LWA_ALPHA));
    EXPECT_TRUE(e2e::WaitUntil([&] { return ScreenColour(label(IDC_LAYERED_COLORKEYSTATE)) == kGreen; }, 3000));
    EXPECT_EQ(e2e::WindowText(label(IDC_LAYERED_RED)), "1");
    EXPECT_EQ(e2e::WindowText(label(IDC_LAYERED_GREEN)), "2");
    EXPECT_EQ(e2e::WindowText(label(IDC_LAYERED_BLUE)), "3");
}

}  // namespace
