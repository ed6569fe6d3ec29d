// The picture click's search over a snapshot, with window rectangles given by the test.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <vector>

#include "inspector/ChildHitTest.h"

namespace {

HWND H(UINT_PTR value) { return reinterpret_cast<HWND>(value); }

class HitTest : public ::testing::Test {
 protected:
  void Add(UINT_PTR hwnd, UINT_PTR parent, RECT rect, BOOL visible = TRUE, BOOL enabled = TRUE) {
    CChildWindowItem item;
    item.hwnd = H(hwnd);
    item.parent = H(parent);
    item.visible = visible;
    item.enabled = enabled;
    m_snapshot.push_back(item);
    m_rects[H(hwnd)] = rect;
  }
  inspector::WindowRectReader Reader() {
    return [this](HWND hwnd, RECT* rect) {
      ++m_reads;
      auto found = m_rects.find(hwnd);
      if (found == m_rects.end()) return false;
      *rect = found->second;
      return true;
    };
  }
  inspector::DeepestChild Deepest(POINT point) {
    return inspector::FindDeepestChildAt(m_snapshot, H(kRoot), point, Reader());
  }

  static constexpr UINT_PTR kRoot = 0x100;
  std::vector<CChildWindowItem> m_snapshot;
  std::map<HWND, RECT> m_rects;
  int m_reads = 0;
};

TEST_F(HitTest, FirstListedSiblingWinsAndHiddenOrDisabledChildrenNeverHit) {
  Add(0x200, kRoot, {0, 0, 50, 50}, FALSE);           // hidden, on top of everything
  Add(0x201, 0x200, {0, 0, 50, 50});                  // inside the hidden one: unreachable
  Add(0x300, kRoot, {0, 0, 40, 40}, TRUE, FALSE);     // disabled
  Add(0x400, kRoot, {10, 10, 100, 100});              // listed before its overlapping sibling
  Add(0x500, kRoot, {20, 20, 200, 200});
  Add(0x410, 0x400, {10, 10, 30, 30});                // a grandchild of 0x400

  EXPECT_EQ(inspector::FindChildAt(m_snapshot, H(kRoot), {25, 25}, Reader()), H(0x400));
  EXPECT_EQ(inspector::FindChildAt(m_snapshot, H(kRoot), {150, 150}, Reader()), H(0x500));
  // Covered only by the hidden and the disabled child: the root itself.
  EXPECT_EQ(inspector::FindChildAt(m_snapshot, H(kRoot), {5, 5}, Reader()), H(kRoot));

  inspector::DeepestChild hit = Deepest({15, 15});
  EXPECT_EQ(hit.first, H(0x400));
  ASSERT_TRUE(hit.deepest);
  EXPECT_EQ(*hit.deepest, H(0x410));
  // Right and bottom edges lie outside.
  hit = Deepest({30, 30});
  ASSERT_TRUE(hit.deepest);
  EXPECT_EQ(*hit.deepest, H(0x400));
  // Over no child at all: the search succeeds with the root.
  hit = Deepest({500, 500});
  EXPECT_EQ(hit.first, H(kRoot));
  ASSERT_TRUE(hit.deepest);
  EXPECT_EQ(*hit.deepest, H(kRoot));
}

TEST_F(HitTest, ReachesTenLevelsDownAndFailsAtEleven) {
  UINT_PTR parent = kRoot;
  for (UINT_PTR level = 1; level <= 11; ++level) {
    Add(0x1000 + level, parent, {0, 0, 100, 100}, TRUE, TRUE);
    parent = 0x1000 + level;
  }
  // All eleven qualify: the search gives up.
  inspector::DeepestChild hit = Deepest({5, 5});
  EXPECT_EQ(hit.first, H(0x1001));
  EXPECT_FALSE(hit.deepest);

  // With the eleventh out of the way the tenth is found.
  m_rects[H(0x100B)] = {200, 200, 300, 300};
  hit = Deepest({5, 5});
  ASSERT_TRUE(hit.deepest);
  EXPECT_EQ(*hit.deepest, H(0x100A));
}

TEST_F(HitTest, ANullRootFindsNothingAndOnlyCandidatesAreMeasured) {
  Add(0x200, kRoot, {0, 0, 10, 10});
  Add(0x300, 0x999, {0, 0, 10, 10});
  Add(0x400, kRoot, {0, 0, 10, 10}, FALSE);
  inspector::DeepestChild hit = inspector::FindDeepestChildAt(m_snapshot, nullptr, {5, 5}, Reader());
  EXPECT_EQ(hit.first, nullptr);
  EXPECT_FALSE(hit.deepest);

  m_reads = 0;
  EXPECT_EQ(inspector::FindChildAt(m_snapshot, H(kRoot), {50, 50}, Reader()), H(kRoot));
  EXPECT_EQ(m_reads, 1);  // only the visible, enabled child of the root
}

}  // namespace
