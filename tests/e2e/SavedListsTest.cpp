// The lists saved as CSV from the real program: a title or a child's text a spreadsheet would
// run as a formula is saved as text, from the window list and from the inspector's list alike.
#include "E2eDriver.h"
#include "E2eSuite.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class SavedListsTest : public e2e::E2eSuite {
protected:
    // Chooses "一覧を保存…" from the list's menu (the last item), accepts the name the Save As
    // dialog proposes in the current folder, and returns the saved file's bytes.
    std::string SaveThroughMenu(HWND owner, HWND list, const std::string& proposedName) {
        char folder[MAX_PATH] = {};
        GetCurrentDirectoryA(sizeof folder, folder);
        const std::string file = std::string(folder) + "\\" + proposedName + ".csv";
        DeleteFileA(file.c_str());
        if (!PostMessageA(owner, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1))) return "";
        HWND menu = nullptr;
        e2e::WaitUntil([&] { return (menu = e2e::FindTopLevelWindow(quorvel.Pid(), "#32768", nullptr)) != nullptr; }, 5000);
        // The menu's loop takes the thread's keys: up from nothing chosen is the last item.
        PostMessageA(menu, WM_KEYDOWN, VK_UP, 0);
        PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
        HWND save = nullptr;
        e2e::WaitUntil([&] {
            for (HWND hwnd : e2e::TopLevelWindowsOf(quorvel.Pid()))
                if (IsWindowVisible(hwnd) && (GetDlgItem(hwnd, 1148) || GetDlgItem(hwnd, 1152))) save = hwnd;
            return save != nullptr;
        }, 5000);
        PostMessageA(save, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        if (!e2e::WaitUntil([&] { return GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES; }, 5000)) return "";
        Sleep(100);
        const std::string bytes = e2e::ReadFile(file);
        DeleteFileA(file.c_str());
        return bytes;
    }
};

TEST_F(SavedListsTest, TitlesAndTextsThatLookLikeFormulasAreSavedAsText) {
    HWND target = fixture.Create("name=f title=\"=1+2 合計\" x=900 y=60 w=300 h=200 show=noactivate");
    ASSERT_TRUE(fixture.Command("child parent=f name=c class=STATIC text=\"@SUM(A1)\" id=5").answered);
    ASSERT_NO_FATAL_FAILURE(StartQuorvel());
    ASSERT_NO_FATAL_FAILURE(ClickRow(target));

    const std::string windows = SaveThroughMenu(dialog, GetDlgItem(dialog, IDC_MAIN_LIST), "ウィンドウ一覧");
    ASSERT_FALSE(windows.empty()) << "the window list was not saved";
    EXPECT_NE(windows.find(u8"\r\n'=1+2 合計,"), std::string::npos) << windows;
    EXPECT_EQ(windows.find(u8"\r\n=1+2"), std::string::npos);

    HWND inspector = OpenInspector(target);
    ASSERT_NE(inspector, nullptr);
    const std::string children = SaveThroughMenu(inspector, GetDlgItem(inspector, IDC_CI_LIST), "子ウィンドウ一覧");
    ASSERT_FALSE(children.empty()) << "the inspector's list was not saved";
    EXPECT_NE(children.find(u8",'@SUM(A1),"), std::string::npos) << children;
    EXPECT_EQ(children.find(u8",@SUM"), std::string::npos);
}

}  // namespace
