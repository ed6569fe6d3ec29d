#include "cli/Output.h"

#include <gtest/gtest.h>

namespace cli {
namespace {

TEST(OutputTest, ColumnsAlignByWhatAConsoleShowsAndEveryCellKeepsToOneLine) {
  EXPECT_EQ(DisplayWidth("abc"), 3u);
  EXPECT_EQ(DisplayWidth(u8"探査 demo"), 9u) << "East Asian characters take two columns";
  EXPECT_EQ(DisplayWidth(u8"ｑｖ"), 4u);
  EXPECT_EQ(DisplayWidth(u8"Caf\u00e9"), 4u);
  EXPECT_EQ(DisplayWidth(u8"\U0001F600"), 1u);
  EXPECT_EQ(DisplayWidth("\xe6"), 1u) << "a cut-off sequence is one column, never read past the end";
  EXPECT_EQ(OneLine("a\r\nb\tc"), "a  b c");
  EXPECT_EQ(AlignedRows({{"TITLE", "PID", "HANDLE"},
                         {u8"探査 demo", "272", "0x00020060"},
                         {"line\nbreak", "4", "0x00000001"},
                         {"x"}}),
            (std::vector<std::string>{u8"TITLE       PID  HANDLE", u8"探査 demo   272  0x00020060",
                                      "line break  4    0x00000001", "x"}));
}

TEST(OutputTest, JsonTextIsCompactOrIndentedAndReplacesBytesThatAreNotUtf8) {
  const snapshot::Json value{{"text", std::string("a\xff")}, {"rect", {1, 2}}};
  EXPECT_EQ(JsonText(value, false), "{\"text\":\"a\xef\xbf\xbd\",\"rect\":[1,2]}");
  EXPECT_EQ(JsonText(value, true), "{\n  \"text\": \"a\xef\xbf\xbd\",\n  \"rect\": [\n    1,\n    2\n  ]\n}");
  OutputOptions options;
  EXPECT_FALSE(options.AsJson());
  options.pretty = true;
  EXPECT_TRUE(options.AsJson()) << "--pretty implies --json";
}

}  // namespace
}  // namespace cli
