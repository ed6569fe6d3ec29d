// The finder of the real program dragged with real mouse input onto a fixture program's child
// tree: the picked window becomes the target in the list and the inspector, Escape ends a drag
// without a trace, and a hung window can be picked without freezing the program.
#include "E2eDriver.h"
#include "E2eSuite.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using e2e::HandleText;
using e2e::kHandleColumn;

class FinderTest : public e2e::E2eSuite {
protected:
    void TearDown() override {
        e2e::MouseUp();
        if (target) fixture.Command("resume window=" + HandleText(target));
        E2eSuite::TearDown();
    }

    // A target with a child holding a button, and Quorvel started with its list filled.
    // Without a title the target has no row while the list shows titled windows only; the list
    // answers only once the dialog has filled it.
    void StartOn(const std::string& thread, const std::string& title = "Finder target") {
        target = fixture.Create("title=\"" + title + "\" x=880 y=620 w=320 h=220 show=noactivate thread=" + thread);
        ASSERT_TRUE(IsWindow(target));
        ASSERT_TRUE(fixture.Command("child parent=" + HandleText(target) + " name=outer x=10 y=10 w=220 h=140;"
                                    "child parent=outer name=inner class=BUTTON text=Deep x=20 y=30 w=120 h=50").answered);
        outer = Named("outer");
        inner = Named("inner");
        ASSERT_TRUE(IsWindow(inner));
        ASSERT_NO_FATAL_FAILURE(StartQuorvel());
        ASSERT_TRUE(e2e::WaitUntil([&] { return title.empty() ? rows->ItemCount() >= 0 : rows->FindRow(0, title) >= 0; }, 8000));
        SetForegroundWindow(dialog);
        e2e::WaitUntil([&] { return GetForegroundWindow() == dialog; }, 2000);
    }

    bool DragTo(POINT point, HWND expected) { return DragFinderTo(point, expected); }
    std::string Label() { return PathLabel(); }
    // The target taken with its row selected, and the inner child selected in the inspector with
    // X/Y at the screen point.
    void ExpectInnerPickedAt(POINT screen) {
        EXPECT_TRUE(e2e::WaitUntil([&] { return Label().find("QuorvelFixture.exe") != std::string::npos; }, 3000))
            << Label();
        EXPECT_EQ(SelectedRow(), rows->FindRow(kHandleColumn, HandleText(target)));
        HWND inspector = OpenInspector(target, 3000);
        ASSERT_NE(inspector, nullptr);
        e2e::RemoteListView children(GetDlgItem(inspector, IDC_CI_LIST));
        const int mark = children.NextItem();
        ASSERT_GE(mark, 0);
        EXPECT_EQ(children.ItemText(mark, 0), HandleText(inner));
        ScreenToClient(inner, &screen);
        EXPECT_EQ(e2e::WindowText(GetDlgItem(inspector, IDC_CI_X)), std::to_string(screen.x));
        EXPECT_EQ(e2e::WindowText(GetDlgItem(inspector, IDC_CI_Y)), std::to_string(screen.y));
    }
    HWND Frame() { return e2e::FindTopLevelWindow(quorvel.Pid(), "QuorvelFinderFrame", nullptr); }
    int SelectedRow() { return rows->NextItem(); }

    HWND target = nullptr, outer = nullptr, inner = nullptr;
};

TEST_F(FinderTest, DragOntoAChildMakesItsWindowTheTargetAndEscapeLeavesNoTrace) {
    ASSERT_NO_FATAL_FAILURE(StartOn("main"));
    RECT innerRect{};
    GetWindowRect(inner, &innerRect);
    const std::vector<DWORD> before = e2e::ScreenPixels(innerRect);

    const POINT release{innerRect.left + 13, innerRect.top + 17};
    ASSERT_TRUE(DragTo(release, inner)) << Label();
    EXPECT_NE(Label().find("Button  \"Deep\""), std::string::npos) << Label();
    HWND frame = Frame();
    RECT frameRect{};
    ASSERT_TRUE(frame && IsWindowVisible(frame) && GetWindowRect(frame, &frameRect));
    EXPECT_TRUE(EqualRect(&frameRect, &innerRect));

    ASSERT_TRUE(e2e::PressKey(VK_ESCAPE));
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(frame); }, 2000));
    e2e::MouseUp();
    EXPECT_TRUE(e2e::WaitUntil([&] { return Label().empty(); }, 2000)) << Label();
    EXPECT_EQ(SelectedRow(), -1);
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::ScreenPixels(innerRect) == before; }, 2000))
        << "the frame left pixels behind";

    ASSERT_TRUE(DragTo(release, inner)) << Label();
    POINT released{};
    GetCursorPos(&released);
    ASSERT_TRUE(e2e::MouseUp());
    // The drag's timer sees the release and takes the frame down.
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(Frame()); }, 2000));
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::ScreenPixels(innerRect) == before; }, 2000));
    ExpectInnerPickedAt(released);
}

// The pick key takes the window under the pointer as a release there would, while another
// program has the focus.
TEST_F(FinderTest, ThePickKeyTakesTheWindowUnderThePointerWhileAnotherProgramHasTheFocus) {
    ASSERT_NO_FATAL_FAILURE(StartOn("main"));
    RECT innerRect{};
    GetWindowRect(inner, &innerRect);
    const POINT pointer{innerRect.left + 21, innerRect.top + 9};
    ASSERT_TRUE(e2e::MouseMoveTo(pointer));
    SetForegroundWindow(target);
    ASSERT_TRUE(e2e::WaitUntil([&] { return GetForegroundWindow() == target; }, 2000));

    ASSERT_TRUE(e2e::PressKeys({VK_CONTROL, VK_MENU, 'F'}));
    ASSERT_TRUE(e2e::WaitUntil([&] { return !Label().empty(); }, 3000));
    EXPECT_EQ(GetForegroundWindow(), target) << "the key took the focus away";
    ExpectInnerPickedAt(pointer);
}

TEST_F(FinderTest, AHungWindowWithoutARowIsPickedAndTheProgramKeepsTakingInput) {
    ASSERT_NO_FATAL_FAILURE(StartOn("stuck", ""));
    ASSERT_EQ(fixture.Command("hang window=" + HandleText(target) + " ms=forever").value, 1);
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsHungAppWindow(target) != FALSE; }, 10000, 100));
    RECT outerRect{};
    GetWindowRect(outer, &outerRect);
    ASSERT_TRUE(DragTo(POINT{outerRect.left + 5, outerRect.bottom - 5}, outer)) << Label();
    ASSERT_TRUE(e2e::MouseUp());
    // The release is dropped where the pointer is when the dialog takes it: the click below
    // moves the pointer only once the pick is shown.
    EXPECT_TRUE(e2e::WaitUntil([&] { return Label().find("QuorvelFixture.exe") != std::string::npos; }, 3000))
        << Label();
    EXPECT_TRUE(e2e::ClickFlipsCheckBox(GetDlgItem(dialog, IDC_MAIN_WITHTITLE), 2000))
        << "no real input taken within 2 s of the pick";
    EXPECT_EQ(SelectedRow(), -1);
}

}  // namespace
