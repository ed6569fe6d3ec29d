// The 64-bit helper program on the 64-bit desktop, started for a window of the 64-bit fixture:
// it puts the 64-bit hook into that program (the window's messages reach the thread's shared
// ring), and takes it out and ends when told to or when the program that started it ends.
// What goes wrong is told by its exit code.
#include "E2eDriver.h"
#include "E2eSuite.h"
#include "msglog/HookHelperProtocol.h"
#include "msglog/hook/MessageRecord.h"
#include "res/resource.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <cstdlib>

#include <string>
#include <vector>

namespace {

// What a test reads of a record (the record itself holds an atomic and does not copy).
struct Seen {
  uint32_t kind, message;
  uint64_t wParam, lParam;
};

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::string HelperPath() {
  const std::string quorvel = e2e::QuorvelExePath();
  return quorvel.substr(0, quorvel.find_last_of('\\') + 1) + Narrow(msglog::kHookHelperName);
}

class HookHelperTest : public e2e::E2eSuite {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(E2eSuite::SetUp());
    window = fixture.Create("title=\"Hooked by the helper\" x=980 y=40 w=240 h=80 show=noactivate");
    ASSERT_TRUE(IsWindow(window));
    thread = GetWindowThreadProcessId(window, nullptr);
  }

  void TearDown() override {
    if (view) UnmapViewOfFile(view);
    if (mapping) CloseHandle(mapping);
    for (HANDLE event : {ready, stop})
      if (event) CloseHandle(event);
    E2eSuite::TearDown();
  }

  // The thread's shared memory with one channel logging the window, as a log dialog sets it up.
  void LogWindow() {
    const std::wstring name = msglog::kSharedMemoryPrefix + std::to_wstring(thread);
    mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(msglog::SharedLog), name.c_str());
    ASSERT_NE(mapping, nullptr);
    view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(msglog::SharedLog));
    ASSERT_NE(view, nullptr);
    auto* log = static_cast<msglog::SharedLog*>(view);
    log->magic = msglog::kSharedMagic;
    log->version = msglog::kSharedVersion;
    log->threadId = thread;
    channel = &log->channels[0];
    channel->claimed = 1;
    channel->root = reinterpret_cast<UINT_PTR>(window);
    channel->active = 1;
  }

  // Starts the helper for the thread on behalf of process starter; its exit code, or
  // STILL_ACTIVE once it has said that its hooks are in.
  DWORD StartHelper(DWORD starter, DWORD forThread, const std::string& exe = HelperPath()) {
    for (HANDLE event : {ready, stop})
      if (event) CloseHandle(event);
    const std::wstring name = L"Local\\QuorvelHookHelperTest." + std::to_wstring(GetCurrentProcessId()) + L"." +
                              std::to_wstring(++started);
    ready = CreateEventW(nullptr, TRUE, FALSE, msglog::HookHelperReadyEvent(name).c_str());
    stop = CreateEventW(nullptr, TRUE, FALSE, msglog::HookHelperStopEvent(name).c_str());
    if (!helper.Start(exe, {std::to_string(starter), std::to_string(forThread), Narrow(name)})) return 0;
    const HANDLE waits[] = {ready, helper.Handle()};
    if (WaitForMultipleObjects(2, waits, FALSE, 10000) == WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = 0;
    helper.WaitForExit(0, &code);
    return code;
  }

  // The records the ring holds now.
  std::vector<Seen> Drain() {
    std::vector<Seen> records;
    static msglog::MessageRecord record;
    while (msglog::ReadRecord(*channel, record))
      records.push_back({record.kind, record.message, record.wParam, record.lParam});
    return records;
  }

  // Whether a WM_SETTEXT of text sent to the window now is recorded, sent and returned (what
  // the records hold is the hook's own business, tested with the message log).
  bool SetTextIsRecorded(const std::string& text) {
    Drain();
    if (!e2e::SendWithTimeout(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), nullptr)) return false;
    int sent = 0, returned = 0;
    for (const Seen& record : Drain()) {
      if (record.message != WM_SETTEXT) continue;
      sent += record.kind == msglog::kSent;
      returned += record.kind == msglog::kReturned;
    }
    return sent == 1 && returned == 1;
  }

  // The target's thread may take a message or two to see hooks set from another process.
  bool SoonRecorded(const std::string& text) {
    return e2e::WaitUntil([&] { return SetTextIsRecorded(text); }, 3000);
  }

  // Makes the window Quorvel's target and opens its message log; the log's status once it
  // shows one, or "".
  std::string OpenLogStatus() {
    ClickRow(window);
    if (!e2e::PressButton(GetDlgItem(dialog, IDC_MAIN_MESSAGELOG))) return "";
    const std::string caption = "メッセージログ (" + e2e::HandleText(window) + ")";
    std::string status;
    e2e::WaitUntil([&] {
      HWND log = e2e::FindTopLevelWindow(quorvel.Pid(), "#32770", caption.c_str());
      status = log ? e2e::WindowText(GetDlgItem(log, IDC_ML_STATUS)) : "";
      return !status.empty();
    }, 5000);
    return status;
  }

  HWND window = nullptr;
  DWORD thread = 0;
  HANDLE mapping = nullptr, ready = nullptr, stop = nullptr;
  void* view = nullptr;
  msglog::Channel* channel = nullptr;
  e2e::ChildProcess helper;
  int started = 0;
};

TEST_F(HookHelperTest, HooksA64BitProgramUntilToldToStopAndShowsNoWindow) {
  ASSERT_NO_FATAL_FAILURE(LogWindow());
  ASSERT_EQ(StartHelper(GetCurrentProcessId(), thread), static_cast<DWORD>(STILL_ACTIVE));
  EXPECT_TRUE(e2e::TopLevelWindowsOf(helper.Pid()).empty());

  EXPECT_TRUE(SoonRecorded("sixty-four"));
  ASSERT_TRUE(PostMessageA(window, WM_APP + 5, 0x12345, 0x6789A));
  bool posted = false;
  e2e::WaitUntil([&] {
    for (const Seen& record : Drain())
      posted |= record.kind == msglog::kPosted && record.message == WM_APP + 5 && record.wParam == 0x12345 &&
                record.lParam == 0x6789A;
    return posted;
  }, 3000);
  EXPECT_TRUE(posted);

  ASSERT_TRUE(SetEvent(stop));
  DWORD code = STILL_ACTIVE;
  EXPECT_TRUE(helper.WaitForExit(3000, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_FALSE(SetTextIsRecorded("after the stop"));
}

TEST_F(HookHelperTest, EndsWhenTheProgramThatStartedItEnds) {
  ASSERT_NO_FATAL_FAILURE(LogWindow());
  e2e::FixtureClient starter;  // stands for a Quorvel that crashes
  ASSERT_TRUE(starter.Start());
  ASSERT_EQ(StartHelper(starter.Pid(), thread), static_cast<DWORD>(STILL_ACTIVE));
  EXPECT_TRUE(SoonRecorded("while it runs"));
  starter.Process().Terminate();
  EXPECT_TRUE(helper.WaitForExit(3000)) << "the helper outlived the program that started it";
  EXPECT_FALSE(SetTextIsRecorded("after the end"));
}

TEST_F(HookHelperTest, ItsExitCodeSaysWhatWentWrong) {
  // The helper alone in a folder, without the hook DLL.
  const std::string lonely = e2e::ToWindowsPath(e2e::TemporaryFilePath("lonely-helper")) + ".exe";
  ASSERT_TRUE(CopyFileA(HelperPath().c_str(), lonely.c_str(), FALSE));
  const DWORD gone = GetCurrentThreadId() + 0x10000;  // no thread of that id
  struct Case {
    DWORD starter, thread;
    std::string exe;
    DWORD step;
  } cases[] = {
      {GetCurrentProcessId(), thread, lonely, msglog::kHelperNoHookDll},
      {GetCurrentProcessId(), gone, HelperPath(), msglog::kHelperHookRefused},
      {GetCurrentProcessId(), 0, HelperPath(), msglog::kHelperBadArguments},
      {0x7FFFFFF0, thread, HelperPath(), msglog::kHelperNoQuorvel},
  };
  for (const Case& c : cases) {
    const DWORD code = StartHelper(c.starter, c.thread, c.exe);
    EXPECT_EQ(msglog::HookHelperFailedStep(code), c.step) << c.exe << " " << c.thread << ": " << std::hex << code;
  }
  DeleteFileA(lonely.c_str());
}

// The helpers Quorvel started, by their parent's process id.
std::vector<DWORD> HelpersOf(DWORD quorvelPid) {
  std::vector<DWORD> helpers;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
    if (entry.th32ParentProcessID == quorvelPid && Narrow(msglog::kHookHelperName) == entry.szExeFile)
      helpers.push_back(entry.th32ProcessID);
  CloseHandle(snapshot);
  return helpers;
}

TEST_F(HookHelperTest, QuorvelLogsA64BitWindowThroughTheHelperWhichEndsWithQuorvel) {
  ASSERT_NO_FATAL_FAILURE(StartQuorvel());
  EXPECT_EQ(OpenLogStatus().rfind("記録 ", 0), 0u);
  const std::vector<DWORD> helpers = HelpersOf(quorvel.Pid());
  ASSERT_EQ(helpers.size(), 1u);
  e2e::ChildProcess& program = quorvel.Process();
  program.Terminate();
  EXPECT_TRUE(e2e::WaitUntil([&] { return HelpersOf(quorvel.Pid()).empty(); }, 3000))
      << "the helper outlived Quorvel";
}

TEST_F(HookHelperTest, AMissingHelperIsSaidInTheLogsStatus) {
  // Quorvel and its own hook DLL, without the helper.
  const std::string folder = e2e::ToWindowsPath(e2e::TemporaryFilePath("without-helper")) + ".dir\\";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  const std::string bin = e2e::QuorvelExePath().substr(0, e2e::QuorvelExePath().find_last_of('\\') + 1);
  for (const char* file : {"Quorvel.exe", "QuorvelHook.dll"})
    ASSERT_TRUE(CopyFileA((bin + file).c_str(), (folder + file).c_str(), FALSE)) << file;
  const std::string previous = e2e::Env("QUORVEL_BIN");
  _putenv_s("QUORVEL_BIN", folder.c_str());
  ASSERT_NO_FATAL_FAILURE(StartQuorvel());
  _putenv_s("QUORVEL_BIN", previous.c_str());

  const std::string status = OpenLogStatus();
  EXPECT_NE(status.find("QuorvelHookHelper64.exe"), std::string::npos) << status;
  EXPECT_TRUE(HelpersOf(quorvel.Pid()).empty());
  HWND log = e2e::FindTopLevelWindow(quorvel.Pid(), "#32770", ("メッセージログ (" + e2e::HandleText(window) + ")").c_str());
  EXPECT_EQ(e2e::WindowText(GetDlgItem(log, IDC_ML_STARTSTOP)), "開始") << "said to be logging without a helper";
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(log, IDC_ML_STARTSTOP)));
  quorvel.Close();
  for (const char* file : {"Quorvel.exe", "QuorvelHook.dll"}) DeleteFileA((folder + file).c_str());
  RemoveDirectoryA(folder.c_str());
}

}  // namespace
