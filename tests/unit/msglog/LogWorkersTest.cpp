// The log's two workers, which keep the dialog's thread free: a save that streams the store to
// a file and tells its progress, and a hook install whose result is posted, or, once abandoned,
// taken off where it came in.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <iterator>
#include <mutex>

#include "msglog/BackgroundInstall.h"
#include "msglog/LogSave.h"
#include "platform/FileSave.h"

namespace {

constexpr UINT kProgress = WM_APP + 1, kDone = WM_APP + 2, kInstalled = WM_APP + 3;

// Waits (bounded) for a message posted to the window: its wParam, or -1.
INT_PTR WaitFor(HWND hwnd, UINT message, DWORD timeoutMs = 20000) {
  MSG msg;
  for (const DWORD start = ::GetTickCount(); ::GetTickCount() - start < timeoutMs;
       ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_POSTMESSAGE))
    if (::PeekMessageA(&msg, hwnd, message, message, PM_REMOVE)) return static_cast<INT_PTR>(msg.wParam);
  return -1;
}
bool Posted(HWND hwnd, UINT message) {
  MSG msg;
  return ::PeekMessageA(&msg, hwnd, message, message, PM_NOREMOVE) != FALSE;
}
std::string ReadAll(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
size_t Lines(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

// A disk that holds a write until the test lets it go.
HANDLE g_diskHeld = nullptr;
const HANDLE g_inWrite = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
BOOL WINAPI HeldWrite(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped) {
  ::SetEvent(g_inWrite);
  ::WaitForSingleObject(g_diskHeld, 30000);
  return ::WriteFile(file, data, size, written, overlapped);
}

// Whether the save's temporary files ("qvl*.tmp") are all gone from the folder within 20 s.
bool WaitForNoTemporaryFiles(const std::wstring& folder) {
  for (const DWORD start = ::GetTickCount(); ::GetTickCount() - start < 20000; ::Sleep(20)) {
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileW((folder + L"qvl*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return true;
    ::FindClose(search);
  }
  return false;
}

TEST(LogSave, StreamsTheRowsOffTheCallersThreadTellsItsProgressAndStopsWithoutAFile) {
  msglog::CMessageStore store;
  std::mutex lock;
  msglog::StoredRow row{};
  row.kind = 'S', row.message = WM_SETTEXT;
  msglog::Payload text;
  text.kind = msglog::Payload::Text;
  for (int i = 0; i < 5000; ++i) text.text = "=row " + std::to_string(i), store.Add(row, text);
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  // A folder of its own: the save's temporary files are looked for in it.
  const std::wstring folder = std::wstring(temp) + L"log-save-test\\";
  ::CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring path = folder + L"log-save-test.csv";
  const HWND mailbox = ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  msglog::CLogSave save;
  msglog::SavedRows every;
  every.first = store.FirstNumber(), every.end = every.first + store.Size();
  save.Start(path, every, store, lock, mailbox, kProgress, kDone);
  EXPECT_EQ(save.Total(), 5000u);
  EXPECT_NE(WaitFor(mailbox, kProgress), -1);
  EXPECT_GE(save.Saved(), 2000u);
  ASSERT_NE(WaitFor(mailbox, kDone), -1);
  EXPECT_EQ(save.Saved(), 5000u);
  EXPECT_EQ(save.Finish(), std::optional<std::string>(""));
  EXPECT_FALSE(save.Running());
  const std::string saved = ReadAll(path);
  EXPECT_EQ(Lines(saved), 5001u);
  EXPECT_NE(saved.find("\r\n5000,0.000,0x00000000,S,WM_SETTEXT,0x00000000,0x00000000,,\"\"\"=row 4999\"\"\"\r\n"),
            std::string::npos);

  // Only the filter's rows; rows gone before their turn are left out.
  msglog::SavedRows some;
  some.filtered = true, some.numbers = {3, 4000, 4001};
  {
    const std::lock_guard<std::mutex> hold(lock);
    save.Start(path, some, store, lock, mailbox, kProgress, kDone);
    store.Clear();
  }
  ASSERT_NE(WaitFor(mailbox, kDone), -1);
  EXPECT_EQ(save.Finish(), std::optional<std::string>(""));
  const std::string header = ReadAll(path);
  EXPECT_EQ(Lines(header), 1u);

  // A done message another program posts while the save runs ends nothing.
  g_diskHeld = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  const platform::FileWriteCall system = platform::SetFileWriteCall(&HeldWrite);
  for (int i = 0; i < 5000; ++i) text.text = "again " + std::to_string(i), store.Add(row, text);
  every.first = store.FirstNumber(), every.end = every.first + store.Size();
  save.Start(path, every, store, lock, mailbox, kProgress, kDone);
  ASSERT_EQ(::WaitForSingleObject(g_inWrite, 20000), WAIT_OBJECT_0);
  EXPECT_FALSE(save.Done());
  EXPECT_EQ(save.Finish(), std::nullopt);
  EXPECT_TRUE(save.Running());

  // Given up while the disk holds the write: nothing waits for it, the worker reads no row and
  // tells nothing more, and the file stays the old one; the abandoned file goes once the disk
  // lets the write go.
  const DWORD before = ::GetTickCount();
  save.Abandon();
  EXPECT_LT(::GetTickCount() - before, 1000u);
  EXPECT_FALSE(save.Running());
  for (MSG told; ::PeekMessageA(&told, mailbox, kProgress, kProgress, PM_REMOVE);) {
  }
  {
    const std::lock_guard<std::mutex> hold(lock);
    store.Clear();  // as the closing dialog does: the worker must not read it any more
  }
  ::SetEvent(g_diskHeld);
  EXPECT_TRUE(WaitForNoTemporaryFiles(folder));
  EXPECT_EQ(ReadAll(path), header);
  EXPECT_FALSE(Posted(mailbox, kDone));
  EXPECT_FALSE(Posted(mailbox, kProgress));
  platform::SetFileWriteCall(system);
  ::CloseHandle(g_diskHeld);
  ::DeleteFileW(path.c_str());
  ::RemoveDirectoryW(folder.c_str());
  ::DestroyWindow(mailbox);
}

// An installer that waits until the test lets it go, as a helper that starts slowly does; thread
// 0 fails.
class CHeldInstaller : public msglog::IHookInstaller {
 public:
  struct Hooks : msglog::CInstalledHooks {
    explicit Hooks(std::atomic<int>& removed) : m_removed(removed) {}
    ~Hooks() override { ++m_removed; }
    std::atomic<int>& m_removed;
  };
  std::unique_ptr<msglog::CInstalledHooks> Install(DWORD threadId, std::string* reason) override {
    ::WaitForSingleObject(go, 20000);
    if (threadId) return std::make_unique<Hooks>(removed);
    *reason = "no thread";
    return nullptr;
  }
  bool MayWait() const override { return true; }
  const HANDLE go = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::atomic<int> removed{0};
};

TEST(BackgroundInstall, TheCallerWaitsForNothingAndAnAbandonedInstallsHooksComeOffAtOnce) {
  const HWND mailbox = ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  auto installer = std::make_shared<CHeldInstaller>();
  msglog::CBackgroundInstall install;
  std::string reason;
  install.Start(installer, 42, mailbox, kInstalled);
  EXPECT_TRUE(install.Pending());
  EXPECT_EQ(install.Take(&reason), nullptr) << "not in yet";
  ::SetEvent(installer->go);
  ASSERT_NE(WaitFor(mailbox, kInstalled), -1);
  std::unique_ptr<msglog::CInstalledHooks> hooks = install.Take(&reason);
  EXPECT_NE(hooks, nullptr);
  EXPECT_FALSE(install.Pending());
  hooks.reset();
  EXPECT_EQ(installer->removed.load(), 1);

  // A failure comes with its reason.
  install.Start(installer, 0, mailbox, kInstalled);
  ASSERT_NE(WaitFor(mailbox, kInstalled), -1);
  EXPECT_EQ(install.Take(&reason), nullptr);
  EXPECT_EQ(reason, "no thread");

  // Abandoned while the installer still waits: its hooks come off as they come in, untold.
  auto slow = std::make_shared<CHeldInstaller>();
  install.Start(slow, 42, mailbox, kInstalled);
  install.Abandon();
  EXPECT_FALSE(install.Pending());
  ::SetEvent(slow->go);
  for (const DWORD start = ::GetTickCount(); !slow->removed && ::GetTickCount() - start < 20000;) ::Sleep(10);
  EXPECT_EQ(slow->removed.load(), 1);
  EXPECT_FALSE(Posted(mailbox, kInstalled));
  ::DestroyWindow(mailbox);
}

}  // namespace
