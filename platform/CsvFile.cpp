#include "platform/CsvFile.h"

#include "platform/FileSave.h"
#include "platform/WideText.h"

namespace platform {

namespace {

// Bytes gathered before they are written.
constexpr size_t kChunkBytes = 64 * 1024;

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// "-12", "+3.5", "7": what a spreadsheet reads as a number, and nothing else.
bool IsPlainNumber(const std::wstring& field) {
  size_t at = field.size() > 1 && (field[0] == L'-' || field[0] == L'+') ? 1 : 0;
  bool digits = false, point = false;
  for (; at < field.size(); ++at) {
    if (field[at] >= L'0' && field[at] <= L'9') {
      digits = true;
    } else if (field[at] == L'.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digits;
}

bool LooksLikeFormula(const std::wstring& field) {
  return !field.empty() && std::wstring(L"=+-@\t\r").find(field[0]) != std::wstring::npos && !IsPlainNumber(field);
}

}  // namespace

std::wstring CsvField(const std::wstring& cell) {
  const std::wstring field = LooksLikeFormula(cell) ? L"'" + cell : cell;
  const bool quoted = field.find_first_of(L",\"\r\n") != std::wstring::npos ||
                      (!field.empty() && (IsBlank(field.front()) || IsBlank(field.back())));
  if (!quoted) return field;
  std::wstring text = L"\"";
  for (wchar_t c : field) {
    if (c == L'"') text += L'"';
    text += c;
  }
  text += L'"';
  return text;
}

std::wstring CsvLine(const CsvRow& fields) {
  std::wstring line;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i) line += L',';
    line += CsvField(fields[i]);
  }
  return line;
}

CsvRowSource CsvRowsOf(const std::vector<CsvRow>& rows) {
  return [&rows, next = size_t{0}](CsvRow& row) mutable {
    if (next >= rows.size()) return false;
    row = rows[next++];
    return true;
  };
}

std::string WriteCsvFile(const std::wstring& path, const CsvRow& header, const CsvRowSource& next,
                         const std::function<bool()>& stopped) {
  bool headerWritten = false, more = true;
  CsvRow row;
  return WriteFileInChunks(
      path,
      [&](std::string& chunk) {
        if (!headerWritten) {
          chunk = "\xEF\xBB\xBF";
          AppendUtf8(chunk, CsvLine(header) + L"\r\n");
          headerWritten = true;
        }
        while (chunk.size() < kChunkBytes && (more = next && next(row))) AppendUtf8(chunk, CsvLine(row) + L"\r\n");
        return more;
      },
      stopped);
}

}  // namespace platform
