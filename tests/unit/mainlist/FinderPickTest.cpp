// The finder's choice of window over a made-up window tree: screen rectangles, client origins
// offset from the window's corner like a frame's border, and processes given by the test.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <vector>

#include "mainlist/FinderPick.h"

namespace {

HWND H(UINT_PTR value) { return reinterpret_cast<HWND>(value); }

class FinderPickTest : public ::testing::Test {
 protected:
  struct Node {
    HWND parent;
    RECT rect;       // on the screen
    bool visible;
    DWORD pid;
  };
  // Windows in Z order, the first added on top.
  void Add(UINT_PTR hwnd, UINT_PTR parent, RECT rect, bool visible = true, DWORD pid = kOther) {
    m_nodes[H(hwnd)] = Node{H(parent), rect, visible, pid};
    m_order.push_back(H(hwnd));
  }
  static bool Holds(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

  mainlist::WindowTreeReader Tree() {
    mainlist::WindowTreeReader tree;
    // The system's own answer stops at the top-level window here, so the descent is the test's.
    tree.windowAt = [this](POINT p) -> HWND {
      for (HWND h : m_order)
        if (!m_nodes[h].parent && m_nodes[h].visible && Holds(m_nodes[h].rect, p)) return h;
      return nullptr;
    };
    tree.clientOrigin = [this](HWND h, POINT* origin) {
      auto found = m_nodes.find(h);
      if (found == m_nodes.end()) return false;
      *origin = POINT{found->second.rect.left + kBorder, found->second.rect.top + kBorder};
      return true;
    };
    tree.childAt = [this](HWND parent, POINT client) -> HWND {
      m_asked.push_back(client);
      const POINT origin{m_nodes[parent].rect.left + kBorder, m_nodes[parent].rect.top + kBorder};
      const POINT screen{client.x + origin.x, client.y + origin.y};
      if (!Holds(m_nodes[parent].rect, screen)) return nullptr;
      for (HWND h : m_order)
        if (m_nodes[h].parent == parent && m_nodes[h].visible && Holds(m_nodes[h].rect, screen)) return h;
      return parent;
    };
    tree.rootOf = [this](HWND h) {
      while (m_nodes.count(h) && m_nodes[h].parent) h = m_nodes[h].parent;
      return m_nodes.count(h) ? h : nullptr;
    };
    tree.processOf = [this](HWND h) { return m_nodes.count(h) ? m_nodes[h].pid : 0; };
    return tree;
  }

  static constexpr int kBorder = 4;
  static constexpr DWORD kOwn = 10, kOther = 20;
  std::map<HWND, Node> m_nodes;
  std::vector<HWND> m_order;
  std::vector<POINT> m_asked;
};

TEST_F(FinderPickTest, DescendsToTheDeepestVisibleChildAndPicksItsTopLevelWindow) {
  Add(1, 0, {100, 100, 400, 300});
  Add(2, 1, {110, 110, 300, 250});       // child
  Add(3, 2, {120, 120, 200, 180});       // grandchild
  Add(4, 2, {210, 120, 290, 180}, false);  // hidden grandchild: its parent is hit
  Add(5, 0, {500, 100, 600, 200});

  std::optional<mainlist::FinderPick> pick = mainlist::PickWindowAt(POINT{150, 150}, kOwn, Tree());
  ASSERT_TRUE(pick);
  EXPECT_EQ(pick->window, H(3));
  EXPECT_EQ(pick->root, H(1));
  // Each parent is asked in its own client coordinates.
  ASSERT_GE(m_asked.size(), 2u);
  EXPECT_EQ(m_asked[0].x, 150 - 104);
  EXPECT_EQ(m_asked[1].y, 150 - 114);

  pick = mainlist::PickWindowAt(POINT{250, 150}, kOwn, Tree());
  ASSERT_TRUE(pick);
  EXPECT_EQ(pick->window, H(2));
  pick = mainlist::PickWindowAt(POINT{350, 280}, kOwn, Tree());
  ASSERT_TRUE(pick);
  EXPECT_EQ(pick->window, H(1));
  EXPECT_EQ(pick->root, H(1));
  pick = mainlist::PickWindowAt(POINT{550, 150}, kOwn, Tree());
  ASSERT_TRUE(pick);
  EXPECT_EQ(pick->window, H(5));
}

TEST_F(FinderPickTest, PicksNothingOverNoWindowOrOurOwnOrAVanishedOne) {
  Add(1, 0, {100, 100, 400, 300}, true, kOwn);
  Add(2, 1, {110, 110, 300, 250}, true, kOwn);
  Add(5, 0, {500, 100, 600, 200});
  EXPECT_FALSE(mainlist::PickWindowAt(POINT{50, 50}, kOwn, Tree()));
  EXPECT_FALSE(mainlist::PickWindowAt(POINT{150, 150}, kOwn, Tree()));
  EXPECT_FALSE(mainlist::PickWindowAt(POINT{350, 280}, kOwn, Tree()));
  EXPECT_EQ(mainlist::DeepestWindowAt(POINT{150, 150}, Tree()), H(2));

  m_nodes[H(5)].pid = 0;  // gone between the point test and the process lookup
  EXPECT_FALSE(mainlist::PickWindowAt(POINT{550, 150}, kOwn, Tree()));
}

TEST_F(FinderPickTest, ADeepTreeStopsAtTheDepthBound) {
  Add(1, 0, {0, 0, 1000, 1000});
  for (UINT_PTR level = 2; level < 2 + mainlist::kMaxFinderDepth + 5; ++level) Add(level, level - 1, {0, 0, 1000, 1000});
  EXPECT_EQ(mainlist::DeepestWindowAt(POINT{500, 500}, Tree()), H(1 + mainlist::kMaxFinderDepth));
  EXPECT_EQ(mainlist::FinderLabel(H(0x1234), "Edit", "abc"), "0x00001234  Edit  \"abc\"");
}

}  // namespace
