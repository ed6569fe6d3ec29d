// The message log of the real program, driven from outside against fixture windows: what the
// hook records (sent with text, posted with values, returned with a value), the children box,
// stop and start, a flood accounted for in full, the window closing, a hung window, the CSV.
#include "E2eDriver.h"
#include "E2eSuite.h"
#include "msglog/hook/MessageRecord.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using e2e::HandleText;

// Columns of the log list.
enum { kNumber, kTime, kHandle, kKind, kMessage, kWParam, kLParam, kResult, kContent };

class MessageLogE2eTest : public e2e::E2eSuite {
protected:
    // Makes the window the target and opens its log with "メッセージ"; the log dialog, or null.
    HWND OpenLog(HWND target) {
        ClickRow(target);
        if (!e2e::PressButton(GetDlgItem(dialog, IDC_MAIN_MESSAGELOG))) return nullptr;
        return WaitForLog(target);
    }
    HWND WaitForLog(HWND target, DWORD timeoutMs = 5000) { return WaitForLogOf(quorvel, target, timeoutMs); }
    HWND WaitForLogOf(e2e::QuorvelProgram& program, HWND target, DWORD timeoutMs = 5000) {
        const HWND log = e2e::WaitForShownDialog(program.Pid(), "メッセージログ (" + HandleText(target) + ")", timeoutMs);
        if (!log) return nullptr;
        // The 64-bit helper puts the hooks in after the dialog shows: "停止" says they are in.
        e2e::WaitUntil([&] { return e2e::WindowText(GetDlgItem(log, IDC_ML_STARTSTOP)) == "停止"; }, timeoutMs);
        return log;
    }
    // Opens the window's log in the program as a user does: a click on its row, then メッセージ.
    // The path label, emptied first, says the click was handled when the target changes; for
    // the same target it stays empty (the dialog writes only a changed text), and the press
    // then opens that same window's log anyway.
    HWND RequestLog(e2e::QuorvelProgram& program, HWND target) {
        HWND main = program.Dialog();
        e2e::RemoteListView list(GetDlgItem(main, IDC_MAIN_LIST));
        HWND label = GetDlgItem(main, IDC_MAIN_PATH);
        const auto row = [&] { return list.FindRow(e2e::kHandleColumn, HandleText(target)); };
        if (!e2e::WaitUntil([&] { return row() >= 0; }, 8000, 100)) return ADD_FAILURE() << "no row", nullptr;
        if (!e2e::SendWithTimeout(label, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""), nullptr))
            return ADD_FAILURE() << "no label", nullptr;
        // With two Quorvels on the desktop a click on the one just brought to the front can be
        // lost: clicked again until the row is selected.
        for (int click = 0; click < 5 && list.SelectionMark() != row(); ++click) {
            if (!list.ClickRow(row())) return ADD_FAILURE() << "the row could not be clicked", nullptr;
            e2e::WaitUntil([&] { return list.SelectionMark() == row(); }, 1000);
        }
        e2e::WaitUntil([&] { return !e2e::WindowText(label).empty(); }, 2000);
        for (int press = 0; press < 5; ++press) {
            if (!e2e::PressButton(GetDlgItem(main, IDC_MAIN_MESSAGELOG))) break;
            if (HWND log = WaitForLogOf(program, target, 2000)) return log;
        }
        ADD_FAILURE() << "no log; label \"" << e2e::WindowText(label) << "\" selected " << list.SelectionMark() << " row " << row()
                      << " foreground " << HandleText(GetForegroundWindow()) << " main " << HandleText(main);
        return nullptr;
    }
    bool CloseLog(HWND log) {
        return PostMessageA(log, WM_COMMAND, IDCANCEL, 0) && e2e::WaitUntil([&] { return !IsWindowVisible(log); }, 3000);
    }
    // Sets the window's text to each of the texts in turn; true when the log shows every one.
    bool LogSeesTexts(HWND log, const std::string& window, const std::vector<std::string>& texts) {
        for (const std::string& text : texts) {
            fixture.Command("settext window=" + window + " text=\"" + text + "\"");
            if (WaitForRow(log, "S", "WM_SETTEXT", "", "\"" + text + "\"")[kContent].empty()) return false;
        }
        return true;
    }
    std::string Status(HWND log) { return e2e::WindowText(GetDlgItem(log, IDC_ML_STATUS)); }
    // The first row (from the end) with that kind and message name, or an empty row.
    std::vector<std::string> WaitForRow(HWND log, const std::string& kind, const std::string& name,
                                        const std::string& wParam = "", const std::string& content = "") {
        e2e::RemoteListView list(GetDlgItem(log, IDC_ML_LIST));
        std::vector<std::string> found;
        e2e::WaitUntil([&] {
            for (int i = list.ItemCount() - 1; i >= 0 && found.empty(); --i) {
                std::vector<std::string> row = list.Row(i, 9);
                if (row[kKind] == kind && row[kMessage] == name && (wParam.empty() || row[kWParam] == wParam) &&
                    (content.empty() || row[kContent] == content))
                    found = row;
            }
            return !found.empty();
        }, 5000);
        if (found.empty()) found.resize(9);
        return found;
    }
    void SetFilter(HWND log, const std::string& filter) {
        ASSERT_TRUE(e2e::SendWithTimeout(GetDlgItem(log, IDC_ML_FILTER), WM_SETTEXT, 0,
                                         reinterpret_cast<LPARAM>(filter.c_str()), nullptr));
    }
    int Rows(HWND log) { return e2e::RemoteListView(GetDlgItem(log, IDC_ML_LIST)).ItemCount(); }
};

TEST_F(MessageLogE2eTest, RecordsSentPostedAndReturnedMessagesChildrenOnDemandAndStopsAndStarts) {
    HWND target = fixture.Create("name=t title=\"Logged window\" x=900 y=60 w=300 h=200 show=noactivate queryend=7");
    ASSERT_TRUE(fixture.Command("child parent=t name=b class=BUTTON text=Push id=41").answered);
    HWND button = Named("b");
    ASSERT_NO_FATAL_FAILURE(StartQuorvel());
    HWND log = OpenLog(target);
    ASSERT_NE(log, nullptr) << "no log dialog with its caption";
    EXPECT_EQ(e2e::WindowText(GetDlgItem(log, IDC_ML_STARTSTOP)), "停止");
    // A second press brings the same dialog back rather than opening another.
    ASSERT_TRUE(e2e::SendWithTimeout(GetDlgItem(dialog, IDC_MAIN_MESSAGELOG), BM_CLICK, 0, 0, nullptr));
    EXPECT_EQ(e2e::FindTopLevelWindow(quorvel.Pid(), "#32770", ("メッセージログ (" + HandleText(target) + ")").c_str()), log);

    const std::string t = HandleText(target);
    fixture.Command("settext window=t text=\"日本語 text\"");
    std::vector<std::string> set = WaitForRow(log, "S", "WM_SETTEXT");
    EXPECT_EQ(set[kHandle], t);
    EXPECT_EQ(set[kContent], "\"日本語 text\"");
    fixture.Command("post window=t msg=0x401 wparam=0x12 lparam=0xfffe0034");
    std::vector<std::string> posted = WaitForRow(log, "P", "WM_USER+1");
    EXPECT_EQ(posted[kWParam], "0x00000012");
    EXPECT_EQ(posted[kLParam], "0xfffe0034");
    EXPECT_EQ(posted[kResult], "");
    fixture.Command("send window=t msg=queryendsession");
    std::vector<std::string> returned = WaitForRow(log, "R", "WM_QUERYENDSESSION");
    EXPECT_EQ(returned[kResult], "0x00000007");
    fixture.Command("post window=t msg=0x100 wparam=0x74 lparam=0x003f0001");
    EXPECT_EQ(WaitForRow(log, "P", "WM_KEYDOWN")[kContent], "VK_F5 repeat=1 down");
    const std::string& time = posted[kTime];
    EXPECT_TRUE(time.size() >= 5 && time[time.size() - 4] == '.') << time;

    // The child is logged only once the box is ticked.
    fixture.Command("post window=b msg=0x401 wparam=1");
    ASSERT_TRUE(e2e::WaitUntil([&] { return fixture.MessageCount(button, "0x401") == 1; }, 3000));
    ASSERT_TRUE(e2e::SendWithTimeout(GetDlgItem(log, IDC_ML_CHILDREN), BM_CLICK, 0, 0, nullptr));
    fixture.Command("post window=b msg=0x401 wparam=2");
    fixture.Command("post window=b msg=0xf5");  // BM_CLICK, named by the button's class
    EXPECT_EQ(WaitForRow(log, "P", "BM_CLICK")[kHandle], HandleText(button));
    EXPECT_EQ(WaitForRow(log, "P", "WM_USER+1", "0x00000002")[kHandle], HandleText(button));
    EXPECT_EQ(WaitForRow(log, "P", "WM_USER+1", "0x00000001")[kHandle], "") << "the child was logged before the box";
    // A child made later is logged as well.
    ASSERT_TRUE(fixture.Command("child parent=t name=later text=Later id=42 y=50").answered);
    fixture.Command("post window=later msg=0x401 wparam=5");
    EXPECT_EQ(WaitForRow(log, "P", "WM_USER+1", "0x00000005")[kHandle],
              HandleText(Named("later")));

    // Stopped, nothing is recorded; started again, it is.
    ASSERT_TRUE(e2e::PressButton(GetDlgItem(log, IDC_ML_STARTSTOP)));
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::WindowText(GetDlgItem(log, IDC_ML_STARTSTOP)) == "開始"; }, 3000));
    const int posts = fixture.MessageCount(target, "0x401");
    fixture.Command("post window=t msg=0x401 wparam=3");
    ASSERT_TRUE(e2e::WaitUntil([&] { return fixture.MessageCount(target, "0x401") > posts; }, 3000));
    ASSERT_TRUE(e2e::PressButton(GetDlgItem(log, IDC_ML_STARTSTOP)));
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::WindowText(GetDlgItem(log, IDC_ML_STARTSTOP)) == "停止"; }, 3000));
    fixture.Command("post window=t msg=0x401 wparam=4");
    EXPECT_EQ(WaitForRow(log, "P", "WM_USER+1", "0x00000004")[kHandle], t);
    EXPECT_EQ(WaitForRow(log, "P", "WM_USER+1", "0x00000003")[kHandle], "") << "recorded while stopped";

    // The filter hides rows without losing them.
    const int all = Rows(log);
    SetFilter(log, "WM_USER*, -BM_*");
    EXPECT_TRUE(e2e::WaitUntil([&] { return Rows(log) == 4; }, 3000)) << Rows(log);
    SetFilter(log, "");
    EXPECT_TRUE(e2e::WaitUntil([&] { return Rows(log) >= all; }, 3000));
    EXPECT_EQ(Status(log).rfind("記録 ", 0), 0u) << Status(log);

    // Saved as CSV through the real Save As dialog: what the filter shows, in UTF-8 with a BOM.
    SetFilter(log, "WM_SETTEXT WM_USER+1");
    ASSERT_TRUE(e2e::WaitUntil([&] { return Rows(log) == 6; }, 3000)) << Rows(log);
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof folder, folder);
    const std::string file = std::string(folder) + "\\messages.csv";
    DeleteFileA(file.c_str());
    ASSERT_TRUE(e2e::PressButton(GetDlgItem(log, IDC_ML_SAVE)));
    HWND save = nullptr;
    ASSERT_TRUE(e2e::WaitUntil([&] {
        for (HWND hwnd : e2e::TopLevelWindowsOf(quorvel.Pid()))
            if (IsWindowVisible(hwnd) && (GetDlgItem(hwnd, 1148) || GetDlgItem(hwnd, 1152))) save = hwnd;
        return save != nullptr;
    }, 5000));
    PostMessageA(save, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(e2e::WaitUntil([&] { return GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES; }, 5000));
    const std::vector<std::string> lines = e2e::SplitLines(e2e::ReadFile(file));
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], u8"\xEF\xBB\xBF#,時刻,ハンドル,種類,メッセージ,wParam,lParam,戻り値,内容");
    EXPECT_NE(lines[1].find(u8",S,WM_SETTEXT,0x00000000,"), std::string::npos) << lines[1];
    EXPECT_NE(lines[1].find(u8",\"\"\"日本語 text\"\"\""), std::string::npos) << lines[1];
    EXPECT_NE(lines[6].find(",P,WM_USER+1,0x00000004,0x00000000,,"), std::string::npos) << lines[6];
    DeleteFileA(file.c_str());

    // Copied as shown, what the filter shows: すべてコピー every row, コピー and Ctrl+C the selected.
    {
        const HWND listWindow = GetDlgItem(log, IDC_ML_LIST);
        e2e::RemoteListView list(listWindow);
        ASSERT_TRUE(e2e::ChooseMenuItem(quorvel.Pid(), log, listWindow, 1));
        const std::string all = e2e::RowsText(list, {0, 1, 2, 3, 4, 5}, 9);
        EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::Cp932(e2e::ClipboardText()) == all; }, 3000))
            << e2e::Cp932(e2e::ClipboardText()) << "\n" << all;
        ASSERT_TRUE(list.ClickRow(5));
        // The click taken before the menu is asked for: a menu opened first would take it and close.
        ASSERT_TRUE(e2e::WaitUntil([&] { return list.NextItem() == 5; }, 3000));
        ASSERT_TRUE(e2e::ChooseMenuItem(quorvel.Pid(), log, listWindow, 0));
        EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::Cp932(e2e::ClipboardText()) == e2e::RowsText(list, {5}, 9); }, 3000))
            << e2e::Cp932(e2e::ClipboardText());
        ASSERT_TRUE(list.ClickRow(0));
        ASSERT_TRUE(e2e::PressKeys({VK_CONTROL, 'C'}));
        EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::Cp932(e2e::ClipboardText()) == e2e::RowsText(list, {0}, 9); }, 3000))
            << e2e::Cp932(e2e::ClipboardText());
        EXPECT_NE(e2e::ClipboardText().find(L"\tS\tWM_SETTEXT\t"), std::wstring::npos);
    }

    // A move by another process: its WINDOWPOS is decoded wherever the system keeps it.
    ASSERT_TRUE(e2e::SendWithTimeout(GetDlgItem(log, IDC_ML_CLEAR), BM_CLICK, 0, 0, nullptr));
    SetFilter(log, "");
    ASSERT_TRUE(SetWindowPos(target, nullptr, 910, 70, 280, 190, SWP_NOZORDER | SWP_NOACTIVATE));
    for (const char* name : {"WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED"})
        EXPECT_EQ(WaitForRow(log, "S", name)[kContent].rfind("x=910 y=70 w=280 h=190 SWP_NOZORDER|SWP_NOACTIVATE", 0), 0u)
            << name << ": " << WaitForRow(log, "S", name)[kContent];
}

// Every message of a flood is either recorded or counted as dropped, and closing the window
// is said in the status and takes the hooks off.
TEST_F(MessageLogE2eTest, FloodIsAccountedForAndClosingTheWindowIsSaid) {
    HWND target = fixture.Create("name=f title=\"Flooded\" x=900 y=300 w=200 h=100 show=noactivate");
    ASSERT_NO_FATAL_FAILURE(StartQuorvel());
    HWND log = OpenLog(target);
    ASSERT_NE(log, nullptr);
    Sleep(300);
    // Sent, not posted: the flood must not start before the clearing is done.
    ASSERT_TRUE(e2e::SendWithTimeout(GetDlgItem(log, IDC_ML_CLEAR), BM_CLICK, 0, 0, nullptr));
    const int kFlood = 3000;
    ASSERT_TRUE(fixture.Command("flood window=f count=" + std::to_string(kFlood), 60000).answered);
    SetFilter(log, "WM_USER+1");
    unsigned recorded = 0, dropped = 0;
    e2e::WaitUntil([&] {
        // The runtime's sscanf does not match these double-byte characters: numbers only.
        return sscanf(Status(log).c_str(), "%*[^0-9]%u%*[^0-9]%u", &recorded, &dropped) == 2 &&
               Rows(log) + static_cast<int>(dropped) >= 2 * kFlood;
    }, 10000);
    EXPECT_EQ(Rows(log) + static_cast<int>(dropped), 2 * kFlood) << Status(log);

    // The list follows the newest row, until the user scrolls away from the end.
    SetFilter(log, "");
    e2e::RemoteListView list(GetDlgItem(log, IDC_ML_LIST));
    auto lastShown = [&] {
        LRESULT top = 0, perPage = 0;
        e2e::SendWithTimeout(GetDlgItem(log, IDC_ML_LIST), LVM_GETTOPINDEX, 0, 0, &top);
        e2e::SendWithTimeout(GetDlgItem(log, IDC_ML_LIST), LVM_GETCOUNTPERPAGE, 0, 0, &perPage);
        return static_cast<int>(top + perPage);
    };
    fixture.Command("post window=f msg=0x402");
    EXPECT_TRUE(e2e::WaitUntil([&] { return lastShown() >= list.ItemCount(); }, 3000));
    ASSERT_TRUE(list.EnsureVisible(0));
    const int shown = list.ItemCount();
    fixture.Command("post window=f msg=0x402");
    EXPECT_TRUE(e2e::WaitUntil([&] { return list.ItemCount() > shown; }, 3000));
    LRESULT top = -1;
    EXPECT_TRUE(e2e::SendWithTimeout(GetDlgItem(log, IDC_ML_LIST), LVM_GETTOPINDEX, 0, 0, &top));
    EXPECT_EQ(top, 0);

    fixture.Command("destroy window=f");
    EXPECT_TRUE(e2e::WaitUntil([&] {
        const std::string status = Status(log);
        return status.size() > 30 && status.find("ウィンドウが閉じられました") != std::string::npos;
    }, 5000)) << Status(log);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(log, IDC_ML_STARTSTOP)));
    // Sent, and returned from.
    SetFilter(log, "WM_NCDESTROY");
    EXPECT_TRUE(e2e::WaitUntil([&] { return Rows(log) == 2; }, 3000)) << Rows(log);
}

// Opening and closing the log of a window whose thread does not answer never freezes Quorvel.
TEST_F(MessageLogE2eTest, HungWindowNeitherDelaysOpeningNorClosing) {
    HWND hung = fixture.Create("name=h title=\"Hung logged\" x=900 y=450 w=200 h=100 show=noactivate thread=stuck");
    ASSERT_NO_FATAL_FAILURE(StartQuorvel());
    ClickRow(hung);
    ASSERT_EQ(fixture.Command("hang window=h ms=forever").value, 1);
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsHungAppWindow(hung) != FALSE; }, 10000, 100));
    ASSERT_TRUE(e2e::PressButton(GetDlgItem(dialog, IDC_MAIN_MESSAGELOG)));
    HWND log = WaitForLog(hung, 2000);
    ASSERT_NE(log, nullptr) << "the log did not open within 2 s";
    // The bound of the hung-window tests: a second of Quorvel's own, and the driver's time.
    EXPECT_TRUE(e2e::ClickFlipsCheckBox(GetDlgItem(log, IDC_ML_CHILDREN), 2000)) << "no real click taken within 2 s";
    ASSERT_TRUE(PostMessageA(log, WM_COMMAND, IDCANCEL, 0));
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(log); }, 1000));
    EXPECT_TRUE(e2e::ClickFlipsCheckBox(GetDlgItem(dialog, IDC_MAIN_WITHTITLE), 2000));
    fixture.Command("resume window=h");
}

// A log opened again records, whatever came before it: the same window's log closed and
// opened again, and a log opened and closed while the window's thread did not answer, then
// opened once it answers again.
TEST_F(MessageLogE2eTest, ALogOpenedAgainRecordsAfterAClosedOneAndAfterAHang) {
    HWND target = fixture.Create("name=r title=\"Reopened\" x=900 y=60 w=200 h=100 show=noactivate");
    HWND hung = fixture.Create("name=h title=\"Hung then back\" x=900 y=200 w=200 h=100 show=noactivate thread=stuck");
    ASSERT_NO_FATAL_FAILURE(StartQuorvel());
    HWND log = OpenLog(target);
    ASSERT_NE(log, nullptr);
    EXPECT_TRUE(LogSeesTexts(log, "r", {"first log"}));
    for (const char* text : {"second log", "third log"}) {
        ASSERT_TRUE(CloseLog(log));
        ASSERT_TRUE(e2e::PressButton(GetDlgItem(dialog, IDC_MAIN_MESSAGELOG)));
        log = WaitForLog(target);
        ASSERT_NE(log, nullptr);
        EXPECT_TRUE(LogSeesTexts(log, "r", {text})) << text << ": " << Status(log);
    }

    // The target while it still answers; its log is opened once it hangs.
    ASSERT_NO_FATAL_FAILURE(ClickRow(hung));
    ASSERT_EQ(fixture.Command("hang window=h ms=forever").value, 1);
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsHungAppWindow(hung) != FALSE; }, 10000, 100));
    ASSERT_TRUE(e2e::PressButton(GetDlgItem(dialog, IDC_MAIN_MESSAGELOG)));
    HWND hungLog = WaitForLog(hung);
    ASSERT_NE(hungLog, nullptr);
    ASSERT_TRUE(CloseLog(hungLog));
    fixture.Command("resume window=h");
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsHungAppWindow(hung) == FALSE; }, 10000, 100));
    // The thread takes its messages again, with no log open.
    fixture.Command("settext window=h text=\"unlogged\"");
    hungLog = RequestLog(quorvel, hung);
    ASSERT_NE(hungLog, nullptr);
    EXPECT_TRUE(LogSeesTexts(hungLog, "h", {"after the hang", "and more"})) << Status(hungLog);
    EXPECT_TRUE(WaitForRow(hungLog, "S", "WM_SETTEXT", "", "\"unlogged\"")[kContent].empty());
}

// Quorvel killed while it logs (under Wine its hooks stay on the thread): the next Quorvel's
// log of the same window records.
TEST_F(MessageLogE2eTest, ANewQuorvelRecordsAfterTheOldOneWasKilledWhileLogging) {
    HWND target = fixture.Create("name=k title=\"Killed logger\" x=900 y=60 w=200 h=100 show=noactivate");
    ASSERT_NO_FATAL_FAILURE(StartQuorvel());
    HWND log = RequestLog(quorvel, target);
    ASSERT_NE(log, nullptr);
    EXPECT_TRUE(LogSeesTexts(log, "k", {"before the kill"}));
    quorvel.Process().Terminate();
    ASSERT_TRUE(quorvel.Process().WaitForExit(5000));
    fixture.Command("settext window=k text=\"between\"");
    ASSERT_NO_FATAL_FAILURE(StartQuorvel());
    log = RequestLog(quorvel, target);
    ASSERT_NE(log, nullptr);
    EXPECT_TRUE(LogSeesTexts(log, "k", {"after the kill", "still"})) << Status(log);
    SetFilter(log, "WM_SETTEXT");
    EXPECT_TRUE(e2e::WaitUntil([&] { return Rows(log) == 4; }, 3000)) << "each setting sent, then returned: " << Status(log);
}

// Two Quorvels log one window at once, after one of them logged it before, the second
// started from another folder (on Windows two hook DLL files then run on the thread): each log
// sees every message once, a posted message its thread peeked at before taking it included; one closing its log leaves the other recording, and its log opened
// again sees them too.
TEST_F(MessageLogE2eTest, TwoQuorvelsLoggingOneWindowBothSeeEveryMessage) {
    HWND target = fixture.Create("name=d title=\"Doubly logged\" x=900 y=60 w=200 h=100 show=noactivate");
    ASSERT_NO_FATAL_FAILURE(StartQuorvel());
    const std::string bin = e2e::Env("QUORVEL_BIN");
    std::string from = e2e::QuorvelExePath();
    from.resize(from.find_last_of("\\/") + 1);
    char here[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof here, here);
    const std::string copy = std::string(here) + "\\second-quorvel";
    CreateDirectoryA(copy.c_str(), nullptr);
    for (const char* file : {"Quorvel.exe", "QuorvelHook.dll", "QuorvelHookHelper64.exe", "QuorvelHook64.dll"})
        CopyFileA((from + file).c_str(), (copy + "\\" + file).c_str(), FALSE);
    e2e::QuorvelProgram second;
    SetEnvironmentVariableA("QUORVEL_BIN", copy.c_str());
    const bool started = second.Start();
    SetEnvironmentVariableA("QUORVEL_BIN", bin.empty() ? nullptr : bin.c_str());
    ASSERT_TRUE(started);
    HWND first = RequestLog(quorvel, target);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(LogSeesTexts(first, "d", {"tried once"}));
    ASSERT_TRUE(CloseLog(first));
    HWND other = RequestLog(second, target);
    first = RequestLog(quorvel, target);
    ASSERT_TRUE(first && other) << (first ? "" : "first ") << (other ? "" : "other");
    const int kPosted = 40;
    // Each looked at twice before it is taken (PM_NOREMOVE): recorded once, when taken.
    for (int i = 1; i <= kPosted; ++i) fixture.Command("post window=d msg=0x407 peek=2 wparam=" + std::to_string(i));
    for (HWND log : {first, other}) {
        SetFilter(log, "WM_USER+7");
        EXPECT_TRUE(e2e::WaitUntil([&] { return Rows(log) >= kPosted; }, 5000)) << Status(log);
        Sleep(200);
        EXPECT_EQ(Rows(log), kPosted) << Status(log);
        SetFilter(log, "");
    }
    ASSERT_TRUE(CloseLog(first));
    EXPECT_TRUE(LogSeesTexts(other, "d", {"one left"}));
    first = RequestLog(quorvel, target);
    ASSERT_NE(first, nullptr);
    for (HWND log : {first, other}) EXPECT_TRUE(LogSeesTexts(log, "d", {"both again"})) << Status(log);
    second.Close();
}

// The views of a log's shared memory mapped in the process (the hook's, one per logged thread).
int LogViewsIn(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (!process) return -1;
    const SIZE_T viewSize = (sizeof(msglog::SharedLog) + 4095) / 4096 * 4096;
    int views = 0;
    MEMORY_BASIC_INFORMATION info;
    for (const char* at = nullptr; VirtualQueryEx(process, at, &info, sizeof info) == sizeof info;
         at = static_cast<const char*>(info.BaseAddress) + info.RegionSize) {
        if (info.Type == MEM_MAPPED && info.BaseAddress == info.AllocationBase && info.RegionSize == viewSize) ++views;
        if (info.RegionSize == 0) break;
    }
    CloseHandle(process);
    return views;
}

// The hook leaves nothing behind: a logged thread that ends takes its view of the log's memory
// with it, while the hook DLL stays for another logged thread of the program.
TEST_F(MessageLogE2eTest, ALoggedThreadThatEndsLeavesNoViewBehind) {
    HWND staying = fixture.Create("name=s title=\"Staying\" x=900 y=60 w=200 h=100 show=noactivate thread=staying");
    HWND ending = fixture.Create("name=e title=\"Ending\" x=900 y=200 w=200 h=100 show=noactivate thread=ending");
    ASSERT_NO_FATAL_FAILURE(StartQuorvel());
    HWND stayingLog = RequestLog(quorvel, staying);
    HWND endingLog = RequestLog(quorvel, ending);
    ASSERT_TRUE(stayingLog && endingLog);
    EXPECT_TRUE(LogSeesTexts(stayingLog, "s", {"one"}));
    EXPECT_TRUE(LogSeesTexts(endingLog, "e", {"two"}));
    EXPECT_EQ(LogViewsIn(fixture.Pid()), 2);
    ASSERT_EQ(fixture.Command("endthread thread=ending").value, 1);
    EXPECT_TRUE(e2e::WaitUntil([&] { return LogViewsIn(fixture.Pid()) == 1; }, 3000)) << LogViewsIn(fixture.Pid());
    EXPECT_TRUE(LogSeesTexts(stayingLog, "s", {"still logged"}));
}

// Another program of the user moves the write position of the log's ring over positions nobody
// will write: the log records again within seconds (the run of holes goes in one step, before
// the ring counts as full), the holes are counted as missed, and クリア starts the count anew.
TEST_F(MessageLogE2eTest, ARingFullOfHolesRecordsAgainWithinSecondsAndClearCountsAnew) {
    HWND target = fixture.Create("name=r title=\"Holed ring\" x=900 y=60 w=200 h=100 show=noactivate");
    ASSERT_NO_FATAL_FAILURE(StartQuorvel());
    HWND log = OpenLog(target);
    ASSERT_NE(log, nullptr);
    fixture.Command("post window=r msg=0x401 wparam=1");
    ASSERT_EQ(WaitForRow(log, "P", "WM_USER+1", "0x00000001")[kHandle], HandleText(target));

    const std::wstring name = msglog::kSharedMemoryPrefix + std::to_wstring(GetWindowThreadProcessId(target, nullptr));
    HANDLE mapping = OpenFileMappingW(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, name.c_str());
    ASSERT_NE(mapping, nullptr);
    auto* shared = static_cast<msglog::SharedLog*>(MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(msglog::SharedLog)));
    ASSERT_NE(shared, nullptr);
    msglog::Channel* channel = nullptr;
    for (msglog::Channel& each : shared->channels)
        if (each.owner.load() == quorvel.Pid() && each.root.load() == reinterpret_cast<UINT_PTR>(target)) channel = &each;
    ASSERT_NE(channel, nullptr);
    constexpr uint32_t kHoles = msglog::kRingCapacity - 8;
    channel->writeIndex.fetch_add(kHoles);
    fixture.Command("post window=r msg=0x401 wparam=2");
    // Within the row wait's 5 s: one step, not one a second.
    EXPECT_EQ(WaitForRow(log, "P", "WM_USER+1", "0x00000002")[kHandle], HandleText(target)) << Status(log);
    for (int i = 3; i <= 20; ++i) fixture.Command("post window=r msg=0x401 wparam=" + std::to_string(i));
    EXPECT_EQ(WaitForRow(log, "P", "WM_USER+1", "0x00000014")[kHandle], HandleText(target)) << Status(log);
    unsigned recorded = 0, dropped = 0;
    // The runtime's sscanf does not match these double-byte characters: numbers only.
    ASSERT_EQ(sscanf(Status(log).c_str(), "%*[^0-9]%u%*[^0-9]%u", &recorded, &dropped), 2) << Status(log);
    EXPECT_GE(dropped, kHoles) << Status(log);
    SetFilter(log, "WM_USER+1");
    EXPECT_TRUE(e2e::WaitUntil([&] { return Rows(log) == 20; }, 3000)) << Status(log);

    // A forged count of dropped messages, which the program lowers again after the clearing.
    channel->dropped.fetch_add(100);
    ASSERT_TRUE(e2e::SendWithTimeout(GetDlgItem(log, IDC_ML_CLEAR), BM_CLICK, 0, 0, nullptr));
    ASSERT_EQ(sscanf(Status(log).c_str(), "%*[^0-9]%u%*[^0-9]%u", &recorded, &dropped), 2) << Status(log);
    EXPECT_EQ(dropped, 0u) << Status(log);
    EXPECT_EQ(Rows(log), 0);
    channel->dropped.fetch_sub(100);
    fixture.Command("post window=r msg=0x401 wparam=21");
    EXPECT_EQ(WaitForRow(log, "P", "WM_USER+1", "0x00000015")[kHandle], HandleText(target));
    ASSERT_EQ(sscanf(Status(log).c_str(), "%*[^0-9]%u%*[^0-9]%u", &recorded, &dropped), 2) << Status(log);
    EXPECT_EQ(dropped, 0u) << "a count lowered below the clearing's: " << Status(log);
    UnmapViewOfFile(shared);
    CloseHandle(mapping);
}

}  // namespace
