#include "snapshot/Selectors.h"

#include <gtest/gtest.h>

namespace snapshot {
namespace {

HWND H(UINT_PTR value) { return reinterpret_cast<HWND>(value); }

TEST(ParseHandleTest, HexWithOrWithoutLeadingZerosAndDecimalNameTheSameWindow) {
  EXPECT_EQ(ParseHandle("0x1a2b"), H(0x1a2b));
  EXPECT_EQ(ParseHandle("0x00001A2B"), H(0x1a2b));
  EXPECT_EQ(ParseHandle("0X1a2B"), H(0x1a2b));
  EXPECT_EQ(ParseHandle("6699"), H(0x1a2b));
  EXPECT_EQ(ParseHandle("0xffffffff"), H(0xffffffff));
  EXPECT_EQ(ParseHandle("4294967295"), H(0xffffffff));
  for (const char* bad : {"", "0x", "0x123456789", "4294967296", "99999999999", "12a", " 12", "12 ", "-5", "+5",
                          "0x-1", "0x1g", "1.5", "0x 1", "ｘ"})
    EXPECT_FALSE(ParseHandle(bad).has_value()) << bad;
}

TEST(WildcardMatchTest, StarsAndQuestionMarksMatchCaseAside) {
  EXPECT_TRUE(WildcardMatch(L"*", L""));
  EXPECT_TRUE(WildcardMatch(L"", L""));
  EXPECT_FALSE(WildcardMatch(L"", L"a"));
  EXPECT_TRUE(WildcardMatch(L"a?c", L"ABC"));
  EXPECT_FALSE(WildcardMatch(L"a?c", L"ac"));
  EXPECT_TRUE(WildcardMatch(L"*.EXE", L"notepad.exe"));
  EXPECT_TRUE(WildcardMatch(L"a*b*c", L"aXXbYYc"));
  EXPECT_TRUE(WildcardMatch(L"a*b", L"ab"));
  EXPECT_FALSE(WildcardMatch(L"a*b", L"abc"));
  EXPECT_TRUE(WildcardMatch(L"*b", L"abab"));
  EXPECT_FALSE(WildcardMatch(L"Hello", L"Hello world")) << "a pattern without a star matches the whole text";
  EXPECT_TRUE(WildcardMatch(L"探査*", L"探査ウィンドウ"));
  EXPECT_TRUE(WildcardMatch(L"ｃａｆ\u00e9*", L"ＣＡＦ\u00c9探査")) << "full-width Latin and accents, case aside";
  // A pattern that would make a naive backtracking match take exponential time ends, and right.
  EXPECT_FALSE(WildcardMatch(L"*a*a*a*a*a*a*a*a*b", std::wstring(5000, L'a')));
  EXPECT_TRUE(WildcardMatch(L"*a*a*a*a*a*a*a*a*b", std::wstring(5000, L'a') + L"b"));
}

TEST(SelectorTest, EverySelectorGivenMustMatchAndAProcessNameMayLeaveOutExe) {
  WindowEntry window;
  window.text = L"Untitled - Notepad";
  window.className = L"Notepad";
  window.pid = 42;
  window.process = L"NOTEPAD.EXE";
  Selector selector;
  EXPECT_TRUE(selector.Empty());
  EXPECT_TRUE(selector.Matches(window));
  selector.title = L"*notepad";
  selector.className = L"note?ad";
  selector.pid = 42;
  selector.process = L"notepad";
  EXPECT_FALSE(selector.Empty());
  EXPECT_TRUE(selector.Matches(window));
  Selector other = selector;
  other.pid = 43;
  EXPECT_FALSE(other.Matches(window));
  other = selector;
  other.title = L"Notepad";
  EXPECT_FALSE(other.Matches(window));
  other = selector;
  other.className = L"Edit";
  EXPECT_FALSE(other.Matches(window));
  for (const wchar_t* process : {L"notepad.exe", L"NOTE*", L"*pad.exe", L"notepad"}) {
    other = selector;
    other.process = process;
    EXPECT_TRUE(other.Matches(window)) << process;
  }
  for (const wchar_t* process : {L"notepad.com", L"note", L"wordpad"}) {
    other = selector;
    other.process = process;
    EXPECT_FALSE(other.Matches(window)) << process;
  }
}

}  // namespace
}  // namespace snapshot
