#include <gtest/gtest.h>

#include "mainlist/RowSearch.h"

namespace {

TEST(RowSearchMatch, MatchesEachFieldAsShownCaseAsideJapaneseIncluded) {
  const HWND handle = reinterpret_cast<HWND>(0x0012ABCD);
  const struct {
    const wchar_t* typed;
    bool matches;
  } kCases[] = {
      {L"", true},                // an empty box lets every row through
      {L"無題", true},            // title, Japanese
      {L"メモ帳", true},
      {L"めも", false},           // no folding between kana
      {L"untitled", true},        // title, case aside
      {L"ＡＢＣ", true},          // full-width letters, case aside ("ａｂｃ" in the title)
      {L"frameclass", true},      // class name
      {L"NOTEPAD.EXE", true},     // process name
      {L"pad.e", true},
      {L"tepad.exx", false},
      {L"4321", true},            // process id, part of it
      {L"43210", false},
      {L"12abcd", true},          // handle digits without "0x", either case
      {L"0012ABCD", true},
      {L"0x0012abcd", true},      // as shown
      {L"0X12ab", true},          // "0x" with the leading zeros left out
      {L"0x", true},              // every shown handle starts so
      {L"0x2abc", false},         // after "0x" the digits start the handle
      {L"abcd0", false},
      {L" untitled", false},      // the typed text is taken as it is
      {L"zzz", false},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(mainlist::CRowSearch(c.typed).Matches(L"Untitled ａｂｃ - 無題 メモ帳", L"FrameClass", L"notepad.exe", 4321, handle),
              c.matches)
        << testing::PrintToString(std::wstring(c.typed));
  EXPECT_FALSE(mainlist::CRowSearch(L"a").Matches(L"", L"", L"", 7, nullptr));
}

}  // namespace
