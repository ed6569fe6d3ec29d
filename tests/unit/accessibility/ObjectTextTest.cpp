// What the accessibility view shows of an object: state names, the list's rows and their
// copy, a refusal, and texts from another program bounded.
#include <gtest/gtest.h>
#include <windows.h>
#include <oleacc.h>

#include <algorithm>
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
      {STATE_SYSTEM_UNAVAILABLE, L"0x00000001 使用不可"},
      {STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_CHECKED, L"0x00100010 チェック フォーカス可"},
      {STATE_SYSTEM_HASPOPUP | STATE_SYSTEM_SELECTED | STATE_SYSTEM_INVISIBLE, L"0x40008002 選択 非表示 ポップアップあり"},
      {STATE_SYSTEM_ALERT_HIGH | STATE_SYSTEM_PROTECTED, L"0x30000000 警告 (高) 保護"},
      // A bit no name stands for shows in the word only.
      {0x80000000u | STATE_SYSTEM_READONLY, L"0x80000040 読み取り専用"},
  };
  for (const auto& c : kCases) EXPECT_EQ(StateText(c.state), c.text) << std::hex << c.state;
}

TEST(ObjectTextTest, TextsOfAnotherProgramAreCutAndKeptOnOneLine) {
  EXPECT_EQ(BoundedText(nullptr, 5), L"");
  // Escaped as the tree shows them: a copied row stays one line and still says what is there.
  EXPECT_EQ(BoundedText(L"a\r\nb\tc\x01", 7), L"a\\r\\nb\\tc\\x01");
  // A length beyond the text's own end reads no further than what was asked for.
  const std::wstring longText(5000, L'x');
  EXPECT_EQ(BoundedText(longText.c_str(), longText.size()).size(), accessibility::kMaxTextLength);
  // At the bound and one past it.
  for (size_t length : {accessibility::kMaxTextLength - 1, accessibility::kMaxTextLength, accessibility::kMaxTextLength + 1})
    EXPECT_EQ(BoundedText(longText.c_str(), length).size(), std::min(length, accessibility::kMaxTextLength)) << length;
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
  const wchar_t* kValues[] = {L"ミュート", L"check box", L"0x00000010 チェック", L"", L"", L"切り替え", L"", L"", L"x=-1920 y=20 w=60 h=30", L"0", L"0x00001234"};
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

// Whatever numbers an object gives for its place, the part on the screen is reckoned without
// overflow; an object wholly off the screen or without size has none.
TEST(ObjectTextTest, LocationsAreClampedToTheScreenBeforeAnyArithmetic) {
  const RECT screen{-1920, 0, 1920, 1080};
  using accessibility::LocationOnScreen;
  using accessibility::ObjectLocation;
  const struct {
    ObjectLocation location;
    bool on;
    RECT rect;
  } kCases[] = {
      {{10, 20, 60, 30}, true, {10, 20, 70, 50}},
      {{-2000, -10, 100, 20}, true, {-1920, 0, -1900, 10}},
      {{1900, 1070, 0x7fffffff, 0x7fffffff}, true, {1900, 1070, 1920, 1080}},  // x + w past LONG_MAX
      {{0x7ffffff0, 10, 0x7fffffff, 10}, false, {}},
      {{-0x7fffffff - 1, 0, 0x7fffffff, 10}, true, {-1920, 0, -1, 10}},  // from LONG_MIN to -1
      {{-0x7fffffff - 1, 5, -0x7fffffff - 1, 10}, false, {}},  // negative size
      {{100, 100, 0, 10}, false, {}},
      {{1920, 0, 10, 10}, false, {}},  // just past the right edge
      {{1919, 1079, 10, 10}, true, {1919, 1079, 1920, 1080}},
  };
  for (const auto& c : kCases) {
    const std::optional<RECT> on = LocationOnScreen(c.location, screen);
    ASSERT_EQ(on.has_value(), c.on) << c.location.x << "," << c.location.y;
    if (on) EXPECT_TRUE(EqualRect(&*on, &c.rect)) << on->left << "," << on->top << "," << on->right << "," << on->bottom;
  }
}

}  // namespace
