#include <gtest/gtest.h>
#include <windows.h>

#include "platform/ProcessLookup.h"

namespace {

std::wstring ThisProgram() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

std::wstring BaseName(const std::wstring& path) { return path.substr(path.find_last_of(L"\\/") + 1); }

TEST(ProcessLookup, NameAndPathAreTheExecutablesAndEmptyForNoProcess) {
  const std::wstring path = ThisProgram();
  EXPECT_TRUE(GetProcessNameW(::GetCurrentProcessId()) == BaseName(path));
  EXPECT_EQ(lstrcmpiW(GetProcessPathW(::GetCurrentProcessId()).c_str(), path.c_str()), 0);
  EXPECT_TRUE(GetProcessNameW(0).empty());
  EXPECT_TRUE(GetProcessPathW(0).empty());
  // Process identifiers are multiples of four; this one cannot exist.
  EXPECT_TRUE(GetProcessNameW(0xFFFFFFF1u).empty());
}

// A 64-bit or elevated process refuses the module enumeration: the image path answers instead.
TEST(ProcessLookup, ImagePathAnswersWhenTheModuleEnumerationFails) {
  auto old = SetEnumProcessModulesCall([](HANDLE, HMODULE*, DWORD, DWORD*) -> BOOL { return FALSE; });
  const std::wstring path = ThisProgram();
  EXPECT_EQ(lstrcmpiW(GetProcessPathW(::GetCurrentProcessId()).c_str(), path.c_str()), 0);
  EXPECT_TRUE(GetProcessNameW(::GetCurrentProcessId()) == BaseName(path));
  EXPECT_TRUE(GetProcessNameW(0xFFFFFFF1u).empty());
  EXPECT_TRUE(GetProcessPathW(0).empty());
  SetEnumProcessModulesCall(old);
}

TEST(ProcessLookup, WrappersPassTheirArgumentsThrough) {
  HMODULE modules[4] = {};
  DWORD needed = 0;
  ASSERT_TRUE(CallEnumProcessModules(::GetCurrentProcess(), modules, sizeof(modules), &needed));
  EXPECT_GE(needed, sizeof(HMODULE));
  EXPECT_EQ(modules[0], ::GetModuleHandleA(nullptr));

  wchar_t name[8] = {};
  // A buffer too small for the name is filled to its size and no further.
  DWORD copied = CallGetModuleBaseNameW(::GetCurrentProcess(), modules[0], name, 4);
  EXPECT_LE(copied, 4u);
  EXPECT_EQ(name[5], L'\0');
}

}  // namespace
