// The window tree end to end: Quorvel's tree read through the control itself, against fixture
// windows (a parent with nested children, an owned window, a hidden one, a message-only one).
#include <gtest/gtest.h>

#include "E2eSuite.h"
#include "RemoteTreeView.h"
#include "WindowState.h"

namespace {

using e2e::RemoteTreeItem;

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }
// The start of a window's item: its handle and the opening quote of its text.
std::wstring ItemOf(HWND hwnd) { return Wide(e2e::HandleText(hwnd)) + L" \""; }

class WindowTreeTest : public e2e::E2eSuite {
protected:
    void SetUp() override {
        E2eSuite::SetUp();
        ASSERT_TRUE(fixture.Command("create name=p title=TreeParent x=700 y=500 w=300 h=200 show=noactivate;"
                                    "child parent=p name=c text=Middle x=10 y=10 w=200 h=120;"
                                    "child parent=c name=l class=BUTTON text=Leaf x=20 y=30 w=100 h=40;"
                                    "create name=o title=TreeOwned owner=p x=760 y=560 show=noactivate;"
                                    "create name=h title=TreeHidden show=hidden").answered);
        parent = Named("p");
        middle = Named("c");
        leaf = Named("l");
        owned = Named("o");
        hidden = Named("h");
        sink = reinterpret_cast<HWND>(fixture.Command("messageonly title=TreeSink children=1").value);
        ASSERT_TRUE(IsWindow(leaf) && IsWindow(owned) && IsWindow(hidden) && IsWindow(sink));
        ASSERT_NO_FATAL_FAILURE(StartQuorvel());
        ASSERT_TRUE(treeDialog = OpenWindowTree());
        tree = std::make_unique<e2e::RemoteTreeView>(GetDlgItem(treeDialog, IDC_WT_TREE));
        ASSERT_TRUE(tree->Valid());
        ASSERT_TRUE(e2e::WaitUntil([&] { return Item(leaf).item != nullptr; }, 5000));
    }
    RemoteTreeItem Item(HWND hwnd) { return tree->Find(ItemOf(hwnd)); }
    // Waits until the tree's items satisfy the condition.
    bool TreeHolds(const std::function<bool(const std::vector<RemoteTreeItem>&)>& holds) {
        return e2e::WaitUntil([&] { return holds(tree->Items()); }, 5000);
    }
    std::wstring Typed(const std::wstring& text) {
        SendMessageTimeoutW(GetDlgItem(treeDialog, IDC_WT_SEARCH), WM_SETTEXT, 0,
                            reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 2000, nullptr);
        return text;
    }

    HWND parent = nullptr, middle = nullptr, leaf = nullptr, owned = nullptr, hidden = nullptr, sink = nullptr;
    HWND treeDialog = nullptr;
    std::unique_ptr<e2e::RemoteTreeView> tree;
};

TEST_F(WindowTreeTest, ParentsOwnersHiddenAndMessageOnlyWindowsInOneTreeAndItsSearch) {
    // Nested under their parents, the top-level item with its process; Quorvel's own windows in
    // the same tree as the fixture's (a 64-bit program's on the 64-bit desktop).
    const RemoteTreeItem top = Item(parent);
    EXPECT_EQ(top.text, ItemOf(parent) + L"TreeParent\" QuorvelFixtureWindow [QuorvelFixture.exe]");
    EXPECT_EQ(top.depth, 0);
    EXPECT_EQ(Item(middle).parent, top.item);
    EXPECT_EQ(Item(leaf).parent, Item(middle).item);
    EXPECT_EQ(Item(leaf).text, ItemOf(leaf) + L"Leaf\" Button");
    EXPECT_EQ(Item(dialog).text, ItemOf(dialog) + L"Tsuravi\" #32770 [Quorvel.exe]");
    EXPECT_EQ(Item(owned).depth, 0);
    EXPECT_TRUE(Item(hidden).state & TVIS_CUT);
    EXPECT_FALSE(top.state & (TVIS_CUT | TVIS_BOLD));
    // Message-only windows under the last root.
    const std::vector<RemoteTreeItem> items = tree->Items();
    const RemoteTreeItem lastRoot = tree->Find(L"メッセージ専用ウィンドウ");
    EXPECT_EQ(lastRoot.depth, 0);
    for (auto it = items.rbegin(); it != items.rend() && it->item != lastRoot.item; ++it) EXPECT_GT(it->depth, 0);
    EXPECT_EQ(Item(sink).parent, lastRoot.item);
    EXPECT_EQ(Item(sink).text.find(L"\"TreeSink\" QuorvelFixtureTreeWindow [QuorvelFixture.exe]"),
              ItemOf(sink).size() - 1);

    // The owner view: the owned window under its owner, beside the owner's own children.
    ASSERT_TRUE(e2e::PressButton(GetDlgItem(treeDialog, IDC_WT_OWNERS)));
    EXPECT_TRUE(TreeHolds([&](const std::vector<RemoteTreeItem>&) {
        const RemoteTreeItem owner = Item(parent);
        return Item(owned).parent == owner.item && Item(middle).parent == owner.item && owner.item;
    }));
    ASSERT_TRUE(e2e::PressButton(GetDlgItem(treeDialog, IDC_WT_OWNERS)));
    EXPECT_TRUE(TreeHolds([&](const std::vector<RemoteTreeItem>&) { return Item(owned).depth == 0 && Item(owned).item; }));

    // The search keeps matches with their ancestors, opened: by text, case aside, and by handle
    // without "0x" or leading zeros.
    struct Case {
        std::wstring typed;
        std::vector<HWND> shown;
    } cases[] = {
        {L"lEAF", {parent, middle, leaf}},
        {L"0x" + Wide(e2e::HandleText(middle)).substr(Wide(e2e::HandleText(middle)).find_first_not_of(L"0x")),
         {parent, middle}},
        {Wide(e2e::HandleText(owned)).substr(2), {owned}},
    };
    for (const Case& c : cases) {
        Typed(c.typed);
        EXPECT_TRUE(TreeHolds([&](const std::vector<RemoteTreeItem>& shown) {
            if (shown.size() != c.shown.size()) return false;
            for (size_t i = 0; i < shown.size(); ++i) {
                if (shown[i].text.compare(0, ItemOf(c.shown[i]).size(), ItemOf(c.shown[i])) != 0) return false;
                if (i + 1 < shown.size() && !(shown[i].state & TVIS_EXPANDED)) return false;
            }
            return true;
        })) << std::string(c.typed.begin(), c.typed.end());
    }
    // Escape in the box empties it and every window is back.
    RECT box{};
    GetWindowRect(GetDlgItem(treeDialog, IDC_WT_SEARCH), &box);
    ASSERT_TRUE(e2e::ClickScreenPoint(GetDlgItem(treeDialog, IDC_WT_SEARCH), POINT{box.left + 5, (box.top + box.bottom) / 2}));
    ASSERT_TRUE(e2e::PressKey(VK_ESCAPE));
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::WindowText(GetDlgItem(treeDialog, IDC_WT_SEARCH)).empty(); }, 3000));
    EXPECT_TRUE(TreeHolds([&](const std::vector<RemoteTreeItem>&) { return Item(hidden).item && Item(sink).item; }));
    EXPECT_TRUE(IsWindowVisible(treeDialog));
    // The close box hides the tree, also with the focus in the box.
    ASSERT_TRUE(PostMessageA(treeDialog, WM_CLOSE, 0, 0));
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(treeDialog); }, 3000));
}

// Also a window whose program stopped answering is listed like any other, and picking its
// child leaves Quorvel taking input within a second or so.
TEST_F(WindowTreeTest, RefreshMarksNewWindowsKeepsPlaceAndSelectingAChildPicksItsWindowHungOrNot) {
    // Enter on the nested child: its top-level window becomes the target, and the inspector
    // selects the child.
    ASSERT_TRUE(tree->Expand(Item(parent).item));
    ASSERT_TRUE(tree->Expand(Item(middle).item));
    ASSERT_TRUE(tree->Click(Item(leaf).item));
    ASSERT_TRUE(e2e::PressKey(VK_RETURN));
    EXPECT_TRUE(e2e::WaitUntil([&] { return rows->NextItem() >= 0 && rows->NextItem() == RowOf(parent); }, 5000));
    HWND inspector = OpenInspector(parent, 3000);
    ASSERT_NE(inspector, nullptr);
    e2e::RemoteListView children(GetDlgItem(inspector, IDC_CI_LIST));
    EXPECT_TRUE(e2e::WaitUntil([&] { return children.NextItem() >= 0 && children.ItemText(children.NextItem(), 0) == e2e::HandleText(leaf); }, 3000));

    // A window made after the read is bold after 更新, a closed one gone; open branches and
    // the selection stay. The next refresh takes the bold away.
    HWND made = fixture.Create("title=TreeMadeLater x=40 y=40 show=noactivate");
    HWND stuck = fixture.Create("title=TreeStuck x=60 y=60 w=200 h=120 show=noactivate thread=stuck");
    ASSERT_TRUE(fixture.Command("child parent=" + e2e::HandleText(stuck) + " name=sc text=StuckChild").answered);
    HWND stuckChild = Named("sc");
    ASSERT_EQ(fixture.Command("hang window=" + e2e::HandleText(stuck) + " ms=forever").value, 1);
    ASSERT_TRUE(fixture.Command("destroy window=" + e2e::HandleText(owned)).answered);
    ASSERT_TRUE(e2e::PressButton(GetDlgItem(treeDialog, IDC_WT_REFRESH)));
    EXPECT_TRUE(TreeHolds([&](const std::vector<RemoteTreeItem>&) { return Item(made).item && Item(stuckChild).item && !Item(owned).item; }));
    EXPECT_EQ(Item(stuck).text, ItemOf(stuck) + L"TreeStuck\" QuorvelFixtureWindow [QuorvelFixture.exe]");
    EXPECT_TRUE(Item(made).state & TVIS_BOLD);
    EXPECT_FALSE(Item(parent).state & TVIS_BOLD);
    EXPECT_TRUE(Item(parent).state & TVIS_EXPANDED);
    EXPECT_TRUE(Item(middle).state & TVIS_EXPANDED);
    EXPECT_EQ(tree->Selected(), Item(leaf).item);
    EXPECT_EQ(rows->NextItem(), RowOf(parent)) << "a refresh is no new pick";
    ASSERT_TRUE(e2e::PressButton(GetDlgItem(treeDialog, IDC_WT_REFRESH)));
    EXPECT_TRUE(TreeHolds([&](const std::vector<RemoteTreeItem>&) { return Item(made).item && !(Item(made).state & TVIS_BOLD); }));
    EXPECT_EQ(tree->Selected(), Item(leaf).item);

    // Asking again brings the one tree to the front, also once it was closed.
    ASSERT_TRUE(e2e::PressButton(GetDlgItem(dialog, IDC_MAIN_TREE)));
    EXPECT_TRUE(e2e::WaitUntil([&] { return GetForegroundWindow() == treeDialog; }, 3000));
    ASSERT_TRUE(PostMessageA(treeDialog, WM_CLOSE, 0, 0));
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(treeDialog); }, 3000));
    ASSERT_TRUE(e2e::PressButton(GetDlgItem(dialog, IDC_MAIN_TREE)));
    EXPECT_TRUE(e2e::WaitUntil([&] { return GetForegroundWindow() == treeDialog; }, 3000));
    int trees = 0;
    for (HWND window : e2e::TopLevelWindowsOf(quorvel.Pid())) trees += e2e::WindowText(window) == "ウィンドウツリー";
    EXPECT_EQ(trees, 1);

    // The hung window's child picked: Quorvel takes clicks, and the hung window is the target.
    ASSERT_TRUE(tree->Expand(Item(stuck).item));
    ASSERT_TRUE(tree->Click(Item(stuckChild).item));
    ASSERT_TRUE(e2e::PressKey(VK_RETURN));
    EXPECT_TRUE(e2e::ClickFlipsCheckBox(GetDlgItem(treeDialog, IDC_WT_OWNERS), 3000));
    EXPECT_TRUE(e2e::WaitUntil([&] { return rows->NextItem() >= 0 && rows->NextItem() == RowOf(stuck); }, 5000));
    fixture.Command("resume window=" + e2e::HandleText(stuck));
}

// Selecting only looks: arrowing over a hidden and a minimised window shows or restores
// neither, not even for a moment, the status line says what each is, and the target stays.
TEST_F(WindowTreeTest, ArrowingOverHiddenAndMinimisedWindowsChangesNoWindowAndNotTheTarget) {
    HWND minimised = fixture.Create("title=TreeMinimised show=minnoactive");
    ASSERT_TRUE(e2e::PressButton(GetDlgItem(treeDialog, IDC_WT_REFRESH)));
    ASSERT_TRUE(e2e::WaitUntil([&] { return Item(minimised).item != nullptr; }, 5000));
    const int target = rows->NextItem();
    const e2e::WindowState hiddenBefore = e2e::ReadWindowState(hidden), minimisedBefore = e2e::ReadWindowState(minimised);
    for (HWND window : {hidden, minimised}) fixture.Command("clear window=" + e2e::HandleText(window));
    const HWND status = GetDlgItem(treeDialog, IDC_WT_STATUS);
    for (const auto& [window, said] : {std::pair<HWND, std::string>{hidden, "非表示"}, {minimised, "最小化"}}) {
        ASSERT_TRUE(tree->Click(Item(window).item));
        EXPECT_TRUE(e2e::WaitUntil([&, said = said] { return e2e::WindowText(status).rfind(said, 0) == 0; }, 3000))
            << e2e::WindowText(status);
        for (WORD key : {VK_DOWN, VK_DOWN, VK_UP, VK_UP, VK_UP, VK_DOWN}) ASSERT_TRUE(e2e::PressKey(key));
    }
    EXPECT_TRUE(e2e::WaitUntil([&] { return tree->Selected() == Item(minimised).item; }, 3000));
    for (HWND window : {hidden, minimised}) {
        for (const char* message : {"showwindow", "windowposchanged"})
            EXPECT_EQ(fixture.Command("query window=" + e2e::HandleText(window) + " msg=" + message).value, 0) << message;
    }
    EXPECT_EQ(e2e::WindowStateDifferences(hiddenBefore, e2e::ReadWindowState(hidden)), "");
    EXPECT_EQ(e2e::WindowStateDifferences(minimisedBefore, e2e::ReadWindowState(minimised)), "");
    EXPECT_EQ(rows->NextItem(), target);
}

}  // namespace
