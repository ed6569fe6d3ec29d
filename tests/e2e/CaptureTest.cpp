// The capture view of the real program against the fixture's windows: what it shows, what it
// puts on the clipboard for other programs, every window put back after the cycles, and a hung
// window never freezing the program.
#include "E2eDriver.h"
#include "E2eSuite.h"
#include "WindowState.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>

namespace {

using e2e::HandleText;

// Where the inspector draws its picture in its client area (the capture view: at 10, 70).
constexpr POINT kInspectorPicture = {20, 250};
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
// A capture button pressed with the target's cycle: the target answers, so a few round trips.
constexpr UINT kPressTimeoutMs = 10000;

class CaptureTest : public e2e::E2eSuite {
protected:
    void StartQuorvel() {
        ASSERT_NO_FATAL_FAILURE(E2eSuite::StartQuorvel());
        panel = e2e::DialogHolding(dialog, IDC_CPT_SAVEPICTURE);  // its ids 1015 to 1019 are the operations panel's too
        ASSERT_NE(panel, nullptr) << "no capture view in the main dialog";
    }

    // A fixture window filled with colour, right of the program's dialog.
    HWND FixtureWindow(COLORREF colour, int y, const std::string& extra = "", int x = 980) {
        char options[160];
        snprintf(options, sizeof(options), "title=\"capture %d\" x=%d y=%d w=240 h=160 color=0x%06lx ", y, x, y,
                 static_cast<unsigned long>(colour));
        return fixture.Create(options + extra);
    }

    // Presses a capture-view button and returns once the program has handled it.
    void Press(int id) {
        ASSERT_TRUE(e2e::SendWithTimeout(GetDlgItem(panel, id), BM_CLICK, 0, 0, nullptr, kPressTimeoutMs))
            << "button " << id << " did not come back";
    }

    // The panel paints on its own thread after a capture: waits until the pixel has the colour.
    bool ShowsAt(int x, int y, COLORREF colour, HWND window = nullptr) {
        COLORREF seen = CLR_INVALID;
        bool shown = e2e::WaitUntil([&] { return (seen = e2e::ClientPixel(window ? window : panel, x, y)) == colour; }, 3000);
        if (!shown) ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << seen;
        return shown;
    }

    HWND panel = nullptr;
};

struct ClipboardPicture {
    bool present = false;
    LONG width = 0;
    LONG height = 0;
    COLORREF centre = CLR_INVALID;
};

ClipboardPicture ReadClipboardPicture() {
    ClipboardPicture picture;
    if (!OpenClipboard(nullptr)) return picture;
    HBITMAP bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    BITMAP info = {};
    if (bitmap && GetObjectA(bitmap, sizeof(info), &info)) {
        picture.present = true;
        picture.width = info.bmWidth;
        picture.height = info.bmHeight;
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        picture.centre = GetPixel(dc, info.bmWidth / 2, info.bmHeight / 2);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    CloseClipboard();
    return picture;
}

TEST_F(CaptureTest, BothPicturesShowAnotherProgramsColoursAndTheClipboardKeepsTheCopiedPicture) {
    HWND red = FixtureWindow(kRed, 40);
    HWND blue = FixtureWindow(kBlue, 260);
    HWND pastEdge = FixtureWindow(kBlue, 480, "", 1200);  // 80 of its 240 pixels on the desktop
    ASSERT_TRUE(IsWindow(red) && IsWindow(blue) && IsWindow(pastEdge));
    StartQuorvel();
    const COLORREF background = e2e::ClientPixel(panel, 5, 65);

    // Under wine another program's window prints black, as a window drawn by the GPU does on
    // Windows: a row click then copies it from the screen, so the picture shows its colours.
    // The PrintWindow button keeps its own method; SurfaceCapture reads the screen again.
    ClickRow(red);
    EXPECT_TRUE(ShowsAt(10 + 120, 70 + 80, kRed));
    Press(IDC_CPT_PRINTWINDOW);
    EXPECT_TRUE(ShowsAt(10 + 120, 70 + 80, RGB(0, 0, 0)));
    Press(IDC_CPT_SURFACECAPTURE);
    EXPECT_TRUE(ShowsAt(10 + 120, 70 + 80, kRed));
    EXPECT_EQ(e2e::ClientPixel(panel, 10 + 242, 70 + 80), background) << "drawn wider than the window";
    Press(IDC_CPT_COPYCLIPBOARD);
    Press(IDC_CPT_COPYCLIPBOARD);

    ClickRow(blue);
    EXPECT_TRUE(ShowsAt(10 + 120, 70 + 80, kBlue));
    ClipboardPicture copied = ReadClipboardPicture();
    ASSERT_TRUE(copied.present);
    EXPECT_EQ(copied.width, 240);
    EXPECT_EQ(copied.height, 160);
    EXPECT_EQ(copied.centre, kRed) << "the copy changed with the new capture";

    ClickRow(pastEdge);
    Press(IDC_CPT_PRINTWINDOW);  // the whole window, black: only the surface copy is cut to the desktop
    Press(IDC_CPT_SURFACECAPTURE);
    Press(IDC_CPT_COPYCLIPBOARD);
    copied = ReadClipboardPicture();
    ASSERT_TRUE(copied.present);
    EXPECT_EQ(copied.width, 80);
    EXPECT_EQ(copied.height, 160);
    EXPECT_EQ(copied.centre, kBlue);

    // The inspector's picture is taken the same way: the 240 x 160 window 1:1 at its corner.
    ClickRow(red);
    HWND inspector = OpenInspector(red);
    ASSERT_NE(inspector, nullptr);
    EXPECT_TRUE(ShowsAt(kInspectorPicture.x + 120, kInspectorPicture.y + 100, kRed, inspector));
}

// Another program's window: every property a cycle changed is back afterwards (under wine
// SetWindowPlacement is refused here, so this also covers the fallback).
TEST_F(CaptureTest, IconicAndHideCapturePutTheWindowBackAsItWas) {
    HWND plain = FixtureWindow(kRed, 40);
    HWND layered = FixtureWindow(kBlue, 260);
    HWND maximised = FixtureWindow(kRed, 480);
    ASSERT_TRUE(IsWindow(plain) && IsWindow(layered) && IsWindow(maximised));
    ASSERT_EQ(fixture.Command("layered window=" + HandleText(layered) + " key=0x00010203 alpha=200").answered, true);
    StartQuorvel();

    struct Case {
        const char* name;
        HWND hwnd;
        bool maximise;
    };
    const Case cases[] = {{"plain", plain, false}, {"layered", layered, false}, {"maximised", maximised, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClickRow(c.hwnd);
        const std::string handle = HandleText(c.hwnd);
        RECT shown = {};
        GetWindowRect(c.hwnd, &shown);
        // Wine hands out another program's placement without its restore-to-maximised flag, so
        // the cycle cannot know it and restores the window without activating it: its user then
        // gets it back at its normal place (the dialog tests see the flag kept, on own windows).
        if (c.maximise) {
            ASSERT_TRUE(fixture.Command("show window=" + handle + " cmd=max").answered);
        }
        ASSERT_TRUE(fixture.Command("show window=" + handle + " cmd=min").answered);
        const e2e::WindowState minimised = e2e::ReadWindowState(c.hwnd);
        ASSERT_TRUE(minimised.iconic);
        Press(IDC_CPT_ICONICCAPTURE);
        EXPECT_EQ(e2e::WindowStateDifferences(minimised, e2e::ReadWindowState(c.hwnd)), "");
        const int redraws = fixture.MessageCount(c.hwnd, "setredraw");
        EXPECT_GE(redraws, 4) << "the restore cycle did not run";

        // Restored by its user, it comes back where it was, not where the cycle had put it.
        ASSERT_TRUE(fixture.Command("show window=" + handle + " cmd=restore").answered);
        RECT restored = {};
        GetWindowRect(c.hwnd, &restored);
        EXPECT_TRUE(EqualRect(&restored, &shown))
            << "restored at " << restored.left << "," << restored.top << "," << restored.right << ","
            << restored.bottom << " instead of " << shown.left << "," << shown.top << "," << shown.right << ","
            << shown.bottom;
        ASSERT_TRUE(fixture.Command("show window=" + handle + " cmd=hide").answered);
        const e2e::WindowState hidden = e2e::ReadWindowState(c.hwnd);
        ASSERT_FALSE(hidden.visible);
        const int shows = fixture.MessageCount(c.hwnd, "showwindow");
        Press(IDC_CPT_HIDECAPTURE);
        EXPECT_EQ(e2e::WindowStateDifferences(hidden, e2e::ReadWindowState(c.hwnd)), "");
        EXPECT_GT(fixture.MessageCount(c.hwnd, "showwindow"), shows) << "the show cycle did not run";
    }
}

// A real click on the row of a minimised window: the window is restored out of sight, captured
// and minimised again, and the user's keyboard stays where it was. Quorvel keeps the foreground
// and its list the focus (a real Ctrl+C reaches it), no window of the fixture is activated.
TEST_F(CaptureTest, ARowClickOnAMinimisedWindowLeavesTheForegroundAndTheFocusWithQuorvel) {
    HWND bystander = FixtureWindow(kBlue, 40);
    HWND target = FixtureWindow(kRed, 260, "show=minnoactive");
    ASSERT_TRUE(IsWindow(bystander) && IsIconic(target));
    StartQuorvel();
    const int activations[] = {fixture.MessageCount(bystander, "activate"), fixture.MessageCount(target, "activate")};
    const int redraws = fixture.MessageCount(target, "setredraw");
    ClickRow(target);
    EXPECT_GE(fixture.MessageCount(target, "setredraw"), redraws + 4) << "the restore cycle did not run";
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsIconic(target) && !(GetWindowLongA(target, GWL_EXSTYLE) & WS_EX_LAYERED); }, 5000))
        << "not put back";

    HWND list = GetDlgItem(dialog, IDC_MAIN_LIST);
    GUITHREADINFO info{sizeof(info)};
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info));
    EXPECT_EQ(info.hwndActive, dialog);
    EXPECT_EQ(info.hwndFocus, list);
    // The system hands the foreground on late (after a window's focus left it): watched a while.
    EXPECT_FALSE(e2e::WaitUntil([&] { return GetForegroundWindow() != dialog; }, 1500)) << "Quorvel lost the foreground";
    ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard() && CloseClipboard());
    ASSERT_TRUE(e2e::PressKeys({VK_CONTROL, 'C'}));
    std::wstring copied;
    EXPECT_TRUE(e2e::WaitUntil([&] { return !(copied = e2e::ClipboardText()).empty(); }, 3000)) << "Ctrl+C went elsewhere";
    const std::string handle = HandleText(target);
    EXPECT_NE(copied.find(std::wstring(handle.begin(), handle.end())), std::wstring::npos);
    EXPECT_TRUE(IsIconic(target));
    EXPECT_EQ(fixture.MessageCount(bystander, "activate"), activations[0]) << "another window was activated";
    EXPECT_EQ(fixture.MessageCount(target, "activate"), activations[1]) << "the captured window was activated";
}

// While the program is busy with a hung window, it must take real input again soon: a real click
// on one of its check boxes flips it. (A sent message would prove nothing: a program blocked
// inside a send still answers those.)
TEST_F(CaptureTest, AHungWindowNeverFreezesTheProgram) {
    HWND visible = FixtureWindow(kRed, 40, "thread=stuck");
    HWND minimised = FixtureWindow(kBlue, 260, "thread=stuck show=minnoactive");
    ASSERT_TRUE(IsWindow(visible) && IsWindow(minimised));
    const e2e::WindowState visibleBefore = e2e::ReadWindowState(visible);
    const e2e::WindowState minimisedBefore = e2e::ReadWindowState(minimised);
    ASSERT_EQ(fixture.Command("hang thread=stuck ms=forever").value, 1);
    // Until the system reports the program hung, each panel a row click reaches may wait its
    // bound of 1 s on it; from then on none waits.
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsHungAppWindow(visible) && IsHungAppWindow(minimised); }, 10000, 100));
    StartQuorvel();
    // Starts something with the hung window, then clicks a check box with real input: it must
    // flip within 2 s.
    auto expectResponsive = [&](const char* what, const std::function<void()>& start) {
        SCOPED_TRACE(what);
        start();
        EXPECT_TRUE(e2e::ClickFlipsCheckBox(GetDlgItem(dialog, IDC_MAIN_WITHTITLE), 2000)) << "no real input taken within 2 s";
    };

    for (HWND hwnd : {visible, minimised}) {
        ASSERT_TRUE(WaitForRow(hwnd));
        expectResponsive("row click", [&] { ASSERT_TRUE(rows->ClickRow(RowOf(hwnd))); });
        for (int id : {IDC_CPT_PRINTWINDOW, IDC_CPT_SURFACECAPTURE, IDC_CPT_ICONICCAPTURE, IDC_CPT_HIDECAPTURE}) {
            const std::string what = "button " + std::to_string(id);
            expectResponsive(what.c_str(), [&] { ASSERT_TRUE(e2e::PressButton(GetDlgItem(panel, id))); });
        }
    }

    // Nothing was done to them, and nothing is done once they answer again.
    ASSERT_TRUE(fixture.Command("resume thread=stuck").answered);
    std::string differences;
    EXPECT_FALSE(e2e::WaitUntil([&] {
        differences = e2e::WindowStateDifferences(visibleBefore, e2e::ReadWindowState(visible)) +
                      e2e::WindowStateDifferences(minimisedBefore, e2e::ReadWindowState(minimised));
        return !differences.empty();
    }, 1000)) << differences;
}

}  // namespace

namespace {

// The visible top-level dialog of the process that has the button id, or null.
HWND DialogWithButton(DWORD pid, int id) {
    for (HWND hwnd : e2e::TopLevelWindowsOf(pid))
        if (IsWindowVisible(hwnd) && GetDlgItem(hwnd, id)) return hwnd;
    return nullptr;
}

// Text of the Save As dialog's file name box, whichever layout the system gives it.
std::string FileNameBox(HWND dialog) {
    HWND box = GetDlgItem(dialog, 1148);  // cmb13: the name combo of the Explorer layout
    if (!box) box = GetDlgItem(dialog, 1152);  // edt1
    return box ? e2e::WindowText(box) : std::string();
}

// The real Save As dialog, once: a window titled as Notepad's untitled window saves under the
// proposed name as it stands; saving again asks before overwriting, and No keeps the file.
TEST_F(CaptureTest, TheProposedJapaneseNameSavesThroughTheRealSaveAsDialog) {
    const std::string title = "(無題) - メモ帳";
    HWND target = fixture.Create("title=\"" + title + "\" x=980 y=300 w=200 h=120 color=0x0000ff show=noactivate");
    ASSERT_NE(target, nullptr);
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof folder, folder);
    const std::string file = std::string(folder) + "\\" + title + ".png";
    DeleteFileA(file.c_str());
    StartQuorvel();
    ClickRow(target);

    ASSERT_TRUE(e2e::PressButton(GetDlgItem(panel, IDC_CPT_SAVEPICTURE)));
    HWND save = nullptr;
    ASSERT_TRUE(e2e::WaitUntil([&] { return (save = DialogWithButton(quorvel.Pid(), 1148)) ||
                                            (save = DialogWithButton(quorvel.Pid(), 1152)); }, 5000));
    EXPECT_TRUE(e2e::WaitUntil([&] { return FileNameBox(save) == title; }, 3000)) << FileNameBox(save);
    PostMessageA(save, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(e2e::WaitUntil([&] { return GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES; }, 5000))
        << "nothing saved as " << file;
    EXPECT_EQ(e2e::ReadFile(file).substr(1, 3), "PNG");
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindow(save); }, 3000));
    EXPECT_EQ(DialogWithButton(quorvel.Pid(), IDNO), nullptr) << "a message after a save that worked";

    // Again, and No to the question: the file keeps what it holds.
    {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << "kept";
    }
    ASSERT_TRUE(e2e::PressButton(GetDlgItem(panel, IDC_CPT_SAVEPICTURE)));
    ASSERT_TRUE(e2e::WaitUntil([&] { return (save = DialogWithButton(quorvel.Pid(), 1148)) ||
                                            (save = DialogWithButton(quorvel.Pid(), 1152)); }, 5000));
    PostMessageA(save, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    HWND question = nullptr;
    ASSERT_TRUE(e2e::WaitUntil([&] { return (question = DialogWithButton(quorvel.Pid(), IDNO)) != nullptr; }, 5000))
        << "no question before overwriting";
    PostMessageA(question, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindow(question); }, 3000));
    PostMessageA(save, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindow(save); }, 3000));
    EXPECT_EQ(e2e::ReadFile(file), "kept");
    DeleteFileA(file.c_str());
}

}  // namespace
