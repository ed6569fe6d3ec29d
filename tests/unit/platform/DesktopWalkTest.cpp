#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "E2eDriver.h"
#include "platform/DesktopWalk.h"

namespace {

// A window the reader does not take is left out with everything under it, whatever the reason;
// the others come each after its parent, with the parent the system names. The names are read
// once and a closed window has none.
TEST(DesktopWalk, AWindowNotTakenLeavesOutItsBranchAndTheNamesAreKeptPerAtomAndProcess) {
  auto make = [](HWND parent, const char* text) {
    return ::CreateWindowExA(0, "STATIC", text, parent ? WS_CHILD : WS_POPUP, 0, 0, 50, 20, parent, nullptr, nullptr,
                             nullptr);
  };
  HWND root = make(nullptr, "root");
  HWND refused = make(root, "refused"), under = make(refused, "under refused"), deeper = make(under, "deeper");
  HWND kept = make(root, "kept"), keptChild = make(kept, "kept child");
  HWND sink = ::CreateWindowExA(0, "STATIC", "sink", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);

  std::vector<platform::WalkedWindow> offered;
  platform::WalkWindowTree(root, false, true, [&](const platform::WalkedWindow& window) {
    offered.push_back(window);
    return window.hwnd != refused;
  });
  auto find = [&](HWND hwnd) {
    return std::find_if(offered.begin(), offered.end(), [&](const auto& w) { return w.hwnd == hwnd; });
  };
  ASSERT_EQ(offered.size(), 4u);
  EXPECT_EQ(offered[0].hwnd, root);
  EXPECT_EQ(offered[0].parent, nullptr);
  EXPECT_NE(find(refused), offered.end());
  EXPECT_EQ(find(under), offered.end());
  EXPECT_EQ(find(deeper), offered.end());
  ASSERT_NE(find(keptChild), offered.end());
  EXPECT_EQ(find(keptChild)->parent, kept);
  EXPECT_LT(find(kept), find(keptChild));

  // A root not taken: nothing under it is offered. Children not asked for: the root alone.
  offered.clear();
  platform::WalkWindowTree(root, false, true, [&](const platform::WalkedWindow& window) {
    offered.push_back(window);
    return false;
  });
  EXPECT_EQ(offered.size(), 1u);
  offered.clear();
  platform::WalkWindowTree(root, false, false, [&](const platform::WalkedWindow& window) {
    offered.push_back(window);
    return true;
  });
  EXPECT_EQ(offered.size(), 1u);

  // The roots: this thread's windows among the top-level ones, the sink among the message-only
  // ones, and the bound kept.
  const platform::DesktopRoots roots = platform::ListDesktopRoots();
  EXPECT_NE(std::find(roots.topLevel.begin(), roots.topLevel.end(), root), roots.topLevel.end());
  EXPECT_NE(std::find(roots.messageOnly.begin(), roots.messageOnly.end(), sink), roots.messageOnly.end());
  EXPECT_EQ(platform::ListDesktopRoots(true, 1).messageOnly.size(), 1u);
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
