#include "E2eDriver.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <utility>

namespace e2e {

bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs, DWORD pollMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (cond()) return true;
        if (GetTickCount64() >= deadline) return false;
        // Keep our own windows (if any) answering while we wait.
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(pollMs);
    }
}

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string ToWindowsPath(const std::string& path) {
    if (path.empty() || path[0] != '/') return path;
    // Under wine the loader knows the real drive mapping; elsewhere Z: is wine's default for /.
    using DosName = WCHAR*(CDECL*)(const char*);
    const auto toDos = reinterpret_cast<DosName>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name"));
    if (toDos) {
        if (WCHAR* wide = toDos(path.c_str())) {
            char narrow[MAX_PATH * 2] = {};
            WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof narrow, nullptr, nullptr);
            HeapFree(GetProcessHeap(), 0, wide);
            if (narrow[0]) return narrow;
        }
    }
    std::string result = "Z:" + path;
    for (char& c : result) {
        if (c == '/') c = '\\';
    }
    return result;
}

std::string QvExePath() {
    const std::string quorvel = QuorvelExePath();
    return quorvel.empty() ? quorvel : quorvel.substr(0, quorvel.size() - std::string("Quorvel.exe").size()) + "qv.exe";
}

std::string QuorvelExePath() {
    std::string dir = Env("QUORVEL_BIN");
#ifdef QUORVEL_BIN_DEFAULT
    if (dir.empty()) dir = QUORVEL_BIN_DEFAULT;
#endif
    if (dir.empty()) return "";
    std::string path = ToWindowsPath(dir);
    if (path.back() != '\\' && path.back() != '/') path += '\\';
    return path + "Quorvel.exe";
}

std::string FixtureExePath() {
    std::string path = Env("QUORVEL_FIXTURE");
#ifdef QUORVEL_FIXTURE_DEFAULT
    if (path.empty()) path = QUORVEL_FIXTURE_DEFAULT;
#endif
    return ToWindowsPath(path);
}

std::string QuoteArgument(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
        } else if (c == '"') {
            quoted.append(backslashes * 2 + 1, '\\');
            backslashes = 0;
        } else {
            quoted.append(backslashes, '\\');
            backslashes = 0;
        }
        if (c != '\\') quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + "\"";
}

std::string TemporaryFilePath(const std::string& stem) {
    static unsigned counter = 0;
    char name[MAX_PATH];
    std::snprintf(name, sizeof name, "%s-%lu-%u.txt", stem.c_str(), GetCurrentProcessId(),
                  ++counter);
    DeleteFileA(name);
    return name;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : m_process(std::exchange(other.m_process, nullptr)), m_pid(std::exchange(other.m_pid, 0)) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        Reset();
        m_process = std::exchange(other.m_process, nullptr);
        m_pid = std::exchange(other.m_pid, 0);
    }
    return *this;
}

ChildProcess::~ChildProcess() {
    Reset();
}

void ChildProcess::Reset() {
    if (m_process) {
        if (Running()) {
            TerminateProcess(m_process, 1);
            WaitForSingleObject(m_process, 2000);
        }
        CloseHandle(m_process);
    }
    m_process = nullptr;
    m_pid = 0;
}

bool ChildProcess::Start(const std::string& exe, const std::vector<std::string>& args,
                         const std::string& stdoutFile, const std::string& rawTail, DWORD creationFlags,
                         const std::string& stderrFile) {
    Reset();
    std::string commandLine = QuoteArgument(exe);
    for (const std::string& arg : args) commandLine += " " + QuoteArgument(arg);
    if (!rawTail.empty()) commandLine += " " + rawTail;

    // Without a file the output goes to the null device: a child left behind by a crashed test
    // must not hold the test runner's pipes open.
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE output = CreateFileA(stdoutFile.empty() ? "NUL" : stdoutFile.c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                                stdoutFile.empty() ? OPEN_EXISTING : CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (output == INVALID_HANDLE_VALUE) return false;
    HANDLE error = stderrFile.empty() ? output
                                      : CreateFileA(stderrFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                    &sa, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (error == INVALID_HANDLE_VALUE) {
        CloseHandle(output);
        return false;
    }
    HANDLE input = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOA si = {sizeof si};
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = input != INVALID_HANDLE_VALUE ? input : nullptr;
    si.hStdOutput = output;
    si.hStdError = error;
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    PROCESS_INFORMATION pi = {};
    const BOOL started = CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, TRUE, creationFlags,
                                        nullptr, nullptr, &si, &pi);
    CloseHandle(output);
    if (error != output) CloseHandle(error);
    if (input != INVALID_HANDLE_VALUE) CloseHandle(input);
    if (!started) return false;
    CloseHandle(pi.hThread);
    m_process = pi.hProcess;
    m_pid = pi.dwProcessId;
    WaitForInputIdle(m_process, 5000);
    return true;
}

ProgramRun RunProgram(const std::string& exe, const std::vector<std::string>& args, DWORD timeoutMs) {
    ProgramRun run;
    const std::string out = TemporaryFilePath("run-out");
    const std::string err = TemporaryFilePath("run-err");
    ChildProcess process;
    if (process.Start(exe, args, out, "", 0, err)) {
        run.ended = process.WaitForExit(timeoutMs, &run.exitCode);
        if (!run.ended) process.Terminate();
        process.WaitForExit(5000);
    }
    run.out = ReadFile(out);
    run.err = ReadFile(err);
    DeleteFileA(out.c_str());
    DeleteFileA(err.c_str());
    return run;
}

bool ChildProcess::Running() const {
    return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT;
}

bool ChildProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode) const {
    if (!m_process || WaitForSingleObject(m_process, timeoutMs) != WAIT_OBJECT_0) return false;
    if (exitCode) GetExitCodeProcess(m_process, exitCode);
    return true;
}

void ChildProcess::Terminate() {
    if (Running()) {
        TerminateProcess(m_process, 1);
        WaitForSingleObject(m_process, 2000);
    }
}

namespace {

struct WindowQuery {
    DWORD pid;
    const char* className;
    const char* caption;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lParam) {
    auto* query = reinterpret_cast<WindowQuery*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (query->pid && pid != query->pid) return TRUE;
    char text[512] = {};
    if (query->className) {
        GetClassNameA(hwnd, text, sizeof text);
        if (lstrcmpA(text, query->className) != 0) return TRUE;
    }
    if (query->caption) {
        GetWindowTextA(hwnd, text, sizeof text);
        if (lstrcmpA(text, query->caption) != 0) return TRUE;
    }
    query->found.push_back(hwnd);
    return TRUE;
}

}  // namespace

HWND FindTopLevelWindow(DWORD pid, const char* className, const char* caption) {
    WindowQuery query{pid, className, caption, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&query));
    return query.found.empty() ? nullptr : query.found.front();
}

HWND WaitForTopLevelWindow(DWORD pid, const char* className, const char* caption,
                           DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopLevelWindow(pid, className, caption)) != nullptr; },
              timeoutMs);
    return found;
}

HWND WaitForShownDialog(DWORD pid, const std::string& caption, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] {
        WindowQuery query{pid, "#32770", caption.c_str(), {}};
        EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&query));
        for (HWND window : query.found)
            if (IsWindowVisible(window)) return (found = window) != nullptr;
        return false;
    }, timeoutMs);
    return found;
}

std::vector<HWND> TopLevelWindowsOf(DWORD pid) {
    WindowQuery query{pid, nullptr, nullptr, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

bool SendWithTimeout(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result,
                     UINT timeoutMs) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(hwnd, msg, wParam, lParam, SMTO_ABORTIFHUNG, timeoutMs, &answer)) {
        return false;
    }
    if (result) *result = static_cast<LRESULT>(answer);
    return true;
}

std::string WindowText(HWND hwnd) {
    char text[2048] = {};
    LRESULT length = 0;
    if (!SendWithTimeout(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), &length)) {
        return "";
    }
    return std::string(text, static_cast<size_t>(length) < sizeof text ? length : 0);
}

std::string HandleText(HWND hwnd) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(hwnd)));
    return text;
}

bool PressButton(HWND button) {
    return button && PostMessageA(button, BM_CLICK, 0, 0);
}

bool ClickScreenPoint(HWND window, POINT screenPoint) {
    HWND top = GetAncestor(window, GA_ROOT);
    if (!top) return false;
    // Another program's window can come up over ours at any moment (a target that maximises
    // once it answers again): raise ours until the point is on it. The click waits, too, until
    // the window's thread has taken the activation: one taken between the button's press and
    // release moves the focus and the press is lost.
    GUITHREADINFO info{sizeof(info)};
    const DWORD thread = GetWindowThreadProcessId(top, nullptr);
    const bool onTop = WaitUntil([&] {
        if (GetForegroundWindow() != top) {
            SetForegroundWindow(top);
            BringWindowToTop(top);
        }
        const HWND hit = WindowFromPoint(screenPoint);
        return (hit == window || IsChild(window, hit)) && GetForegroundWindow() == top &&
               GetGUIThreadInfo(thread, &info) && info.hwndActive == top;
    }, 5000, 20);
    if (!onTop) return false;
    if (!SetCursorPos(screenPoint.x, screenPoint.y)) return false;
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    return SendInput(2, inputs, sizeof(INPUT)) == 2;
}

namespace {
bool SendMouse(DWORD flags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    return SendInput(1, &input, sizeof(INPUT)) == 1;
}
}  // namespace

bool MouseDownAt(POINT screenPoint) {
    return MouseMoveTo(screenPoint) && SendMouse(MOUSEEVENTF_LEFTDOWN);
}

// An absolute move, as a real mouse gives: the window under capture gets its move message.
bool MouseMoveTo(POINT screenPoint) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screenPoint.x, 65535, w - 1);
    input.mi.dy = MulDiv(screenPoint.y, 65535, h - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    const auto there = [&] {
        POINT now{};
        return GetCursorPos(&now) && abs(now.x - screenPoint.x) <= 1 && abs(now.y - screenPoint.y) <= 1;
    };
    // Under Wine the X server's answer to an earlier jump can still put the pointer back where
    // it was: the move counts once the pointer stays.
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (SendInput(1, &input, sizeof(INPUT)) != 1) return false;
        Sleep(150);
        if (!there()) continue;
        Sleep(150);
        if (there()) return true;
    }
    return false;
}

bool MouseUp() { return SendMouse(MOUSEEVENTF_LEFTUP); }

bool PressKey(WORD virtualKey) {
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[1].ki.wVk = virtualKey;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    return SendInput(2, inputs, sizeof(INPUT)) == 2;
}

std::wstring ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

bool PressKeys(const std::vector<WORD>& virtualKeys) {
    std::vector<INPUT> inputs(virtualKeys.size() * 2);
    for (size_t i = 0; i < virtualKeys.size(); ++i) {
        INPUT& down = inputs[i];
        INPUT& up = inputs[inputs.size() - 1 - i];
        down.type = up.type = INPUT_KEYBOARD;
        down.ki.wVk = up.ki.wVk = virtualKeys[i];
        up.ki.dwFlags = KEYEVENTF_KEYUP;
    }
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

namespace {

// The pixels of a w x h area of dc at (x, y), row by row (0x00rrggbb); empty for an empty area.
std::vector<DWORD> DcPixels(HDC dc, int x, int y, int w, int h) {
    std::vector<DWORD> pixels;
    if (w <= 0 || h <= 0) return pixels;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (memory && bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, w, h, dc, x, y, SRCCOPY);
        GdiFlush();
        const DWORD* read = static_cast<const DWORD*>(bits);
        pixels.assign(read, read + static_cast<size_t>(w) * h);
        for (DWORD& pixel : pixels) pixel &= 0xFFFFFF;
        SelectObject(memory, old);
    }
    if (bitmap) DeleteObject(bitmap);
    if (memory) DeleteDC(memory);
    return pixels;
}

}  // namespace

std::vector<DWORD> ScreenPixels(const RECT& rect) {
    HDC screen = GetDC(nullptr);
    std::vector<DWORD> pixels = DcPixels(screen, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    ReleaseDC(nullptr, screen);
    return pixels;
}

COLORREF ClientPixel(HWND window, int x, int y) {
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW);
    POINT point{x, y};
    ClientToScreen(window, &point);
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

bool CloseDialogProgram(ChildProcess& process, HWND dialog, DWORD timeoutMs) {
    if (!process.Running()) return true;
    if (dialog) PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    if (dialog && process.WaitForExit(timeoutMs)) return true;
    process.Terminate();
    return false;
}

COLORREF CommonColour(HDC dc, int x, int y, int w, int h) {
    std::map<DWORD, int> counts;
    for (DWORD pixel : DcPixels(dc, x, y, w, h)) ++counts[pixel];
    DWORD common = 0;
    int most = 0;
    for (const auto& [pixel, count] : counts)
        if (count > most) {
            most = count;
            common = pixel;
        }
    return RGB((common >> 16) & 0xFF, (common >> 8) & 0xFF, common & 0xFF);
}

HWND DialogHolding(HWND hwnd, int id) {
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        hwnd,
        [](HWND child, LPARAM lParam) WINAPI -> BOOL {
            Search* s = reinterpret_cast<Search*>(lParam);
            HWND control = GetDlgItem(child, s->id);
            if (control && GetParent(control) == child) {
                s->found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool QuorvelProgram::Start(const std::vector<std::string>& args, const std::string& stdoutFile, DWORD timeoutMs,
                           DWORD creationFlags) {
    const std::string exe = QuorvelExePath();
    if (exe.empty() || !m_process.Start(exe, args, stdoutFile, "", creationFlags)) return false;
    m_window = WaitForTopLevelWindow(m_process.Pid(), "#32770", "Tsuravi", timeoutMs);
    return m_window != nullptr;
}

bool QuorvelProgram::Close(DWORD timeoutMs) {
    const bool ended = CloseDialogProgram(m_process, m_window, timeoutMs);
    m_window = nullptr;
    return ended;
}

bool FixtureClient::Start(const std::string& script, DWORD timeoutMs) {
    const std::string exe = FixtureExePath();
    if (exe.empty() || !m_process.Start(exe, {}, "", script)) return false;
    m_window = WaitForTopLevelWindow(m_process.Pid(), "QuorvelFixtureControl",
                                      "QuorvelFixtureControl", timeoutMs);
    return m_window != nullptr;
}

FixtureClient::Reply FixtureClient::Command(const std::string& script, UINT timeoutMs) {
    Reply reply;
    if (!m_window) return reply;
    COPYDATASTRUCT data = {};
    data.cbData = static_cast<DWORD>(script.size() + 1);
    data.lpData = const_cast<char*>(script.c_str());
    DWORD_PTR value = 0;
    if (!SendMessageTimeoutA(m_window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                             SMTO_NORMAL, timeoutMs, &value)) {
        return reply;
    }
    reply.answered = true;
    reply.value = static_cast<LRESULT>(value);
    reply.text = WindowText(GetDlgItem(m_window, 100));
    return reply;
}

HWND FixtureClient::Create(const std::string& options) {
    const Reply reply = Command("create " + options);
    return reply.answered ? reinterpret_cast<HWND>(reply.value) : nullptr;
}

int FixtureClient::MessageCount(HWND hwnd, const std::string& msg) {
    const Reply reply = Command("query window=" + HandleText(hwnd) + " msg=" + msg);
    if (!reply.answered || reply.text.compare(0, 6, "count=") != 0) return -1;
    return static_cast<int>(reply.value);
}

void FixtureClient::Quit() {
    if (!m_process.Running()) return;
    if (m_window) PostMessageA(m_window, WM_CLOSE, 0, 0);
    if (!m_process.WaitForExit(3000)) m_process.Terminate();
    m_window = nullptr;
}

namespace {
constexpr SIZE_T kRemoteSize = 4096;
constexpr SIZE_T kTextOffset = 512;
constexpr int kTextSize = 2048;
}  // namespace

RemoteListView::RemoteListView(HWND list) : m_list(list) {
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    if (!pid) return;
    m_process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!m_process) return;
    m_remote = VirtualAllocEx(m_process, nullptr, kRemoteSize, MEM_COMMIT | MEM_RESERVE,
                              PAGE_READWRITE);
}

RemoteListView::~RemoteListView() {
    if (m_remote) VirtualFreeEx(m_process, m_remote, 0, MEM_RELEASE);
    if (m_process) CloseHandle(m_process);
}

int RemoteListView::ItemCount() const {
    LRESULT count = 0;
    if (!SendWithTimeout(m_list, LVM_GETITEMCOUNT, 0, 0, &count)) return -1;
    return static_cast<int>(count);
}

std::string RemoteListView::ItemText(int item, int subItem) const {
    if (!m_remote) return "";
    char* remoteText = static_cast<char*>(m_remote) + kTextOffset;
    LVITEMA lv = {};
    lv.mask = LVIF_TEXT;
    lv.iItem = item;
    lv.iSubItem = subItem;
    lv.pszText = remoteText;
    lv.cchTextMax = kTextSize;
    const char nothing = '\0';
    if (!WriteProcessMemory(m_process, m_remote, &lv, sizeof lv, nullptr) ||
        !WriteProcessMemory(m_process, remoteText, &nothing, 1, nullptr)) {
        return "";
    }
    LRESULT length = 0;
    if (!SendWithTimeout(m_list, LVM_GETITEMTEXTA, item, reinterpret_cast<LPARAM>(m_remote),
                         &length)) {
        return "";
    }
    char text[kTextSize + 1] = {};
    if (!ReadProcessMemory(m_process, remoteText, text, kTextSize, nullptr)) return "";
    return text;
}

std::vector<std::string> RemoteListView::Row(int item, int columns) const {
    std::vector<std::string> row;
    for (int column = 0; column < columns; ++column) row.push_back(ItemText(item, column));
    return row;
}

std::vector<std::vector<std::string>> RemoteListView::Rows(int columns) const {
    std::vector<std::vector<std::string>> rows;
    const int count = ItemCount();
    for (int item = 0; item < count; ++item) rows.push_back(Row(item, columns));
    return rows;
}

int RemoteListView::FindRow(int column, const std::string& text) const {
    const int count = ItemCount();
    for (int item = 0; item < count; ++item) {
        if (ItemText(item, column) == text) return item;
    }
    return -1;
}

bool RemoteListView::ItemRect(int item, RECT* rect, int code) const {
    if (!m_remote) return false;
    RECT request = {};
    request.left = code;
    LRESULT ok = 0;
    if (!WriteProcessMemory(m_process, m_remote, &request, sizeof request, nullptr) ||
        !SendWithTimeout(m_list, LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(m_remote), &ok) ||
        !ok) {
        return false;
    }
    return ReadProcessMemory(m_process, m_remote, rect, sizeof *rect, nullptr) != 0;
}

int RemoteListView::SelectionMark() const {
    LRESULT mark = -1;
    if (!SendWithTimeout(m_list, LVM_GETSELECTIONMARK, 0, 0, &mark)) return -1;
    return static_cast<int>(mark);
}

int RemoteListView::NextItem(int start, UINT flags) const {
    LRESULT next = -1;
    if (!SendWithTimeout(m_list, LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0),
                         &next)) {
        return -1;
    }
    return static_cast<int>(next);
}

bool RemoteListView::EnsureVisible(int item) const {
    LRESULT ok = 0;
    return SendWithTimeout(m_list, LVM_ENSUREVISIBLE, item, FALSE, &ok) && ok;
}

bool ClickFlipsCheckBox(HWND box, DWORD timeoutMs) {
    LRESULT before = 0;
    if (!SendWithTimeout(box, BM_GETCHECK, 0, 0, &before, timeoutMs)) return false;
    RECT r = {};
    GetWindowRect(box, &r);
    if (!ClickScreenPoint(box, POINT{r.left + 6, (r.top + r.bottom) / 2})) return false;
    return WaitUntil([&] {
        LRESULT now = before;
        return SendWithTimeout(box, BM_GETCHECK, 0, 0, &now, 200) && now != before;
    }, timeoutMs, 20);
}

bool RemoteListView::ClickRow(int item) const {
    RECT rect = {};
    if (!EnsureVisible(item) || !ItemRect(item, &rect, LVIR_LABEL)) return false;
    POINT point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    if (!ClientToScreen(m_list, &point)) return false;
    return ClickScreenPoint(m_list, point);
}

namespace {
// Requests of ChooseMenuItem answered so far: the dialog answers one when its menu has closed.
int g_menuRequestsAnswered = 0;
void CALLBACK MenuRequestAnswered(HWND, UINT, ULONG_PTR, LRESULT) { ++g_menuRequestsAnswered; }
}  // namespace

bool ChooseMenuItem(DWORD pid, HWND dialog, HWND control, int index) {
    const HWND top = GetAncestor(dialog, GA_ROOT);
    const DWORD thread = GetWindowThreadProcessId(top, nullptr);
    // The shown menu: one closed before may linger hidden.
    HWND menu = nullptr;
    const auto shownMenu = [&] {
        for (HWND hwnd : TopLevelWindowsOf(pid)) {
            char name[16] = {};
            if (IsWindowVisible(hwnd) && GetClassNameA(hwnd, name, sizeof name) && std::string(name) == "#32768") menu = hwnd;
        }
        return menu != nullptr;
    };
    // A menu opened while its dialog is still taking the activation back (a modal dialog just
    // closed) can be cancelled as it opens: the dialog is first let become the active window,
    // and the request is sent, not posted, so its answer says the menu has closed. A menu that
    // closed before it was seen is asked for again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        GUITHREADINFO info{sizeof(info)};
        WaitUntil([&] { return GetGUIThreadInfo(thread, &info) && info.hwndActive == top && !(info.flags & GUI_INMENUMODE); },
                  3000);
        const int answered = g_menuRequestsAnswered;
        menu = nullptr;
        if (!SendMessageCallbackA(dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control), MAKELPARAM(-1, -1),
                                  MenuRequestAnswered, 0))
            return false;
        const auto closed = [&] { return g_menuRequestsAnswered != answered; };
        if (!WaitUntil([&] { return shownMenu() || closed(); }, 5000)) {
            fprintf(stderr, "ChooseMenuItem: no menu and no answer in 5 s\n");
            return false;
        }
        if (!menu) continue;
        // The menu's loop takes the thread's keys: down from nothing chosen is the first item.
        for (int i = 0; i <= index; ++i) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
        if (WaitUntil(closed, 5000)) return true;
        fprintf(stderr, "ChooseMenuItem: the menu stayed open after its keys\n");
        return false;
    }
    fprintf(stderr, "ChooseMenuItem: each menu closed before it was seen\n");
    return false;
}

std::string Cp932(const std::wstring& text) {
    if (text.empty()) return "";
    const int size = WideCharToMultiByte(932, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(932, 0, text.c_str(), static_cast<int>(text.size()), &narrow[0], size, nullptr, nullptr);
    return narrow;
}

std::string RowsText(const RemoteListView& list, const std::vector<int>& rows, int columns) {
    std::string text;
    for (int row : rows) {
        const std::vector<std::string> cells = list.Row(row, columns);
        for (size_t i = 0; i < cells.size(); ++i) text += (i ? "\t" : "") + cells[i];
        text += "\r\n";
    }
    return text;
}

}  // namespace e2e
