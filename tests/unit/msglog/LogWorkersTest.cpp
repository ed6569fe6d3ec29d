// The log's two workers, which keep the dialog's thread free: a save that streams the store to
// a file and tells its progress, and a hook install run off the dialog's thread whose result is
// posted, or, once abandoned, taken off where it came in.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <iterator>
#include <mutex>

#include "msglog/BackgroundInstall.h"
#include "msglog/LogSave.h"

namespace {

// A hidden window of the test's thread that collects what the workers post to it.
class Mailbox {
 public:
  Mailbox() {
    m_hwnd = ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  }
  ~Mailbox() { ::DestroyWindow(m_hwnd); }
  HWND Get() const { return m_hwnd; }
  // Waits (bounded) for a message posted to the window; its wParam, or -1.
  INT_PTR WaitFor(UINT message, DWORD timeoutMs = 20000) {
    const DWORD start = ::GetTickCount();
    MSG msg;
    while (::GetTickCount() - start < timeoutMs) {
      if (::PeekMessageA(&msg, m_hwnd, message, message, PM_REMOVE)) return static_cast<INT_PTR>(msg.wParam);
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_POSTMESSAGE);
    }
    return -1;
  }
  bool Has(UINT message) {
    MSG msg;
    return ::PeekMessageA(&msg, m_hwnd, message, message, PM_NOREMOVE) != FALSE;
  }

 private:
  HWND m_hwnd;
};

constexpr UINT kProgress = WM_APP + 1, kDone = WM_APP + 2, kInstalled = WM_APP + 3;

std::string ReadAll(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(LogSave, StreamsTheRowsOffTheCallersThreadTellsItsProgressAndStopsWithoutAFile) {
  msglog::CMessageStore store;
  std::mutex lock;
  for (int i = 0; i < 5000; ++i) {
    msglog::StoredRow row{};
    row.kind = 'S';
    row.message = WM_SETTEXT;
    msglog::Payload text;
    text.kind = msglog::Payload::Text;
    text.text = "=row " + std::to_string(i);
    store.Add(row, text);
  }
  wchar_t folder[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, folder);
  const std::wstring path = std::wstring(folder) + L"log-save-test.csv";
  ::DeleteFileW(path.c_str());
  Mailbox mailbox;
  msglog::CLogSave save;
  msglog::SavedRows every;
  every.first = store.FirstNumber();
  every.end = every.first + store.Size();
  save.Start(path, every, store, lock, mailbox.Get(), kProgress, kDone);
  EXPECT_EQ(save.Total(), 5000u);
  EXPECT_EQ(mailbox.WaitFor(kProgress), 2000);
  ASSERT_NE(mailbox.WaitFor(kDone), -1);
  EXPECT_EQ(save.Finish(), "");
  EXPECT_FALSE(save.Running());
  const std::string saved = ReadAll(path);
  EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 5001);
  EXPECT_NE(saved.find("\r\n5000,0.000,0x00000000,S,WM_SETTEXT,0x00000000,0x00000000,,\"\"\"=row 4999\"\"\"\r\n"),
            std::string::npos);

  // Only the filter's rows; rows gone before their turn are left out.
  msglog::SavedRows some;
  some.filtered = true;
  some.numbers = {3, 4000, 4001};
  {
    const std::lock_guard<std::mutex> hold(lock);
    save.Start(path, some, store, lock, mailbox.Get(), kProgress, kDone);
    store.Clear();
  }
  ASSERT_NE(mailbox.WaitFor(kDone), -1);
  EXPECT_EQ(save.Finish(), "");
  const std::string header = ReadAll(path);
  EXPECT_EQ(std::count(header.begin(), header.end(), '\n'), 1);

  // Stopped: the file is left as it was, and nothing is told.
  const std::string before = ReadAll(path);
  save.Start(path, every, store, lock, mailbox.Get(), kProgress, kDone);
  save.Stop();
  EXPECT_FALSE(save.Running());
  EXPECT_EQ(ReadAll(path), before);
  EXPECT_FALSE(mailbox.Has(kDone));
  ::DeleteFileW(path.c_str());
}

// An installer that waits until the test lets it go, as a helper that starts slowly does.
class CHeldInstaller : public msglog::IHookInstaller {
 public:
  struct Hooks : msglog::CInstalledHooks {
    explicit Hooks(std::atomic<int>& removed) : m_removed(removed) {}
    ~Hooks() override { ++m_removed; }
    std::atomic<int>& m_removed;
  };
  CHeldInstaller() : m_go(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
  ~CHeldInstaller() override { ::CloseHandle(m_go); }
  std::unique_ptr<msglog::CInstalledHooks> Install(DWORD threadId, std::string* reason) override {
    ::WaitForSingleObject(m_go, 20000);
    if (threadId == 0) {
      *reason = "no thread";
      return nullptr;
    }
    return std::make_unique<Hooks>(removed);
  }
  bool MayWait() const override { return true; }
  void Go() { ::SetEvent(m_go); }
  std::atomic<int> removed{0};

 private:
  HANDLE m_go;
};

TEST(BackgroundInstall, TheCallerWaitsForNothingAndAnAbandonedInstallsHooksComeOffAtOnce) {
  Mailbox mailbox;
  auto installer = std::make_shared<CHeldInstaller>();
  msglog::CBackgroundInstall install;
  std::string reason;

  install.Start(installer, 42, mailbox.Get(), kInstalled);
  EXPECT_TRUE(install.Pending());
  EXPECT_EQ(install.Take(&reason), nullptr) << "not in yet";
  installer->Go();
  ASSERT_NE(mailbox.WaitFor(kInstalled), -1);
  std::unique_ptr<msglog::CInstalledHooks> hooks = install.Take(&reason);
  EXPECT_NE(hooks, nullptr);
  EXPECT_FALSE(install.Pending());
  hooks.reset();
  EXPECT_EQ(installer->removed.load(), 1);

  // A failure comes with its reason.
  install.Start(installer, 0, mailbox.Get(), kInstalled);
  ASSERT_NE(mailbox.WaitFor(kInstalled), -1);
  EXPECT_EQ(install.Take(&reason), nullptr);
  EXPECT_EQ(reason, "no thread");

  // Abandoned while the installer still waits: its hooks come off as they come in, untold.
  auto slow = std::make_shared<CHeldInstaller>();
  install.Start(slow, 42, mailbox.Get(), kInstalled);
  install.Abandon();
  EXPECT_FALSE(install.Pending());
  slow->Go();
  const DWORD start = ::GetTickCount();
  while (slow->removed.load() == 0 && ::GetTickCount() - start < 20000) ::Sleep(10);
  EXPECT_EQ(slow->removed.load(), 1);
  EXPECT_FALSE(mailbox.Has(kInstalled));
}

}  // namespace
