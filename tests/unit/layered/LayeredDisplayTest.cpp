// The layered panel's display rules and the set dialog's arithmetic: the colour key taken
// apart and put together, states and numbers for each kind of target, which labels repaint,
// the brush of each label, and what the dialog opens with and writes.
#include <gtest/gtest.h>

#include "layered/LayeredDisplay.h"
#include "res/resource.h"

using namespace layered;

namespace {

TEST(ColorKey, PacksRedIntoTheLowByteThenGreenThenBlue) {
  EXPECT_EQ(PackColorKey(1, 2, 3), 0x030201u);
  EXPECT_EQ(PackColorKey(255, 0, 0), 0x0000FFu);
  EXPECT_EQ(PackColorKey(0, 0, 255), 0xFF0000u);
  EXPECT_EQ(PackColorKey(255, 255, 255), 0xFFFFFFu);
  EXPECT_EQ(PackColorKey(0, 0, 0), 0u);
}

TEST(ColorKey, UnpacksTheThreeLowBytesAndIgnoresTheTopByte) {
  ColorKeyParts parts = UnpackColorKey(0x030201);
  EXPECT_EQ(parts.r, 1);
  EXPECT_EQ(parts.g, 2);
  EXPECT_EQ(parts.b, 3);
  parts = UnpackColorKey(0xAB80FF7F);
  EXPECT_EQ(parts.r, 0x7F);
  EXPECT_EQ(parts.g, 0xFF);
  EXPECT_EQ(parts.b, 0x80);
  // Every byte value survives the round trip in every position.
  for (int v = 0; v < 256; ++v) {
    const BYTE b = static_cast<BYTE>(v);
    const ColorKeyParts back = UnpackColorKey(PackColorKey(b, static_cast<BYTE>(255 - v), b));
    ASSERT_EQ(back.r, b);
    ASSERT_EQ(back.g, 255 - v);
    ASSERT_EQ(back.b, b);
  }
}

TEST(LayeredView, NoValidTargetMakesEveryStateUnknownAndKeepsTheNumbers) {
  const LayeredView view = DescribeLayered(false, WS_EX_LAYERED, LayeredAttributes{0x030201, 7, LWA_ALPHA});
  EXPECT_EQ(view.states.layered, -1);
  EXPECT_EQ(view.states.colorKey, -1);
  EXPECT_EQ(view.states.alpha, -1);
  EXPECT_FALSE(view.values.has_value());
}

// A window that is not layered is off everywhere; one whose attributes cannot be read shows
// layered only. Neither has numbers.
TEST(LayeredView, WithoutAttributesOnlyTheLayeredFlagShowsAndTheNumbersAreEmpty) {
  for (const DWORD exStyle : {static_cast<DWORD>(WS_EX_TOOLWINDOW), static_cast<DWORD>(WS_EX_LAYERED)}) {
    SCOPED_TRACE(exStyle);
    const LayeredView view = DescribeLayered(true, exStyle, std::nullopt);
    EXPECT_EQ(view.states.layered, exStyle == WS_EX_LAYERED ? 1 : 0);
    EXPECT_EQ(view.states.colorKey, 0);
    EXPECT_EQ(view.states.alpha, 0);
    ASSERT_TRUE(view.values.has_value());
    for (const std::string& text : *view.values) EXPECT_EQ(text, "");
  }
}

TEST(LayeredView, FlagsGiveTheStatesAndTheNumbersShowWhateverTheFlagsSay) {
  LayeredView view = DescribeLayered(true, WS_EX_LAYERED | WS_EX_TOPMOST, LayeredAttributes{0x00C0FF10, 128, LWA_ALPHA});
  EXPECT_EQ(view.states.layered, 1);
  EXPECT_EQ(view.states.colorKey, 0);
  EXPECT_EQ(view.states.alpha, 1);
  ASSERT_TRUE(view.values.has_value());
  EXPECT_EQ((*view.values)[0], "16");
  EXPECT_EQ((*view.values)[1], "255");
  EXPECT_EQ((*view.values)[2], "192");
  EXPECT_EQ((*view.values)[3], "128");

  view = DescribeLayered(true, WS_EX_LAYERED, LayeredAttributes{0x030201, 0, LWA_COLORKEY});
  EXPECT_EQ(view.states.colorKey, 1);
  EXPECT_EQ(view.states.alpha, 0);
  EXPECT_EQ((*view.values)[0], "1");
  EXPECT_EQ((*view.values)[2], "3");
  EXPECT_EQ((*view.values)[3], "0");

  view = DescribeLayered(true, WS_EX_LAYERED, LayeredAttributes{0, 255, LWA_COLORKEY | LWA_ALPHA});
  EXPECT_EQ(view.states.colorKey, 1);
  EXPECT_EQ(view.states.alpha, 1);
  view = DescribeLayered(true, WS_EX_LAYERED, LayeredAttributes{0, 255, 0});
  EXPECT_EQ(view.states.layered, 1);
  EXPECT_EQ(view.states.colorKey, 0);
  EXPECT_EQ(view.states.alpha, 0);
}

// The change itself is the panels' one helper, tested with the operations panel: here only
// which label stands for which state.
TEST(LayeredLabels, EachStateHasItsLabel) {
  const platform::FlagLabels<3> labels = StateLabelsOf({1, 0, -1});
  EXPECT_EQ(labels[0].id, IDC_LAYERED_LAYEREDSTATE);
  EXPECT_EQ(labels[1].id, IDC_LAYERED_COLORKEYSTATE);
  EXPECT_EQ(labels[2].id, IDC_LAYERED_ALPHASTATE);
  EXPECT_EQ(labels[0].state + labels[1].state + labels[2].state, 0);
  EXPECT_EQ(labels[2].state, -1);
}

TEST(LayeredLabels, StateLabelsAreGreenRedOrYellowValueLabelsYellowCaptionsDefault) {
  const LayeredStates states{1, 0, 1};
  EXPECT_EQ(LayeredStaticBrush(1055, states, true), LayeredBrush::True);
  EXPECT_EQ(LayeredStaticBrush(1061, states, true), LayeredBrush::False);
  EXPECT_EQ(LayeredStaticBrush(1060, states, true), LayeredBrush::True);
  // A dead or missing target turns every state label yellow, whatever the last states were.
  for (int id : {1055, 1061, 1060}) EXPECT_EQ(LayeredStaticBrush(id, states, false), LayeredBrush::Value) << id;
  // A live target whose states are not read yet is not shown as on.
  for (int id : {1055, 1061, 1060})
    EXPECT_EQ(LayeredStaticBrush(id, LayeredStates{}, true), LayeredBrush::Value) << id;
  for (int id : {1056, 1057, 1058, 1059}) {
    EXPECT_EQ(LayeredStaticBrush(id, states, true), LayeredBrush::Value) << id;
    EXPECT_EQ(LayeredStaticBrush(id, states, false), LayeredBrush::Value) << id;
  }
  EXPECT_EQ(LayeredStaticBrush(-1, states, true), LayeredBrush::Default);
  EXPECT_EQ(LayeredStaticBrush(1062, states, true), LayeredBrush::Default);
}

TEST(SetDialog, OpensWithTheWindowsAttributesOrWhite255AndNoFlags) {
  LayeredAttributes presets = SetDialogPresets(std::nullopt);
  EXPECT_EQ(presets.colorKey, 0xFFFFFFu);
  EXPECT_EQ(presets.alpha, 255);
  EXPECT_EQ(presets.flags, 0u);
  presets = SetDialogPresets(LayeredAttributes{0x030201, 9, LWA_COLORKEY});
  EXPECT_EQ(presets.colorKey, 0x030201u);
  EXPECT_EQ(presets.alpha, 9);
  EXPECT_EQ(presets.flags, static_cast<DWORD>(LWA_COLORKEY));
}

TEST(SetDialog, WritesTheBoxesAsFlagsAndTheLowEightBitsOfEachPosition) {
  LayeredAttributes result = SetDialogResult(true, false, 1, 2, 3, 255);
  EXPECT_EQ(result.colorKey, 0x030201u);
  EXPECT_EQ(result.alpha, 255);
  EXPECT_EQ(result.flags, static_cast<DWORD>(LWA_COLORKEY));
  result = SetDialogResult(false, true, 0, 0, 0, 128);
  EXPECT_EQ(result.flags, static_cast<DWORD>(LWA_ALPHA));
  EXPECT_EQ(result.alpha, 128);
  EXPECT_EQ(SetDialogResult(true, true, 0, 0, 0, 0).flags, 3u);
  EXPECT_EQ(SetDialogResult(false, false, 0, 0, 0, 0).flags, 0u);
  // Positions a spin could report outside its range lose everything above the low byte.
  result = SetDialogResult(false, false, 256, -1, 0x12345, -256);
  EXPECT_EQ(result.colorKey, 0x45FF00u);
  EXPECT_EQ(result.alpha, 0);
}

}  // namespace
