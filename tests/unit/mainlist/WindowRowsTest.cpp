#include <gtest/gtest.h>

#include "mainlist/WindowRows.h"

using mainlist::PassesFilters;

namespace {

TEST(WindowFilters, VisibleOnlyDropsHiddenWindows) {
  EXPECT_FALSE(PassesFilters(false, L"Hidden", true, false));
  EXPECT_TRUE(PassesFilters(false, L"Hidden", false, false));
  EXPECT_TRUE(PassesFilters(true, L"Shown", true, true));
}

TEST(WindowFilters, WithTitleDropsUntitledWindows) {
  EXPECT_FALSE(PassesFilters(true, L"", false, true));
  EXPECT_TRUE(PassesFilters(true, L"", false, false));
  EXPECT_TRUE(PassesFilters(false, L"", false, false));
}

TEST(WindowFilters, ProgramManagerIsNeverListed) {
  EXPECT_FALSE(PassesFilters(true, L"Program Manager", false, false));
  EXPECT_FALSE(PassesFilters(false, L"Program Manager", false, false));
  // Only the exact title is left out.
  EXPECT_TRUE(PassesFilters(true, L"program manager", true, true));
  EXPECT_TRUE(PassesFilters(true, L"Program Manager ", true, true));
  EXPECT_TRUE(PassesFilters(true, L"Program Manager2", true, true));
}

TEST(WindowRow, ColumnsReadAsShown) {
  mainlist::WindowRow row =
      mainlist::MakeWindowRow(L"メモ帳", L"notepad.exe", 1234, reinterpret_cast<HWND>(0x00ABCDEF));
  EXPECT_TRUE(row.title == L"メモ帳");
  EXPECT_TRUE(row.processName == L"notepad.exe");
  EXPECT_EQ(row.pid, "1234");
  EXPECT_EQ(row.handle, "0x00abcdef");
}

TEST(WindowRow, HandleIsZeroPaddedLowerCaseHex) {
  EXPECT_EQ(mainlist::MakeWindowRow(L"", L"", 0, reinterpret_cast<HWND>(0x1A)).handle, "0x0000001a");
  EXPECT_EQ(mainlist::MakeWindowRow(L"", L"", 0, reinterpret_cast<HWND>(0xFFFFFFFF)).handle, "0xffffffff");
  EXPECT_EQ(mainlist::MakeWindowRow(L"", L"", 0, nullptr).pid, "0");
}

TEST(RowTarget, ParsesTheTextsBackIntoPidAndHandle) {
  mainlist::RowTarget target = mainlist::ParseRowTarget("4711", "0x0002004e");
  EXPECT_EQ(target.pid, 4711u);
  EXPECT_EQ(target.hwnd, reinterpret_cast<HWND>(0x0002004e));

  mainlist::WindowRow row = mainlist::MakeWindowRow(L"t", L"p", 98765, reinterpret_cast<HWND>(0x7fff1234));
  mainlist::RowTarget back = mainlist::ParseRowTarget(row.pid, row.handle);
  EXPECT_EQ(back.pid, 98765u);
  EXPECT_EQ(back.hwnd, reinterpret_cast<HWND>(0x7fff1234));
}

TEST(RowTarget, MalformedTextsGiveZero) {
  mainlist::RowTarget target = mainlist::ParseRowTarget("", "0x");
  EXPECT_EQ(target.pid, 0u);
  EXPECT_EQ(target.hwnd, nullptr);
}

}  // namespace
