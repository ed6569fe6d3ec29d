// The computations behind the panel's nudge and log-off commands.
#include <gtest/gtest.h>

#include "operations/PanelCommands.h"

namespace {

TEST(Nudge, MovesOnePixelEachWayAndKeepsTheSize) {
  const RECT r{100, 50, 420, 250};
  struct Case {
    NudgeDirection direction;
    RECT expected;
  } cases[] = {
      {NudgeDirection::Up, {100, 49, 420, 249}},
      {NudgeDirection::Down, {100, 51, 420, 251}},
      {NudgeDirection::Left, {99, 50, 419, 250}},
      {NudgeDirection::Right, {101, 50, 421, 250}},
  };
  for (const Case& c : cases) {
    const RECT moved = NudgedRect(r, c.direction);
    EXPECT_EQ(moved.left, c.expected.left);
    EXPECT_EQ(moved.top, c.expected.top);
    EXPECT_EQ(moved.right, c.expected.right);
    EXPECT_EQ(moved.bottom, c.expected.bottom);
  }
  // Off-screen coordinates are just numbers.
  const RECT edge = NudgedRect(RECT{0, 0, 10, 10}, NudgeDirection::Left);
  EXPECT_EQ(edge.left, -1);
  EXPECT_EQ(edge.right, 9);
}

TEST(EndSession, OnlyAnExactOneIsTrueAndANonAnswerKeepsThePreviousWParam) {
  EXPECT_EQ(QueryEndSessionText(1), "QueryEndSession return Value is TRUE");
  EXPECT_EQ(QueryEndSessionText(0), "QueryEndSession return Value is FALSE");
  EXPECT_EQ(QueryEndSessionText(2), "QueryEndSession return Value is FALSE");
  EXPECT_EQ(QueryEndSessionText(std::nullopt), "QueryEndSession return Value is FALSE");

  EXPECT_EQ(NextEndSessionWParam(1, 2), 2);
  EXPECT_EQ(NextEndSessionWParam(2, 0), 0);
  EXPECT_EQ(NextEndSessionWParam(2, -7), -7);
  EXPECT_EQ(NextEndSessionWParam(2, std::nullopt), 2);
}

TEST(EndSession, PromptCarriesTheWParamInSignedDecimal) {
  EXPECT_EQ(EndSessionPrompt(1), "Send WM_ENDSESSION wParam=1, lParam=ENDSESSION_LOGOFF を送信します.");
  EXPECT_EQ(EndSessionPrompt(-2), "Send WM_ENDSESSION wParam=-2, lParam=ENDSESSION_LOGOFF を送信します.");
}

}  // namespace
