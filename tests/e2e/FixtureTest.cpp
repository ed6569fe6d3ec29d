// The fixture program and the driver, checked against the system itself: every window the
// other end-to-end tests rely on must really have the title, style, state and records asked for.
#include "E2eDriver.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using e2e::FixtureClient;
using e2e::HandleText;

class FixtureTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(e2e::FixtureExePath().empty()) << "QUORVEL_FIXTURE is not set";
    }
    void TearDown() override { fixture.Quit(); }

    std::string ClassOf(HWND hwnd) {
        char name[256] = {};
        GetClassNameA(hwnd, name, sizeof name);
        return name;
    }
    std::string TitleOf(HWND hwnd) {
        char text[512] = {};
        GetWindowTextA(hwnd, text, sizeof text);
        return text;
    }

    FixtureClient fixture;
};

TEST_F(FixtureTest, StartUpScriptCreatesNamedWindowWithTitleAndPlace) {
    ASSERT_TRUE(fixture.Start(
        "create name=main title=\"日本語 ソ表 window\" x=900 y=600 w=220 h=150; "
        "create name=second title=a%20b%3Bc show=hidden"));
    const FixtureClient::Reply found = fixture.Command("find name=main");
    ASSERT_TRUE(found.answered);
    HWND main = reinterpret_cast<HWND>(found.value);
    ASSERT_TRUE(IsWindow(main));
    EXPECT_EQ(found.text, HandleText(main));
    EXPECT_EQ(TitleOf(main), "日本語 ソ表 window");
    EXPECT_EQ(ClassOf(main), "QuorvelFixtureWindow");
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(main, GWL_STYLE)) & WS_OVERLAPPEDWINDOW,
              static_cast<DWORD>(WS_OVERLAPPEDWINDOW));
    EXPECT_TRUE(IsWindowVisible(main));
    DWORD pid = 0;
    GetWindowThreadProcessId(main, &pid);
    EXPECT_EQ(pid, fixture.Pid());
    RECT rect = {};
    GetWindowRect(main, &rect);
    EXPECT_EQ(rect.left, 900);
    EXPECT_EQ(rect.top, 600);
    EXPECT_EQ(rect.right - rect.left, 220);
    EXPECT_EQ(rect.bottom - rect.top, 150);

    HWND second = reinterpret_cast<HWND>(fixture.Command("find name=@second").value);
    ASSERT_TRUE(IsWindow(second));
    EXPECT_EQ(TitleOf(second), "a b;c");
    EXPECT_FALSE(IsWindowVisible(second));
}

TEST_F(FixtureTest, CreateHonoursClassStyleShowStateAndOwner) {
    ASSERT_TRUE(fixture.Start());
    HWND owner = fixture.Create("name=owner title=Owner x=900 y=100 w=200 h=120");
    ASSERT_TRUE(IsWindow(owner));
    HWND popup = fixture.Create(
        "title=Popup class=MyFixtureClass style=WS_POPUP|WS_CAPTION|0x00040000 "
        "exstyle=WS_EX_TOOLWINDOW owner=@owner x=950 y=150 w=150 h=100");
    ASSERT_TRUE(IsWindow(popup));
    EXPECT_EQ(ClassOf(popup), "MyFixtureClass");
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(popup, GWL_STYLE)) &
                  (WS_POPUP | WS_CAPTION | WS_THICKFRAME),
              static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_THICKFRAME));
    EXPECT_TRUE(GetWindowLongA(popup, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetWindow(popup, GW_OWNER), owner);

    HWND hidden = fixture.Create("title=Hidden show=hidden");
    HWND minimised = fixture.Create("title=Minimised show=min");
    HWND maximised = fixture.Create("title=Maximised show=max");
    ASSERT_TRUE(IsWindow(hidden) && IsWindow(minimised) && IsWindow(maximised));
    EXPECT_FALSE(IsWindowVisible(hidden));
    EXPECT_TRUE(IsIconic(minimised));
    EXPECT_TRUE(IsZoomed(maximised));
    EXPECT_FALSE(IsIconic(maximised));

    EXPECT_EQ(fixture.Command("show window=" + HandleText(hidden) + " cmd=normal").value, 1);
    EXPECT_TRUE(IsWindowVisible(hidden));
    EXPECT_EQ(fixture.Command("settext window=" + HandleText(hidden) + " text=Renamed").value, 1);
    EXPECT_EQ(TitleOf(hidden), "Renamed");
    EXPECT_EQ(fixture.Command("destroy window=" + HandleText(hidden)).value, 1);
    EXPECT_FALSE(IsWindow(hidden));
}

TEST_F(FixtureTest, ChildTreesAreBuiltAndTheirMessagesRecorded) {
    ASSERT_TRUE(fixture.Start("create name=top title=Tree x=900 y=400 w=300 h=220"));
    HWND top = reinterpret_cast<HWND>(fixture.Command("find name=top").value);
    ASSERT_TRUE(IsWindow(top));
    const auto child = [&](const std::string& options) {
        return reinterpret_cast<HWND>(fixture.Command("child " + options).value);
    };
    HWND button = child("parent=top name=ok class=BUTTON text=OK id=5 x=10 y=10 w=80 h=24");
    HWND panel = child("parent=top name=panel id=6 x=10 y=50 w=200 h=100");
    HWND edit = child("parent=@panel class=EDIT text=\"some text\" id=7 style=WS_CHILD|WS_VISIBLE|ES_AUTOHSCROLL");
    HWND label = child("parent=panel class=STATIC text=ラベル id=8 y=50");
    ASSERT_TRUE(IsWindow(button) && IsWindow(panel) && IsWindow(edit) && IsWindow(label));
    EXPECT_EQ(GetParent(button), top);
    EXPECT_EQ(GetParent(panel), top);
    EXPECT_EQ(GetParent(edit), panel);
    EXPECT_EQ(GetParent(label), panel);
    EXPECT_EQ(GetDlgCtrlID(button), 5);
    EXPECT_EQ(GetDlgCtrlID(edit), 7);
    EXPECT_STREQ(ClassOf(button).c_str(), "Button");
    EXPECT_EQ(e2e::WindowText(edit), "some text");
    EXPECT_EQ(e2e::WindowText(label), "ラベル");
    EXPECT_TRUE(GetWindowLongA(edit, GWL_STYLE) & ES_AUTOHSCROLL);

    int descendants = 0;
    EnumChildWindows(top, [](HWND, LPARAM count) WINAPI -> BOOL {
        ++*reinterpret_cast<int*>(count);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&descendants));
    EXPECT_EQ(descendants, 4);

    // A click on the button reaches the top window as WM_COMMAND from id 5.
    LRESULT ignored = 0;
    ASSERT_TRUE(e2e::SendWithTimeout(button, BM_CLICK, 0, 0, &ignored));
    const FixtureClient::Reply command = fixture.Command("query window=top msg=command");
    EXPECT_EQ(command.value, 1);
    char expected[96];
    std::snprintf(expected, sizeof expected, "count=1 wparam=0x%08x lparam=0x%08x",
                  static_cast<unsigned>(MAKEWPARAM(5, BN_CLICKED)),
                  static_cast<unsigned>(reinterpret_cast<UINT_PTR>(button)));
    EXPECT_EQ(command.text, expected);
    // The subclassed edit records what it gets and still behaves as an edit.
    ASSERT_TRUE(e2e::SendWithTimeout(edit, WM_KEYDOWN, VK_F5, 0x003F0001, &ignored));
    EXPECT_EQ(fixture.MessageCount(edit, "keydown"), 1);
    EXPECT_EQ(fixture.Command("query window=" + HandleText(edit) + " msg=WM_KEYDOWN").text,
              "count=1 wparam=0x00000074 lparam=0x003f0001");
}

TEST_F(FixtureTest, LayeredAttributesAndRegionsAreApplied) {
    ASSERT_TRUE(fixture.Start());
    HWND hwnd = fixture.Create("title=Layered x=900 y=300 w=200 h=150 color=0x0000ff00");
    ASSERT_TRUE(IsWindow(hwnd));
    const std::string w = HandleText(hwnd);
    EXPECT_EQ(fixture.Command("layered window=" + w + " key=0x00ff00ff alpha=128").value, 1);
    EXPECT_TRUE(GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(hwnd, &key, &alpha, &flags));
    EXPECT_EQ(key, 0x00ff00ffu);
    EXPECT_EQ(alpha, 128);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY | LWA_ALPHA));
    EXPECT_EQ(fixture.Command("layered window=" + w + " off").value, 1);
    EXPECT_FALSE(GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED);

    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(hwnd, region), ERROR);
    EXPECT_NE(fixture.Command("region window=" + w + " rect=0,0,50,40").value, 0);
    EXPECT_EQ(GetWindowRgn(hwnd, region), SIMPLEREGION);
    RECT box = {};
    GetRgnBox(region, &box);
    EXPECT_EQ(box.right, 50);
    EXPECT_EQ(box.bottom, 40);
    EXPECT_NE(fixture.Command("region window=" + w + " ellipse=0,0,80,60").value, 0);
    EXPECT_EQ(GetWindowRgn(hwnd, region), COMPLEXREGION);
    EXPECT_NE(fixture.Command("region window=" + w + " none").value, 0);
    EXPECT_EQ(GetWindowRgn(hwnd, region), ERROR);
    DeleteObject(region);
}

TEST_F(FixtureTest, WindowOnWorkerThreadHangsUntilResumed) {
    ASSERT_TRUE(fixture.Start());
    HWND worker = fixture.Create("title=Worker thread=worker x=900 y=500 w=200 h=100");
    HWND main = fixture.Create("title=MainThread x=900 y=650 w=200 h=100");
    ASSERT_TRUE(IsWindow(worker) && IsWindow(main));
    EXPECT_NE(GetWindowThreadProcessId(worker, nullptr), GetWindowThreadProcessId(main, nullptr));

    // The main thread serves the control channel and refuses to hang.
    const FixtureClient::Reply refused = fixture.Command("hang window=" + HandleText(main) + " ms=forever");
    EXPECT_EQ(refused.value, 0);
    EXPECT_EQ(refused.text.compare(0, 6, "error:"), 0) << refused.text;

    ASSERT_EQ(fixture.Command("hang window=" + HandleText(worker) + " ms=forever").value, 1);
    DWORD_PTR result = 0;
    EXPECT_TRUE(e2e::WaitUntil([&] {
        return !SendMessageTimeoutA(worker, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, &result);
    }, 3000));
    // The control channel and the main thread's windows go on answering meanwhile.
    EXPECT_TRUE(e2e::SendWithTimeout(main, WM_NULL, 0, 0, nullptr, 500));
    EXPECT_EQ(fixture.Command("ping").value, static_cast<LRESULT>(fixture.Pid()));

    ASSERT_EQ(fixture.Command("resume window=" + HandleText(worker)).value, 1);
    EXPECT_TRUE(e2e::WaitUntil([&] {
        return SendMessageTimeoutA(worker, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, &result) != 0;
    }, 3000));

    // A timed hang ends by itself.
    ASSERT_EQ(fixture.Command("hang thread=worker ms=300").value, 1);
    EXPECT_TRUE(e2e::WaitUntil([&] {
        return SendMessageTimeoutA(worker, WM_NULL, 0, 0, SMTO_NORMAL, 200, &result) != 0;
    }, 3000));
}

TEST_F(FixtureTest, SessionAndPowerMessagesAreAnsweredAndRecorded) {
    ASSERT_TRUE(fixture.Start());
    HWND hwnd = fixture.Create("title=Session queryend=2 x=900 y=200 w=200 h=100");
    ASSERT_TRUE(IsWindow(hwnd));
    LRESULT answer = 0;
    ASSERT_TRUE(e2e::SendWithTimeout(hwnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, &answer));
    EXPECT_EQ(answer, 2);
    ASSERT_EQ(fixture.Command("queryend window=" + HandleText(hwnd) + " value=0").value, 1);
    ASSERT_TRUE(e2e::SendWithTimeout(hwnd, WM_QUERYENDSESSION, 0, 0, &answer));
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(fixture.MessageCount(hwnd, "queryendsession"), 2);

    ASSERT_TRUE(e2e::SendWithTimeout(hwnd, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, &answer));
    EXPECT_EQ(fixture.Command("query window=" + HandleText(hwnd) + " msg=endsession").text,
              "count=1 wparam=0x00000001 lparam=0x80000000");
    ASSERT_TRUE(e2e::SendWithTimeout(hwnd, WM_POWERBROADCAST, PBT_APMSUSPEND, 0, &answer));
    EXPECT_EQ(answer, TRUE);
    EXPECT_EQ(fixture.Command("query window=" + HandleText(hwnd) + " msg=powerbroadcast").text,
              "count=1 wparam=0x00000004 lparam=0x00000000");
    ASSERT_TRUE(e2e::SendWithTimeout(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0, &answer));
    EXPECT_EQ(fixture.MessageCount(hwnd, "syscommand"), 1);
    EXPECT_TRUE(IsIconic(hwnd));
    EXPECT_EQ(fixture.MessageCount(hwnd, "close"), 0);

    fixture.Command("clear window=" + HandleText(hwnd));
    EXPECT_EQ(fixture.MessageCount(hwnd, "syscommand"), 0);
}

TEST_F(FixtureTest, CloseDestroysUnlessIgnoredAndRecordsOutliveTheWindow) {
    ASSERT_TRUE(fixture.Start());
    HWND closing = fixture.Create("title=Closing x=900 y=200 w=200 h=100");
    HWND stubborn = fixture.Create("title=Stubborn close=ignore x=900 y=350 w=200 h=100");
    ASSERT_TRUE(IsWindow(closing) && IsWindow(stubborn));
    ASSERT_TRUE(e2e::SendWithTimeout(closing, WM_CLOSE, 0, 0, nullptr));
    ASSERT_TRUE(e2e::SendWithTimeout(stubborn, WM_CLOSE, 0, 0, nullptr));
    EXPECT_FALSE(IsWindow(closing));
    EXPECT_TRUE(IsWindow(stubborn));
    EXPECT_EQ(fixture.MessageCount(closing, "close"), 1);
    EXPECT_EQ(fixture.MessageCount(stubborn, "WM_CLOSE"), 1);
}

TEST_F(FixtureTest, ManyCreatesNumberedWindowsOfTheFixture) {
    ASSERT_TRUE(fixture.Start());
    const FixtureClient::Reply many = fixture.Command("many 40 bulk");
    ASSERT_EQ(many.value, 40) << many.text;
    int numbered = 0;
    for (HWND hwnd : e2e::TopLevelWindowsOf(fixture.Pid())) {
        const std::string title = TitleOf(hwnd);
        if (title.compare(0, 4, "bulk") == 0 && IsWindowVisible(hwnd)) {
            const int index = std::atoi(title.c_str() + 4);
            EXPECT_EQ(title, "bulk" + std::to_string(index));
            EXPECT_TRUE(index >= 0 && index < 40) << title;
            ++numbered;
        }
    }
    EXPECT_EQ(numbered, 40);
    EXPECT_EQ(fixture.Command("many count=3 prefix=more show=hidden").value, 3);
    EXPECT_TRUE(FindWindowA("QuorvelFixtureWindow", "more2"));
    EXPECT_FALSE(IsWindowVisible(FindWindowA("QuorvelFixtureWindow", "more2")));
}

TEST_F(FixtureTest, BadCommandsAreRefusedWithAnError) {
    ASSERT_TRUE(fixture.Start());
    for (const char* bad : {"frobnicate", "create title=\"open quote", "create style=WS_NOTHING",
                            "destroy", "query window=0x1 msg=nosuchmessage", "find name=nobody",
                            "region window=0x1 rect=1,2,3"}) {
        const FixtureClient::Reply reply = fixture.Command(bad);
        EXPECT_TRUE(reply.answered) << bad;
        EXPECT_EQ(reply.value, 0) << bad;
        EXPECT_EQ(reply.text.compare(0, 6, "error:"), 0) << bad << " -> " << reply.text;
    }
}

TEST_F(FixtureTest, ControlWindowClosesTheFixture) {
    ASSERT_TRUE(fixture.Start("create title=Bye"));
    ASSERT_TRUE(IsWindow(fixture.Control()));
    EXPECT_FALSE(IsWindowVisible(fixture.Control()));
    PostMessageA(fixture.Control(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(fixture.Process().WaitForExit(5000));
}

}  // namespace
