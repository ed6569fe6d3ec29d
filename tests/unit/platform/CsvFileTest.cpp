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
      {L"無題 - メモ帳", L"無題 - メモ帳"},
      {L"a,b", L"\"a,b\""},
      {L"say \"hi\"", L"\"say \"\"hi\"\"\""},
      {L"two\r\nlines", L"\"two\r\nlines\""},
      {L"line\nfeed", L"\"line\nfeed\""},
      {L" lead", L"\" lead\""},
      {L"trail ", L"\"trail \""},
      {L"\ttab", L"\"\ttab\""},
      {L"in side", L"in side"},
  };
  for (const auto& c : kCases) EXPECT_EQ(platform::CsvField(c.field), c.written);
  EXPECT_EQ(platform::CsvLine({L"a", L"b,c", L"", L"日本"}), L"a,\"b,c\",,日本");
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
  ASSERT_EQ(platform::WriteCsvFile(path, {L"old"}, {}), "");
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
}

// A write the disk refuses half way: the old file stays whole and the temporary one goes.
TEST(CsvFile, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
  const std::wstring path = TemporaryFolder() + L"途中で失敗.csv";
  ASSERT_EQ(platform::WriteCsvFile(path, {L"old"}, {}), "");
  const platform::FileWriteCall previous = platform::SetFileWriteCall(
      [](HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED) WINAPI -> BOOL {
        ::WriteFile(file, data, size / 2, written, nullptr);
        ::SetLastError(ERROR_DISK_FULL);
        return FALSE;
      });
  EXPECT_EQ(platform::WriteCsvFile(path, {L"new", L"longer than the old"}, {{L"a", L"b"}}),
            "ディスクの空き領域が足りません。");
  platform::SetFileWriteCall(previous);
  EXPECT_EQ(ReadBytes(path), "\xEF\xBB\xBFold\r\n");
  WIN32_FIND_DATAW found;
  HANDLE search = ::FindFirstFileW((TemporaryFolder() + L"qvl*.tmp").c_str(), &found);
  EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "a temporary file was left behind";
  if (search != INVALID_HANDLE_VALUE) ::FindClose(search);
  ::DeleteFileW(path.c_str());
}

}  // namespace
