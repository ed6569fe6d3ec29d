// The child records, their rows in the list and the regions kept per window.
#include <gtest/gtest.h>
#include <windows.h>

#include "inspector/ChildWindowItem.h"
#include "inspector/SavedRegions.h"

namespace {

HWND H(UINT_PTR value) { return reinterpret_cast<HWND>(value); }

TEST(ChildRecords, RowTexts) {
  CChildWindowItem item;
  item.hwnd = H(0x0012ABCD);
  item.parent = H(0x00000F00);
  item.className = L"Button";
  item.text = L"日本語";
  item.ctrlId = 0;
  item.visible = FALSE;
  item.enabled = TRUE;

  const auto cells = inspector::ChildRowTexts(item);
  const std::array<std::wstring, inspector::kChildColumns> expected = {L"0x0012abcd", L"Button", L"日本語", L"0x00000f00",
                                                                       L"0",          L"",       L"TRUE"};
  EXPECT_TRUE(cells == expected);
  item.ctrlId = -2;
  item.visible = TRUE;
  EXPECT_TRUE(inspector::ChildRowTexts(item)[4] == L"-2");
  EXPECT_TRUE(inspector::ChildRowTexts(item)[5] == L"TRUE");
}

TEST(SavedRegions, OneRegionPerWindowAndDeadWindowsDropped) {
  inspector::CSavedRegions saved;
  HRGN a = ::CreateRectRgn(0, 0, 10, 10);
  HRGN b = ::CreateRectRgn(0, 0, 20, 20);
  saved.Save(H(0xA), platform::UniqueRegion(a));
  saved.Save(H(0xB), platform::UniqueRegion(b));
  EXPECT_EQ(saved.Find(H(0xA)), a);
  EXPECT_EQ(saved.Find(H(0xB)), b);
  EXPECT_EQ(saved.Find(H(0xC)), nullptr);
  EXPECT_EQ(saved.Take(H(0xC)), nullptr);

  platform::UniqueRegion taken = saved.Take(H(0xA));
  EXPECT_EQ(taken.get(), a);
  EXPECT_EQ(saved.Find(H(0xA)), nullptr);
  EXPECT_EQ(saved.Count(), 1u);

  saved.Save(H(0xD), platform::UniqueRegion(::CreateRectRgn(0, 0, 1, 1)));
  saved.DropDead([](HWND hwnd) { return hwnd == H(0xD) || hwnd == H(0xE); });
  EXPECT_EQ(saved.Find(H(0xB)), nullptr);
  EXPECT_NE(saved.Find(H(0xD)), nullptr);
  EXPECT_EQ(saved.Count(), 1u);

  // A window without a region is remembered as having none; the first save stays.
  saved.Save(H(0xE), nullptr);
  saved.Save(H(0xE), platform::UniqueRegion(::CreateRectRgn(0, 0, 5, 5)));
  EXPECT_TRUE(saved.Has(H(0xE)));
  EXPECT_EQ(saved.Find(H(0xE)), nullptr);
  EXPECT_FALSE(saved.Has(H(0xC)));
}

TEST(ChildRecords, TextIsTakenOnlyAsFarAsWritten) {
  const wchar_t buffer[8] = {L'a', L'b', L'c', 0, L'x', L'x', L'x', 0};
  EXPECT_TRUE(inspector::WrittenText(buffer, 8, 2) == L"ab");
  EXPECT_TRUE(inspector::WrittenText(buffer, 8, 6) == L"abc");  // stops at the end the window wrote
  EXPECT_TRUE(inspector::WrittenText(buffer, 8, 8).empty());
  const wchar_t beyond[] = L"日本\u00e9\ud55c\U0001F600";
  EXPECT_TRUE(inspector::WrittenText(beyond, 7, 6) == beyond);  // every character, in UTF-16
}

TEST(SavedRegions, CutOutIsAnExclusiveOrWithTheBase) {
  // No saved region: the whole 100 x 80 window with a hole.
  platform::UniqueRegion cut = inspector::CutOutRegion({10, 10, 30, 30}, nullptr, {100, 80});
  ASSERT_TRUE(cut);
  EXPECT_TRUE(::PtInRegion(cut.get(), 5, 5));
  EXPECT_TRUE(::PtInRegion(cut.get(), 99, 79));
  EXPECT_FALSE(::PtInRegion(cut.get(), 15, 15));
  EXPECT_FALSE(::PtInRegion(cut.get(), 100, 5));

  // A child reaching outside: its outside part is added.
  cut = inspector::CutOutRegion({90, 10, 120, 30}, nullptr, {100, 80});
  ASSERT_TRUE(cut);
  EXPECT_FALSE(::PtInRegion(cut.get(), 95, 20));
  EXPECT_TRUE(::PtInRegion(cut.get(), 110, 20));
  EXPECT_FALSE(::PtInRegion(cut.get(), 110, 40));

  // With a saved region the base is that region, not the window.
  platform::UniqueRegion base(::CreateRectRgn(0, 0, 50, 50));
  cut = inspector::CutOutRegion({10, 10, 20, 20}, base.get(), {100, 80});
  ASSERT_TRUE(cut);
  EXPECT_TRUE(::PtInRegion(cut.get(), 5, 5));
  EXPECT_FALSE(::PtInRegion(cut.get(), 15, 15));
  EXPECT_FALSE(::PtInRegion(cut.get(), 60, 60));
  RECT box{};
  EXPECT_EQ(::GetRgnBox(cut.get(), &box), COMPLEXREGION);
  EXPECT_EQ(box.right, 50);
  EXPECT_EQ(box.bottom, 50);
  // The saved region itself is left as it was.
  EXPECT_TRUE(::PtInRegion(base.get(), 15, 15));
}

}  // namespace
