// What changed, end to end: the window tree follows the desktop while the fixture creates,
// moves, retitles, hides, re-owns and closes windows, lists each change with its field, from
// and to, in order, and marks the windows in the tree; a snapshot saved before the changes and
// compared after them shows the same.
#include <gtest/gtest.h>

#include "E2eSuite.h"
#include "RemoteTreeView.h"

namespace {

using e2e::RemoteTreeItem;

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }
std::wstring ItemOf(HWND hwnd) { return Wide(e2e::HandleText(hwnd)) + L" \""; }
UINT MarkOf(const RemoteTreeItem& item) { return (item.state & TVIS_STATEIMAGEMASK) >> 12; }

// The list's columns: 時刻 変化 ウィンドウ 項目 変更前 変更後.
enum { kTime, kKind, kWindow, kItem, kFrom, kTo, kColumns };

class WindowChangesTest : public e2e::E2eSuite {
protected:
    void SetUp() override {
        E2eSuite::SetUp();
        ASSERT_TRUE(fixture.Command("create name=a title=ChgA x=600 y=500 w=200 h=100 show=noactivate;"
                                    "create name=o title=ChgOwner x=650 y=550 w=200 h=100 show=noactivate").answered);
        a = Named("a");
        owner = Named("o");
        ASSERT_NO_FATAL_FAILURE(StartQuorvel());
        ASSERT_TRUE(treeDialog = OpenWindowTree());
        tree = std::make_unique<e2e::RemoteTreeView>(GetDlgItem(treeDialog, IDC_WT_TREE));
        changes = std::make_unique<e2e::RemoteListView>(GetDlgItem(treeDialog, IDC_WT_CHANGES));
        ASSERT_TRUE(tree->Valid() && changes->Valid());
        ASSERT_TRUE(e2e::WaitUntil([&] { return tree->Find(ItemOf(a)).item != nullptr; }, 5000));
        // Only the fixture's windows of this test are followed.
        SendMessageTimeoutW(GetDlgItem(treeDialog, IDC_WT_SEARCH), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Chg"),
                            SMTO_ABORTIFHUNG, 2000, nullptr);
        ASSERT_TRUE(e2e::WaitUntil([&] { return tree->Items().size() == 2; }, 5000)) << [&] {
            std::string shown;
            for (const RemoteTreeItem& item : tree->Items()) shown += std::string(item.text.begin(), item.text.end()) + "\n";
            return shown;
        }() << "a and its owner-to-be";
    }
    std::string Status() { return e2e::WindowText(GetDlgItem(treeDialog, IDC_WT_STATUS)); }
    // Runs the fixture's command and waits until the list holds rows more rows than before.
    bool Step(const std::string& command, int rows) {
        const int before = changes->ItemCount();
        if (!fixture.Command(command).answered) return false;
        return e2e::WaitUntil([&] { return changes->ItemCount() >= before + rows; }, 5000);
    }
    std::vector<std::string> Cells(int row) { return changes->Row(row, kColumns); }
    // `0x… "text" class` as the list names a window.
    using E2eSuite::Named;
    std::string Named(HWND hwnd, const std::string& text) {
        return e2e::HandleText(hwnd) + " \"" + text + "\" QuorvelFixtureWindow";
    }
    std::string Rect(int l, int t, int r, int b) {
        return "(" + std::to_string(l) + ", " + std::to_string(t) + ") - (" + std::to_string(r) + ", " +
               std::to_string(b) + ")  " + std::to_string(r - l) + " x " + std::to_string(b - t);
    }
    // The rows from the first one on, without their time.
    std::vector<std::vector<std::string>> Changes() {
        std::vector<std::vector<std::string>> rows = changes->Rows(kColumns);
        for (auto& row : rows) row.erase(row.begin());
        return rows;
    }

    HWND a = nullptr, owner = nullptr;
    HWND treeDialog = nullptr;
    std::unique_ptr<e2e::RemoteTreeView> tree;
    std::unique_ptr<e2e::RemoteListView> changes;
};

TEST_F(WindowChangesTest, FollowingListsEveryChangeInOrderWithItsFieldsAndMarksTheTreeUntilCleared) {
    ASSERT_TRUE(e2e::PressButton(GetDlgItem(treeDialog, IDC_WT_FOLLOW)));
    ASSERT_TRUE(e2e::WaitUntil([&] { return Status() == "変化を追っています"; }, 10000)) << Status();
    EXPECT_EQ(changes->ItemCount(), 0);

    ASSERT_TRUE(Step("create name=n title=ChgNew x=620 y=520 w=150 h=90 show=noactivate", 1));
    HWND made = Named("n");
    // A window the search does not match is not followed.
    ASSERT_TRUE(fixture.Command("create name=u title=Unrelated x=40 y=40 show=noactivate").answered);
    ASSERT_TRUE(Step("move window=@a x=610 y=505", 1));
    ASSERT_TRUE(Step("settext window=@a text=ChgRetitled", 1));
    ASSERT_TRUE(Step("show window=@a cmd=hide", 2));
    ASSERT_TRUE(Step("owner window=@a owner=@o", 1));
    ASSERT_TRUE(Step("destroy window=@n", 1));
    ASSERT_TRUE(e2e::WaitUntil([&] { return changes->ItemCount() == 7; }, 2000));

    const std::string retitled = Named(a, "ChgRetitled");
    const std::vector<std::vector<std::string>> expected = {
        {"追加", Named(made, "ChgNew"), "", "", ""},
        {"変更", Named(a, "ChgA"), "ウィンドウの四角形", Rect(600, 500, 800, 600), Rect(610, 505, 810, 605)},
        {"変更", retitled, "テキスト", "ChgA", "ChgRetitled"},
        {"変更", retitled, "表示", "はい", "いいえ"},
        {"変更", retitled, "スタイル", "0x14cf0000", "0x04cf0000"},
        {"変更", retitled, "所有者", "なし", e2e::HandleText(owner)},
        {"削除", Named(made, "ChgNew"), "", "", ""},
    };
    EXPECT_EQ(Changes(), expected);
    // Times as HH:MM:SS.mmm, newest last.
    std::string last;
    for (int row = 0; row < changes->ItemCount(); ++row) {
        const std::string time = changes->ItemText(row, kTime);
        ASSERT_EQ(time.size(), 12u) << time;
        EXPECT_EQ(time[2], ':');
        EXPECT_EQ(time[8], '.');
        EXPECT_LE(last, time);
        last = time;
    }

    // The tree: the new window kept, bold and struck out (its mark), the changed one marked.
    EXPECT_TRUE(e2e::WaitUntil([&] {
        const RemoteTreeItem removed = tree->Find(ItemOf(made));
        return removed.item && MarkOf(removed) == 2 && (removed.state & TVIS_BOLD) && MarkOf(tree->Find(ItemOf(a))) == 1;
    }, 5000));
    EXPECT_EQ(MarkOf(tree->Find(ItemOf(owner))), 0u);
    EXPECT_FALSE(tree->Find(ItemOf(owner)).state & TVIS_BOLD);
    EXPECT_TRUE(tree->Find(ItemOf(a)).state & TVIS_CUT) << "hidden";

    // クリア: the list and the marks go, and the closed window with them.
    ASSERT_TRUE(e2e::PressButton(GetDlgItem(treeDialog, IDC_WT_CLEAR)));
    EXPECT_TRUE(e2e::WaitUntil([&] {
        return changes->ItemCount() == 0 && !tree->Find(ItemOf(made)).item && tree->Find(ItemOf(a)).item &&
               MarkOf(tree->Find(ItemOf(a))) == 0;
    }, 5000));
    // Still following: the next change is listed.
    ASSERT_TRUE(Step("show window=@a cmd=noactivate", 2));
    EXPECT_EQ(changes->ItemText(0, kItem), "表示");
    ASSERT_TRUE(e2e::PressButton(GetDlgItem(treeDialog, IDC_WT_FOLLOW)));
    EXPECT_TRUE(e2e::WaitUntil([&] { return Status() == "変化を追うのをやめました"; }, 3000));
}

TEST_F(WindowChangesTest, ASnapshotSavedBeforeTheChangesAndComparedAfterThemShowsTheSameChanges) {
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof folder, folder);
    const std::string file = std::string(folder) + "\\changes-snapshot.json";
    DeleteFileA(file.c_str());
    // Answers the Save As or Open dialog with the file.
    auto answerFileDialog = [&] {
        HWND box = nullptr;
        e2e::WaitUntil([&] {
            for (HWND hwnd : e2e::TopLevelWindowsOf(quorvel.Pid()))
                if (IsWindowVisible(hwnd) && (GetDlgItem(hwnd, 1148) || GetDlgItem(hwnd, 1152))) box = hwnd;
            return box != nullptr;
        }, 5000);
        if (!box) return false;
        HWND name = GetDlgItem(box, 1152) ? GetDlgItem(box, 1152) : GetDlgItem(box, 1148);
        SendMessageTimeoutA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()), SMTO_ABORTIFHUNG, 2000, nullptr);
        return PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0) != FALSE;
    };
    ASSERT_TRUE(fixture.Command("create name=z title=ChgGone x=680 y=580 w=120 h=80 show=noactivate").answered);
    HWND gone = Named("z");
    ASSERT_TRUE(e2e::PressButton(GetDlgItem(treeDialog, IDC_WT_REFRESH)));
    ASSERT_TRUE(e2e::WaitUntil([&] { return tree->Find(ItemOf(gone)).item != nullptr; }, 5000));
    ASSERT_TRUE(PostMessageA(treeDialog, WM_COMMAND, MAKEWPARAM(IDC_WT_SAVE, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(treeDialog, IDC_WT_SAVE))));
    ASSERT_TRUE(answerFileDialog());
    ASSERT_TRUE(e2e::WaitUntil([&] { return Status().rfind("スナップショットを保存しました", 0) == 0; }, 60000)) << Status();
    const std::string saved = e2e::ReadFile(file);
    EXPECT_NE(saved.find("\"schema\":\"quorvel.snapshot/1\""), std::string::npos);
    EXPECT_NE(saved.find("\"handle\":\"" + e2e::HandleText(a) + "\""), std::string::npos);

    ASSERT_TRUE(fixture.Command("create name=n title=ChgNew x=620 y=520 w=150 h=90 show=noactivate;"
                                "move window=@a x=610 y=505; settext window=@a text=ChgRetitled;"
                                "owner window=@a owner=@o; destroy window=@z").answered);
    HWND made = Named("n");
    ASSERT_TRUE(PostMessageA(treeDialog, WM_COMMAND, MAKEWPARAM(IDC_WT_COMPARE, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(treeDialog, IDC_WT_COMPARE))));
    ASSERT_TRUE(answerFileDialog());
    ASSERT_TRUE(e2e::WaitUntil([&] { return Status().rfind("比較: ", 0) == 0; }, 60000)) << Status();
    const std::string retitled = Named(a, "ChgRetitled");
    // In the order of the diff: added, removed, changed, each window's fields in the snapshot's
    // order. The snapshot holds every property, so what moved with the changes (the client
    // rectangle, and where the system says so the root owner and the windows before and after)
    // are rows too.
    const std::vector<std::vector<std::string>> expected = {
        {"追加", Named(made, "ChgNew"), "", "", ""},
        {"削除", Named(gone, "ChgGone"), "", "", ""},
        {"変更", retitled, "テキスト", "ChgA", "ChgRetitled"},
        {"変更", retitled, "ウィンドウの四角形", Rect(600, 500, 800, 600), Rect(610, 505, 810, 605)},
        {"変更", retitled, "所有者", "なし", e2e::HandleText(owner)},
        {"変更", retitled, "クライアントの四角形", "", ""},
    };
    const std::vector<std::vector<std::string>> rows = Changes();
    size_t found = 0;
    for (const auto& row : rows) {
        EXPECT_TRUE(row[1] == Named(made, "ChgNew") || row[1] == Named(gone, "ChgGone") || row[1] == retitled ||
                    row[1] == Named(owner, "ChgOwner"))
            << row[1];
        const auto& want = expected[found < expected.size() ? found : expected.size() - 1];
        // A client rectangle's corners are the system's: the item, and that it moved as the window.
        const bool same = want[2] == "クライアントの四角形"
                              ? std::vector<std::string>(row.begin(), row.begin() + 3) ==
                                        std::vector<std::string>(want.begin(), want.begin() + 3) &&
                                    row[3].find(" - ") != std::string::npos && row[3] != row[4]
                              : row == want;
        if (found < expected.size() && same) ++found;
    }
    EXPECT_EQ(found, expected.size()) << "the rows in order, from the row that was not found:\n" << [&] {
        std::string all;
        for (const auto& row : rows) all += row[0] + " | " + row[1] + " | " + row[2] + " | " + row[3] + " | " + row[4] + "\n";
        return all;
    }();
    EXPECT_TRUE(e2e::WaitUntil([&] {
        const RemoteTreeItem removed = tree->Find(ItemOf(gone));
        return (tree->Find(ItemOf(made)).state & TVIS_BOLD) && removed.item && MarkOf(removed) == 2 &&
               MarkOf(tree->Find(ItemOf(a))) == 1;
    }, 5000));
    DeleteFileA(file.c_str());
}

}  // namespace
