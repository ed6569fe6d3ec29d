#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "E2eDriver.h"
#include "platform/DesktopWalk.h"

namespace {

// What the walk adds to the readers' own tests (the window tree's reader skips what closes
// mid-read with its branch and keeps its bounds): message-only roots only when asked for, a
// closed window's class never taken from the cache, and a process's name kept from one walk to
// the next but not past the process's end.
TEST(DesktopWalk, RootsAsAskedAndNamesKeptOnlyWhileTheyHold) {
  HWND root = ::CreateWindowExA(0, "STATIC", "root", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
  HWND kept = ::CreateWindowExA(0, "STATIC", "kept", WS_CHILD, 0, 0, 50, 20, root, nullptr, nullptr, nullptr);
  HWND keptChild = ::CreateWindowExA(0, "STATIC", "kept child", WS_CHILD, 0, 0, 50, 20, kept, nullptr, nullptr, nullptr);
  HWND sink = ::CreateWindowExA(0, "STATIC", "sink", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  const platform::DesktopRoots roots = platform::ListDesktopRoots();
  EXPECT_NE(std::find(roots.topLevel.begin(), roots.topLevel.end(), root), roots.topLevel.end());
  EXPECT_NE(std::find(roots.messageOnly.begin(), roots.messageOnly.end(), sink), roots.messageOnly.end());
  EXPECT_TRUE(platform::ListDesktopRoots(false).messageOnly.empty());

  platform::CWindowNames names;
  std::wstring className;
  ASSERT_TRUE(names.ClassName(kept, className));
  EXPECT_EQ(className, L"Static");
  EXPECT_FALSE(names.ProcessName(::GetCurrentProcessId()).empty());
  ::DestroyWindow(keptChild);
  // The class of a closed window is not taken from the cache: it says the window is gone.
  className.clear();
  EXPECT_FALSE(names.ClassName(keptChild, className));
  EXPECT_TRUE(className.empty());
  ::DestroyWindow(sink);
  ::DestroyWindow(root);

  // A process's name is kept from one walk to the next, but not past the process's end: its id
  // may name another program by then.
  wchar_t command[] = L"cmd.exe /c exit";
  STARTUPINFOW startup{sizeof startup};
  PROCESS_INFORMATION started{};
  ASSERT_TRUE(::CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                               &started));
  EXPECT_EQ(platform::CWindowNames().ProcessName(started.dwProcessId), L"cmd.exe");
  EXPECT_EQ(platform::CWindowNames().ProcessName(started.dwProcessId), L"cmd.exe");
  ::TerminateProcess(started.hProcess, 0);
  ::WaitForSingleObject(started.hProcess, 5000);
  ::CloseHandle(started.hThread);
  ::CloseHandle(started.hProcess);
  // Gone once the system no longer opens it.
  ASSERT_TRUE(e2e::WaitUntil([&] {
    HANDLE process = ::OpenProcess(0x1000 /* PROCESS_QUERY_LIMITED_INFORMATION */, FALSE, started.dwProcessId);
    if (process) ::CloseHandle(process);
    return process == nullptr;
  }, 10000));
  EXPECT_NE(platform::CWindowNames().ProcessName(started.dwProcessId), L"cmd.exe");
}

}  // namespace
