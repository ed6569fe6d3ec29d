#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "platform/CsvFile.h"
#include "platform/FileSave.h"

namespace {

TEST(CsvFile, FieldsAreQuotedOnlyWhenAReaderWouldMisreadThem) {
  const struct {
    const wchar_t* field;
    const wchar_t* written;
  } kCases[] = {
      {L"", L""},
      {L"Notepad", L"Notepad"},
      {L"0x0012abcd", L"0x0012abcd"},
      {L"無題 - メモ帳", L"無題 - メモ帳"},
      {L"a,b", L"\"a,b\""},
      {L"say \"hi\"", L"\"say \"\"hi\"\"\""},
      {L"\"", L"\"\"\"\""},
      {L"two\r\nlines", L"\"two\r\nlines\""},
      {L"line\nfeed", L"\"line\nfeed\""},
      {L" lead", L"\" lead\""},
      {L"trail ", L"\"trail \""},
      {L"\ttab", L"\"\ttab\""},
      {L"in side", L"in side"},
  };
  for (const auto& c : kCases) EXPECT_EQ(platform::CsvField(c.field), c.written);
  EXPECT_EQ(platform::CsvLine({L"a", L"b,c", L"", L"日本"}), L"a,\"b,c\",,日本");
  EXPECT_EQ(platform::CsvLine({}), L"");
}

std::wstring TemporaryFolder() {
  wchar_t folder[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, folder);
  return folder;
}

std::string ReadBytes(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(CsvFile, AFileWithJapaneseTextReadsBackAsUtf8WithAMarkAndReplacesTheOldOne) {
  const std::wstring path = TemporaryFolder() + L"一覧テスト.csv";
  ::DeleteFileW(path.c_str());
  ASSERT_EQ(platform::WriteCsvFile(path, {L"タイトル", L"PID"}, {{L"old"}}), "");
  ASSERT_EQ(platform::WriteCsvFile(path, {L"タイトル", L"PID"}, {{L"無題, メモ帳", L"42"}, {L"", L"7"}}), "");
  EXPECT_EQ(ReadBytes(path), std::string("\xEF\xBB\xBF") + u8"タイトル,PID\r\n\"無題, メモ帳\",42\r\n,7\r\n");
  ::DeleteFileW(path.c_str());

  // No temporary file is left behind, and a failure names its cause as every save does.
  WIN32_FIND_DATAW found;
  HANDLE search = ::FindFirstFileW((TemporaryFolder() + L"qvl*.tmp").c_str(), &found);
  EXPECT_EQ(search, INVALID_HANDLE_VALUE);
  if (search != INVALID_HANDLE_VALUE) ::FindClose(search);
  EXPECT_EQ(platform::WriteCsvFile(TemporaryFolder() + L"無いフォルダー\\a.csv", {L"x"}, {}),
            "保存先のフォルダーが見つかりません。");
  EXPECT_EQ(platform::WriteCsvFile(TemporaryFolder() + L"a?b.csv", {L"x"}, {}),
            "このファイル名はシステムに受け付けられません。");
}

}  // namespace
