// What qv writes: UTF-8 whatever standard output is. A console gets wide-character writes (so
// Japanese shows whatever its code page), a pipe or a file gets the UTF-8 bytes. Errors are one
// line on standard error beginning "qv:".
#pragma once
#include <CLI/CLI.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "snapshot/Json.h"

namespace cli {

// Writes UTF-8 text to standard output.
void Write(std::string_view utf8);
void WriteLine(std::string_view utf8 = {});
// Hands what was written to the pipe or file now (watch's events as they happen).
void Flush();
// "qv: text" on standard error.
void WriteError(std::string_view utf8);

struct OutputOptions {
  bool json = false;
  bool pretty = false;
  bool AsJson() const { return json || pretty; }
};
// --json and --pretty.
void AddOutputOptions(CLI::App& command, OutputOptions& options);

// The value as JSON text: compact, or indented by two with --pretty; a byte that is not UTF-8
// becomes U+FFFD rather than failing the write.
std::string JsonText(const snapshot::Json& value, bool pretty);
void WriteJson(const snapshot::Json& value, const OutputOptions& options);

// The text with line breaks, tabs and other control characters as blanks: one line.
std::string OneLine(std::string text);
// Rows in aligned columns (the last column unpadded; each cell one line), widths counted in characters, those of
// East Asian scripts as two.
std::vector<std::string> AlignedRows(const std::vector<std::vector<std::string>>& rows);
// How many columns of a console the UTF-8 text takes.
size_t DisplayWidth(std::string_view utf8);

}  // namespace cli
