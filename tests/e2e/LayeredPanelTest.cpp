// The layered-attributes panel inside the real program's operations panel, watched from
// outside: a click on a layered fixture window's row shows its flags in colour on screen and
// its numbers, and "設定" writes new attributes to the fixture's window.
#include "E2eDriver.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

namespace {

using e2e::HandleText;

constexpr int kListId = 1000;
constexpr int kHandleColumn = 3;
constexpr int kLayeredStateId = 1055;
constexpr int kColorKeyStateId = 1061;
constexpr int kAlphaStateId = 1060;
constexpr int kRedId = 1056;
constexpr int kGreenId = 1057;
constexpr int kBlueId = 1058;
constexpr int kAlphaId = 1059;
constexpr int kSetId = 1062;
constexpr int kDialogRedId = 1065;
constexpr int kDialogGreenId = 1067;
constexpr int kDialogBlueId = 1069;
constexpr int kDialogColorKeyId = 1073;
const COLORREF kGreen = RGB(0, 255, 0);
const COLORREF kRed = RGB(255, 0, 0);

// The dialog among hwnd's descendants that holds the control id.
HWND DialogHolding(HWND hwnd, int id) {
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        hwnd,
        [](HWND child, LPARAM lParam) WINAPI -> BOOL {
            Search* s = reinterpret_cast<Search*>(lParam);
            HWND control = GetDlgItem(child, s->id);
            if (control && GetParent(control) == child) {
                s->found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The colour most pixels of a w x h area of dc at (x, y) have: a label's background, whatever
// the font makes of its text.
COLORREF CommonColour(HDC dc, int x, int y, int w, int h) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, dc, x, y, SRCCOPY);
    GdiFlush();
    std::map<DWORD, int> counts;
    const DWORD* pixels = static_cast<const DWORD*>(bits);
    for (int i = 0; i < w * h; ++i) ++counts[pixels[i] & 0xFFFFFF];
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    DWORD common = 0;
    int most = 0;
    for (const auto& [pixel, count] : counts)
        if (count > most) {
            most = count;
            common = pixel;
        }
    return RGB((common >> 16) & 0xFF, (common >> 8) & 0xFF, common & 0xFF);
}

// The colour a label shows on screen.
COLORREF ScreenColour(HWND label) {
    RECT client{};
    GetClientRect(label, &client);
    POINT origin{0, 0};
    ClientToScreen(label, &origin);
    HDC screen = GetDC(nullptr);
    const COLORREF colour = CommonColour(screen, origin.x, origin.y, client.right, client.bottom);
    ReleaseDC(nullptr, screen);
    return colour;
}

class LayeredPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fixture.Start()) << "fixture did not start: " << e2e::FixtureExePath();
    }
    void TearDown() override {
        if (dialog) e2e::CloseDialogProgram(quorvel, dialog);
        fixture.Quit();
    }

    e2e::FixtureClient fixture;
    e2e::ChildProcess quorvel;
    HWND dialog = nullptr;
};

TEST_F(LayeredPanelTest, AClickedLayeredWindowShowsItsStateAndSetWritesNewAttributes) {
    HWND target = fixture.Create("title=\"Layered target\" x=980 y=40 w=240 h=80 show=noactivate");
    ASSERT_TRUE(IsWindow(target));
    ASSERT_EQ(fixture.Command("layered window=" + HandleText(target) + " alpha=128").text, "ok");

    ASSERT_TRUE(quorvel.Start(e2e::QuorvelExePath(), {})) << e2e::QuorvelExePath();
    dialog = e2e::WaitForTopLevelWindow(quorvel.Pid(), "#32770", "Tsuravi", 10000);
    ASSERT_NE(dialog, nullptr);
    e2e::RemoteListView rows(GetDlgItem(dialog, kListId));
    ASSERT_TRUE(rows.Valid());
    ASSERT_TRUE(e2e::WaitUntil([&] { return rows.FindRow(kHandleColumn, HandleText(target)) >= 0; }, 8000, 100));
    ASSERT_TRUE(rows.ClickRow(rows.FindRow(kHandleColumn, HandleText(target))));

    HWND panel = DialogHolding(dialog, kSetId);
    ASSERT_NE(panel, nullptr) << "no layered panel in the main dialog";
    auto label = [&](int id) { return GetDlgItem(panel, id); };
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::WindowText(label(kAlphaId)) == "128"; }, 3000))
        << e2e::WindowText(label(kAlphaId));
    EXPECT_EQ(e2e::WindowText(label(kRedId)), "0");
    EXPECT_EQ(e2e::WindowText(label(kGreenId)), "0");
    EXPECT_EQ(e2e::WindowText(label(kBlueId)), "0");
    EXPECT_TRUE(e2e::WaitUntil([&] { return ScreenColour(label(kLayeredStateId)) == kGreen; }, 2000));
    EXPECT_EQ(ScreenColour(label(kColorKeyStateId)), kRed);
    EXPECT_EQ(ScreenColour(label(kAlphaStateId)), kGreen);

    ASSERT_TRUE(e2e::PressButton(label(kSetId)));
    HWND set = e2e::WaitForTopLevelWindow(quorvel.Pid(), "#32770", "SetLayeredWindowAttributes", 5000);
    ASSERT_NE(set, nullptr);
    SetDlgItemTextA(set, kDialogRedId, "1");
    SetDlgItemTextA(set, kDialogGreenId, "2");
    SetDlgItemTextA(set, kDialogBlueId, "3");
    ASSERT_TRUE(e2e::PressButton(GetDlgItem(set, kDialogColorKeyId)));
    ASSERT_TRUE(e2e::WaitUntil([&] { return SendMessageA(GetDlgItem(set, kDialogColorKeyId), BM_GETCHECK, 0, 0) == BST_CHECKED; }, 2000));
    ASSERT_TRUE(e2e::PressButton(GetDlgItem(set, IDOK)));
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(set); }, 3000));

    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(target, &key, &alpha, &flags));
    EXPECT_EQ(key, 0x030201u);
    EXPECT_EQ(alpha, 128);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY | LWA_ALPHA));
    EXPECT_TRUE(e2e::WaitUntil([&] { return ScreenColour(label(kColorKeyStateId)) == kGreen; }, 3000));
    EXPECT_EQ(e2e::WindowText(label(kRedId)), "1");
    EXPECT_EQ(e2e::WindowText(label(kGreenId)), "2");
    EXPECT_EQ(e2e::WindowText(label(kBlueId)), "3");
}

}  // namespace
