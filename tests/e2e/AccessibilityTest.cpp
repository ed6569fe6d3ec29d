// The accessibility view against the fixture's drawn-buttons window (its own IAccessible), a
// slow one, Wine's Notepad, and on the 64-bit desktop a 64-bit program the system refuses.
#include "E2eDriver.h"
#include "E2eSuite.h"
#include "RemoteTreeView.h"
#include "res/resource.h"

#include <oleacc.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using e2e::HandleText;
using e2e::WaitUntil;

std::wstring Role(DWORD role) {
    wchar_t text[128] = {};
    GetRoleTextW(role, text, 128);
    return text;
}

std::wstring Item(DWORD role, const std::wstring& name) { return Role(role) + L" \"" + name + L"\""; }

std::string Narrow(const std::wstring& text) {
    char buffer[512] = {};
    WideCharToMultiByte(932, 0, text.c_str(), -1, buffer, sizeof buffer - 1, nullptr, nullptr);
    return buffer;
}

int ThreadsOf(DWORD pid) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    int count = 0;
    THREADENTRY32 entry{sizeof entry};
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == pid) ++count;
    CloseHandle(snapshot);
    return count;
}

class AccessibilityE2eTest : public e2e::E2eSuite {
protected:
    // Opens the view with the button (none: opened already) on the target; the view once shown.
    HWND OpenView(HWND target, HWND button) {
        if (button) {
            EXPECT_TRUE(e2e::PressButton(button));
        }
        return e2e::WaitForShownDialog(quorvel.Pid(), "アクセシビリティ (" + HandleText(target) + ")");
    }
    // Quorvel started, the window its target, and its view opened from the main dialog.
    HWND StartAndOpenView(HWND window) {
        StartQuorvel();
        ClickRow(window);
        return HasFatalFailure() ? nullptr : OpenView(window, GetDlgItem(dialog, IDC_MAIN_ACCESSIBILITY));
    }
    HWND Accessible(const std::string& options) { return reinterpret_cast<HWND>(fixture.Command("accessible " + options).value); }
    // An object's location row for the rectangle in the window's client coordinates.
    static std::string Location(HWND window, int x, int y, int w, int h) {
        POINT at{x, y};
        ClientToScreen(window, &at);
        return "x=" + std::to_string(at.x) + " y=" + std::to_string(at.y) + " w=" + std::to_string(w) + " h=" + std::to_string(h);
    }
    // The value of the list's row named item, "" when there is none.
    static std::string Value(const e2e::RemoteListView& list, const std::string& item) {
        const int row = list.FindRow(0, item);
        return row < 0 ? "" : list.ItemText(row, 1);
    }
    static std::string Status(HWND view) { return e2e::WindowText(GetDlgItem(view, IDC_AC_STATUS)); }
    static bool StartsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }
    // Whether the view has taken every message posted to it so far.
    static bool Settled(HWND view) {
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(view, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) != 0;
    }
    // Whether Quorvel's outline frame shows around the screen rectangle.
    bool OutlineAt(const RECT& rect) {
        for (HWND window : e2e::TopLevelWindowsOf(quorvel.Pid())) {
            char name[64] = {};
            RECT at{};
            if (GetClassNameA(window, name, sizeof name) && std::string(name) == "QuorvelFinderFrame" &&
                IsWindowVisible(window) && GetWindowRect(window, &at) && EqualRect(&at, &rect))
                return true;
        }
        return false;
    }
    // The pick key with the view in front and the pointer at a client point of the window.
    static bool PickAt(HWND view, HWND window, POINT client) {
        SetForegroundWindow(view);
        if (!WaitUntil([&] { return GetForegroundWindow() == view; }, 2000)) return false;
        ClientToScreen(window, &client);
        return e2e::MouseMoveTo(client) && e2e::PressKeys({VK_CONTROL, VK_MENU, 'F'});
    }
};

TEST_F(AccessibilityE2eTest, DrawnButtonsAreNamedNestedActedOnAndKeptSelectedAcrossRefresh) {
    const HWND window = Accessible("title=ボタンの窓 x=800 y=300");
    ASSERT_NE(window, nullptr);
    const HWND view = StartAndOpenView(window);
    ASSERT_NE(view, nullptr);

    // The client object, opened at once with its four children; the group opens when asked.
    e2e::RemoteTreeView tree(GetDlgItem(view, IDC_AC_TREE));
    ASSERT_TRUE(tree.Valid());
    const std::vector<std::wstring> top{Item(ROLE_SYSTEM_PUSHBUTTON, L"再生"), Item(ROLE_SYSTEM_PUSHBUTTON, L"停止"),
                                        Item(ROLE_SYSTEM_GROUPING, L"音量"),
                                        Item(ROLE_SYSTEM_STATICTEXT, L"Status: ready")};
    ASSERT_TRUE(WaitUntil([&] { return tree.ChildTexts(tree.Root()) == top; }, 5000));
    EXPECT_EQ(tree.Text(tree.Root()), Item(ROLE_SYSTEM_CLIENT, L"ボタンの窓"));
    const HTREEITEM group = tree.FindChild(tree.Root(), top[2]);
    EXPECT_TRUE(tree.Children(group).empty()) << "read before the branch was opened";
    ASSERT_TRUE(tree.Expand(group));
    const std::vector<std::wstring> inner{Item(ROLE_SYSTEM_SLIDER, L"音量"), Item(ROLE_SYSTEM_CHECKBUTTON, L"ミュート")};
    ASSERT_TRUE(WaitUntil([&] { return tree.ChildTexts(group) == inner; }, 5000));

    // The check box's rows, its location in screen pixels, its window.
    ASSERT_TRUE(tree.Select(tree.FindChild(group, inner[1])));
    e2e::RemoteListView list(GetDlgItem(view, IDC_AC_LIST));
    ASSERT_TRUE(WaitUntil([&] { return Value(list, "名前") == "ミュート"; }, 5000));
    const std::string location = Location(window, 160, 70, 60, 30);
    EXPECT_EQ(Value(list, "役割"), Narrow(Role(ROLE_SYSTEM_CHECKBUTTON)));
    EXPECT_EQ(Value(list, "状態"), "0x00100000 フォーカス可");
    EXPECT_EQ(Value(list, "既定の操作"), "切り替え");
    EXPECT_EQ(Value(list, "位置"), location);
    EXPECT_EQ(Value(list, "子の数"), "0");
    EXPECT_EQ(Value(list, "ウィンドウ"), HandleText(window));

    // The default action happens in the fixture, and the new state shows.
    ASSERT_TRUE(e2e::PressButton(GetDlgItem(view, IDC_AC_DEFAULTACTION)));
    EXPECT_TRUE(WaitUntil([&] { return fixture.Command("accessible done=" + HandleText(window)).value == 1; }, 5000));
    EXPECT_EQ(fixture.Command("accessible done=" + HandleText(window)).text, "count=1 last=ミュート");
    EXPECT_TRUE(WaitUntil([&] { return Value(list, "状態") == "0x00100010 チェック フォーカス可"; }, 5000))
        << Value(list, "状態");

    // Outlined on the screen, for two seconds.
    RECT outline{160, 70, 220, 100};
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&outline), 2);
    EXPECT_TRUE(WaitUntil([&] { return OutlineAt(outline); }, 2000));
    EXPECT_TRUE(WaitUntil([&] { return !OutlineAt(outline); }, 3500));

    // Picked by pointing: a button of the client object, then the slider inside the group.
    ASSERT_TRUE(PickAt(view, window, POINT{40, 25}));
    EXPECT_TRUE(WaitUntil([&] { return tree.Text(tree.Selected()) == top[0]; }, 5000)) << Narrow(tree.Text(tree.Selected()));
    ASSERT_TRUE(PickAt(view, window, POINT{50, 85}));
    EXPECT_TRUE(WaitUntil([&] { return tree.Text(tree.Selected()) == inner[0]; }, 5000)) << Narrow(tree.Text(tree.Selected()));
    EXPECT_TRUE(WaitUntil([&] { return Value(list, "値") == "75"; }, 5000));
    ASSERT_TRUE(tree.Select(tree.FindChild(group, inner[1])));
    ASSERT_TRUE(WaitUntil([&] { return Value(list, "名前") == "ミュート"; }, 5000));

    // Moved, then read again: the check box is selected still, at its new place.
    ASSERT_TRUE(SetWindowPos(window, nullptr, 900, 260, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
    const std::string moved = Location(window, 160, 70, 60, 30);
    ASSERT_NE(moved, location);
    ASSERT_TRUE(e2e::PressButton(GetDlgItem(view, IDC_AC_REFRESH)));
    EXPECT_TRUE(WaitUntil([&] { return Value(list, "位置") == moved; }, 5000)) << Value(list, "位置");
    EXPECT_EQ(tree.Text(tree.Selected()), inner[1]);
    EXPECT_EQ(tree.Text(tree.Parent(tree.Selected())), top[2]);

    // Ctrl+C copies the selected row.
    ASSERT_TRUE(list.ClickRow(list.FindRow(0, "名前")));
    ASSERT_TRUE(e2e::PressKeys({VK_CONTROL, 'C'}));
    EXPECT_TRUE(WaitUntil([&] { return e2e::ClipboardText() == L"名前\tミュート\r\n"; }, 3000)) << Narrow(e2e::ClipboardText());
    // The list's menu: すべてコピー every row as shown, コピー the selected one.
    const HWND listWindow = GetDlgItem(view, IDC_AC_LIST);
    std::vector<int> every(static_cast<size_t>(list.ItemCount()));
    for (size_t i = 0; i < every.size(); ++i) every[i] = static_cast<int>(i);
    ASSERT_TRUE(e2e::ChooseMenuItem(quorvel.Pid(), view, listWindow, 1));
    EXPECT_TRUE(WaitUntil([&] { return e2e::Cp932(e2e::ClipboardText()) == e2e::RowsText(list, every, 2); }, 3000))
        << Narrow(e2e::ClipboardText());
    ASSERT_TRUE(e2e::ChooseMenuItem(quorvel.Pid(), view, listWindow, 0));
    EXPECT_TRUE(WaitUntil([&] { return e2e::ClipboardText() == L"名前\tミュート\r\n"; }, 3000)) << Narrow(e2e::ClipboardText());
    // The tree's: Ctrl+C and コピー the selected item, すべてコピー every item shown, each level two
    // spaces further in.
    ASSERT_TRUE(tree.Click(tree.Selected()));
    ASSERT_TRUE(e2e::PressKeys({VK_CONTROL, 'C'}));
    EXPECT_TRUE(WaitUntil([&] { return e2e::ClipboardText() == inner[1] + L"\r\n"; }, 3000)) << Narrow(e2e::ClipboardText());
    const HWND treeWindow = GetDlgItem(view, IDC_AC_TREE);
    ASSERT_TRUE(e2e::ChooseMenuItem(quorvel.Pid(), view, treeWindow, 1));
    std::wstring shown = tree.Text(tree.Root()) + L"\r\n";
    for (const std::wstring& item : top) {
        shown += L"  " + item + L"\r\n";
        if (item == top[2])
            for (const std::wstring& child : inner) shown += L"    " + child + L"\r\n";
    }
    EXPECT_TRUE(WaitUntil([&] { return e2e::ClipboardText() == shown; }, 3000)) << Narrow(e2e::ClipboardText());
    ASSERT_TRUE(e2e::ChooseMenuItem(quorvel.Pid(), view, treeWindow, 0));
    EXPECT_TRUE(WaitUntil([&] { return e2e::ClipboardText() == inner[1] + L"\r\n"; }, 3000)) << Narrow(e2e::ClipboardText());

    // Over another window, the pick key opens that window's view and selects there.
    const HWND other = Accessible("title=別の窓 x=800 y=560");
    ASSERT_NE(other, nullptr);
    // Views open where the screen has room, which may be over it: the pick needs it on top.
    ASSERT_TRUE(SetWindowPos(other, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE));
    ASSERT_TRUE(PickAt(view, other, POINT{170, 25}));
    const HWND otherView = OpenView(other, nullptr);
    ASSERT_NE(otherView, nullptr);
    e2e::RemoteTreeView otherTree(GetDlgItem(otherView, IDC_AC_TREE));
    EXPECT_TRUE(WaitUntil([&] { return otherTree.Text(otherTree.Selected()) == top[1]; }, 5000))
        << Narrow(otherTree.Text(otherTree.Selected()));
}

TEST_F(AccessibilityE2eTest, ASlowObjectSaysNoAnswerQuorvelTakesClicksAndClosingDoesNotWait) {
    const HWND window = Accessible("title=遅い窓 x=700 y=300 slow=4000");
    ASSERT_NE(window, nullptr);
    ASSERT_NO_FATAL_FAILURE(StartQuorvel());
    ASSERT_NO_FATAL_FAILURE(ClickRow(window));
    // From the inspector, with no child selected: the inspected window's view.
    const HWND inspector = OpenInspector(window);
    ASSERT_NE(inspector, nullptr);
    const int threads = ThreadsOf(quorvel.Pid());
    const HWND view = OpenView(window, GetDlgItem(inspector, IDC_CI_ACCESSIBILITY));
    ASSERT_NE(view, nullptr);
    // "応答なし" and since when, once a call has gone a second without an answer.
    EXPECT_TRUE(WaitUntil([&] { return StartsWith(Status(view), "応答なし: プログラムが "); }, 3000)) << Status(view);
    EXPECT_NE(Status(view).find(" から応答しません"), std::string::npos) << Status(view);
    e2e::RemoteTreeView tree(GetDlgItem(view, IDC_AC_TREE));
    EXPECT_EQ(tree.Text(tree.Root()), L"応答なし");
    const int stuck = ThreadsOf(quorvel.Pid());
    EXPECT_GT(stuck, threads) << "no thread of its own calls the object";
    EXPECT_TRUE(e2e::ClickFlipsCheckBox(GetDlgItem(dialog, IDC_MAIN_WITHTITLE), 1000)) << "no click taken within 1 s";

    // 更新 twenty times while the program has not answered: no second reader, no second question.
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(e2e::PressButton(GetDlgItem(view, IDC_AC_REFRESH)));
    ASSERT_TRUE(Settled(view));
    EXPECT_LE(ThreadsOf(quorvel.Pid()), stuck);
    EXPECT_TRUE(StartsWith(Status(view), "応答なし")) << Status(view);

    // The view offers to give up waiting; a given-up reader is the only thread on the program,
    // also for a view closed and opened again while its call hangs.
    const HWND giveUp = GetDlgItem(view, IDC_AC_GIVEUP);
    ASSERT_TRUE(IsWindowVisible(giveUp));
    ASSERT_TRUE(e2e::PressButton(giveUp));
    EXPECT_TRUE(WaitUntil([&] { return StartsWith(Status(view), "待つのをやめました (プログラムは "); }, 2000)) << Status(view);
    EXPECT_FALSE(IsWindowVisible(giveUp));
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(e2e::PressButton(GetDlgItem(view, IDC_AC_REFRESH)));
    ASSERT_TRUE(Settled(view));
    EXPECT_LE(ThreadsOf(quorvel.Pid()), stuck);

    const DWORD before = GetTickCount();
    ASSERT_TRUE(PostMessageA(view, WM_COMMAND, IDCANCEL, 0));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(view); }, 1000)) << "closing waited for the object";
    EXPECT_LT(GetTickCount() - before, 1500u);
    EXPECT_TRUE(e2e::ClickFlipsCheckBox(GetDlgItem(dialog, IDC_MAIN_WITHTITLE), 1000));
    // The reader's thread ends once the object's call returns.
    EXPECT_TRUE(WaitUntil([&] { return ThreadsOf(quorvel.Pid()) <= threads; }, 10000))
        << ThreadsOf(quorvel.Pid()) << " threads, " << threads << " before";
    // Closed, the view answers no click another program posts it: 更新 starts no reader.
    const HWND refresh = GetDlgItem(view, IDC_AC_REFRESH);
    ASSERT_TRUE(PostMessageA(view, WM_COMMAND, MAKEWPARAM(IDC_AC_REFRESH, BN_CLICKED), reinterpret_cast<LPARAM>(refresh)));
    EXPECT_TRUE(e2e::ClickFlipsCheckBox(GetDlgItem(dialog, IDC_MAIN_WITHTITLE), 1000));  // after the posted click
    EXPECT_LE(ThreadsOf(quorvel.Pid()), threads);

    // Nor does ending Quorvel while a call hangs.
    ASSERT_NE(OpenView(window, GetDlgItem(dialog, IDC_MAIN_ACCESSIBILITY)), nullptr);
    EXPECT_TRUE(WaitUntil([&] { return ThreadsOf(quorvel.Pid()) > threads; }, 2000));
    EXPECT_TRUE(quorvel.Close(2000)) << "Quorvel waited for the object at its end";
}

// What another program says is input: a child count it cannot back and a name of 5000
// characters with line breaks are read as far as the view's bounds.
TEST_F(AccessibilityE2eTest, ALyingObjectIsReadWithinBounds) {
    const HWND window = Accessible("title=嘘の窓 x=800 y=300 lies=1");
    ASSERT_NE(window, nullptr);
    const HWND view = StartAndOpenView(window);
    ASSERT_NE(view, nullptr);
    // The first children show at once, and the rest come while Quorvel takes clicks.
    e2e::RemoteTreeView tree(GetDlgItem(view, IDC_AC_TREE));
    EXPECT_TRUE(WaitUntil([&] { return tree.Children(tree.Root()).size() >= 50; }, 20000));
    e2e::RemoteListView list(GetDlgItem(view, IDC_AC_LIST));
    EXPECT_TRUE(WaitUntil([&] { return Value(list, "名前") == "嘘の窓"; }, 3000)) << "the root's rows wait for its children";
    // An item selected while the branch fills shows its rows without waiting for the rest.
    ASSERT_TRUE(tree.Select(tree.Children(tree.Root())[0]));
    EXPECT_TRUE(WaitUntil([&] { return Value(list, "名前") == "再生"; }, 5000));
    EXPECT_TRUE(e2e::ClickFlipsCheckBox(GetDlgItem(dialog, IDC_MAIN_WITHTITLE), 1000));
    EXPECT_TRUE(WaitUntil([&] { return Status(view) == "子が多すぎるため最初の 2000 個だけを表示します"; }, 60000)) << Status(view);
    const std::vector<HTREEITEM> children = tree.Children(tree.Root());
    ASSERT_EQ(children.size(), 2000u);
    const std::wstring name = tree.Text(children[3]);
    const std::wstring role = Role(ROLE_SYSTEM_STATICTEXT);
    // 1024 characters read, their line break shown escaped: one line still.
    EXPECT_EQ(name.size(), role.size() + 2 + 1024 + 2 + 1);
    EXPECT_EQ(name.find_first_of(L"\r\n"), std::wstring::npos);
    EXPECT_NE(name.find(L"x\\r\\ny"), std::wstring::npos);
    EXPECT_EQ(name.substr(0, role.size() + 4), role + L" \"xx");
    EXPECT_EQ(tree.Text(children[1999]), L" \"\"") << "a child that answers nothing";
}

TEST_F(AccessibilityE2eTest, NotepadsClientObjectIsReadWithItsChildren) {
    e2e::ChildProcess notepad;
    ASSERT_TRUE(notepad.Start("notepad.exe", {}));
    const HWND window = e2e::WaitForTopLevelWindow(notepad.Pid(), "Notepad", nullptr, 10000);
    ASSERT_NE(window, nullptr);
    const HWND view = StartAndOpenView(window);
    ASSERT_NE(view, nullptr);
    e2e::RemoteTreeView tree(GetDlgItem(view, IDC_AC_TREE));
    ASSERT_TRUE(WaitUntil([&] { return tree.Children(tree.Root()).size() == 2; }, 5000));
    EXPECT_EQ(tree.Text(tree.Root()).rfind(Role(ROLE_SYSTEM_CLIENT) + L" \"", 0), 0u);
    e2e::RemoteListView list(GetDlgItem(view, IDC_AC_LIST));
    RECT client{};
    GetClientRect(window, &client);
    const std::string location = Location(window, 0, 0, client.right, client.bottom);
    EXPECT_TRUE(WaitUntil([&] { return Value(list, "位置") == location; }, 5000)) << Value(list, "位置");
    EXPECT_EQ(Value(list, "子の数"), "2");

    // The inspector's button with its edit control selected: the edit's own view.
    const HWND edit = FindWindowExA(window, nullptr, "Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    const HWND inspector = OpenInspector(window);
    ASSERT_NE(inspector, nullptr);
    e2e::RemoteListView children(GetDlgItem(inspector, IDC_CI_LIST));
    ASSERT_TRUE(WaitUntil([&] { return children.FindRow(0, HandleText(edit)) >= 0; }, 5000));
    const int editRow = children.FindRow(0, HandleText(edit));
    ASSERT_TRUE(children.ClickRow(editRow));
    // The click was taken once the inspector shows the edit's style word.
    char style[16];
    snprintf(style, sizeof style, "0x%08lx", static_cast<unsigned long>(GetWindowLongA(edit, GWL_STYLE)));
    ASSERT_TRUE(WaitUntil([&] { return e2e::WindowText(GetDlgItem(inspector, IDC_CI_STYLE)) == style; }, 3000));
    const HWND editView = OpenView(edit, GetDlgItem(inspector, IDC_CI_ACCESSIBILITY));
    ASSERT_NE(editView, nullptr);
    e2e::RemoteTreeView editTree(GetDlgItem(editView, IDC_AC_TREE));
    EXPECT_TRUE(WaitUntil([&] { return editTree.Text(editTree.Root()).rfind(Role(ROLE_SYSTEM_TEXT), 0) == 0; }, 5000))
        << Narrow(editTree.Text(editTree.Root()));
    notepad.Terminate();
}

// On the 64-bit desktop only: the 64-bit build of the fixture answers WM_GETOBJECT with its own
// object, which this Wine cannot hand to a 32-bit program (Windows can).
TEST_F(AccessibilityE2eTest, A64BitProgramsRefusedObjectsAreSaidPlainly) {
    BOOL wow64 = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &wow64) || !wow64) GTEST_SKIP() << "not on a 64-bit desktop";
    std::string fixture64 = e2e::QuorvelExePath();
    fixture64.replace(fixture64.size() - std::string("Quorvel.exe").size(), std::string::npos, "x64\\QuorvelFixture.exe");
    e2e::ChildProcess program;
    ASSERT_TRUE(program.Start(fixture64, {}, "", "accessible x=800 y=300")) << fixture64;
    const HWND window = e2e::WaitForTopLevelWindow(program.Pid(), "QuorvelAccessibleWindow", nullptr, 10000);
    ASSERT_NE(window, nullptr);
    const HWND view = StartAndOpenView(window);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return Status(view) == "システムがこのウィンドウのオブジェクトを渡しません (0x80004002)"; }, 5000))
        << Status(view);
    EXPECT_EQ(e2e::RemoteTreeView(GetDlgItem(view, IDC_AC_TREE)).Root(), nullptr);
    program.Terminate();
}

}  // namespace
