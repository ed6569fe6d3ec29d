// The main dialog's search box typed into with real keys, and copying from both lists read back
// from the clipboard, on the real program and the fixture's windows.
#include "E2eDriver.h"
#include "E2eSuite.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace {

using e2e::HandleText;
using e2e::kHandleColumn;

// One refresh (every 3 s) plus slack for a loaded machine.
constexpr DWORD kRefreshDeadlineMs = 8000;

class SearchCopyTest : public e2e::E2eSuite {
protected:
    HWND CreateWindowAt(const std::string& title, int y) {
        return fixture.Create("title=\"" + title + "\" x=980 y=" + std::to_string(y) + " w=240 h=70 show=noactivate");
    }

    // Types lower-case letters and digits with real keys into the window that has the focus.
    static void Type(const std::string& text) {
        for (char c : text) ASSERT_TRUE(e2e::PressKey(static_cast<WORD>(std::toupper(static_cast<unsigned char>(c)))));
    }

    static std::wstring Wide(const std::string& text) {
        wchar_t wide[512] = {};
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide, 511);
        return wide;
    }
};

TEST_F(SearchCopyTest, TypingNarrowsTheListAtEveryRefreshAndEscapeBringsEveryRowBack) {
    HWND alpha = CreateWindowAt("Searchalpha one", 40);
    HWND beta = CreateWindowAt("Searchbeta", 130);
    ASSERT_TRUE(IsWindow(alpha) && IsWindow(beta));
    ASSERT_NO_FATAL_FAILURE(StartQuorvel());
    ASSERT_NO_FATAL_FAILURE(ClickRow(beta));

    HWND box = GetDlgItem(dialog, IDC_MAIN_SEARCH);
    RECT boxRect{};
    GetWindowRect(box, &boxRect);
    ASSERT_TRUE(e2e::ClickScreenPoint(box, POINT{(boxRect.left + boxRect.right) / 2, (boxRect.top + boxRect.bottom) / 2}));
    ASSERT_TRUE(e2e::WaitUntil([&] { return GetForegroundWindow() == dialog; }, 2000));
    ASSERT_NO_FATAL_FAILURE(Type("alpha"));
    ASSERT_TRUE(e2e::WaitUntil([&] { return RowOf(beta) < 0 && RowOf(alpha) >= 0; }, 3000))
        << "the list was not narrowed";

    // The automatic refresh keeps the search: a new matching window comes, a new other one does not.
    HWND later = CreateWindowAt("Searchalpha two", 220);
    HWND other = CreateWindowAt("Searchgamma", 310);
    ASSERT_TRUE(e2e::WaitUntil([&] { return RowOf(later) >= 0; }, kRefreshDeadlineMs, 100));
    EXPECT_LT(RowOf(other), 0);

    // Escape empties the box at once: every row is back, the target's row selected again, the
    // program still there.
    ASSERT_TRUE(e2e::PressKey(VK_ESCAPE));
    ASSERT_TRUE(e2e::WaitUntil([&] { return RowOf(beta) >= 0 && RowOf(other) >= 0; }, 2000));
    EXPECT_EQ(e2e::WindowText(box), "");
    EXPECT_EQ(rows->NextItem(), RowOf(beta));
    EXPECT_TRUE(IsWindow(dialog));
}

// Ctrl+C with real keys copies the main list's selected row as one tab-separated line (as every
// view copies a row), and the inspector's selected child as a report of its row, rectangles and
// style words.
TEST_F(SearchCopyTest, CtrlCCopiesTheSelectedRowOfEitherList) {
    HWND target = fixture.Create("title=\"Copy 対象\" x=880 y=400 w=320 h=220 show=noactivate");
    ASSERT_TRUE(fixture.Command("child parent=" + HandleText(target) +
                                " name=kid class=BUTTON text=Deep id=77 x=20 y=30 w=120 h=50").answered);
    HWND kid = Named("kid");
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
    const std::wstring row = Wide("Copy 対象\tQuorvelFixture.exe\t" + std::to_string(fixture.Pid()) + "\t" + HandleText(target) + "\r\n");
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::ClipboardText() == row; }, 3000));

    HWND inspector = OpenInspector(target);
    ASSERT_NE(inspector, nullptr);
    e2e::RemoteListView children(GetDlgItem(inspector, IDC_CI_LIST));
    ASSERT_TRUE(children.ClickRow(children.FindRow(0, HandleText(kid))));
    ASSERT_TRUE(copy());
    char style[32];
    snprintf(style, sizeof style, "\r\nStyle: 0x%08lx\r\n", static_cast<unsigned long>(GetWindowLongA(kid, GWL_STYLE)));
    const std::wstring head = Wide("handle: " + HandleText(kid) + "\r\nclassName: Button\r\ntext: Deep\r\nparent: " +
                                   HandleText(target) + "\r\nCtrlID: 77\r\n");
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::ClipboardText().rfind(head, 0) == 0; }, 3000));
    EXPECT_NE(e2e::ClipboardText().find(L"GetClientRect(): W=120, H=50" + Wide(style)), std::wstring::npos);
}

}  // namespace
