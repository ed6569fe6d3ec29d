#include "platform/CsvFile.h"

#include "platform/FileSave.h"

namespace platform {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

void AppendUtf8(std::string& out, const std::wstring& text) {
  if (text.empty()) return;
  const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  if (length <= 0) return;
  const size_t start = out.size();
  out.resize(start + static_cast<size_t>(length));
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[start], length, nullptr, nullptr);
}

}  // namespace

std::wstring CsvField(const std::wstring& field) {
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

std::string CsvFileBytes(const CsvRow& header, const std::vector<CsvRow>& rows) {
  std::string bytes = "\xEF\xBB\xBF";
  AppendUtf8(bytes, CsvLine(header) + L"\r\n");
  for (const CsvRow& row : rows) AppendUtf8(bytes, CsvLine(row) + L"\r\n");
  return bytes;
}

std::string WriteCsvFile(const std::wstring& path, const CsvRow& header, const std::vector<CsvRow>& rows) {
  return WriteWholeFile(path, CsvFileBytes(header, rows));
}

}  // namespace platform
