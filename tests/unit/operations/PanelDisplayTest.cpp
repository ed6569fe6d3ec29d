// The operations panel's display rules: label texts, flag colours, which labels repaint,
// and where the icon of a new target comes from.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "operations/PanelDisplay.h"
#include "res/resource.h"

namespace {

TargetState SampleState() {
  TargetState state;
  state.window = RECT{-8, 120, 1930, -3};
  state.style = 0x16CF0000;
  state.exStyle = 0x00000100;
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  wp.rcNormalPosition = RECT{11, 22, 333, 444};
  wp.ptMinPosition = POINT{-32000, -31999};
  wp.ptMaxPosition = POINT{-1, 5};
  state.placement = wp;
  state.flags = {1, 1, 0, 0};
  return state;
}

// Every text in the order of the struct: edges, style words, normal position, min and max.
std::vector<std::string> Fields(const PanelTexts& t) {
  return {t.top,       t.bottom,      t.left,         t.right,       t.style, t.exStyle, t.normalTop,
          t.normalLeft, t.normalBottom, t.normalRight, t.minX,        t.minY,  t.maxX,    t.maxY};
}

TEST(PanelTexts, ValidTargetShowsSignedDecimalEdgesStyleWordsAndPlacement) {
  EXPECT_EQ(Fields(FormatPanelTexts(SampleState())),
            (std::vector<std::string>{"120", "-3", "-8", "1930", "0x16cf0000", "0x00000100", "22", "11", "444", "333",
                                      "-32000", "-31999", "-1", "5"}));
}

TEST(PanelTexts, NoTargetAndUnreadablePlacementShowZeros) {
  EXPECT_EQ(Fields(FormatPanelTexts(std::nullopt)),
            (std::vector<std::string>{"0", "0", "0", "0", "0x00000000", "0x00000000", "0", "0", "0", "0", "0", "0", "0",
                                      "0"}));
  TargetState state = SampleState();
  state.placement.reset();
  EXPECT_EQ(Fields(FormatPanelTexts(state)),
            (std::vector<std::string>{"120", "-3", "-8", "1930", "0x16cf0000", "0x00000100", "0", "0", "0", "0", "0",
                                      "0", "0", "0"}));
}

std::vector<int> Changed(const TargetFlags& before, const TargetFlags& after) {
  return platform::ChangedFlagLabels(FlagLabelsOf(before), FlagLabelsOf(after));
}

TEST(FlagLabels, OnlyTheChangedFlagsRepaint) {
  const TargetFlags normal{1, 1, 0, 0};
  EXPECT_TRUE(Changed(normal, normal).empty());
  EXPECT_EQ(Changed(normal, TargetFlags{1, 1, 1, 0}), std::vector<int>{IDC_OP_ICONIC});
  EXPECT_EQ(Changed(normal, TargetFlags{1, 0, 0, 1}), (std::vector<int>{IDC_OP_VISIBLE, IDC_OP_ZOOMED}));
  // Losing the target turns every flag to "unknown".
  EXPECT_EQ(Changed(normal, TargetFlags{}),
            (std::vector<int>{IDC_OP_ENABLED, IDC_OP_VISIBLE, IDC_OP_ICONIC, IDC_OP_ZOOMED}));
  EXPECT_EQ(Changed(TargetFlags{}, TargetFlags{0, -1, -1, -1}), std::vector<int>{IDC_OP_ENABLED});
}

TEST(LabelColours, FlagLabelsFollowTheirOwnFlagValueLabelsAreLightYellow) {
  const TargetFlags flags{1, 0, -1, 1};
  EXPECT_EQ(StaticBrush(IDC_OP_ENABLED, flags), PanelBrush::True);
  EXPECT_EQ(StaticBrush(IDC_OP_VISIBLE, flags), PanelBrush::False);
  EXPECT_EQ(StaticBrush(IDC_OP_ICONIC, flags), PanelBrush::Value);
  EXPECT_EQ(StaticBrush(IDC_OP_ZOOMED, flags), PanelBrush::True);
  EXPECT_EQ(StaticBrush(IDC_OP_ZOOMED, TargetFlags{1, 1, 1, 0}), PanelBrush::False);

  for (int id : {IDC_OP_TOP, IDC_OP_LEFT, IDC_OP_RIGHT, IDC_OP_BOTTOM, IDC_OP_STYLE, IDC_OP_EXSTYLE, IDC_OP_NOR_TOP,
                 IDC_OP_NOR_LEFT, IDC_OP_NOR_BOTTOM, IDC_OP_NOR_RIGHT, IDC_OP_MIN_X, IDC_OP_MIN_Y, IDC_OP_MAX_X,
                 IDC_OP_MAX_Y})
    EXPECT_EQ(StaticBrush(id, flags), PanelBrush::Value) << id;
  // The icon, the row captions and the ids the panel does not know keep the system's colours.
  for (int id : {IDC_OP_ICON, IDC_STATIC, 1086, IDC_OP_UP})
    EXPECT_EQ(StaticBrush(id, flags), PanelBrush::Default) << id;
}

TEST(IconChoice, BigThenSmallThenFileIconWhiteForDeadHandlesNothingWithoutTarget) {
  const HICON a = reinterpret_cast<HICON>(0x1234);
  const HICON b = reinterpret_cast<HICON>(0x5678);
  const HICON none = nullptr;
  EXPECT_EQ(ChooseIconSource(false, true, a, b), IconSource::Big);
  EXPECT_EQ(ChooseIconSource(false, true, none, b), IconSource::Small);
  EXPECT_EQ(ChooseIconSource(false, true, none, none), IconSource::File);
  // A target that did not answer falls back to the executable's icon.
  EXPECT_EQ(ChooseIconSource(false, true, std::nullopt, std::nullopt), IconSource::File);
  EXPECT_EQ(ChooseIconSource(false, false, a, b), IconSource::White);
  EXPECT_EQ(ChooseIconSource(true, false, std::nullopt, std::nullopt), IconSource::Keep);
}

}  // namespace
