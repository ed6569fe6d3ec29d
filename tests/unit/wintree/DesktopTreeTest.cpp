#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wintree/DesktopTree.h"

namespace {

using wintree::BuildTree;
using wintree::DesktopTree;
using wintree::TreeShape;
using wintree::WindowRecord;

HWND H(UINT_PTR value) { return reinterpret_cast<HWND>(value); }

WindowRecord Top(UINT_PTR hwnd, const wchar_t* text, UINT_PTR owner = 0, bool visible = true) {
  return WindowRecord{H(hwnd), nullptr, H(owner), text, L"Frame", L"app.exe", visible, false};
}

WindowRecord Child(UINT_PTR hwnd, UINT_PTR parent, const wchar_t* text, bool visible = true) {
  return WindowRecord{H(hwnd), H(parent), nullptr, text, L"Button", L"", visible, false};
}

WindowRecord MessageOnly(UINT_PTR hwnd) { return WindowRecord{H(hwnd), nullptr, nullptr, L"sink", L"Frame", L"app.exe", false, true}; }

// The tree as text, one line a node: indentation by depth, handle (root key: "*"), and the
// marks h (hidden) and n (new).
std::string Outline(const DesktopTree& tree, const std::vector<char>* kept = nullptr) {
  std::string text;
  std::vector<std::pair<int, int>> stack;
  for (auto it = tree.roots.rbegin(); it != tree.roots.rend(); ++it) stack.push_back({*it, 0});
  while (!stack.empty()) {
    const auto [index, depth] = stack.back();
    stack.pop_back();
    if (kept && !(*kept)[index]) continue;
    const wintree::TreeNode& node = tree.nodes[index];
    char line[64];
    std::snprintf(line, sizeof line, "%*s%x%s%s\n", depth * 2, "", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(node.hwnd)),
                  node.hidden ? " h" : "", node.isNew ? " n" : "");
    text += node.hwnd == wintree::MessageOnlyRootKey() ? std::string(depth * 2, ' ') + "*\n" : line;
    for (auto child = node.children.rbegin(); child != node.children.rend(); ++child) stack.push_back({*child, depth + 1});
  }
  return text;
}

const std::vector<WindowRecord> kDesktop = {
    Top(0x10, L"Main"),
    Child(0x11, 0x10, L"panel", false),
    Child(0x12, 0x11, L"OK"),
    Child(0x13, 0x10, L"list"),
    Top(0x20, L"Dialog", 0x10),
    Child(0x21, 0x20, L"field"),
    Top(0x30, L"Tool tip", 0x20, false),
    Child(0x41, 0x40, L"orphan: its parent closed during the walk"),
    Child(0x42, 0x41, L"and its child"),
    Top(0x10, L"Main read twice"),
    Top(0x50, L"Owned by a child", 0x13),
    MessageOnly(0x60),
    Child(0x61, 0x60, L"inside"),
};

TEST(DesktopTreeTest, ParentsAndOwnersShapeTheSameWindowsWithHiddenAndMessageOnlyWindowsPlaced) {
  struct Case {
    TreeShape shape;
    const char* outline;
  } cases[] = {
      {TreeShape::kParents,
       "10\n  11 h\n    12 h\n  13\n20\n  21\n30 h\n50\n*\n  60 h\n    61 h\n"},
      // Owned windows after the owner's own children; an owner that is a child window or is
      // not there leaves the window a root.
      {TreeShape::kOwners,
       "10\n  11 h\n    12 h\n  13\n  20\n    21\n    30 h\n50\n*\n  60 h\n    61 h\n"},
  };
  for (const Case& c : cases) {
    const DesktopTree tree = BuildTree(kDesktop, c.shape, nullptr);
    EXPECT_EQ(Outline(tree), c.outline);
    EXPECT_EQ(tree.nodes[tree.roots.back()].label, wintree::kMessageOnlyRootText);
    EXPECT_EQ(tree.Find(H(0x41)), -1);
    EXPECT_EQ(tree.Find(H(0x42)), -1);
  }
  // The last root is there without message-only windows too.
  EXPECT_EQ(Outline(BuildTree({Top(0x10, L"Main")}, TreeShape::kParents, nullptr)), "10\n*\n");
  // Owner cycles of an inconsistent read are cut and every window stays.
  const std::vector<WindowRecord> windows = {Top(0x1, L"a", 0x2), Top(0x2, L"b", 0x1), Top(0x3, L"c", 0x3),
                                             Top(0x4, L"d", 0x1)};
  // a and b own each other: cut at a, which stays a root with b under it; c owns itself.
  EXPECT_EQ(Outline(BuildTree(windows, TreeShape::kOwners, nullptr)), "1\n  2\n  4\n3\n*\n");
  // Labels: handle, quoted text on one line, class, and for top-level windows the process set
  // apart, whatever its characters; control characters escaped, so copies stay one line too.
  EXPECT_EQ(wintree::ItemLabel(Top(0x1018e, L"Untitled - Notepad")), L"0x0001018e \"Untitled - Notepad\" Frame [app.exe]");
  WindowRecord cafe = Top(0x20, L"C:\\dir");
  cafe.processName = L"Caf\u00e9\u63a2\u67fb.exe";
  EXPECT_EQ(wintree::ItemLabel(cafe), L"0x00000020 \"C:\\dir\" Frame [Caf\u00e9\u63a2\u67fb.exe]");
  EXPECT_EQ(wintree::ItemLabel(Child(0x12, 0x11, L"two\r\nlines\t\x1b\x7f")),
            L"0x00000012 \"two\\r\\nlines\\t\\x1b\\x7f\" Button");
}

TEST(DesktopTreeTest, WindowsNotInTheLastReadAreNewAndTheFirstReadMarksNone) {
  const DesktopTree first = BuildTree(kDesktop, TreeShape::kParents, nullptr);
  for (const wintree::TreeNode& node : first.nodes) EXPECT_FALSE(node.isNew);
  std::vector<WindowRecord> later = kDesktop;
  later.erase(later.begin() + 4, later.begin() + 6);  // the dialog closed
  later.insert(later.begin() + 3, Child(0x14, 0x10, L"new button"));
  later.insert(later.begin(), Top(0x70, L"new window"));
  const wintree::KnownWindows known = wintree::KnownOf(first);
  EXPECT_EQ(Outline(BuildTree(later, TreeShape::kParents, &known)),
            "70 n\n10\n  11 h\n    12 h\n  14 n\n  13\n30 h\n50\n*\n  60 h\n    61 h\n");
}

TEST(DesktopTreeTest, SearchKeepsMatchesWithEveryAncestorOpenCaseAsideAndHandlesWithOrWithout0x) {
  const DesktopTree tree = BuildTree(kDesktop, TreeShape::kOwners, nullptr);
  struct Case {
    const wchar_t* typed;
    const char* outline;
    int matches;
  } cases[] = {
      {L"", "10\n  11 h\n    12 h\n  13\n  20\n    21\n    30 h\n50\n*\n  60 h\n    61 h\n", 0},
      {L"ok", "10\n  11 h\n    12 h\n", 1},
      {L"FIELD", "10\n  20\n    21\n", 1},
      {L"0x00000021", "10\n  20\n    21\n", 1},
      {L"0x21", "10\n  20\n    21\n", 1},
      {L"00000061", "*\n  60 h\n    61 h\n", 1},
      {L"\"tool", "10\n  20\n    30 h\n", 1},
      {L"button", "10\n  11 h\n    12 h\n  13\n  20\n    21\n*\n  60 h\n    61 h\n", 5},
      {L"メッセージ専用", "*\n", 1},
      {L"no such window", "", 0},
  };
  for (const Case& c : cases) {
    const wintree::SearchResult found = wintree::Search(tree, platform::CTextSearch(c.typed));
    EXPECT_EQ(Outline(tree, &found.kept), c.outline) << std::string(c.typed, c.typed + wcslen(c.typed));
    EXPECT_EQ(found.matches, c.matches);
    // The ancestors of matches are open, nothing else: a node with a kept child.
    for (size_t i = 0; i < tree.nodes.size(); ++i) {
      bool keptChild = false;
      for (int child : tree.nodes[i].children) keptChild = keptChild || found.kept[child];
      EXPECT_EQ(found.expanded[i] != 0, c.typed[0] && found.kept[i] && keptChild) << i;
    }
  }
}

}  // namespace
