// The tree's marks of what changed, and removed windows put back where they were.
#include <gtest/gtest.h>

#include "wintree/ChangeMarks.h"

namespace {

using wintree::CChangeMarks;
using wintree::Json;
using wintree::WindowRecord;

HWND H(UINT_PTR value) { return reinterpret_cast<HWND>(value); }
WindowRecord R(UINT_PTR hwnd, UINT_PTR parent = 0) { return WindowRecord{H(hwnd), H(parent), nullptr, L"t", L"C", L"p.exe", true, false}; }
Json Event(const char* op, const char* handle) { return {{"op", op}, {"handle", handle}}; }

std::string Order(const std::vector<WindowRecord>& records) {
  std::string text;
  for (const WindowRecord& record : records) text += std::to_string(reinterpret_cast<UINT_PTR>(record.hwnd)) + " ";
  return text;
}

TEST(ChangeMarksTest, NewChangedAndRemovedWindowsAreMarkedUntilClearAndAHandleBackIsNew) {
  const std::vector<WindowRecord> before = {R(1), R(2, 1), R(3), R(4)};
  CChangeMarks marks;
  marks.Note(Event("added", "0x00000005"), before);
  marks.Note(Event("changed", "0x00000005"), before);
  marks.Note(Event("changed", "0x00000001"), before);
  marks.Note(Event("removed", "0x00000002"), before);
  marks.Note(Event("removed", "0x00000002"), before);  // once only
  marks.Note(Event("removed", "0x00000009"), before);  // not in the read: marked, not kept
  marks.Note(Event("moved", "0x00000003"), before);
  marks.Note(Json("changed"), before);
  EXPECT_EQ(marks.Of(H(5)), wintree::kMarkAdded | wintree::kMarkChanged);
  EXPECT_EQ(marks.Of(H(1)), wintree::kMarkChanged);
  EXPECT_EQ(marks.Of(H(2)), wintree::kMarkRemoved);
  EXPECT_EQ(marks.Of(H(9)), wintree::kMarkRemoved);
  EXPECT_EQ(marks.Of(H(3)), wintree::kMarkNone);
  ASSERT_EQ(marks.Removed().size(), 1u);
  EXPECT_EQ(marks.Removed()[0].before, H(1));
  EXPECT_EQ(marks.Removed()[0].record.parent, H(1));
  // The handle comes back for a new window: new, no longer kept.
  marks.Note(Event("added", "0x00000002"), before);
  EXPECT_EQ(marks.Of(H(2)), wintree::kMarkAdded);
  EXPECT_TRUE(marks.Removed().empty());
  marks.Clear();
  EXPECT_TRUE(marks.Empty());
  EXPECT_EQ(marks.Of(H(5)), wintree::kMarkNone);
}

TEST(ChangeMarksTest, RemovedWindowsGoBackAfterTheWindowBeforeThemOrUnderTheirParent) {
  // Read: 1 (children 2, 3), 4 (child 5), 6. Then 3, 4 and 5 close, and 1's child 2 as well.
  const std::vector<WindowRecord> first = {R(1), R(2, 1), R(3, 1), R(4), R(5, 4), R(6)};
  CChangeMarks marks;
  for (const char* handle : {"0x00000003", "0x00000004", "0x00000005"}) marks.Note(Event("removed", handle), first);
  const std::vector<WindowRecord> second = {R(1), R(2, 1), R(6), R(7)};
  EXPECT_EQ(Order(wintree::WithRemoved(second, marks.Removed())), "1 2 3 4 5 6 7 ");
  marks.Note(Event("removed", "0x00000002"), second);
  const std::vector<WindowRecord> third = {R(7), R(1), R(6)};
  // 2 had 1 before it, 3 had 2: the chain keeps its order.
  EXPECT_EQ(Order(wintree::WithRemoved(third, marks.Removed())), "7 1 2 3 4 5 6 ");
  // The window before is gone from every read: under the parent, right after it; a top-level
  // window with nothing before it at the end; one whose parent is gone stays out.
  std::vector<wintree::RemovedWindow> removed = {{R(10, 1), H(99)}, {R(11), H(98)}, {R(12, 97), H(96)}};
  EXPECT_EQ(Order(wintree::WithRemoved({R(1), R(2, 1), R(6)}, removed)), "1 10 2 6 11 ");
  // A window in the read again is not doubled; with nothing removed the read is as it was.
  EXPECT_EQ(Order(wintree::WithRemoved({R(1), R(10, 1)}, {{R(10, 1), H(1)}})), "1 10 ");
  EXPECT_EQ(Order(wintree::WithRemoved(third, {})), "7 1 6 ");
}

}  // namespace
