#include "snapshot/Diff.h"

#include <gtest/gtest.h>

namespace snapshot {
namespace {

Json Window(const char* handle, int pid, const char* className, const char* text) {
  return Json{{"handle", handle}, {"class", className}, {"text", text}, {"pid", pid}, {"visible", true}};
}

TEST(DiffTest, AddedRemovedAndChangedFieldByFieldInTheOrderOfTheSnapshots) {
  const std::vector<Json> before{Window("0x00000001", 10, "A", "one"), Window("0x00000002", 10, "B", "two"),
                                 Window("0x00000003", 10, "C", "three")};
  std::vector<Json> after{Window("0x00000003", 10, "C", "three"), Window("0x00000001", 10, "A", "uno"),
                          Window("0x00000004", 11, "D", "four")};
  after[1]["visible"] = false;
  after[1]["props"] = Json{{"x", "0x00000001"}};
  after[0]["children"] = Json::array({Window("0x00000009", 10, "E", "")});
  const DiffResult result = Diff(before, after);
  EXPECT_FALSE(result.Same());
  ASSERT_EQ(result.added.size(), 1u);
  EXPECT_EQ(result.added[0]["handle"], "0x00000004");
  ASSERT_EQ(result.removed.size(), 1u);
  EXPECT_EQ(result.removed[0]["handle"], "0x00000002");
  ASSERT_EQ(result.changed.size(), 1u) << "a tree's children are no field of the window";
  EXPECT_EQ(result.changed[0].changes,
            (Json{{"text", {{"from", "one"}, {"to", "uno"}}},
                  {"visible", {{"from", true}, {"to", false}}},
                  {"props", {{"from", nullptr}, {"to", {{"x", "0x00000001"}}}}}}));
  const Json json = DiffJson(result);
  EXPECT_EQ(json["changed"][0], (Json{{"handle", "0x00000001"}, {"class", "A"}, {"text", "uno"}, {"changes", result.changed[0].changes}}));
  EXPECT_EQ(json["added"], Json::array({after[2]}));
  EXPECT_EQ(json["removed"], Json::array({before[1]}));
  EXPECT_EQ(DiffLines(result), (std::vector<std::string>{"+ 0x00000004 D \"four\"", "- 0x00000002 B \"two\"",
                                                          u8"~ 0x00000001 text: one → uno",
                                                          u8"~ 0x00000001 visible: true → false",
                                                          u8"~ 0x00000001 props: null → {\"x\":\"0x00000001\"}"}));
  EXPECT_TRUE(Diff(before, before).Same());
  EXPECT_TRUE(DiffLines(Diff(before, before)).empty());
  EXPECT_EQ(DiffJson(Diff(before, before)).dump(), R"({"added":[],"removed":[],"changed":[]})");
}

TEST(DiffTest, AHandleReusedByAnotherProgramOrClassIsOneWindowRemovedAndOneAdded) {
  const std::vector<Json> before{Window("0x00000001", 10, "A", "x"), Window("0x00000002", 10, "A", "y")};
  const std::vector<Json> after{Window("0x00000001", 20, "A", "x"), Window("0x00000002", 10, "Other", "y")};
  const DiffResult result = Diff(before, after);
  EXPECT_EQ(result.removed, before);
  EXPECT_EQ(result.added, after);
  EXPECT_TRUE(result.changed.empty());
}

TEST(DiffTest, KeysThatCannotBeConfusedDuplicatesAndWindowsWithoutAKey) {
  EXPECT_EQ(WindowKey(Json::array()), "");
  EXPECT_EQ(WindowKey(Json{{"handle", "0x1"}, {"pid", "1"}, {"class", "A"}}), "");
  EXPECT_NE(WindowKey(Window("0x1", 1, "A\x1f" "2", "")), WindowKey(Window("0x1", 1, "A", "")));
  // A key met twice in one set (only a hand-made file has that): matched once each, in order.
  const std::vector<Json> before{Window("0x00000001", 10, "A", "x"), Window("0x00000001", 10, "A", "y")};
  const std::vector<Json> after{Window("0x00000001", 10, "A", "x"), Window("0x00000001", 10, "A", "x"),
                                Window("0x00000001", 10, "A", "z")};
  const DiffResult result = Diff(before, after);
  ASSERT_EQ(result.changed.size(), 1u);
  EXPECT_EQ(result.changed[0].changes, (Json{{"text", {{"from", "y"}, {"to", "x"}}}}));
  ASSERT_EQ(result.added.size(), 1u);
  EXPECT_EQ(result.added[0]["text"], "z");
  EXPECT_TRUE(result.removed.empty());
  // Objects without the fields that name a window are windows of their own.
  const DiffResult unnamed = Diff({Json{{"text", "a"}}}, {Json{{"text", "a"}}, Json::array()});
  EXPECT_EQ(unnamed.changed.size(), 0u);
  EXPECT_EQ(unnamed.added.size(), 2u);
  EXPECT_EQ(unnamed.removed.size(), 1u);
}

TEST(DiffTest, AHandMadeFileOfOneWindowRepeatedIsMatchedOnceEach) {
  const std::vector<Json> before(60000, Window("0x00000001", 1, "A", "x"));
  std::vector<Json> after(60001, Window("0x00000001", 1, "A", "x"));
  after.back()["text"] = "y";
  const DiffResult result = Diff(before, after);
  EXPECT_TRUE(result.removed.empty());
  EXPECT_TRUE(result.changed.empty());
  ASSERT_EQ(result.added.size(), 1u);
  EXPECT_EQ(result.added[0]["text"], "y");
}

TEST(DiffTest, AValueWithALineBreakKeepsToItsLine) {
  const DiffResult result = Diff({Window("0x00000001", 1, "A", "a")}, {Window("0x00000001", 1, "A", "b\nc")});
  EXPECT_EQ(DiffLines(result), std::vector<std::string>{u8"~ 0x00000001 text: a → \"b\\nc\""});
  EXPECT_EQ(ValueText(Json(3)), "3");
  EXPECT_EQ(ValueText(Json("0x1")), "0x1");
  EXPECT_EQ(ValueText(Json::array({std::string("\xff\xfe")})), "[\"\xef\xbf\xbd\xef\xbf\xbd\"]")
      << "not UTF-8: replaced, never thrown";
}

}  // namespace
}  // namespace snapshot
