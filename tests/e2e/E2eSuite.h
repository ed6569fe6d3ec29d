// The base of the end-to-end tests: the fixture program started for each test, Quorvel started
// when the test wants it, both ended afterwards, and the steps most tests take in the program.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "E2eDriver.h"
#include "res/resource.h"

namespace e2e {

class E2eSuite : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(QuorvelExePath().empty()) << "QUORVEL_BIN is not set";
        ASSERT_TRUE(fixture.Start()) << "fixture did not start: " << FixtureExePath();
    }

    void TearDown() override {
        rows.reset();
        quorvel.Close();
        fixture.Quit();
    }

    // Starts Quorvel with the arguments and waits (up to timeoutMs) for its main dialog and list.
    void StartQuorvel(DWORD timeoutMs = 10000, const std::vector<std::string>& args = {}, DWORD creationFlags = 0) {
        ASSERT_TRUE(quorvel.Start(args, "", timeoutMs, creationFlags))
            << "no dialog \"Tsuravi\" of class #32770 from " << QuorvelExePath();
        dialog = quorvel.Dialog();
        rows = std::make_unique<RemoteListView>(GetDlgItem(dialog, IDC_MAIN_LIST));
        ASSERT_TRUE(rows->Valid());
    }

    // The window's row in the main list now, or -1.
    int RowOf(HWND hwnd) { return rows->FindRow(kHandleColumn, HandleText(hwnd)); }
    // Whether the window has a row within timeoutMs (the list refreshes every 3 s).
    bool WaitForRow(HWND hwnd, DWORD timeoutMs = 8000) {
        return WaitUntil([&] { return RowOf(hwnd) >= 0; }, timeoutMs, 100);
    }

    // Clicks the window's row with real input, which hands it over to the panels, and waits
    // until the program has handled the click: the path label, emptied first, is written last.
    void ClickRow(HWND hwnd) {
        ASSERT_TRUE(WaitForRow(hwnd)) << "no row for " << HandleText(hwnd);
        HWND label = GetDlgItem(dialog, IDC_MAIN_PATH);
        ASSERT_TRUE(SendWithTimeout(label, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""), nullptr));
        ASSERT_TRUE(rows->ClickRow(RowOf(hwnd)));
        ASSERT_TRUE(WaitUntil([&] { return !WindowText(label).empty(); }, 5000))
            << "the click on the row was not handled";
    }

    // Presses "子ウィンドウ情報" and returns the inspector on the target once it shows, or null.
    HWND OpenInspector(HWND target, DWORD timeoutMs = 5000) {
        if (!PressButton(GetDlgItem(dialog, IDC_MAIN_CHILDINFO))) return nullptr;
        return WaitForShownDialog(quorvel.Pid(), "子ウィンドウ情報（親ハンドル=" + HandleText(target) + ")", timeoutMs);
    }
    // The fixture's window made under the name.
    HWND Named(const std::string& name) { return reinterpret_cast<HWND>(fixture.Command("find name=" + name).value); }
    // Opens the window tree from the main dialog: the tree's dialog once it shows, or null.
    HWND OpenWindowTree() {
        if (!PressButton(GetDlgItem(dialog, IDC_MAIN_TREE))) return nullptr;
        return WaitForShownDialog(quorvel.Pid(), "ウィンドウツリー");
    }

    // Presses on the finder and drags with real input to the screen point; true once the path
    // label names the window expected there.
    bool DragFinderTo(POINT point, HWND expected) {
        RECT box{};
        GetWindowRect(GetDlgItem(dialog, IDC_MAIN_FINDER), &box);
        if (!MouseDownAt(POINT{(box.left + box.right) / 2, (box.top + box.bottom) / 2})) return false;
        MouseMoveTo(POINT{(box.left + point.x) / 2, (box.top + point.y) / 2});
        if (!MouseMoveTo(point)) return false;
        return WaitUntil([&] { return PathLabel().rfind(HandleText(expected), 0) == 0; }, 3000);
    }
    std::string PathLabel() { return WindowText(GetDlgItem(dialog, IDC_MAIN_PATH)); }

    FixtureClient fixture;
    QuorvelProgram quorvel;
    HWND dialog = nullptr;
    std::unique_ptr<RemoteListView> rows;  // the main list, once Quorvel is started
};

}  // namespace e2e
