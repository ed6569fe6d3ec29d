// The rows a message sent by hand caused: from its sending to its return, at any depth.
#include <gtest/gtest.h>

#include "msglog/SentMarks.h"

namespace {

TEST(SentMarks, MarksFromTheSendToItsReturnAndThePostedRowAlone) {
  msglog::CSentMarks marks;
  constexpr uint32_t kWindow = 0x1234, kOther = 0x5678;
  // Rows before the mark was asked for, and a sending of the same message to another window.
  marks.Note(1, 'S', 0x0C, kWindow);
  marks.Note(2, 'R', 0x0C, kWindow);
  marks.Expect(0x0C, kWindow, false);
  marks.Expect(0x401, kWindow, true);
  marks.Note(3, 'S', 0x0C, kOther);
  marks.Note(4, 'R', 0x0C, kOther);
  EXPECT_FALSE(marks.Any());
  // The send: the window sends itself two messages (one nested) before it returns.
  marks.Note(5, 'S', 0x0C, kWindow);
  marks.Note(6, 'S', 0x85, kWindow);
  marks.Note(7, 'S', 0x14, kOther);
  marks.Note(8, 'R', 0x14, kOther);
  marks.Note(9, 'R', 0x85, kWindow);
  marks.Note(10, 'P', 0x0F, kWindow);
  marks.Note(11, 'R', 0x0C, kWindow);
  marks.Note(12, 'S', 0x0C, kWindow);  // a second sending is not marked: one mark, one send
  marks.Note(13, 'R', 0x0C, kWindow);
  // The post: its own row only.
  marks.Note(14, 'P', 0x401, kWindow);
  marks.Note(15, 'S', 0x85, kWindow);
  for (uint64_t row = 1; row <= 15; ++row)
    EXPECT_EQ(marks.IsMarked(row), (row >= 5 && row <= 11) || row == 14) << row;

  marks.Clear();
  EXPECT_FALSE(marks.Any());
  EXPECT_FALSE(marks.IsMarked(5));
  // Asked-for marks are bounded: the oldest of many unmet ones are forgotten.
  for (uint32_t message = 0; message < 40; ++message) marks.Expect(message, kWindow, false);
  marks.Note(20, 'S', 0, kWindow);
  marks.Note(21, 'R', 0, kWindow);
  marks.Note(22, 'S', 39, kWindow);
  marks.Note(23, 'R', 39, kWindow);
  EXPECT_FALSE(marks.IsMarked(20));
  EXPECT_TRUE(marks.IsMarked(22) && marks.IsMarked(23));
}

}  // namespace
