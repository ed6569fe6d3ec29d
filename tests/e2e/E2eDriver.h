// Drives programs from outside for the end-to-end tests: starts processes, finds their windows,
// talks to the fixture program's control window, reads another process's list view and clicks
// with real input. Everything sent to a program under test has a time-out, so a faulty program
// fails a test instead of hanging it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// Default time-out of one message sent to a program under test.
constexpr UINT kSendTimeoutMs = 2000;

// Polls cond every pollMs until it holds or timeoutMs has passed; true when it held.
bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs, DWORD pollMs = 50);

// Value of an environment variable, or "" when unset.
std::string Env(const char* name);

// A Linux path ("/work/x") as a Windows path ("Z:\work\x"); Windows paths pass unchanged.
std::string ToWindowsPath(const std::string& path);

// Path of Quorvel.exe (in the directory QUORVEL_BIN) and of the fixture (QUORVEL_FIXTURE), as
// Windows paths; the build's own paths when the variables are unset.
std::string QuorvelExePath();
std::string FixtureExePath();
// qv.exe, the console program beside Quorvel.exe.
std::string QvExePath();

// Quotes one argument the way the runtime library's argument parser splits it again.
std::string QuoteArgument(const std::string& arg);

// Text of a temporary file that does not exist yet (in the current directory), for output.
std::string TemporaryFilePath(const std::string& stem);
std::string ReadFile(const std::string& path);
// Lines of text with "\r\n" or "\n" endings, without the endings.
std::vector<std::string> SplitLines(const std::string& text);

// A started process; terminates it on destruction if it is still running.
class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ~ChildProcess();

    // Starts exe with the given arguments; the process's standard output and error go to
    // stdoutFile, created anew, or to the null device when it is empty (standard error to
    // stderrFile instead, when one is given). The raw tail is appended to the command line
    // as it is (for programs that read their command line unsplit); creationFlags go to
    // CreateProcess (CREATE_NEW_CONSOLE: a console of its own, as a terminal gives). False on failure.
    bool Start(const std::string& exe, const std::vector<std::string>& args,
               const std::string& stdoutFile = "", const std::string& rawTail = "", DWORD creationFlags = 0,
               const std::string& stderrFile = "");

    bool Running() const;
    DWORD Pid() const { return m_pid; }
    HANDLE Handle() const { return m_process; }
    // Waits for the end of the process; false on time-out. exitCode may be null.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr) const;
    void Terminate();

private:
    void Reset();
    HANDLE m_process = nullptr;
    DWORD m_pid = 0;
};

// What a console program run to its end wrote and returned.
struct ProgramRun {
    bool ended = false;  // it ended within the time given (else it was terminated)
    DWORD exitCode = 0;
    std::string out;     // standard output, as written
    std::string err;     // standard error
};
// Runs exe with the arguments to its end, at most timeoutMs, its output caught in files.
ProgramRun RunProgram(const std::string& exe, const std::vector<std::string>& args, DWORD timeoutMs = 30000);

// The first top-level window (visible or not, in Z order) of process pid with that class and
// caption; pid 0 matches every process, a null class or caption matches anything.
HWND FindTopLevelWindow(DWORD pid, const char* className, const char* caption);
HWND WaitForTopLevelWindow(DWORD pid, const char* className, const char* caption,
                           DWORD timeoutMs);
// The dialog (#32770) of process pid with the caption once it shows (a closed view, hidden, is
// passed over), or null after timeoutMs.
HWND WaitForShownDialog(DWORD pid, const std::string& caption, DWORD timeoutMs = 5000);
// Every top-level window of process pid (any class, any caption), in Z order.
std::vector<HWND> TopLevelWindowsOf(DWORD pid);

// Window text read with WM_GETTEXT under a time-out ("" on failure).
std::string WindowText(HWND hwnd);
// "0x%08x" of a handle, the way Quorvel shows handles.
std::string HandleText(HWND hwnd);

// Presses a button with BM_CLICK posted to it (the button's owner may show a modal box).
bool PressButton(HWND button);
// Brings the window's top-level window to the front and clicks the left button at the screen
// point with real input. Fails when the point does not lie on the window or a child of it.
bool ClickScreenPoint(HWND window, POINT screenPoint);

// Real mouse input for a drag: the left button pressed at a screen point, the pointer moved to
// another (true once the pointer is within a pixel of it), the button released where it is.
bool MouseDownAt(POINT screenPoint);
bool MouseMoveTo(POINT screenPoint);
bool MouseUp();
// A real key press and release.
bool PressKey(WORD virtualKey);
// Real keys held together, pressed in order and released in reverse (Ctrl+Alt+F).
bool PressKeys(const std::vector<WORD>& virtualKeys);
// The clipboard's Unicode text, "" when it holds none.
std::wstring ClipboardText();
// The screen's pixels in the rectangle, row by row (0x00rrggbb).
std::vector<DWORD> ScreenPixels(const RECT& rect);
// A client pixel of the window as the screen shows it once pending paints are done.
COLORREF ClientPixel(HWND window, int x, int y);

// Clicks the check box with real input and waits until its state has flipped: proof that the
// program takes real input again, which an answered sent message is not (a program blocked
// inside a send of its own still answers those). False when it did not flip within timeoutMs.
bool ClickFlipsCheckBox(HWND box, DWORD timeoutMs);

// SendMessageTimeout with the default time-out; false when the target did not answer.
bool SendWithTimeout(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result,
                     UINT timeoutMs = kSendTimeoutMs);

// Ends a program's main dialog with WM_COMMAND IDCANCEL and waits; terminates it if it does
// not end within timeoutMs. True when it ended by itself.
bool CloseDialogProgram(ChildProcess& process, HWND dialog, DWORD timeoutMs = 5000);

// The colour most pixels of a w x h area of dc at (x, y) have: a label's background, whatever
// the font makes of its text.
COLORREF CommonColour(HDC dc, int x, int y, int w, int h);

// The dialog among hwnd's descendants that holds the control id as its own child (a panel of
// the main dialog), or null.
HWND DialogHolding(HWND hwnd, int id);

// The main list's column that shows each row's handle.
constexpr int kHandleColumn = 3;

// A program a test started, and the window the test drives it through.
class StartedProgram {
public:
    DWORD Pid() const { return m_process.Pid(); }
    ChildProcess& Process() { return m_process; }

protected:
    ChildProcess m_process;
    HWND m_window = nullptr;
};

// Quorvel.exe started by a test, with its main dialog up; ended when the object goes.
class QuorvelProgram : public StartedProgram {
public:
    QuorvelProgram() = default;
    QuorvelProgram(const QuorvelProgram&) = delete;
    QuorvelProgram& operator=(const QuorvelProgram&) = delete;
    ~QuorvelProgram() { Close(); }

    // Starts the program with the arguments (standard output to stdoutFile, none when empty)
    // and waits for its main dialog "Tsuravi"; false when either fails.
    bool Start(const std::vector<std::string>& args = {}, const std::string& stdoutFile = "",
               DWORD timeoutMs = 10000, DWORD creationFlags = 0);
    // Ends the main dialog and waits; terminates the program if it does not end within
    // timeoutMs. True when it ended by itself (or was not running).
    bool Close(DWORD timeoutMs = 5000);

    HWND Dialog() const { return m_window; }
};

// The fixture program: started with a start-up script, then driven through its control window.
class FixtureClient : public StartedProgram {
public:
    struct Reply {
        bool answered = false;  // the control window took the message in time
        LRESULT value = 0;
        std::string text;
    };

    // Starts the fixture with the script and waits for its control window.
    bool Start(const std::string& script = "", DWORD timeoutMs = 10000);
    Reply Command(const std::string& script, UINT timeoutMs = 5000);
    // Runs a "create" command and returns the new window, or null.
    HWND Create(const std::string& options);
    // Number of msg the window received (fixture's "query" command), or -1 on failure.
    int MessageCount(HWND hwnd, const std::string& msg);
    void Quit();

    HWND Control() const { return m_window; }
};

// A list view of another process, read through memory allocated in that process.
class RemoteListView {
public:
    explicit RemoteListView(HWND list);
    ~RemoteListView();
    RemoteListView(const RemoteListView&) = delete;
    RemoteListView& operator=(const RemoteListView&) = delete;

    bool Valid() const { return m_remote != nullptr; }
    int ItemCount() const;  // -1 when the list does not answer
    std::string ItemText(int item, int subItem) const;
    std::vector<std::string> Row(int item, int columns) const;
    std::vector<std::vector<std::string>> Rows(int columns) const;
    // Index of the first row whose text in column equals text, or -1.
    int FindRow(int column, const std::string& text) const;
    // Item rectangle in the list's client coordinates (code: LVIR_BOUNDS, LVIR_LABEL, ...).
    bool ItemRect(int item, RECT* rect, int code = LVIR_LABEL) const;
    int SelectionMark() const;
    // Next row after start with the given LVNI_ flags (LVNI_SELECTED by default), or -1.
    int NextItem(int start = -1, UINT flags = LVNI_SELECTED) const;
    bool EnsureVisible(int item) const;
    // Clicks the middle of the row's first-column label with real input.
    bool ClickRow(int item) const;

private:
    HWND m_list;
    HANDLE m_process = nullptr;
    void* m_remote = nullptr;  // an LVITEMA / RECT followed by the text buffer
};

// Chooses the item at index (0 the first) of the menu a control of process pid opens from the
// keyboard (WM_CONTEXTMENU at (-1, -1) sent to its dialog, as Shift+F10 sends it); true once
// the menu has closed on it, false when no menu opened (a line on stderr says why). Input still
// on its way is taken after the request, by the menu: wait for a click to be taken before.
bool ChooseMenuItem(DWORD pid, HWND dialog, HWND control, int index);
// The text in code page 932, as the lists' ANSI texts read.
std::string Cp932(const std::wstring& text);
// The list's rows as a copy of them reads: cells tab-separated, CR LF each, in code page 932.
std::string RowsText(const RemoteListView& list, const std::vector<int>& rows, int columns);

}  // namespace e2e
