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
  item.className = "Button";
  item.text = "日本語";
  item.ctrlId = 0;
  item.visible = FALSE;
  item.enabled = TRUE;

  const auto cells = inspector::ChildRowTexts(item);
  EXPECT_EQ(cells[0], "0x0012abcd");
  EXPECT_EQ(cells[1], "Button");
  EXPECT_EQ(cells[2], "日本語");
  EXPECT_EQ(cells[3], "0x00000f00");
  EXPECT_EQ(cells[4], "0");
  EXPECT_EQ(cells[5], "");
  EXPECT_EQ(cells[6], "TRUE");
  item.ctrlId = -2;
  item.visible = TRUE;
  EXPECT_EQ(inspector::ChildRowTexts(item)[4], "-2");
  EXPECT_EQ(inspector::ChildRowTexts(item)[5], "TRUE");
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
  EXPECT_EQ(inspector::WrittenText(buffer, 8, 2), "ab");
  EXPECT_EQ(inspector::WrittenText(buffer, 8, 6), "abc");  // stops at the end the window wrote
  EXPECT_EQ(inspector::WrittenText(buffer, 8, 8), "");
  const wchar_t japanese[] = L"日本";
  EXPECT_EQ(inspector::WrittenText(japanese, 3, 2), "日本");  // in the system's code page
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
