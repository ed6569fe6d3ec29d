// Messages another program sends or posts to Quorvel's windows: whatever their parameters, none
// is read as a pointer or taken as a request. Quorvel runs with the main dialog, the inspector,
// a message log, a properties view, the tree and an accessibility view open, and every dialog
// and message-only window of its process gets every message of the WM_APP range, and the
// dialogs' WM_INITDIALOG and WM_NOTIFY, posted and sent, with a live window of another program, a pointer that points nowhere and -1 as
// parameters: nothing crashes, nothing opens, no window moves, the target and the log stay.
#include "E2eDriver.h"
#include "E2eSuite.h"
#include "res/resource.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace {

using e2e::HandleText;

// The class of the finder's outline frame (platform/ScreenOutline).
constexpr char kOutlineClass[] = "QuorvelFinderFrame";

// A top-level window as the user sees it.
struct Seen {
    bool visible = false;
    RECT rect{};
    std::string caption;
    bool operator==(const Seen& other) const {
        return visible == other.visible && EqualRect(&rect, &other.rect) && caption == other.caption;
    }
};

// Every top-level window of the process but the outline frame, which comes and goes by itself.
std::map<HWND, Seen> TopLevelSeen(DWORD pid) {
    std::map<HWND, Seen> seen;
    for (HWND hwnd : e2e::TopLevelWindowsOf(pid)) {
        char name[64] = {};
        GetClassNameA(hwnd, name, sizeof name);
        if (std::string(name) == kOutlineClass) continue;
        Seen& s = seen[hwnd];
        s.visible = IsWindowVisible(hwnd) != FALSE;
        GetWindowRect(hwnd, &s.rect);
        s.caption = e2e::WindowText(hwnd);
    }
    return seen;
}

std::string Describe(const std::map<HWND, Seen>& seen) {
    std::string text;
    for (const auto& [hwnd, s] : seen)
        text += HandleText(hwnd) + (s.visible ? " shown " : " hidden ") + std::to_string(s.rect.left) + "," +
                std::to_string(s.rect.top) + " " + std::to_string(s.caption.size()) + " bytes of caption\n";
    return text;
}

BOOL CALLBACK CollectDialogs(HWND hwnd, LPARAM lParam) {
    char name[16] = {};
    GetClassNameA(hwnd, name, sizeof name);
    if (std::string(name) == "#32770") reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
    return TRUE;
}

// Every dialog of the process (top-level and panels inside them) and its message-only windows.
std::vector<HWND> ReceiversOf(DWORD pid) {
    std::vector<HWND> windows;
    for (HWND top : e2e::TopLevelWindowsOf(pid)) {
        windows.push_back(top);
        std::vector<HWND> dialogs;
        EnumChildWindows(top, CollectDialogs, reinterpret_cast<LPARAM>(&dialogs));
        windows.insert(windows.end(), dialogs.begin(), dialogs.end());
    }
    for (HWND hwnd = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); hwnd;
         hwnd = FindWindowExA(HWND_MESSAGE, hwnd, nullptr, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner == pid) windows.push_back(hwnd);
    }
    return windows;
}

class ForeignMessageTest : public e2e::E2eSuite {
protected:
    // Presses the main dialog's button and waits for one more shown top-level window.
    HWND OpenView(int button) {
        const auto shown = [&] {
            std::vector<HWND> visible;
            for (HWND hwnd : e2e::TopLevelWindowsOf(quorvel.Pid()))
                if (IsWindowVisible(hwnd)) visible.push_back(hwnd);
            return visible;
        };
        const std::vector<HWND> before = shown();
        if (!e2e::PressButton(GetDlgItem(dialog, button))) return nullptr;
        HWND opened = nullptr;
        e2e::WaitUntil([&] {
            for (HWND hwnd : shown())
                if (std::find(before.begin(), before.end(), hwnd) == before.end()) opened = hwnd;
            return opened != nullptr;
        }, 5000);
        return opened;
    }
};

TEST_F(ForeignMessageTest, MessagesFromAnotherProgramOpenNothingChangeNothingAndCrashNothing) {
    HWND target = fixture.Create("name=t title=\"Foreign target\" x=900 y=60 w=300 h=200 show=noactivate");
    HWND other = fixture.Create("name=o title=\"Foreign other\" x=900 y=420 w=200 h=100 show=noactivate");
    ASSERT_TRUE(target && other);
    ASSERT_NO_FATAL_FAILURE(StartQuorvel());
    ASSERT_NO_FATAL_FAILURE(ClickRow(target));
    ASSERT_NE(OpenInspector(target), nullptr);
    HWND log = OpenView(IDC_MAIN_MESSAGELOG);
    ASSERT_NE(log, nullptr);
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::WindowText(GetDlgItem(log, IDC_ML_STARTSTOP)) == "停止"; }, 5000));
    for (int button : {IDC_MAIN_PROPERTIES, IDC_MAIN_TREE, IDC_MAIN_ACCESSIBILITY})
        ASSERT_NE(OpenView(button), nullptr) << button;
    // The target shows in the inspector's caption, which the picture below holds.
    const std::string path = PathLabel();
    // Views settle (placement, first reads) before the picture is taken.
    Sleep(300);
    const std::map<HWND, Seen> before = TopLevelSeen(quorvel.Pid());
    const std::vector<HWND> receivers = ReceiversOf(quorvel.Pid());
    ASSERT_GE(receivers.size(), 7u);

    const std::vector<std::pair<WPARAM, LPARAM>> parameters = {
        {reinterpret_cast<WPARAM>(other), static_cast<LPARAM>(0xDEADBEEF)},
        {static_cast<WPARAM>(-1), 1},
        {reinterpret_cast<WPARAM>(target), 0},
    };
    int unanswered = 0;
    HWND search = GetDlgItem(dialog, IDC_MAIN_SEARCH);
    LRESULT limit = 0;
    ASSERT_TRUE(e2e::SendWithTimeout(search, EM_GETLIMITTEXT, 0, 0, &limit));
    WPARAM mark = static_cast<WPARAM>(limit) + 1000;
    // The WM_APP range, and the two system messages whose parameter a dialog takes as a pointer.
    std::vector<UINT> messages{WM_INITDIALOG, WM_NOTIFY};
    for (UINT message = WM_APP; message < WM_APP + 0x200; ++message) messages.push_back(message);
    for (HWND to : receivers) {
        for (UINT message : messages) {
            for (const auto& [wParam, lParam] : parameters) {
                PostMessageA(to, message, wParam, lParam);
                DWORD_PTR answer = 0;
                // A system may refuse to carry WM_NOTIFY to another process at all.
                if (!SendMessageTimeoutA(to, message, wParam, lParam, SMTO_ABORTIFHUNG, 2000, &answer) && message != WM_NOTIFY)
                    ++unanswered;
            }
        }
        // Posted messages are taken in order: once one posted after them has been handled, they
        // all have (the search box's text limit, read back).
        ASSERT_TRUE(PostMessageA(search, EM_SETLIMITTEXT, ++mark, 0));
        ASSERT_TRUE(e2e::WaitUntil([&] {
            LRESULT limit = 0;
            return e2e::SendWithTimeout(search, EM_GETLIMITTEXT, 0, 0, &limit) && limit == static_cast<LRESULT>(mark);
        }, 20000)) << "Quorvel stopped taking messages after those to " << HandleText(to);
    }
    ASSERT_TRUE(e2e::SendWithTimeout(search, EM_SETLIMITTEXT, static_cast<WPARAM>(limit), 0, nullptr));
    EXPECT_EQ(unanswered, 0) << "a message sent to Quorvel was not answered";
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeProcess(quorvel.Process().Handle(), &code) && code == STILL_ACTIVE) << "Quorvel ended: " << code;
    Sleep(300);  // anything opened by a request would be shown by now
    const std::map<HWND, Seen> after = TopLevelSeen(quorvel.Pid());
    EXPECT_EQ(after, before) << "before:\n" << Describe(before) << "after:\n" << Describe(after);
    EXPECT_EQ(PathLabel(), path) << "the target changed";
    EXPECT_EQ(e2e::WindowText(GetDlgItem(log, IDC_ML_STARTSTOP)), "停止");
    const std::string status = e2e::WindowText(GetDlgItem(log, IDC_ML_STATUS));
    EXPECT_EQ(status.find("保存中"), std::string::npos) << status;
    EXPECT_EQ(status.find("　"), std::string::npos) << "the log reports a failure: " << status;
    // The log still records.
    fixture.Command("settext window=t text=\"still logged\"");
    e2e::RemoteListView rows(GetDlgItem(log, IDC_ML_LIST));
    EXPECT_TRUE(e2e::WaitUntil([&] { return rows.FindRow(8, "\"still logged\"") >= 0; }, 5000));
}

}  // namespace
