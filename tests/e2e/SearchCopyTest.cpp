// The main dialog's search box typed into with real keys, and copying from both lists read back
// from the clipboard, on the real program and the fixture's windows.
#include "E2eDriver.h"
#include "E2eSuite.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace {

using e2e::HandleText;
using e2e::kHandleColumn;

// One refresh (every 3 s) plus slack for a loaded machine.
constexpr DWORD kRefreshDeadlineMs = 8000;
constexpr int kColumns = 4;

class SearchCopyTest : public e2e::E2eSuite {
protected:
    HWND CreateWindowAt(const std::string& title, int y) {
        return fixture.Create("title=\"" + title + "\" x=980 y=" + std::to_string(y) + " w=240 h=70 show=noactivate");
    }

    // Types lower-case letters and digits with real keys into the window that has the focus.
    static void Type(const std::string& text) {
        for (char c : text) ASSERT_TRUE(e2e::PressKey(static_cast<WORD>(std::toupper(static_cast<unsigned char>(c)))));
    }

    // Whether every row of the list contains the text in one of its columns, case aside.
    bool EveryRowContains(const std::string& text) {
        for (const std::vector<std::string>& row : rows->Rows(kColumns)) {
            bool found = false;
            for (const std::string& cell : row) {
                std::string lower = cell;
                for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                found = found || lower.find(text) != std::string::npos;
            }
            if (!found) return false;
        }
        return true;
    }

    std::string SelectedHandle() {
        const int selected = rows->NextItem();
        return selected < 0 ? "" : rows->ItemText(selected, kHandleColumn);
    }
};

TEST_F(SearchCopyTest, TypingNarrowsTheListAtEveryRefreshAndEscapeBringsEveryRowBack) {
    HWND alpha = CreateWindowAt("Searchalpha one", 40);
    HWND beta = CreateWindowAt("Searchbeta", 130);
    ASSERT_TRUE(IsWindow(alpha) && IsWindow(beta));
    ASSERT_NO_FATAL_FAILURE(StartQuorvel());
    ASSERT_NO_FATAL_FAILURE(ClickRow(beta));
    const int allRows = rows->ItemCount();

    HWND box = GetDlgItem(dialog, IDC_MAIN_SEARCH);
    RECT boxRect{};
    GetWindowRect(box, &boxRect);
    ASSERT_TRUE(e2e::ClickScreenPoint(box, POINT{(boxRect.left + boxRect.right) / 2, (boxRect.top + boxRect.bottom) / 2}));
    ASSERT_TRUE(e2e::WaitUntil([&] { return GetForegroundWindow() == dialog; }, 2000));
    ASSERT_NO_FATAL_FAILURE(Type("alpha"));
    ASSERT_TRUE(e2e::WaitUntil([&] { return RowOf(beta) < 0 && RowOf(alpha) >= 0; }, 3000))
        << "the list was not narrowed";
    EXPECT_TRUE(EveryRowContains("alpha"));
    EXPECT_EQ(SelectedHandle(), "") << "the hidden target's row cannot be selected";

    // The automatic refresh keeps the search: a new matching window comes, a new other one does not.
    HWND later = CreateWindowAt("Searchalpha two", 220);
    HWND other = CreateWindowAt("Searchgamma", 310);
    ASSERT_TRUE(e2e::WaitUntil([&] { return RowOf(later) >= 0; }, kRefreshDeadlineMs, 100));
    EXPECT_LT(RowOf(other), 0);
    EXPECT_TRUE(EveryRowContains("alpha"));

    // The handle's digits without "0x" find the window too.
    ASSERT_TRUE(e2e::PressKey(VK_ESCAPE));
    ASSERT_NO_FATAL_FAILURE(Type(HandleText(other).substr(4)));
    ASSERT_TRUE(e2e::WaitUntil([&] { return RowOf(other) >= 0 && RowOf(alpha) < 0; }, 3000));

    // Escape empties the box at once: every row is back, the target's row selected again, the
    // program still there.
    ASSERT_TRUE(e2e::PressKey(VK_ESCAPE));
    ASSERT_TRUE(e2e::WaitUntil([&] { return RowOf(beta) >= 0 && RowOf(alpha) >= 0; }, 2000));
    EXPECT_EQ(e2e::WindowText(box), "");
    EXPECT_GE(rows->ItemCount(), allRows + 2);
    EXPECT_EQ(SelectedHandle(), HandleText(beta));
    EXPECT_TRUE(IsWindow(dialog));
}

}  // namespace
