// Lists saved as CSV: fields quoted as spreadsheet programs read them, the file in UTF-8 with a
// byte order mark (so that they take it as UTF-8) and lines ended with CR LF. Every list
// Quorvel saves goes through WriteCsvFile, which streams the rows to the file.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace platform {

using CsvRow = std::vector<std::wstring>;

// One field: in double quotes, its own quotes doubled, when it holds a comma, a quote, a CR or
// an LF, or starts or ends with a blank (which readers would otherwise trim); as it is otherwise.
// Texts come from any program: one a spreadsheet would take for a formula (it starts with "=",
// "+", "-", "@", a tab or a CR, and is not a plain number) is written after an apostrophe, so
// the spreadsheet shows the text and runs nothing.
std::wstring CsvField(const std::wstring& field);

// The fields of one line, separated by commas, without the line's end.
std::wstring CsvLine(const CsvRow& fields);

// Gives the next row in row (its cells replaced); false once every row was given.
using CsvRowSource = std::function<bool(CsvRow& row)>;
// The rows of a vector, one by one.
CsvRowSource CsvRowsOf(const std::vector<CsvRow>& rows);

// Writes the header and the rows next gives, chunk by chunk, to a temporary file that replaces
// path only when complete; stopped, when given, is asked between rows and abandons the file
// when it says so. Returns "" on success, otherwise the reason, worded as for every failed save.
std::string WriteCsvFile(const std::wstring& path, const CsvRow& header, const CsvRowSource& next,
                         const std::function<bool()>& stopped = {});

}  // namespace platform
