// The main window list of the real program, watched from outside: rows of the fixture's
// windows, a real click on a row, and the list's behaviour across automatic refreshes.
#include "E2eDriver.h"
#include "E2eSuite.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using e2e::FixtureClient;
using e2e::HandleText;
using e2e::RemoteListView;

constexpr int kColumns = 4;
using e2e::kHandleColumn;
// The list refreshes every 3 s; one refresh plus slack for a loaded machine.
constexpr DWORD kRefreshDeadlineMs = 8000;

class MainListTest : public e2e::E2eSuite {
protected:
    // Starts the program and waits for its main dialog and list.
    void StartQuorvel() {
        ASSERT_NO_FATAL_FAILURE(E2eSuite::StartQuorvel());
        list = GetDlgItem(dialog, IDC_MAIN_LIST);
        ASSERT_NE(list, nullptr);
    }

    // A visible fixture window away from the program's dialog.
    HWND CreateWindowAt(const std::string& title, int y) {
        return fixture.Create("title=\"" + title + "\" x=980 y=" + std::to_string(y) +
                              " w=240 h=80 show=noactivate");
    }

    // Handle text of the selected row, "" when none is selected.
    std::string SelectedHandle() {
        const int selected = rows->NextItem(-1, LVNI_SELECTED);
        return selected < 0 ? "" : rows->ItemText(selected, kHandleColumn);
    }

    HWND list = nullptr;
};

TEST_F(MainListTest, FixtureWindowIsListedInTheRowFormat) {
    const std::string title = "フィクスチャ ソ表能 window";
    const std::string longTitle(300, 'L');
    HWND shown = CreateWindowAt(title, 40);
    HWND longOne = CreateWindowAt(longTitle, 140);
    HWND hidden = fixture.Create("title=HiddenFixture show=hidden");
    HWND untitled = fixture.Create("x=980 y=240 w=240 h=80 show=noactivate");
    HWND manager = fixture.Create("title=\"Program Manager\" x=980 y=340 w=240 h=80 show=noactivate");
    ASSERT_TRUE(IsWindow(shown) && IsWindow(longOne) && IsWindow(hidden) && IsWindow(untitled) &&
                IsWindow(manager));
    StartQuorvel();

    ASSERT_TRUE(WaitForRow(shown)) << "no row for " << HandleText(shown);
    const std::vector<std::string> row = rows->Row(RowOf(shown), kColumns);
    const std::vector<std::string> expected = {title, "QuorvelFixture.exe",
                                               std::to_string(fixture.Pid()), HandleText(shown)};
    EXPECT_EQ(row, expected);

    ASSERT_TRUE(WaitForRow(longOne));
    EXPECT_EQ(rows->ItemText(RowOf(longOne), 0), longTitle.substr(0, 255));

    // Filtered out: hidden, untitled, "Program Manager" and the program's own dialog.
    const std::vector<std::vector<std::string>> all = rows->Rows(kColumns);
    for (HWND absent : {hidden, untitled, manager, dialog}) {
        for (const auto& r : all) EXPECT_NE(r[kHandleColumn], HandleText(absent)) << r[0];
    }
    // Every row is in the fixed format, whoever owns the window.
    for (const auto& r : all) {
        ASSERT_EQ(r[kHandleColumn].size(), 10u) << r[kHandleColumn];
        EXPECT_EQ(r[kHandleColumn].compare(0, 2, "0x"), 0);
        EXPECT_EQ(r[kHandleColumn].find_first_not_of("0123456789abcdef", 2), std::string::npos)
            << r[kHandleColumn];
        EXPECT_FALSE(r[0].empty());
        EXPECT_NE(r[0], "Program Manager");
        EXPECT_EQ(r[2].find_first_not_of("0123456789"), std::string::npos) << r[2];
    }
}

TEST_F(MainListTest, RealClickOnRowShowsTheProcessPath) {
    HWND target = CreateWindowAt("Click me", 40);
    ASSERT_TRUE(IsWindow(target));
    StartQuorvel();
    HWND label = GetDlgItem(dialog, IDC_MAIN_PATH);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(e2e::WindowText(label), "");

    ASSERT_TRUE(WaitForRow(target));
    const int row = RowOf(target);
    ASSERT_TRUE(rows->ClickRow(row)) << "row " << row << " is not clickable on screen";

    std::string path;
    ASSERT_TRUE(e2e::WaitUntil([&] { return !(path = e2e::WindowText(label)).empty(); }, 3000))
        << "label 1033 stayed empty after the click";
    EXPECT_EQ(lstrcmpiA(path.c_str(), e2e::FixtureExePath().c_str()), 0)
        << path << " vs " << e2e::FixtureExePath();
    EXPECT_EQ(rows->SelectionMark(), RowOf(target));
    EXPECT_EQ(SelectedHandle(), HandleText(target));
}

// psapi disabled for Quorvel.exe only. Wine takes WINEDLLOVERRIDES from the environment it was
// started with, not from a Windows parent's, so its per-program key does it.
struct PsapiDisabledForQuorvel {
    const bool set = RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Quorvel.exe\\DllOverrides",
                                     "psapi", REG_SZ, "disabled", 9) == ERROR_SUCCESS;
    ~PsapiDisabledForQuorvel() { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Quorvel.exe"); }
};

// Started as on a system where the module enumeration gives nothing (a 64-bit program seen
// from this 32-bit one): the image path answers for the list and the path label.
TEST_F(MainListTest, WithoutTheModuleEnumerationRowsStillShowNameAndPath) {
    HWND target = CreateWindowAt("No module list", 40);
    ASSERT_TRUE(IsWindow(target));
    PsapiDisabledForQuorvel disabled;
    ASSERT_TRUE(disabled.set);
    StartQuorvel();

    ASSERT_TRUE(WaitForRow(target));
    EXPECT_EQ(rows->ItemText(RowOf(target), 1), "QuorvelFixture.exe");
    ASSERT_TRUE(rows->ClickRow(RowOf(target)));
    HWND label = GetDlgItem(dialog, IDC_MAIN_PATH);
    std::string path;
    ASSERT_TRUE(e2e::WaitUntil([&] { return !(path = e2e::WindowText(label)).empty(); }, 3000));
    EXPECT_EQ(lstrcmpiA(path.c_str(), e2e::FixtureExePath().c_str()), 0) << path;
}

TEST_F(MainListTest, SelectedRowStaysSelectedAcrossAutoRefresh) {
    HWND target = CreateWindowAt("Keep me selected", 40);
    ASSERT_TRUE(IsWindow(target));
    StartQuorvel();
    ASSERT_TRUE(WaitForRow(target));
    const int before = RowOf(target);
    ASSERT_TRUE(rows->ClickRow(before));
    ASSERT_TRUE(e2e::WaitUntil([&] { return SelectedHandle() == HandleText(target); }, 3000));

    // New windows come first in Z order, so the target's row moves down at the next refresh.
    std::vector<HWND> newer;
    for (int i = 0; i < 3; ++i) {
        newer.push_back(CreateWindowAt("Newer " + std::to_string(i), 140 + 90 * i));
        ASSERT_TRUE(IsWindow(newer.back()));
    }
    ASSERT_TRUE(e2e::WaitUntil([&] {
        for (HWND hwnd : newer) {
            if (RowOf(hwnd) < 0) return false;
        }
        return true;
    }, kRefreshDeadlineMs, 100)) << "the new windows were not listed after a refresh";
    const int after = RowOf(target);
    ASSERT_GE(after, 0);
    EXPECT_NE(after, before) << "the target's row did not move, the check below proves less";
    EXPECT_EQ(SelectedHandle(), HandleText(target));
    EXPECT_EQ(rows->ItemText(rows->SelectionMark(), kHandleColumn), HandleText(target));
    EXPECT_EQ(rows->NextItem(rows->NextItem(-1, LVNI_SELECTED), LVNI_SELECTED), -1)
        << "more than one row selected";

    // And again after one more refresh with nothing new.
    HWND marker = CreateWindowAt("Marker", 500);
    ASSERT_TRUE(WaitForRow(marker));
    EXPECT_EQ(SelectedHandle(), HandleText(target));
}

TEST_F(MainListTest, ClosedWindowLeavesNoRowAfterNextRefresh) {
    HWND doomed = CreateWindowAt("Doomed", 40);
    HWND survivor = CreateWindowAt("Survivor", 140);
    ASSERT_TRUE(IsWindow(doomed) && IsWindow(survivor));
    StartQuorvel();
    ASSERT_TRUE(WaitForRow(doomed));
    ASSERT_TRUE(WaitForRow(survivor));
    const std::string doomedText = HandleText(doomed);

    ASSERT_TRUE(e2e::SendWithTimeout(doomed, WM_CLOSE, 0, 0, nullptr));
    ASSERT_FALSE(IsWindow(doomed));
    EXPECT_TRUE(e2e::WaitUntil([&] { return rows->FindRow(kHandleColumn, doomedText) < 0; },
                               kRefreshDeadlineMs, 100))
        << "the closed window's row is still listed";
    EXPECT_GE(RowOf(survivor), 0);
}

}  // namespace
