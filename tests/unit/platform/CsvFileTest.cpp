#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
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
      {L"\ttab", L"'\ttab"},
      {L"in side", L"in side"},
      // What a spreadsheet would run as a formula is written as text; plain numbers stay numbers.
      {L"=1+2 合計", L"'=1+2 合計"},
      {L"+cmd|' /C calc'!A0", L"'+cmd|' /C calc'!A0"},
      {L"-2+3", L"'-2+3"},
      {L"@SUM(A1)", L"'@SUM(A1)"},
      {L"\t=1", L"'\t=1"},
      {L"\r=1", L"\"'\r=1\""},
      {L"=a,b", L"\"'=a,b\""},
      {L"-12", L"-12"},
      {L"+3.5", L"+3.5"},
      {L"-", L"'-"},
      {L"a=b", L"a=b"},
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
  const std::vector<platform::CsvRow> rows = {{L"無題, メモ帳", L"42"}, {L"", L"7"}};
  ASSERT_EQ(platform::WriteCsvFile(path, {L"タイトル", L"PID"}, platform::CsvRowsOf(rows)), "");
  const std::string saved = ReadBytes(path);
  EXPECT_EQ(saved, std::string("\xEF\xBB\xBF") + u8"タイトル,PID\r\n\"無題, メモ帳\",42\r\n,7\r\n");

  // Many rows are streamed in chunks; a save stopped midway leaves the old file as it was.
  int given = 0;
  const auto manyRows = [&](platform::CsvRow& row) {
    row = {L"row " + std::to_wstring(given), std::wstring(200, L'x')};
    return ++given <= 5000;
  };
  EXPECT_EQ(platform::WriteCsvFile(path, {L"a", L"b"}, manyRows, [&] { return given > 2000; }), platform::kSaveStoppedReason);
  EXPECT_EQ(ReadBytes(path), saved);
  given = 0;
  ASSERT_EQ(platform::WriteCsvFile(path, {L"a", L"b"}, manyRows), "");
  const std::string many = ReadBytes(path);
  EXPECT_EQ(std::count(many.begin(), many.end(), '\n'), 5001);
  EXPECT_NE(many.find("\r\nrow 4999,xxx"), std::string::npos);
  ::DeleteFileW(path.c_str());

  // No temporary file is left behind, and a failure names its cause as every save does.
  WIN32_FIND_DATAW found;
  HANDLE search = ::FindFirstFileW((TemporaryFolder() + L"qvl*.tmp").c_str(), &found);
  EXPECT_EQ(search, INVALID_HANDLE_VALUE);
  if (search != INVALID_HANDLE_VALUE) ::FindClose(search);
  EXPECT_EQ(platform::WriteCsvFile(TemporaryFolder() + L"無いフォルダー\\a.csv", {L"x"}, {}),
            "保存先のフォルダーが見つかりません。");
}

// A write the disk refuses half way, or takes only in part while saying it succeeded (on the
// first chunk or a later one): the old file stays whole, the reason is the full disk, and the
// temporary file goes.
int g_writes = 0;
BOOL WINAPI RefusedHalfWay(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED) {
  ::WriteFile(file, data, size / 2, written, nullptr);
  ::SetLastError(ERROR_DISK_FULL);
  return FALSE;
}
BOOL WINAPI ShortButSucceeded(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED) {
  return ::WriteFile(file, data, size - 1, written, nullptr);
}
BOOL WINAPI LaterChunkShort(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED) {
  return ::WriteFile(file, data, ++g_writes == 2 ? size - 1 : size, written, nullptr);
}

TEST(CsvFile, AFailedOrShortWriteLeavesTheOldFileAndNoTemporaryFile) {
  const std::wstring path = TemporaryFolder() + L"途中で失敗.csv";
  ASSERT_EQ(platform::WriteCsvFile(path, {L"old"}, {}), "");
  // Enough rows for several chunks.
  std::vector<platform::CsvRow> rows(20000, platform::CsvRow{L"a cell of some length", L"b"});
  for (const platform::FileWriteCall fake : {&RefusedHalfWay, &ShortButSucceeded, &LaterChunkShort}) {
    g_writes = 0;
    const platform::FileWriteCall previous = platform::SetFileWriteCall(fake);
    EXPECT_EQ(platform::WriteCsvFile(path, {L"new", L"longer than the old"}, platform::CsvRowsOf(rows)),
              "ディスクの空き領域が足りません。");
    platform::SetFileWriteCall(previous);
    EXPECT_EQ(ReadBytes(path), "\xEF\xBB\xBFold\r\n");
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((TemporaryFolder() + L"qvl*.tmp").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "a temporary file was left behind";
    if (search != INVALID_HANDLE_VALUE) ::FindClose(search);
  }
  EXPECT_EQ(g_writes, 2) << "the short chunk was the last one written";
  ::DeleteFileW(path.c_str());
}

}  // namespace
