// What the accessibility view shows of an object: state names, the list's rows and their
// copy, a refusal, and texts from another program bounded.
#include <gtest/gtest.h>
#include <windows.h>
#include <oleacc.h>

#include <string>

#include "accessibility/ObjectText.h"

namespace {

using accessibility::BoundedText;
using accessibility::StateText;

TEST(ObjectTextTest, StateWordsNameTheirBitsLowestFirst) {
  const struct {
    DWORD state;
    const wchar_t* text;
  } kCases[] = {
      {0, L"0x00000000"},
      {STATE_SYSTEM_UNAVAILABLE, L"0x00000001 unavailable"},
      {STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_CHECKED, L"0x00100010 checked focusable"},
      {STATE_SYSTEM_HASPOPUP | STATE_SYSTEM_SELECTED | STATE_SYSTEM_INVISIBLE, L"0x40008002 selected invisible has popup"},
      // A bit no name stands for shows in the word only.
      {0x80000000u | STATE_SYSTEM_READONLY, L"0x80000040 read only"},
  };
  for (const auto& c : kCases) EXPECT_EQ(StateText(c.state), c.text) << std::hex << c.state;
}

TEST(ObjectTextTest, TextsOfAnotherProgramAreCutAndKeptOnOneLine) {
  EXPECT_EQ(BoundedText(nullptr, 5), L"");
  EXPECT_EQ(BoundedText(L"a\r\nb\tc", 6), L"a  b c");
  // A length beyond the text's own end reads no further than what was asked for.
  const std::wstring longText(5000, L'x');
  EXPECT_EQ(BoundedText(longText.c_str(), longText.size()).size(), accessibility::kMaxTextLength);
  // A character made of two halves is not cut in two at the bound.
  std::wstring pairs(accessibility::kMaxTextLength - 1, L'y');
  pairs += L"\xD83D\xDE00";
  EXPECT_EQ(BoundedText(pairs.c_str(), pairs.size()), std::wstring(accessibility::kMaxTextLength - 1, L'y'));
}

TEST(ObjectTextTest, RowsShowWhatWasAnsweredAndCopyAsTabbedLines) {
  accessibility::ObjectDetails details;
  details.name = L"ミュート";
  details.role = L"check box";
  details.state = STATE_SYSTEM_CHECKED;
  details.defaultAction = L"切り替え";
  details.location = accessibility::ObjectLocation{-1920, 20, 60, 30};
  details.childCount = 0;
  details.window = reinterpret_cast<HWND>(0x1234);
  const auto rows = accessibility::DetailRows(details);
  ASSERT_EQ(rows.size(), 11u);
  const wchar_t* kItems[] = {L"名前", L"役割", L"状態", L"値", L"説明", L"既定の操作", L"ショートカット", L"ヘルプ", L"位置", L"子の数", L"ウィンドウ"};
  const wchar_t* kValues[] = {L"ミュート", L"check box", L"0x00000010 checked", L"", L"", L"切り替え", L"", L"", L"x=-1920 y=20 w=60 h=30", L"0", L"0x00001234"};
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].item, kItems[i]);
    EXPECT_EQ(rows[i].value, kValues[i]) << i;
  }
  // Unanswered: empty values, and no window row for an object without one.
  const auto bare = accessibility::DetailRows(accessibility::ObjectDetails{});
  ASSERT_EQ(bare.size(), 10u);
  EXPECT_EQ(bare[2].value, L"");
  EXPECT_EQ(bare[9].value, L"");
  EXPECT_EQ(accessibility::CopiedRows({rows[0], rows[8]}), L"名前\tミュート\r\n位置\tx=-1920 y=20 w=60 h=30\r\n");
  EXPECT_EQ(accessibility::RefusalText(E_NOINTERFACE), "システムがこのウィンドウのオブジェクトを渡しません (0x80004002)");
}

}  // namespace
