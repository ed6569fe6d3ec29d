#include "cli/Output.h"

#include <windows.h>

#include <algorithm>

#include "platform/WideText.h"

namespace cli {
namespace {

// One standard stream: a console takes UTF-16, anything else the bytes, buffered until a
// line's end or a flush.
class CStream {
 public:
  explicit CStream(DWORD which) : m_handle(::GetStdHandle(which)) {
    DWORD mode = 0;
    m_console = m_handle && m_handle != INVALID_HANDLE_VALUE && ::GetFileType(m_handle) == FILE_TYPE_CHAR &&
                ::GetConsoleMode(m_handle, &mode);
  }
  ~CStream() { Flush(); }

  void Write(std::string_view utf8) {
    m_pending.append(utf8.data(), utf8.size());
    if (m_pending.size() >= kBufferBytes) Flush();
  }

  void Flush() {
    if (m_pending.empty() || !m_handle || m_handle == INVALID_HANDLE_VALUE) {
      m_pending.clear();
      return;
    }
    if (m_console) {
      const std::wstring wide = platform::WideFromUtf8(m_pending);
      for (size_t at = 0; at < wide.size();) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(wide.size() - at, 8192));
        if (!::WriteConsoleW(m_handle, wide.data() + at, chunk, &written, nullptr) || !written) break;
        at += written;
      }
    } else {
      for (size_t at = 0; at < m_pending.size();) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(m_pending.size() - at, 1u << 20));
        if (!::WriteFile(m_handle, m_pending.data() + at, chunk, &written, nullptr) || !written) break;
        at += written;
      }
    }
    m_pending.clear();
  }

 private:
  static constexpr size_t kBufferBytes = 64 * 1024;
  HANDLE m_handle;
  bool m_console = false;
  std::string m_pending;
};

CStream& Out() {
  static CStream out(STD_OUTPUT_HANDLE);
  return out;
}

CStream& Err() {
  static CStream err(STD_ERROR_HANDLE);
  return err;
}

bool IsWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115f) || (c >= 0x2e80 && c <= 0xa4cf) || (c >= 0xac00 && c <= 0xd7a3) ||
         (c >= 0xf900 && c <= 0xfaff) || (c >= 0xfe30 && c <= 0xfe4f) || (c >= 0xff00 && c <= 0xff60) ||
         (c >= 0xffe0 && c <= 0xffe6) || (c >= 0x20000 && c <= 0x3fffd);
}

}  // namespace

void Write(std::string_view utf8) { Out().Write(utf8); }

void WriteLine(std::string_view utf8) {
  Out().Write(utf8);
  Out().Write("\n");
}

void Flush() { Out().Flush(); }

void WriteError(std::string_view utf8) {
  // What was written before the error comes first.
  Out().Flush();
  Err().Write("qv: ");
  // One line, whatever a file name or a library's message holds.
  Err().Write(OneLine(std::string(utf8)));
  Err().Write("\n");
  Err().Flush();
}

void AddOutputOptions(CLI::App& command, OutputOptions& options) {
  command.add_flag("--json", options.json, "Write JSON instead of text");
  command.add_flag("--pretty", options.pretty, "Indent the JSON (implies --json)");
}

std::string JsonText(const snapshot::Json& value, bool pretty) {
  return value.dump(pretty ? 2 : -1, ' ', false, snapshot::Json::error_handler_t::replace);
}

void WriteJson(const snapshot::Json& value, const OutputOptions& options) { WriteLine(JsonText(value, options.pretty)); }

size_t DisplayWidth(std::string_view utf8) {
  size_t width = 0;
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    char32_t c = lead;
    size_t length = 1;
    if (lead >= 0xf0) {
      c = lead & 0x07;
      length = 4;
    } else if (lead >= 0xe0) {
      c = lead & 0x0f;
      length = 3;
    } else if (lead >= 0xc0) {
      c = lead & 0x1f;
      length = 2;
    }
    for (size_t k = 1; k < length && i + k < utf8.size(); ++k) c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3f);
    i += length;
    width += IsWide(c) ? 2 : 1;
  }
  return width;
}

std::string OneLine(std::string text) {
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  return text;
}

std::vector<std::string> AlignedRows(const std::vector<std::vector<std::string>>& given) {
  std::vector<std::vector<std::string>> rows = given;
  for (auto& row : rows)
    for (std::string& cell : row) cell = OneLine(std::move(cell));
  std::vector<size_t> widths;
  for (const auto& row : rows)
    for (size_t c = 0; c + 1 < row.size(); ++c) {
      if (widths.size() <= c) widths.resize(c + 1, 0);
      widths[c] = std::max(widths[c], DisplayWidth(row[c]));
    }
  std::vector<std::string> lines;
  lines.reserve(rows.size());
  for (const auto& row : rows) {
    std::string line;
    for (size_t c = 0; c < row.size(); ++c) {
      line += row[c];
      if (c + 1 < row.size()) line.append(widths[c] - DisplayWidth(row[c]) + 2, ' ');
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace cli
