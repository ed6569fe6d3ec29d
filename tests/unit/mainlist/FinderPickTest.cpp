// The finder's choice of window over a made-up window tree: screen rectangles, client origins
// inset from the window's corner like a border, and processes given by the test.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <optional>
#include <vector>

#include "mainlist/FinderPick.h"

namespace {

HWND H(UINT_PTR value) { return reinterpret_cast<HWND>(value); }
constexpr int kBorder = 4;
constexpr DWORD kOwn = 10, kOther = 20;

struct Node {
  HWND parent;
  RECT rect;
  bool visible;
  DWORD pid;
};

class FinderPickTest : public ::testing::Test {
 protected:
  // Windows in Z order, the first added on top.
  void Add(UINT_PTR hwnd, UINT_PTR parent, RECT rect, bool visible = true, DWORD pid = kOther) {
    m_nodes[H(hwnd)] = Node{H(parent), rect, visible, pid};
    m_order.push_back(H(hwnd));
  }
  HWND TopmostAt(HWND parent, POINT p) {
    for (HWND h : m_order)
      if (m_nodes[h].parent == parent && m_nodes[h].visible && ::PtInRect(&m_nodes[h].rect, p)) return h;
    return nullptr;
  }
  mainlist::WindowTreeReader Tree() {
    mainlist::WindowTreeReader tree;
    tree.windowAt = [this](POINT p) { return TopmostAt(nullptr, p); };
    tree.clientOrigin = [this](HWND h, POINT* origin) {
      *origin = POINT{m_nodes[h].rect.left + kBorder, m_nodes[h].rect.top + kBorder};
      return true;
    };
    tree.childAt = [this](HWND parent, POINT client) -> HWND {
      m_asked.push_back(client);
      const POINT p{client.x + m_nodes[parent].rect.left + kBorder, client.y + m_nodes[parent].rect.top + kBorder};
      if (!::PtInRect(&m_nodes[parent].rect, p)) return nullptr;
      const HWND child = TopmostAt(parent, p);
      return child ? child : parent;
    };
    tree.rootOf = [this](HWND h) {
      while (m_nodes[h].parent) h = m_nodes[h].parent;
      return h;
    };
    tree.processOf = [this](HWND h) { return m_nodes[h].pid; };
    return tree;
  }
  HWND Picked(POINT p) {
    const std::optional<mainlist::FinderPick> pick = mainlist::PickWindowAt(p, kOwn, Tree());
    if (pick) EXPECT_EQ(pick->root, Tree().rootOf(pick->window));
    return pick ? pick->window : nullptr;
  }

  std::map<HWND, Node> m_nodes;
  std::vector<HWND> m_order;
  std::vector<POINT> m_asked;
};

TEST_F(FinderPickTest, PicksTheDeepestVisibleChildOfAnotherProgramsWindow) {
  Add(1, 0, {100, 100, 400, 300});
  Add(2, 1, {110, 110, 300, 250});
  Add(3, 2, {120, 120, 200, 180});
  Add(4, 2, {210, 120, 290, 180}, false);  // hidden: its parent is hit
  Add(5, 0, {500, 100, 600, 200}, true, kOwn);
  Add(6, 0, {500, 100, 700, 300});          // under our own window

  EXPECT_EQ(Picked(POINT{150, 150}), H(3));
  // Each parent is asked in its own client coordinates.
  ASSERT_EQ(m_asked.size(), 3u);
  EXPECT_EQ(m_asked[0].x, 150 - 104);
  EXPECT_EQ(m_asked[1].y, 150 - 114);
  EXPECT_EQ(Picked(POINT{250, 150}), H(2));
  EXPECT_EQ(Picked(POINT{350, 280}), H(1));
  EXPECT_EQ(Picked(POINT{50, 50}), nullptr);    // over no window
  EXPECT_EQ(Picked(POINT{550, 150}), nullptr);  // over our own
  EXPECT_EQ(Picked(POINT{650, 150}), H(6));
  m_nodes[H(6)].pid = 0;                        // gone before its process was read
  EXPECT_EQ(Picked(POINT{650, 150}), nullptr);

  // A deeper tree stops at the bound.
  for (UINT_PTR level = 7; level < 7 + mainlist::kMaxFinderDepth + 3; ++level)
    Add(level, level == 7 ? 1 : level - 1, {350, 260, 390, 290});
  EXPECT_EQ(mainlist::DeepestWindowAt(POINT{360, 270}, Tree()), H(6 + mainlist::kMaxFinderDepth));
  EXPECT_TRUE(mainlist::FinderLabel(H(0x1234), L"Edit", L"abc") == L"0x00001234  Edit  \"abc\"");
}

}  // namespace

namespace {

// Over the desktop itself, where no window stands, the system's tree finds nothing to pick.
TEST(FinderPickOnTheSystem, TheDesktopIsNoWindowToPick) {
  const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
  std::optional<POINT> bare;
  for (POINT p : {POINT{width - 1, height - 1}, POINT{width - 1, 0}, POINT{0, height - 1}, POINT{width / 2, height - 1}}) {
    if (::WindowFromPoint(p) == ::GetDesktopWindow()) {
      bare = p;
      break;
    }
  }
  ASSERT_TRUE(bare) << "no point of the screen shows the desktop";
  const mainlist::WindowTreeReader tree = mainlist::SystemWindowTree();
  EXPECT_EQ(tree.windowAt(*bare), nullptr);
  EXPECT_FALSE(mainlist::PickWindowAt(*bare, ::GetCurrentProcessId(), tree));
}

}  // namespace
