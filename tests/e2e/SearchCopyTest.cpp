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

    static std::wstring Wide(const std::string& text) {
        wchar_t wide[512] = {};
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide, 511);
        return wide;
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

// Ctrl+C with real keys copies the main list's selected row as one tab-separated line, and the
// inspector's selected child as a report of its row, rectangles and style words.
TEST_F(SearchCopyTest, CtrlCCopiesTheSelectedRowOfEitherList) {
    HWND target = fixture.Create("title=\"Copy 対象\" x=880 y=400 w=320 h=220 show=noactivate");
    ASSERT_TRUE(fixture.Command("child parent=" + HandleText(target) +
                                " name=kid class=BUTTON text=Deep id=77 x=20 y=30 w=120 h=50").answered);
    HWND kid = reinterpret_cast<HWND>(fixture.Command("find name=kid").value);
    ASSERT_TRUE(IsWindow(kid));
    ASSERT_NO_FATAL_FAILURE(StartQuorvel());
    ASSERT_NO_FATAL_FAILURE(ClickRow(target));
    const auto copy = [] {
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
        return e2e::PressKeys({VK_CONTROL, 'C'});
    };

    ASSERT_TRUE(copy());
    const std::wstring row = Wide("Copy 対象\tQuorvelFixture.exe\t" + std::to_string(fixture.Pid()) + "\t" + HandleText(target));
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::ClipboardText() == row; }, 3000));

    HWND inspector = OpenInspector(target);
    ASSERT_NE(inspector, nullptr);
    e2e::RemoteListView children(GetDlgItem(inspector, IDC_CI_LIST));
    ASSERT_TRUE(children.ClickRow(children.FindRow(0, HandleText(kid))));
    ASSERT_TRUE(copy());
    RECT rect{};
    GetWindowRect(kid, &rect);
    char expected[512];
    snprintf(expected, sizeof expected,
             "handle: %s\r\nclassName: Button\r\ntext: Deep\r\nparent: %s\r\nCtrlID: 77\r\nVisible: TRUE\r\n"
             "Enable: TRUE\r\nGetWindowRect(): left=%ld, top=%ld, right=%ld, bottom=%ld\r\nGetClientRect(): W=120, H=50\r\n"
             "Style: 0x%08lx\r\nStyleEx: 0x%08lx\r\n",
             HandleText(kid).c_str(), HandleText(target).c_str(), rect.left, rect.top, rect.right, rect.bottom,
             static_cast<unsigned long>(GetWindowLongA(kid, GWL_STYLE)),
             static_cast<unsigned long>(GetWindowLongA(kid, GWL_EXSTYLE)));
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::ClipboardText() == Wide(expected); }, 3000));
    EXPECT_EQ(e2e::ClipboardText(), Wide(expected));
}

}  // namespace
