#include <gtest/gtest.h>
#include <windows.h>

#include "platform/ProgramFolder.h"

TEST(ProgramFolder, FilesBesideTheProgramAreInItsFolder) {
  wchar_t own[MAX_PATH] = {};
  const std::wstring path(own, ::GetModuleFileNameW(nullptr, own, MAX_PATH));
  EXPECT_EQ(platform::ProgramPath(), path);
  EXPECT_EQ(platform::PathBesideProgram(L"a.dll"), path.substr(0, path.find_last_of(L"\\/") + 1) + L"a.dll");
}
