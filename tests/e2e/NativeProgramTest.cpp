// The 32-bit program on a 64-bit desktop, against Wine's own 64-bit Notepad: its row, its real
// path in the system folder, its picture, its children, the finder on it and a command that
// changes it. Runs only on the 64-bit desktop (label desktop64), with the 64-bit fixture.
#include "E2eDriver.h"
#include "E2eSuite.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using e2e::HandleText;

bool Is64BitProcess(HANDLE process) {
    BOOL wow64 = TRUE;
    return IsWow64Process(process, &wow64) && !wow64;
}

using NativeProgramTest = e2e::E2eSuite;

TEST_F(NativeProgramTest, NotepadIsListedWithItsSystemPathPicturedInspectedPickedAndMinimised) {
    BOOL selfWow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &selfWow64) && selfWow64) << "not on a 64-bit desktop";
    ASSERT_TRUE(Is64BitProcess(fixture.Process().Handle())) << "not the 64-bit fixture: " << e2e::FixtureExePath();

    // From a 32-bit program, system32 is the 32-bit folder; sysnative is the real one.
    e2e::ChildProcess notepad;
    ASSERT_TRUE(notepad.Start("C:\\windows\\sysnative\\notepad.exe", {}));
    ASSERT_TRUE(Is64BitProcess(notepad.Handle()));
    HWND window = e2e::WaitForTopLevelWindow(notepad.Pid(), "Notepad", nullptr, 10000);
    HWND edit = FindWindowExA(window, nullptr, "Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(MoveWindow(window, 860, 560, 380, 280, TRUE));

    ASSERT_NO_FATAL_FAILURE(StartQuorvel());
    ASSERT_NO_FATAL_FAILURE(ClickRow(window));
    EXPECT_EQ(rows->ItemText(RowOf(window), 1), "notepad.exe");
    EXPECT_EQ(lstrcmpiA(PathLabel().c_str(), "C:\\windows\\system32\\notepad.exe"), 0) << PathLabel();

    // The capture view shows the window from (10, 70), pixel for pixel: the edit's blank inside.
    HWND view = e2e::DialogHolding(dialog, IDC_CPT_SAVEPICTURE);
    ASSERT_NE(view, nullptr);
    RECT frame{}, editRect{};
    GetWindowRect(window, &frame);
    GetWindowRect(edit, &editRect);
    const COLORREF blank = e2e::ClientPixel(edit, 30, 30);
    const int x = 10 + editRect.left - frame.left + 30, y = 70 + editRect.top - frame.top + 30;
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::ClientPixel(view, x, y) == blank; }, 3000))
        << std::hex << e2e::ClientPixel(view, x, y) << " vs " << blank;

    SetForegroundWindow(dialog);
    ASSERT_TRUE(DragFinderTo(POINT{editRect.left + 40, editRect.top + 25}, edit)) << PathLabel();
    EXPECT_NE(PathLabel().find("Edit"), std::string::npos) << PathLabel();
    ASSERT_TRUE(e2e::MouseUp());
    EXPECT_TRUE(e2e::WaitUntil([&] { return PathLabel().find("notepad.exe") != std::string::npos; }, 3000))
        << PathLabel();

    HWND inspector = OpenInspector(window);
    ASSERT_NE(inspector, nullptr);
    e2e::RemoteListView children(GetDlgItem(inspector, IDC_CI_LIST));
    const int picked = children.NextItem();
    ASSERT_GE(picked, 0) << "the child the finder picked is not selected";
    EXPECT_EQ(children.ItemText(picked, 0), HandleText(edit));
    EXPECT_EQ(children.ItemText(picked, 1), "Edit");

    HWND operations = e2e::DialogHolding(dialog, IDC_OP_MINIMIZE);
    ASSERT_TRUE(e2e::PressButton(GetDlgItem(operations, IDC_OP_MINIMIZE)));
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsIconic(window) != FALSE; }, 3000));
    ASSERT_TRUE(e2e::PressButton(GetDlgItem(operations, IDC_OP_RESTORE)));
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsIconic(window) == FALSE; }, 3000));
}

}  // namespace
