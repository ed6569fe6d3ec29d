#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "app/VersionText.h"

namespace {

std::string ThisProgram() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

// The small programs built beside this test with version resources of their own.
std::string Beside(const char* name) {
  std::string path = ThisProgram();
  return path.substr(0, path.find_last_of("\\/") + 1) + name;
}

TEST(AboutVersion, CommasBecomeHyphensAndBlanksStay) {
  EXPECT_EQ(app::FormatAboutVersion("Ver.:1, 0, 1, 123"), "Tsuravi Ver.:1- 0- 1- 123");
}

TEST(AboutVersion, SemicolonsBecomeFullStops) {
  EXPECT_EQ(app::FormatAboutVersion("Ver.:1;2;3"), "Tsuravi Ver.:1.2.3");
}

TEST(AboutVersion, EmptyVersionLeavesTheProductName) { EXPECT_EQ(app::FormatAboutVersion(""), "Tsuravi "); }

TEST(ProductVersion, ReadFromTheProgramsOwnResource) {
  std::optional<std::string> text = app::ReadProductVersionText(ThisProgram().c_str());
  ASSERT_TRUE(text.has_value());
  EXPECT_EQ(*text, "Ver.:1, 0, 1, 123");
}

TEST(ProductVersion, MissingEntryGivesAnEmptyValue) {
  std::optional<std::string> text = app::ReadProductVersionText(Beside("version_noproduct.exe").c_str());
  ASSERT_TRUE(text.has_value());
  EXPECT_EQ(*text, "Ver.:");
}

TEST(ProductVersion, SemicolonVersionIsReadAsWritten) {
  std::optional<std::string> text = app::ReadProductVersionText(Beside("version_semicolon.exe").c_str());
  ASSERT_TRUE(text.has_value());
  EXPECT_EQ(app::FormatAboutVersion(*text), "Tsuravi Ver.:1.2.3");
}

TEST(ProductVersion, FileWithoutVersionResourceGivesNothing) {
  EXPECT_FALSE(app::ReadProductVersionText(Beside("no_such_file.exe").c_str()).has_value());
  EXPECT_FALSE(app::ReadProductVersionText(Beside("version_none.exe").c_str()).has_value());
}

TEST(ProductVersion, CachedTextIsBuiltOnceAndNotReadAgain) {
  const char* first = app::GetVersionText();
  EXPECT_STREQ(first, "Ver.:1, 0, 1, 123");
  // A mark in the cache survives the next call only if that call does not read the file again.
  char* cache = const_cast<char*>(first);
  cache[0] = 'X';
  const std::string second = app::GetVersionText();
  cache[0] = 'V';
  EXPECT_EQ(second, "Xer.:1, 0, 1, 123");
}

}  // namespace
