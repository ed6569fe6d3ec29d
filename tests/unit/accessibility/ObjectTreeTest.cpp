// The tree of objects read so far, and how a selected place is found again in a new reading.
#include <gtest/gtest.h>

#include "accessibility/ObjectTree.h"

namespace {

using accessibility::CObjectTree;
using accessibility::FindStep;
using accessibility::ObjectItem;
using accessibility::ObjectSummary;
using accessibility::PathStep;

ObjectSummary S(const wchar_t* role, const wchar_t* name, long children = 0) { return ObjectSummary{role, name, children}; }

TEST(ObjectTreeTest, AStepFindsTheSamePlaceTheSameObjectElsewhereOrNothing) {
  const std::vector<ObjectSummary> now{S(L"button", L"Play"), S(L"button", L"Stop"), S(L"group", L"Volume"),
                                       S(L"button", L"Stop")};
  const struct {
    PathStep step;
    std::optional<size_t> found;
  } kCases[] = {
      {{1, L"button", L"Stop"}, 1},            // the same place, the same object
      {{0, L"button", L"Stop"}, 1},            // moved: the first of that role and name
      {{2, L"button", L"Stop"}, 1},
      {{1, L"button", L"Pause"}, std::nullopt},  // gone
      {{9, L"group", L"Volume"}, 2},           // fewer children now
      {{3, L"", L"", true}, 3},                // a hit test's step: the place only
      {{4, L"", L"", true}, std::nullopt},
  };
  for (const auto& c : kCases) EXPECT_EQ(FindStep(now, c.step), c.found) << c.step.index;
  EXPECT_EQ(FindStep({}, PathStep{0, L"a", L"b"}), std::nullopt);
}

TEST(ObjectTreeTest, BranchesAreReadWhenOpenedAndForgottenWhenReadAgain) {
  CObjectTree tree;
  tree.SetRoot(ObjectItem{1, S(L"client", L"Window", 3)});
  EXPECT_EQ(tree.Root(), 1);
  EXPECT_FALSE(tree.Find(1)->childrenRead);
  EXPECT_TRUE(tree.PathOf(1).empty());
  EXPECT_FALSE(tree.SetChildren(7, {ObjectItem{8, S(L"x", L"y")}})) << "a node not in the tree";

  ASSERT_TRUE(tree.SetChildren(1, {ObjectItem{2, S(L"button", L"Play")}, ObjectItem{3, S(L"group", L"Volume", 2)}}));
  ASSERT_TRUE(tree.SetChildren(3, {ObjectItem{4, S(L"slider", L"Volume")}, ObjectItem{5, S(L"check", L"Mute")}}));
  EXPECT_TRUE(tree.Find(1)->childrenRead);
  EXPECT_EQ(tree.Find(1)->summary.childCount, 2) << "the count read, not the one announced";
  const auto path = tree.PathOf(5);
  ASSERT_EQ(path.size(), 2u);
  EXPECT_EQ(path[0].index, 1u);
  EXPECT_EQ(path[0].name, L"Volume");
  EXPECT_EQ(path[1].index, 1u);
  EXPECT_EQ(path[1].role, L"check");
  EXPECT_FALSE(path[1].byIndexOnly);
  EXPECT_EQ(tree.ChildSummaries(3).size(), 2u);

  // Read again, the branch's old children and theirs are forgotten.
  ASSERT_TRUE(tree.SetChildren(1, {ObjectItem{6, S(L"button", L"Play")}}));
  EXPECT_EQ(tree.Find(3), nullptr);
  EXPECT_EQ(tree.Find(5), nullptr);
  EXPECT_TRUE(tree.PathOf(5).empty());
  EXPECT_EQ(tree.Find(6)->parent, 1);

  // In batches: the first forgets the old children, the last marks the branch read.
  ASSERT_TRUE(tree.AddChildren(1, {ObjectItem{10, S(L"a", L"0")}, ObjectItem{11, S(L"a", L"1")}}, false));
  EXPECT_EQ(tree.Find(6), nullptr);
  EXPECT_FALSE(tree.Find(1)->childrenRead);
  ASSERT_TRUE(tree.AddChildren(1, {ObjectItem{12, S(L"a", L"2")}}, true));
  EXPECT_TRUE(tree.Find(1)->childrenRead);
  EXPECT_EQ(tree.Find(1)->children, (std::vector<int>{10, 11, 12}));
  EXPECT_EQ(tree.Find(12)->index, 2u);
  EXPECT_EQ(tree.Find(1)->summary.childCount, 3);
  tree.Clear();
  EXPECT_EQ(tree.Root(), 0);
  EXPECT_EQ(tree.Find(1), nullptr);
}

}  // namespace
