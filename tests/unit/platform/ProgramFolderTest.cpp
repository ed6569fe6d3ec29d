#include <gtest/gtest.h>
#include <windows.h>

#include "platform/ProgramFolder.h"

namespace {

TEST(ProgramFolder, FilesBesideTheProgramAreInItsFolder) {
  wchar_t own[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameW(nullptr, own, MAX_PATH);
  ASSERT_GT(length, 0u);
  EXPECT_EQ(platform::ProgramPath(), std::wstring(own, length));
  const std::wstring folder = std::wstring(own, length).substr(0, std::wstring(own, length).find_last_of(L"\\/") + 1);
  EXPECT_EQ(platform::PathBesideProgram(L"QuorvelHook.dll"), folder + L"QuorvelHook.dll");
}

}  // namespace
