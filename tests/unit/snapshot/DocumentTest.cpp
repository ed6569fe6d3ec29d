#include "snapshot/Document.h"

#include <gtest/gtest.h>

#include <regex>

#include "snapshot/Window.h"

namespace snapshot {
namespace {

WindowEntry SampleEntry() {
  WindowEntry entry;
  entry.hwnd = reinterpret_cast<HWND>(0x1a2b);
  entry.className = L"QuorvelFixtureWindow";
  entry.text = L"Caf\u00e9探査";
  entry.pid = 268;
  entry.tid = 272;
  entry.process = L"Caf\u00e9探査.exe";
  entry.visible = true;
  entry.rect = RECT{-10, 20, 310, 220};
  entry.style = 0x14cf0000;
  entry.exStyle = 0x100;
  entry.owner = reinterpret_cast<HWND>(0x10);
  return entry;
}

TEST(WindowJsonTest, TheBasicFieldsInTheirFormatsThenThePropertiesThenTimedOut) {
  WindowEntry entry = SampleEntry();
  Json window = WindowJson(entry);
  EXPECT_EQ(window.dump(), std::string(u8"{\"handle\":\"0x00001a2b\",\"class\":\"QuorvelFixtureWindow\",\"text\":\"Caf\u00e9探査\",") +
                               u8"\"pid\":268,\"tid\":272,\"process\":\"Caf\u00e9探査.exe\",\"visible\":true,\"rect\":[-10,20,310,220]," +
                               "\"style\":\"0x14cf0000\",\"exStyle\":\"0x00000100\",\"parent\":null,\"owner\":\"0x00000010\",\"messageOnly\":false}");
  entry.process.clear();
  entry.properties = Json{{"bits", nullptr}, {"bitsError", "the process cannot be asked"}};
  entry.timedOut = true;
  window = WindowJson(entry);
  EXPECT_TRUE(window["process"].is_null());
  EXPECT_TRUE(window["processError"].is_string()) << "a value the system will not give says why";
  std::vector<std::string> keys;
  for (const auto& field : window.items()) keys.push_back(field.key());
  EXPECT_EQ(std::vector<std::string>(keys.end() - 3, keys.end()), (std::vector<std::string>{"bits", "bitsError", "timedOut"}));
}

TEST(DocumentTest, WrittenAndReadBackIsTheSameDocument) {
  Document document;
  document.taken = TimeNow();
  EXPECT_TRUE(std::regex_match(document.taken, std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z)"))) << document.taken;
  WindowEntry entry = SampleEntry();
  entry.properties = Json{{"props", {{u8"名前", "0x00001234"}, {"#66", "0x00005678"}}},
                          {"windowProc", {{"address", "0x004045f0"}, {"unicode", false}}}};
  document.windows.push_back(WindowJson(entry));
  entry.hwnd = reinterpret_cast<HWND>(0x2000);
  entry.text = L"line\nbreak \"quoted\" \\ tab\t";
  document.windows.push_back(WindowJson(entry));
  const Json json = DocumentJson(document);
  EXPECT_EQ(json["schema"], "quorvel.snapshot/1");
  for (int indent : {-1, 2}) {
    Document read;
    LoadError error;
    ASSERT_TRUE(ParseDocument(json.dump(indent), &read, &error)) << error.Text();
    EXPECT_EQ(read.taken, document.taken);
    EXPECT_EQ(read.windows, document.windows);
  }
}

TEST(DocumentTest, WhatIsNotASnapshotSaysWhyAndJsonFaultsWhere) {
  struct Case {
    std::string text;
    std::string reason;  // contained in the error
    int line, column;
  };
  const std::string deep = std::string(70, '[') + std::string(70, ']');
  for (const Case& bad : std::vector<Case>{
           {"", "not JSON", 1, 1},
           {"{\"schema\": \"quorvel.snapshot/1\",\n  \"windows\": [\n    {\"handle\": tru}]}", "not JSON", 3, 19},
           {u8"{\"schema\": \"探査\" x", "not JSON", 1, 17},
           {"{\"schema\": \"quorvel.snapshot/1\", \"windows\": [] } trailing", "not JSON", 1, 52},
           {deep, "nested deeper than 64", 1, 65},
           {"[]", "not a JSON object", 0, 0},
           {"{\"windows\": []}", "schema", 0, 0},
           {"{\"schema\": \"quorvel.snapshot/2\", \"windows\": []}", "schema", 0, 0},
           {"{\"schema\": \"quorvel.snapshot/1\", \"windows\": {}}", "\"windows\" is not an array", 0, 0},
           {"{\"schema\": \"quorvel.snapshot/1\", \"windows\": [1]}", "window 0 is not", 0, 0},
           {"{\"schema\": \"quorvel.snapshot/1\", \"windows\": [{\"handle\": \"0x1\", \"pid\": \"1\", \"class\": \"A\"}]}",
            "window 0 lacks", 0, 0},
           {"{\"schema\": \"quorvel.snapshot/1\", \"windows\": [{\"handle\": \"0x1\", \"pid\": 1, \"class\": \"A\"}, "
            "{\"handle\": 2, \"pid\": 1, \"class\": \"A\"}]}",
            "window 1 lacks", 0, 0}}) {
    Document read;
    LoadError error;
    EXPECT_FALSE(ParseDocument(bad.text, &read, &error)) << bad.text.substr(0, 80);
    EXPECT_NE(error.reason.find(bad.reason), std::string::npos) << error.reason;
    EXPECT_EQ(error.line, bad.line) << error.Text();
    EXPECT_EQ(error.column, bad.column) << error.Text();
    if (bad.line) {
      EXPECT_NE(error.Text().find("at line " + std::to_string(bad.line) + ", column "), std::string::npos);
    }
  }
}

TEST(DocumentTest, EveryCutOffDocumentAndAHugeNestingFailWithoutACrash) {
  Document document;
  document.taken = "2026-12-08T15:04:05.123Z";
  for (int i = 0; i < 5; ++i) document.windows.push_back(WindowJson(SampleEntry()));
  const std::string text = DocumentJson(document).dump(1);
  for (size_t length = 0; length + 1 < text.size(); ++length) {
    Document read;
    LoadError error;
    ASSERT_FALSE(ParseDocument(std::string_view(text).substr(0, length), &read, &error)) << length;
    ASSERT_GE(error.line, 1) << length << " " << error.Text();
  }
  Document read;
  LoadError error;
  EXPECT_FALSE(ParseDocument(std::string(1000000, '['), &read, &error));
  EXPECT_EQ(error.column, 65);
  EXPECT_FALSE(ParseDocument(std::string(1000000, '{'), &read, &error)) << "never read as deep as it goes";
  EXPECT_FALSE(LoadDocument("Z:\\no\\such\\folder\\snapshot.json", &read, &error));
  EXPECT_NE(error.reason.find("no such file"), std::string::npos) << error.reason;
}

TEST(DocumentTest, LineAndColumnCountCharactersNotBytes) {
  int line = 0, column = 0;
  const std::string text = u8"ab\n探査x\ny";
  LineAndColumn(text, text.find('x'), &line, &column);
  EXPECT_EQ(line, 2);
  EXPECT_EQ(column, 3);
  LineAndColumn(text, text.size() + 10, &line, &column);
  EXPECT_EQ(line, 3);
  EXPECT_EQ(column, 2);
}

}  // namespace
}  // namespace snapshot
