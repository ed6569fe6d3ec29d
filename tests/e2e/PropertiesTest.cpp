// The properties view of the real program against the fixture's windows of known properties:
// a top-level window, its child (through a double-click on a relation row) and the pop-up it
// owns; a hung window's view opening at once. On the 64-bit desktop the fixture is the 64-bit
// build: what 32-bit Quorvel reads of it from outside, and what its 64-bit helper reads inside.
#include "E2eDriver.h"
#include "E2eSuite.h"
#include "RemoteTreeView.h"
#include "res/resource.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <map>
#include <string>

namespace {

using e2e::HandleText;
using Items = std::map<std::string, std::string>;

class PropertiesE2eTest : public e2e::E2eSuite {
protected:
    struct PropsWindows {
        HWND window, child, popup;
    };
    // The fixture's window of known properties, its child and the pop-up it owns.
    PropsWindows CreatePropsWindows() {
        const HWND window = reinterpret_cast<HWND>(fixture.Command("propwin title=\"props window\" x=700 y=80").value);
        return PropsWindows{window, GetWindow(window, GW_CHILD), FindWindowA("QuorvelPropsWindow", "props popup")};
    }
    // The view of the window once it shows, or null.
    HWND WaitForView(HWND viewed, DWORD timeoutMs = 5000) {
        return e2e::WaitForShownDialog(quorvel.Pid(), "プロパティ (" + e2e::HandleText(viewed) + ")", timeoutMs);
    }
    HWND OpenFromMainList(HWND target) {
        ClickRow(target);
        if (!e2e::PressButton(GetDlgItem(dialog, IDC_MAIN_PROPERTIES))) return nullptr;
        return WaitForView(target);
    }
    // Every row as item -> value, once the procedure row no longer says it is being read.
    Items ReadItems(HWND view) {
        Items items;
        e2e::RemoteListView list(GetDlgItem(view, IDC_PR_LIST));
        e2e::WaitUntil([&] {
            items.clear();
            for (const auto& row : list.Rows(2)) items[row[0]] = row[1];
            return items.count("ウィンドウプロシージャ") && items["ウィンドウプロシージャ"] != "読み取り中…";
        }, 5000);
        return items;
    }
    // A double-click on the row, posted to the list as the mouse would send it.
    void DoubleClickRow(HWND listWindow, int column, const std::string& text) {
        e2e::RemoteListView list(listWindow);
        const int row = list.FindRow(column, text);
        ASSERT_GE(row, 0) << "no row " << text;
        ASSERT_TRUE(list.EnsureVisible(row));
        RECT rect{};
        ASSERT_TRUE(list.ItemRect(row, &rect));
        const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        PostMessageA(listWindow, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(listWindow, WM_LBUTTONUP, 0, at);
        PostMessageA(listWindow, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        PostMessageA(listWindow, WM_LBUTTONUP, 0, at);
    }
    // Closes the view as its close box does, and waits until it is hidden.
    bool CloseView(HWND view) {
        PostMessageA(view, WM_COMMAND, IDCANCEL, 0);
        return e2e::WaitUntil([&] { return !IsWindowVisible(view); }, 3000);
    }
    static std::string Dump(const Items& items) {
        std::string text;
        for (const auto& item : items) text += item.first + " = " + item.second + "\n";
        return text;
    }
};


TEST_F(PropertiesE2eTest, TopLevelChildAndOwnedPopupShowEveryItem) {
    BOOL desktop64 = FALSE;  // there the fixture is the 64-bit build
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &desktop64));
    const PropsWindows made = CreatePropsWindows();
    ASSERT_TRUE(made.window && made.child && made.popup);
    ASSERT_NO_FATAL_FAILURE(StartQuorvel());
    HWND view = OpenFromMainList(made.window);
    ASSERT_NE(view, nullptr);
    Items items = ReadItems(view);
    SCOPED_TRACE(Dump(items));
    EXPECT_EQ(items["ハンドル"], HandleText(made.window));
    EXPECT_EQ(items["テキスト"], "props window");
    EXPECT_EQ(items["クラス名"], "QuorvelPropsWindow");
    EXPECT_EQ(items["クラススタイル"], "0x0000020a CS_HREDRAW | CS_DBLCLKS | CS_NOCLOSE");
    EXPECT_EQ(items["クラスの追加バイト"], "8: 0x11223344 0x55667788");
    EXPECT_EQ(items["ウィンドウの追加バイト"], "12: 0xa1b2c3d4 0x0badf00d 0x12345678");
    EXPECT_EQ(items["ユーザーデータ"], "0x13572468");
    EXPECT_EQ(items["背景ブラシ"], "0x00000010 (COLOR_BTNFACE + 1)");
    // Read inside the program (a 64-bit one through the 64-bit helper and hook): in its modules.
    EXPECT_NE(items["ウィンドウプロシージャ"].find("(QuorvelFixture.exe+0x"), std::string::npos);
    EXPECT_NE(items["ウィンドウプロシージャ"].find("ANSI  サブクラス化"), std::string::npos);
    EXPECT_NE(items["クラスプロシージャ"].find("(QuorvelFixture.exe+0x"), std::string::npos);
    EXPECT_NE(items["インスタンス"].find("(QuorvelFixture.exe+0x0)"), std::string::npos);
    EXPECT_EQ(items["プロパティ QuorvelFixtureProp"], "0x00001234");
    EXPECT_EQ(items["プロパティ #0x0042"], "0x00005678");
    EXPECT_EQ(items["親"], "なし");
    EXPECT_EQ(items["所有者"], "なし");
    EXPECT_EQ(items["最初の子"], HandleText(made.child) + " \"props child\" Static");
    EXPECT_EQ(items["ビット数"], desktop64 ? "64 ビット" : "32 ビット");
    EXPECT_NE(items["プロセス"].find("QuorvelFixture.exe (" + std::to_string(fixture.Pid()) + ")"), std::string::npos);
    EXPECT_NE(items["パス"].find("QuorvelFixture.exe"), std::string::npos);
    EXPECT_NE(items["コマンドライン"].find("QuorvelFixture.exe"), std::string::npos);
    for (const char* named : {"ウィンドウの四角形", "クライアントの四角形", "ID", "アイコン", "カーソル", "背景ブラシ",
                              "ルート所有者", "次のウィンドウ", "前のウィンドウ", "整合性レベル", "スレッドID", "DPI 認識", "DPI", "クローク"})
        EXPECT_FALSE(items[named].empty()) << named;

    // Asking again brings the same view back.
    ASSERT_TRUE(e2e::PressButton(GetDlgItem(dialog, IDC_MAIN_PROPERTIES)));
    EXPECT_EQ(WaitForView(made.window), view);
    Sleep(300);
    EXPECT_EQ(e2e::FindTopLevelWindow(quorvel.Pid(), "#32770", ("プロパティ (" + HandleText(made.window) + ")").c_str()), view);

    // Ctrl+C copies the clicked row as "項目<TAB>値".
    e2e::RemoteListView list(GetDlgItem(view, IDC_PR_LIST));
    ASSERT_TRUE(list.ClickRow(list.FindRow(0, "クラス名")));
    ASSERT_TRUE(e2e::PressKeys({VK_CONTROL, 'C'}));
    EXPECT_TRUE(e2e::WaitUntil([] { return e2e::ClipboardText() == L"\u30af\u30e9\u30b9\u540d\tQuorvelPropsWindow\r\n"; }, 3000))
        << "clipboard: " << e2e::ClipboardText().size() << " characters";

    // The child, through its relation row; its id and parent.
    DoubleClickRow(GetDlgItem(view, IDC_PR_LIST), 0, "最初の子");
    HWND childView = WaitForView(made.child);
    ASSERT_NE(childView, nullptr) << "a double-click on 最初の子 opened no view";
    Items child = ReadItems(childView);
    SCOPED_TRACE(Dump(child));
    EXPECT_EQ(child["ID"], "321 (0x00000141)");
    const std::string window = HandleText(made.window) + " \"props window\" QuorvelPropsWindow";
    EXPECT_EQ(child["親"], window);
    EXPECT_EQ(child["クラス名"], "Static");

    // The owned pop-up: its owner and root owner.
    HWND popupView = OpenFromMainList(made.popup);
    ASSERT_NE(popupView, nullptr);
    Items popup = ReadItems(popupView);
    SCOPED_TRACE(Dump(popup));
    EXPECT_EQ(popup["所有者"], window);
    EXPECT_EQ(popup["ルート所有者"], window);
    EXPECT_EQ(popup["テキスト"], "props popup");

    // The inspector: its button opens the inspected window's view with no child selected, the
    // selected child's otherwise; a double-click on its list opens the row's.
    ASSERT_TRUE(CloseView(view) && CloseView(childView));
    ASSERT_NO_FATAL_FAILURE(ClickRow(made.window));
    HWND inspector = OpenInspector(made.window);
    ASSERT_NE(inspector, nullptr);
    ASSERT_TRUE(e2e::PressButton(GetDlgItem(inspector, IDC_CI_PROPERTIES)));
    EXPECT_NE(WaitForView(made.window), nullptr) << "no view of the inspected window";
    HWND inspectorList = GetDlgItem(inspector, IDC_CI_LIST);
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::RemoteListView(inspectorList).FindRow(0, HandleText(made.child)) >= 0; }, 3000));
    DoubleClickRow(inspectorList, 0, HandleText(made.child));
    EXPECT_NE(WaitForView(made.child), nullptr) << "a double-click on the inspector's row opened no view";
}

TEST_F(PropertiesE2eTest, HungWindowsViewOpensAtOnceAndSaysWhyItsProceduresAreNotRead) {
    HWND target = fixture.Create("title=\"Hung props\" x=900 y=600 w=200 h=120 show=noactivate thread=stuck");
    ASSERT_TRUE(IsWindow(target));
    ASSERT_NO_FATAL_FAILURE(StartQuorvel());
    ASSERT_NO_FATAL_FAILURE(ClickRow(target));
    ASSERT_EQ(fixture.Command("hang window=" + HandleText(target) + " ms=forever").value, 1);
    ASSERT_TRUE(e2e::PressButton(GetDlgItem(dialog, IDC_MAIN_PROPERTIES)));
    HWND view = WaitForView(target);
    ASSERT_NE(view, nullptr);
    // Quorvel takes real input again while the probe waits for the hung thread.
    EXPECT_TRUE(e2e::ClickFlipsCheckBox(GetDlgItem(dialog, IDC_MAIN_WITHTITLE), 1000));
    Items items = ReadItems(view);
    SCOPED_TRACE(Dump(items));
    EXPECT_EQ(items["テキスト"], "Hung props");
    EXPECT_EQ(items["クラス名"], "QuorvelFixtureWindow");
    EXPECT_EQ(items["ウィンドウプロシージャ"], "プログラムが応答しないため読めません");
    EXPECT_EQ(items["クラスプロシージャ"], "プログラムが応答しないため読めません");
    // What this program cannot read from outside is not "なし".
    for (const char* handle : {"アイコン", "カーソル", "背景ブラシ"})
        EXPECT_NE(items[handle], "なし") << handle;
    // 更新 reads again, also without waiting.
    ASSERT_TRUE(e2e::PressButton(GetDlgItem(view, IDC_PR_REFRESH)));
    EXPECT_TRUE(e2e::ClickFlipsCheckBox(GetDlgItem(dialog, IDC_MAIN_WITHTITLE), 1000));
    fixture.Command("resume window=" + HandleText(target));
}

// A program whose name code page 932 cannot hold keeps its name whole in the window list's row,
// the properties' process row (and in what is copied of them) and the tree's item; a hung window's class handles say they could not be read.
TEST_F(PropertiesE2eTest, AProcessNamedOutsideTheCodePageKeepsItsName) {
    wchar_t folder[MAX_PATH] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH, folder), 0u);
    const std::wstring name = L"Caf\u00e9\u63a2\u67fb.exe";
    const std::wstring path = std::wstring(folder) + name;
    const std::string fixturePath = e2e::FixtureExePath();
    wchar_t fixtureWide[MAX_PATH] = {};
    ASSERT_GT(MultiByteToWideChar(CP_ACP, 0, fixturePath.c_str(), -1, fixtureWide, MAX_PATH), 0);
    ASSERT_TRUE(CopyFileW(fixtureWide, path.c_str(), FALSE));
    std::wstring commandLine = L"\"" + path + L"\" propwin title=unicode x=700 y=80";
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION started{};
    ASSERT_TRUE(CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started));
    CloseHandle(started.hThread);
    const HWND window = e2e::WaitForTopLevelWindow(started.dwProcessId, "QuorvelPropsWindow", "unicode", 10000);
    if (window) {
        StartQuorvel();
        // The window list's row, as copied, names it whole too.
        ClickRow(window);
        EXPECT_TRUE(e2e::PressKeys({VK_CONTROL, 'C'}));
        const std::wstring listed = L"\t" + name + L"\t" + std::to_wstring(started.dwProcessId) + L"\t";
        EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::ClipboardText().find(listed) != std::wstring::npos; }, 3000))
            << e2e::ClipboardText().size() << " characters";
        const HWND view = HasFatalFailure() || !e2e::PressButton(GetDlgItem(dialog, IDC_MAIN_PROPERTIES))
                              ? nullptr
                              : WaitForView(window);
        EXPECT_NE(view, nullptr);
        if (view) {
            const Items items = ReadItems(view);
            e2e::RemoteListView list(GetDlgItem(view, IDC_PR_LIST));
            EXPECT_TRUE(list.ClickRow(list.FindRow(0, "プロセス")));
            EXPECT_TRUE(e2e::PressKeys({VK_CONTROL, 'C'}));
            const std::wstring row = L"\u30d7\u30ed\u30bb\u30b9\t" + name + L" (" + std::to_wstring(started.dwProcessId) + L")\r\n";
            EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::ClipboardText() == row; }, 3000))
                << e2e::ClipboardText().size() << " characters";
        }
        // And the tree's item.
        const HWND treeDialog = OpenWindowTree();
        ASSERT_NE(treeDialog, nullptr);
        e2e::RemoteTreeView tree(GetDlgItem(treeDialog, IDC_WT_TREE));
        const std::string handleText = e2e::HandleText(window);
        const std::wstring handle(handleText.begin(), handleText.end());
        std::wstring item;
        EXPECT_TRUE(e2e::WaitUntil([&] { return !(item = tree.Find(handle + L" \"").text).empty(); }, 8000, 100));
        EXPECT_EQ(item.size() - item.rfind(L" [" + name + L"]"), name.size() + 3) << item.size() << " characters";
    } else {
        ADD_FAILURE() << "the fixture under a Unicode name showed no window";
    }
    TerminateProcess(started.hProcess, 0);
    WaitForSingleObject(started.hProcess, 5000);
    CloseHandle(started.hProcess);
    DeleteFileW(path.c_str());
}

// The properties view's 64-bit helpers started by that process.
std::vector<DWORD> ProbeHelpersOf(DWORD parentPid) {
    std::vector<DWORD> helpers;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (entry.th32ParentProcessID == parentPid && std::string(entry.szExeFile) == "QuorvelProbeHelper64.exe")
            helpers.push_back(entry.th32ProcessID);
    CloseHandle(snapshot);
    return helpers;
}

// On the 64-bit desktop: the helper's failed step is said (a missing 64-bit hook DLL), and
// closing the view while the helper waits for a hung window takes its hook off at once.
TEST_F(PropertiesE2eTest, The64BitHelperSaysWhichStepFailedAndEndsWhenTheViewCloses) {
    BOOL desktop64 = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &desktop64) || !desktop64) GTEST_SKIP() << "not on a 64-bit desktop";
    const PropsWindows made = CreatePropsWindows();
    ASSERT_TRUE(made.window);
    // Quorvel beside its helper, without the 64-bit hook DLL.
    const std::string folder = e2e::ToWindowsPath(e2e::TemporaryFilePath("probe")) + ".dir\\";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string bin = e2e::QuorvelExePath().substr(0, e2e::QuorvelExePath().find_last_of('\\') + 1);
    std::vector<std::string> copies;
    for (const char* file : {"Quorvel.exe", "QuorvelHook.dll", "QuorvelProbeHelper64.exe"}) {
        EXPECT_TRUE(CopyFileA((bin + file).c_str(), (folder + file).c_str(), FALSE)) << file;
        copies.push_back(folder + file);
    }
    const std::string binVariable = e2e::Env("QUORVEL_BIN");
    _putenv_s("QUORVEL_BIN", folder.c_str());
    StartQuorvel();
    _putenv_s("QUORVEL_BIN", binVariable.c_str());
    if (!HasFatalFailure()) {
        const HWND view = OpenFromMainList(made.window);
        ASSERT_NE(view, nullptr);
        Items items = ReadItems(view);
        EXPECT_NE(items["ウィンドウプロシージャ"].find("64 ビット用のフック QuorvelHook64.dll を読み込めませんでした"), std::string::npos)
            << items["ウィンドウプロシージャ"];
        quorvel.Close(3000);
    }
    for (const std::string& copy : copies) DeleteFileA(copy.c_str());
    RemoveDirectoryA(folder.c_str());

    // The whole program: the helper waits for the hung window until the view closes.
    const HWND hung = fixture.Create("title=\"Hung 64\" x=900 y=600 w=200 h=120 show=noactivate thread=stuck");
    ASSERT_TRUE(IsWindow(hung));
    ASSERT_NO_FATAL_FAILURE(StartQuorvel());
    ASSERT_NO_FATAL_FAILURE(ClickRow(hung));
    ASSERT_EQ(fixture.Command("hang window=" + HandleText(hung) + " ms=forever").value, 1);
    ASSERT_TRUE(e2e::PressButton(GetDlgItem(dialog, IDC_MAIN_PROPERTIES)));
    const HWND view = WaitForView(hung);
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(e2e::WaitUntil([&] { return !ProbeHelpersOf(quorvel.Pid()).empty(); }, 3000)) << "no helper started";
    ASSERT_TRUE(CloseView(view));
    EXPECT_TRUE(e2e::WaitUntil([&] { return ProbeHelpersOf(quorvel.Pid()).empty(); }, 500))
        << "the helper kept its hook after the view closed";
    fixture.Command("resume window=" + HandleText(hung));
}

}  // namespace
