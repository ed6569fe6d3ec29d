// The real program, driven from outside, against a fixture window whose program has stopped
// answering: it is listed, the program stays usable and the inspector still lists the children.
#include "E2eDriver.h"
#include "E2eSuite.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using e2e::HandleText;

class InspectorE2eTest : public e2e::E2eSuite {
protected:
    // A real click on the main dialog's "Title付き" box, and whether it flipped within the time.
    bool CheckBoxFlipsWithin(DWORD timeoutMs) {
        return e2e::ClickFlipsCheckBox(GetDlgItem(dialog, IDC_MAIN_WITHTITLE), timeoutMs);
    }
};

// A window whose thread has stopped answering is listed like any other and its row click
// finishes; the program goes on taking input and refreshing, and lists the window's children.
TEST_F(InspectorE2eTest, HungProgramIsListedItsChildrenInspectedAndQuorvelKeepsTakingInput) {
    HWND hung = fixture.Create("name=hung title=\"Not answering\" x=980 y=40 w=240 h=160 show=noactivate thread=stuck");
    ASSERT_TRUE(IsWindow(hung));
    ASSERT_TRUE(fixture.Command("child parent=hung name=k1 text=First id=5;"
                                "child parent=k1 name=k2 class=BUTTON text=Inner id=6 x=2 y=2 w=40 h=20;"
                                "child parent=hung name=k3 text=Third id=7 y=60").answered);
    HWND k1 = Named("k1");
    HWND k2 = Named("k2");
    HWND k3 = Named("k3");
    ASSERT_EQ(fixture.Command("hang window=" + HandleText(hung) + " ms=forever").value, 1);

    ASSERT_NO_FATAL_FAILURE(StartQuorvel());
    ASSERT_TRUE(WaitForRow(hung)) << "the hung window was not listed";
    EXPECT_EQ(rows->ItemText(RowOf(hung), 0), "Not answering");
    EXPECT_EQ(rows->ItemText(RowOf(hung), 1), "QuorvelFixture.exe");

    // From here on the window manager counts the program as not responding, and Quorvel's
    // bounded messages to it fail at once.
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsHungAppWindow(hung) != FALSE; }, 10000, 100));

    ASSERT_TRUE(rows->ClickRow(RowOf(hung)));
    EXPECT_TRUE(CheckBoxFlipsWithin(2000)) << "no real input taken within 2 s of the row click";
    EXPECT_TRUE(e2e::WaitUntil([&] { return !e2e::WindowText(GetDlgItem(dialog, IDC_MAIN_PATH)).empty(); }, 5000))
        << "the click on the hung window's row never finished";
    // Auto refreshes go on while the window stays hung.
    HWND later = fixture.Create("title=\"Listed after the hang\" x=980 y=240 w=240 h=80 show=noactivate");
    EXPECT_TRUE(WaitForRow(later));

    HWND inspector = OpenInspector(hung, 3000);
    ASSERT_NE(inspector, nullptr) << "the inspector did not show with its caption";
    e2e::RemoteListView children(GetDlgItem(inspector, IDC_CI_LIST));
    ASSERT_EQ(children.ItemCount(), 3);
    EXPECT_EQ(children.ItemText(0, 0), HandleText(k1));
    EXPECT_EQ(children.ItemText(1, 0), HandleText(k2));
    EXPECT_EQ(children.ItemText(1, 1), "Button");
    EXPECT_EQ(children.ItemText(1, 3), HandleText(k1));
    EXPECT_EQ(children.ItemText(2, 0), HandleText(k3));
    EXPECT_EQ(children.ItemText(2, 4), "7");
    // Texts come through although the program does not answer.
    EXPECT_EQ(children.ItemText(0, 2), "First");
    EXPECT_EQ(children.ItemText(1, 2), "Inner");
    EXPECT_EQ(children.ItemText(2, 2), "Third");

    ASSERT_TRUE(e2e::PressButton(GetDlgItem(inspector, IDC_CI_REFRESH)));
    EXPECT_TRUE(CheckBoxFlipsWithin(2000)) << "no real input taken within 2 s of 情報更新";
    EXPECT_EQ(children.ItemCount(), 3);
    fixture.Command("resume window=" + HandleText(hung));
}

}  // namespace
