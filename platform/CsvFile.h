// Lists saved as CSV: fields quoted as spreadsheet programs read them, the file in UTF-8 with a
// byte order mark (so that they take it as UTF-8) and lines ended with CR LF.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace platform {

using CsvRow = std::vector<std::wstring>;

// One field: in double quotes, its own quotes doubled, when it holds a comma, a quote, a CR or
// an LF, or starts or ends with a blank (which readers would otherwise trim); as it is otherwise.
std::wstring CsvField(const std::wstring& field);

// The fields of one line, separated by commas, without the line's end.
std::wstring CsvLine(const CsvRow& fields);

// The whole file's bytes: the byte order mark, then the header and the rows in UTF-8.
std::string CsvFileBytes(const CsvRow& header, const std::vector<CsvRow>& rows);

// Writes the file through a temporary file that replaces path only when complete. Returns ""
// on success, otherwise the reason, worded as for every failed save.
std::string WriteCsvFile(const std::wstring& path, const CsvRow& header, const std::vector<CsvRow>& rows);

}  // namespace platform
