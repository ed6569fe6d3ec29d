// The 64-bit helper on the 64-bit desktop, against a window of the 64-bit fixture: Quorvel
// starts it while it logs the window, it ends with the log and never outlives Quorvel, and
// whatever keeps it from hooking is said in the log's status.
#include "E2eDriver.h"
#include "E2eSuite.h"
#include "msglog/HelperHookInstaller.h"
#include "msglog/HookHelperProtocol.h"
#include "res/resource.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// The helpers started by that process.
std::vector<DWORD> HelpersOf(DWORD parentPid) {
  std::vector<DWORD> helpers;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
    if (entry.th32ParentProcessID == parentPid && Narrow(msglog::kHookHelperName) == entry.szExeFile)
      helpers.push_back(entry.th32ProcessID);
  CloseHandle(snapshot);
  return helpers;
}

class HookHelperTest : public e2e::E2eSuite {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(E2eSuite::SetUp());
    window = fixture.Create("title=\"Hooked by the helper\" x=980 y=40 w=240 h=80 show=noactivate");
    ASSERT_TRUE(IsWindow(window));
  }

  // Makes the window Quorvel's target and opens its message log; the log once its start is
  // over (the helper runs, or the status says why not), or null.
  HWND OpenLog() {
    ClickRow(window);
    if (!e2e::PressButton(GetDlgItem(dialog, IDC_MAIN_MESSAGELOG))) return nullptr;
    const std::string caption = "メッセージログ (" + e2e::HandleText(window) + ")";
    HWND log = nullptr;
    e2e::WaitUntil([&] {
      log = e2e::FindTopLevelWindow(quorvel.Pid(), "#32770", caption.c_str());
      return log && !Status(log).empty() && Status(log).find("開始しています") == std::string::npos;
    }, 5000);
    return log;
  }
  static std::string Status(HWND log) { return e2e::WindowText(GetDlgItem(log, IDC_ML_STATUS)); }

  // A folder of its own holding copies of the files beside Quorvel.exe.
  std::string FolderWith(std::vector<std::string> files) {
    const std::string folder = e2e::ToWindowsPath(e2e::TemporaryFilePath("helper")) + ".dir\\";
    EXPECT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string bin = e2e::QuorvelExePath().substr(0, e2e::QuorvelExePath().find_last_of('\\') + 1);
    for (const std::string& file : files) {
      EXPECT_TRUE(CopyFileA((bin + file).c_str(), (folder + file).c_str(), FALSE)) << file;
      copies.push_back(folder + file);
    }
    copies.push_back(folder);
    return folder;
  }
  void TearDown() override {
    E2eSuite::TearDown();
    for (const std::string& copy : copies) DeleteFileA(copy.c_str()) || RemoveDirectoryA(copy.c_str());
  }

  HWND window = nullptr;
  std::vector<std::string> copies;
};

TEST_F(HookHelperTest, RunsWindowlessWhileQuorvelLogsA64BitWindowAndNeverOutlivesQuorvel) {
  ASSERT_NO_FATAL_FAILURE(StartQuorvel());
  HWND log = OpenLog();
  ASSERT_NE(log, nullptr);
  EXPECT_EQ(Status(log).rfind("記録 ", 0), 0u) << Status(log);
  std::vector<DWORD> helpers = HelpersOf(quorvel.Pid());
  ASSERT_EQ(helpers.size(), 1u);
  EXPECT_TRUE(e2e::TopLevelWindowsOf(helpers[0]).empty());
  // 停止 ends it, 開始 starts another.
  for (size_t running : {0u, 1u}) {
    ASSERT_TRUE(e2e::PressButton(GetDlgItem(log, IDC_ML_STARTSTOP)));
    EXPECT_TRUE(e2e::WaitUntil([&] { return (helpers = HelpersOf(quorvel.Pid())).size() == running; }, 10000));
  }
  // The helper wakes on Quorvel's end at once; taking its hooks off and ending can take the
  // system seconds on a busy machine.
  quorvel.Process().Terminate();
  EXPECT_TRUE(e2e::WaitUntil([&] { return HelpersOf(quorvel.Pid()).empty(); }, 10000)) << "the helper outlived Quorvel";
}

TEST_F(HookHelperTest, AMissingHelperIsSaidInTheLogsStatusAndNothingElseChanges) {
  const std::string folder = FolderWith({"Quorvel.exe", "QuorvelHook.dll"});
  const std::string bin = e2e::Env("QUORVEL_BIN");
  _putenv_s("QUORVEL_BIN", folder.c_str());
  ASSERT_NO_FATAL_FAILURE(StartQuorvel());
  _putenv_s("QUORVEL_BIN", bin.c_str());

  HWND log = OpenLog();
  ASSERT_NE(log, nullptr);
  EXPECT_NE(Status(log).find("補助プログラム QuorvelHookHelper64.exe が Quorvel.exe と同じフォルダーにありません"),
            std::string::npos) << Status(log);
  EXPECT_EQ(e2e::WindowText(GetDlgItem(log, IDC_ML_STARTSTOP)), "開始") << "said to log without a helper";
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(log, IDC_ML_STARTSTOP)));
}

// The helper's exit code, put in words by Quorvel's side.
TEST_F(HookHelperTest, WhatKeptTheHelperFromHookingIsSaid) {
  const std::string name = Narrow(msglog::kHookHelperName);
  const std::string lonely = FolderWith({name}) + name;  // without the hook DLL
  const std::string helper = e2e::QuorvelExePath().substr(0, e2e::QuorvelExePath().find_last_of('\\') + 1) + name;
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  const struct {
    std::string helper;
    DWORD thread;
    const char* said;
  } cases[] = {
      {lonely, thread, "64 ビット用のフック QuorvelHook64.dll を読み込めませんでした"},
      {helper, GetCurrentThreadId() + 0x10000, "メッセージの記録を始められません"},  // no such thread
  };
  for (const auto& c : cases) {
    std::string reason;
    EXPECT_EQ(msglog::CHelperHookInstaller(std::wstring(c.helper.begin(), c.helper.end())).Install(c.thread, &reason), nullptr);
    EXPECT_NE(reason.find(c.said), std::string::npos) << reason;
  }
  EXPECT_TRUE(HelpersOf(GetCurrentProcessId()).empty());
}

}  // namespace
