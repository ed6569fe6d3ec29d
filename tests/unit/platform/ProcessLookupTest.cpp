#include <gtest/gtest.h>
#include <windows.h>

#include "platform/ProcessLookup.h"

namespace {

std::string ThisProgram() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

TEST(ProcessLookup, NameIsTheExecutablesBaseName) {
  std::string path = ThisProgram();
  std::string base = path.substr(path.find_last_of("\\/") + 1);
  EXPECT_EQ(GetProcessName(::GetCurrentProcessId()), base);
  wchar_t wide[MAX_PATH] = L"";
  ::GetModuleFileNameW(nullptr, wide, MAX_PATH);
  const std::wstring widePath = wide;
  EXPECT_EQ(GetProcessNameW(::GetCurrentProcessId()), widePath.substr(widePath.find_last_of(L"\\/") + 1));
}

TEST(ProcessLookup, PathIsTheFullExecutablePath) {
  std::string path = GetProcessPath(::GetCurrentProcessId());
  EXPECT_EQ(lstrcmpiA(path.c_str(), ThisProgram().c_str()), 0) << path;
}

TEST(ProcessLookup, UnknownProcessGivesEmptyTexts) {
  EXPECT_EQ(GetProcessName(0), "");
  EXPECT_EQ(GetProcessPath(0), "");
  // Process identifiers are multiples of four; this one cannot exist.
  EXPECT_EQ(GetProcessName(0xFFFFFFF1u), "");
}

// A 64-bit or elevated process refuses the module enumeration: the image path answers instead.
TEST(ProcessLookup, ImagePathAnswersWhenTheModuleEnumerationFails) {
  auto old = SetEnumProcessModulesCall([](HANDLE, HMODULE*, DWORD, DWORD*) -> BOOL { return FALSE; });
  std::string path = ThisProgram();
  EXPECT_EQ(lstrcmpiA(GetProcessPath(::GetCurrentProcessId()).c_str(), path.c_str()), 0);
  EXPECT_EQ(GetProcessName(::GetCurrentProcessId()), path.substr(path.find_last_of("\\/") + 1));
  EXPECT_EQ(GetProcessName(0xFFFFFFF1u), "");
  EXPECT_EQ(GetProcessPath(0), "");
  SetEnumProcessModulesCall(old);
}

TEST(ProcessLookup, WrappersPassTheirArgumentsThrough) {
  HMODULE modules[4] = {};
  DWORD needed = 0;
  ASSERT_TRUE(CallEnumProcessModules(::GetCurrentProcess(), modules, sizeof(modules), &needed));
  EXPECT_GE(needed, sizeof(HMODULE));
  EXPECT_EQ(modules[0], ::GetModuleHandleA(nullptr));

  char name[8] = {};
  // A buffer too small for the name is filled to its size and no further.
  DWORD copied = CallGetModuleBaseNameA(::GetCurrentProcess(), modules[0], name, 4);
  EXPECT_LE(copied, 4u);
  EXPECT_EQ(name[5], '\0');
}

}  // namespace
