// Sets the scene for the run script's screenshot, as a user would with the mouse: clicks the
// row of a window (by default Notepad's) in Quorvel's list, which takes its picture on its own,
// opens the child-window inspector beside the main dialog, selects the first child and opens
// that child's message log, which records a few keys and a text read.
//   QuorvelShowcase.exe [window class]
// Exits 0 when every step was taken, 1 (with a message on standard error) otherwise.
#include <windows.h>

#include <cstdio>
#include <string>

#include "E2eDriver.h"
#include "res/resource.h"

namespace {

using e2e::kHandleColumn;

int Fail(const char* step) {
    std::fprintf(stderr, "showcase: %s\n", step);
    return 1;
}

// Quorvel's visible dialog other than its main dialog: the inspector.
HWND FindInspector(DWORD pid, HWND mainDialog) {
    for (HWND hwnd : e2e::TopLevelWindowsOf(pid)) {
        char className[16] = {};
        GetClassNameA(hwnd, className, sizeof className);
        if (hwnd != mainDialog && IsWindowVisible(hwnd) && std::string(className) == "#32770") return hwnd;
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    const char* targetClass = argc > 1 ? argv[1] : "Notepad";
    HWND dialog = e2e::WaitForTopLevelWindow(0, "#32770", "Tsuravi", 20000);
    if (!dialog) return Fail("no Quorvel main dialog");
    HWND target = e2e::WaitForTopLevelWindow(0, targetClass, nullptr, 20000);
    if (!target) return Fail("no window to show");
    DWORD pid = 0;
    GetWindowThreadProcessId(dialog, &pid);
    RECT main = {};
    GetWindowRect(dialog, &main);
    // Below the main dialog, where the screen copy finds it uncovered.
    SetWindowPos(target, HWND_TOP, main.left, main.bottom + 8, 600, 320, SWP_NOACTIVATE);
    Sleep(800);

    // The list refreshes every 3 s: the window may need one refresh to appear.
    e2e::RemoteListView rows(GetDlgItem(dialog, IDC_MAIN_LIST));
    int row = -1;
    if (!e2e::WaitUntil([&] { return (row = rows.FindRow(kHandleColumn, e2e::HandleText(target))) >= 0; }, 10000, 200))
        return Fail("the window is not listed");
    if (!rows.ClickRow(row)) return Fail("could not click the row");
    Sleep(800);

    // Wine prints another program's window black; the row click's automatic capture then copies
    // it from the screen, for the capture view and the inspector alike.
    if (!e2e::PressButton(GetDlgItem(dialog, IDC_MAIN_CHILDINFO))) return Fail("no inspector button");
    HWND inspector = nullptr;
    if (!e2e::WaitUntil([&] { return (inspector = FindInspector(pid, dialog)) != nullptr; }, 5000))
        return Fail("the inspector did not open");
    SetWindowPos(inspector, HWND_TOP, main.right + 8, main.top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);

    e2e::RemoteListView children(GetDlgItem(inspector, IDC_CI_LIST));
    if (!e2e::WaitUntil([&] { return children.ItemCount() > 0; }, 5000)) return Fail("no child listed");
    if (!children.ClickRow(0)) return Fail("could not click the first child");
    Sleep(700);

    HWND child = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::stoul(children.ItemText(0, 0), nullptr, 16)));
    if (!e2e::PressButton(GetDlgItem(inspector, IDC_CI_MESSAGELOG))) return Fail("no message log button");
    const std::string caption = "メッセージログ (" + e2e::HandleText(child) + ")";
    HWND log = e2e::WaitForTopLevelWindow(pid, "#32770", caption.c_str(), 5000);
    if (!log) return Fail("the message log did not open");
    RECT below = {};
    GetWindowRect(inspector, &below);
    SetWindowPos(log, HWND_TOP, main.left + 608, below.bottom + 8, 980, 400, SWP_NOACTIVATE);
    Sleep(300);
    // What a user's typing and another program's reading look like in the log.
    for (char key : std::string("Q")) {
        PostMessageA(child, WM_KEYDOWN, static_cast<WPARAM>(key), 0x00100001);
        PostMessageA(child, WM_CHAR, static_cast<WPARAM>(key + 0x20), 0x00100001);
        PostMessageA(child, WM_KEYUP, static_cast<WPARAM>(key), 0xC0100001);
    }
    wchar_t text[64] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(child, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 1000, &length);
    Sleep(800);
    return 0;
}
