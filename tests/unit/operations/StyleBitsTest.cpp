#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "operations/StyleBits.h"

using namespace operations;

namespace {

// The word after a user's click on a box: every box shows the word, the clicked one toggles
// itself (automatic check box), then the editor reads the boxes.
DWORD ClickBox(DWORD word, const StyleBitTable& table, int id) {
  std::map<int, bool> boxes;
  for (const StyleBitRow& row : table) boxes[row.id] = IsBoxChecked(word, row.mask);
  boxes[id] = !boxes[id];
  return ApplyBoxClick(word, table, id, [&boxes](int box) { return boxes.at(box); });
}

const StyleBitRow& Row(const StyleBitTable& table, const char* caption) {
  for (const StyleBitRow& row : table)
    if (std::string(row.caption) == caption) return row;
  ADD_FAILURE() << "no row " << caption;
  return *table.begin();
}

std::set<std::string> CheckedCaptions(DWORD word, const StyleBitTable& table) {
  std::set<std::string> checked;
  for (const StyleBitRow& row : table)
    if (IsBoxChecked(word, row.mask)) checked.insert(row.caption);
  return checked;
}

DWORD AllMasks(const StyleBitTable& table) {
  DWORD all = 0;
  for (const StyleBitRow& row : table) all |= row.mask;
  return all;
}

}  // namespace

TEST(StyleBitsTest, TablesNameTheSystemsBitsAndListSingleBitsBeforeCombinations) {
  const std::map<std::string, DWORD> system = {
      {"WS_POPUP", WS_POPUP}, {"WS_CHILD", WS_CHILD}, {"WS_MINIMIZE/WS_ICONIC", WS_MINIMIZE},
      {"WS_VISIBLE", WS_VISIBLE}, {"WS_DISABLED", WS_DISABLED}, {"WS_CLIPSIBLINGS", WS_CLIPSIBLINGS},
      {"WS_CLIPCHILDREN", WS_CLIPCHILDREN}, {"WS_BORDER", WS_BORDER}, {"WS_DLGFRAME", WS_DLGFRAME},
      {"WS_VSCROLL", WS_VSCROLL}, {"WS_HSCROLL", WS_HSCROLL}, {"WS_SYSMENU", WS_SYSMENU},
      {"WS_THICKFRAME/WS_SIZEBOX", WS_THICKFRAME}, {"WS_GROUP/WS_MINIMIZEBOX", WS_MINIMIZEBOX},
      {"WS_TABSTOP/WS_MAXIMIZEBOX", WS_MAXIMIZEBOX}, {"WS_POPUPWINDOW", WS_POPUPWINDOW},
      {"WS_CAPTION", WS_CAPTION}, {"WS_OVERLAPPEDWINDOW", WS_OVERLAPPEDWINDOW},
      {"WS_EX_DLGMODALFRAME", WS_EX_DLGMODALFRAME}, {"WS_EX_NOPARENTNOTIFY", WS_EX_NOPARENTNOTIFY},
      {"WS_EX_TOPMOST", WS_EX_TOPMOST}, {"WS_EX_ACCEPTFILES", WS_EX_ACCEPTFILES},
      {"WS_EX_TRANSPARENT", WS_EX_TRANSPARENT}, {"WS_EX_MDICHILD", WS_EX_MDICHILD},
      {"WS_EX_TOOLWINDOW", WS_EX_TOOLWINDOW}, {"WS_EX_WINDOWEDGE", WS_EX_WINDOWEDGE},
      {"WS_EX_CLIENTEDGE", WS_EX_CLIENTEDGE}, {"WS_EX_CONTEXTHELP", WS_EX_CONTEXTHELP},
      {"WS_EX_RIGHT", WS_EX_RIGHT}, {"WS_EX_RTLREADING", WS_EX_RTLREADING},
      {"WS_EX_LEFTSCROLLBAR", WS_EX_LEFTSCROLLBAR}, {"WS_EX_CONTROLPARENT", WS_EX_CONTROLPARENT},
      {"WS_EX_STATICEDGE", WS_EX_STATICEDGE}, {"WS_EX_APPWINDOW", WS_EX_APPWINDOW},
      {"WS_EX_LAYERED", WS_EX_LAYERED}, {"WS_EX_OVERLAPPEDWINDOW", WS_EX_OVERLAPPEDWINDOW},
      {"WS_EX_PALETTEWINDOW", WS_EX_PALETTEWINDOW},
  };
  struct Expected {
    StyleBitTable table;
    size_t singles;
    size_t combinations;
  };
  for (const Expected& expected : {Expected{WindowStyleBits(), 15, 3}, Expected{WindowStyleExBits(), 17, 2}}) {
    ASSERT_EQ(expected.singles + expected.combinations, expected.table.count);
    std::set<int> ids;
    size_t index = 0;
    for (const StyleBitRow& row : expected.table) {
      SCOPED_TRACE(row.caption);
      EXPECT_TRUE(ids.insert(row.id).second) << "id used twice: " << row.id;
      ASSERT_EQ(1u, system.count(row.caption));
      EXPECT_EQ(system.at(row.caption), row.mask);
      const bool oneBit = (row.mask & (row.mask - 1)) == 0;
      EXPECT_EQ(index < expected.singles ? StyleBitKind::Single : StyleBitKind::Combination, row.kind);
      EXPECT_EQ(row.kind == StyleBitKind::Single, oneBit);
      EXPECT_EQ(&row, FindStyleBitRow(expected.table, row.id));
      ++index;
    }
  }
  EXPECT_EQ(nullptr, FindStyleBitRow(WindowStyleBits(), 1053));
  EXPECT_EQ(nullptr, FindStyleBitRow(WindowStyleExBits(), 1070));
}

TEST(StyleBitsTest, BitsWithoutABoxAreTheMaximizeBitAndTheClassStylesOrTheUnnamedExtendedBits) {
  EXPECT_EQ(static_cast<DWORD>(WS_MAXIMIZE | 0x0000FFFF), ~AllMasks(WindowStyleBits()));
  EXPECT_EQ(0xFFF08802u, ~AllMasks(WindowStyleExBits()));
}

TEST(StyleBitsTest, ABoxIsCheckedOnlyWhenAllItsBitsAreSet) {
  EXPECT_EQ((std::set<std::string>{"WS_VISIBLE", "WS_CLIPSIBLINGS", "WS_CLIPCHILDREN", "WS_BORDER", "WS_DLGFRAME",
                                   "WS_SYSMENU", "WS_THICKFRAME/WS_SIZEBOX", "WS_GROUP/WS_MINIMIZEBOX",
                                   "WS_TABSTOP/WS_MAXIMIZEBOX", "WS_CAPTION", "WS_OVERLAPPEDWINDOW"}),
            CheckedCaptions(0x16CF0000, WindowStyleBits()));
  // WS_POPUP and WS_BORDER without WS_SYSMENU: the pop-up window box stays unchecked.
  EXPECT_EQ((std::set<std::string>{"WS_POPUP", "WS_BORDER"}), CheckedCaptions(0x80800000, WindowStyleBits()));
  EXPECT_EQ((std::set<std::string>{"WS_EX_WINDOWEDGE", "WS_EX_CLIENTEDGE", "WS_EX_OVERLAPPEDWINDOW"}),
            CheckedCaptions(0x00000300, WindowStyleExBits()));
  EXPECT_TRUE(CheckedCaptions(0x0100FFFF, WindowStyleBits()).empty());
}

TEST(StyleBitsTest, ASingleBitClickChangesExactlyThatBit) {
  // An edit control's style with class bits and WS_MAXIMIZE, and a few others.
  for (DWORD word : {0x51A11084u, 0x16CF0000u, 0x00000000u, 0xFFFFFFFFu, 0x0100FFFFu}) {
    for (const StyleBitRow& row : WindowStyleBits()) {
      if (row.kind != StyleBitKind::Single) continue;
      EXPECT_EQ(word ^ row.mask, ClickBox(word, WindowStyleBits(), row.id)) << row.caption << " on " << word;
    }
  }
  for (DWORD word : {0x00000188u, 0xFFFFFFFFu, 0x00000000u, 0x000F8A02u}) {
    for (const StyleBitRow& row : WindowStyleExBits()) {
      if (row.kind != StyleBitKind::Single) continue;
      EXPECT_EQ(word ^ row.mask, ClickBox(word, WindowStyleExBits(), row.id)) << row.caption << " on " << word;
    }
  }
}

TEST(StyleBitsTest, ACombinationClickSetsOrClearsAllItsBitsIncludingSharedOnes) {
  const StyleBitTable style = WindowStyleBits();
  // Clearing the caption takes the overlapped window box with it.
  DWORD word = ClickBox(0x16CF0000, style, Row(style, "WS_CAPTION").id);
  EXPECT_EQ(0x160F0000u, word);
  EXPECT_FALSE(IsBoxChecked(word, Row(style, "WS_OVERLAPPEDWINDOW").mask));
  // Checking the pop-up window box on a partly set word sets the missing bits.
  EXPECT_EQ(0x80880000u | 0x00800000u, ClickBox(0x00800000, style, Row(style, "WS_POPUPWINDOW").id));
  // Clearing it clears WS_POPUP, WS_BORDER and WS_SYSMENU, nothing else.
  EXPECT_EQ(0x16470000u, ClickBox(0x96CF0000, style, Row(style, "WS_POPUPWINDOW").id));
  // WS_MAXIMIZE and the class bits pass through a combination click.
  EXPECT_EQ(0x0100ABCDu | 0x00CF0000u, ClickBox(0x0100ABCD, style, Row(style, "WS_OVERLAPPEDWINDOW").id));

  const StyleBitTable ex = WindowStyleExBits();
  EXPECT_EQ(0x00000188u, ClickBox(0, ex, Row(ex, "WS_EX_PALETTEWINDOW").id));
  // Both edges: clearing the overlapped window box clears both and the palette box goes too.
  word = ClickBox(0x00000388, ex, Row(ex, "WS_EX_OVERLAPPEDWINDOW").id);
  EXPECT_EQ(0x00000088u, word);
  EXPECT_FALSE(IsBoxChecked(word, Row(ex, "WS_EX_PALETTEWINDOW").mask));
  // Only one edge set: the click checks the box and sets the other edge.
  EXPECT_EQ(0x00000300u, ClickBox(0x00000100, ex, Row(ex, "WS_EX_OVERLAPPEDWINDOW").id));
}

TEST(StyleBitsTest, ReadingSingleBitsIgnoresTheCombinationBoxes) {
  // Every single box unchecked, every combination box checked: only the boxless bits survive.
  for (const StyleBitTable& table : {WindowStyleBits(), WindowStyleExBits()}) {
    auto combinationsOnly = [&table](int id) {
      return FindStyleBitRow(table, id)->kind == StyleBitKind::Combination;
    };
    EXPECT_EQ(~AllMasks(table), ReadSingleBits(0xFFFFFFFF, table, combinationsOnly));
  }
  // An id the table does not know changes nothing and reads no box.
  bool read = false;
  EXPECT_EQ(0x12345678u, ApplyBoxClick(0x12345678, WindowStyleBits(), 1053, [&read](int) { return read = true; }));
  EXPECT_FALSE(read);
}

TEST(StyleBitsTest, OkRefusesChildWithPopupAndAsksOnlyForAChangedWord) {
  EXPECT_EQ(StyleOkAction::Refuse, DecideStyleOk(0xC0000000, 0x40000000));
  // Even a word that came in that way cannot go back out.
  EXPECT_EQ(StyleOkAction::Refuse, DecideStyleOk(0xD0880000, 0xD0880000));
  EXPECT_EQ(StyleOkAction::Close, DecideStyleOk(0x16CF0000, 0x16CF0000));
  EXPECT_EQ(StyleOkAction::Confirm, DecideStyleOk(0x160F0000, 0x16CF0000));
  EXPECT_EQ(StyleOkAction::Confirm, DecideStyleOk(0x80000000, 0x40000000));
  EXPECT_EQ(StyleOkAction::Close, DecideStyleOk(0x50000000, 0x50000000));

  EXPECT_EQ(StyleOkAction::Close, DecideExStyleOk(0xFFFFFFFF, 0xFFFFFFFF));
  EXPECT_EQ(StyleOkAction::Confirm, DecideExStyleOk(0x00000300, 0x00000100));
}
