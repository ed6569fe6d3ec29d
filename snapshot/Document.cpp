#include "snapshot/Document.h"

#include <windows.h>


#include "platform/Format.h"
#include "platform/Handles.h"
#include "platform/WideText.h"

namespace snapshot {
namespace {

// Where the nesting of the text first goes deeper than kMaxNesting, outside strings; npos when
// it never does. The parser keeps its own stack, but a value nested that deep would be written
// out again (diff's "from" and "to") by recursion.
size_t TooDeep(std::string_view text) {
  int depth = 0;
  bool inString = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (inString) {
      if (c == '\\')
        ++i;
      else if (c == '"')
        inString = false;
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > kMaxNesting) return i;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return std::string_view::npos;
}

bool Fail(LoadError* error, std::string reason) {
  error->reason = std::move(reason);
  error->line = error->column = 0;
  return false;
}

}  // namespace

std::string TimeNow() {
  SYSTEMTIME now{};
  ::GetSystemTime(&now);
  return platform::Format("%04u-%02u-%02uT%02u:%02u:%02u.%03uZ", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
                          now.wSecond, now.wMilliseconds);
}

Json DocumentJson(const Document& document) {
  Json json = Json::object();
  json["schema"] = kSchema;
  json["taken"] = document.taken;
  json["windows"] = Json::array();
  Json& windows = json["windows"];
  for (const Json& window : document.windows) windows.push_back(window);
  return json;
}

std::string LoadError::Text() const {
  if (!line) return reason;
  return reason + platform::Format(" at line %d, column %d", line, column);
}

void LineAndColumn(std::string_view text, size_t offset, int* line, int* column) {
  *line = 1;
  *column = 1;
  const size_t end = offset < text.size() ? offset : text.size();
  for (size_t i = 0; i < end; ++i) {
    if (text[i] == '\n') {
      ++*line;
      *column = 1;
    } else if ((static_cast<unsigned char>(text[i]) & 0xc0) != 0x80) {
      // A column counts characters, not the bytes of UTF-8.
      ++*column;
    }
  }
}

bool ParseDocument(std::string_view text, Document* document, LoadError* error) {
  const size_t deep = TooDeep(text);
  if (deep != std::string_view::npos) {
    error->reason = platform::Format("nested deeper than %d levels", kMaxNesting);
    LineAndColumn(text, deep, &error->line, &error->column);
    return false;
  }
  Json json;
  try {
    json = Json::parse(text.begin(), text.end());
  } catch (const Json::parse_error& failure) {
    // The library's byte is one past where it stopped reading.
    error->reason = "not JSON";
    const std::string what = failure.what();
    const size_t detail = what.find("syntax error");
    if (detail != std::string::npos) error->reason += ": " + what.substr(detail);
    LineAndColumn(text, failure.byte > 0 ? failure.byte - 1 : 0, &error->line, &error->column);
    return false;
  }
  if (!json.is_object()) return Fail(error, "not a snapshot: the document is not a JSON object");
  const auto schema = json.find("schema");
  if (schema == json.end() || !schema->is_string() || *schema != kSchema)
    return Fail(error, std::string("not a snapshot: \"schema\" is not \"") + kSchema + "\"");
  const auto windows = json.find("windows");
  if (windows == json.end() || !windows->is_array()) return Fail(error, "not a snapshot: \"windows\" is not an array");
  Document read;
  const auto taken = json.find("taken");
  if (taken != json.end() && taken->is_string()) read.taken = taken->get<std::string>();
  read.windows.reserve(windows->size());
  size_t index = 0;
  for (Json& window : *windows) {
    if (!window.is_object()) return Fail(error, platform::Format("window %u is not a JSON object", static_cast<unsigned>(index)));
    const auto handle = window.find("handle");
    const auto pid = window.find("pid");
    const auto className = window.find("class");
    if (handle == window.end() || !handle->is_string() || pid == window.end() || !pid->is_number_integer() ||
        className == window.end() || !className->is_string())
      return Fail(error, platform::Format("window %u lacks \"handle\", \"pid\" or \"class\"", static_cast<unsigned>(index)));
    read.windows.push_back(std::move(window));
    ++index;
  }
  *document = std::move(read);
  return true;
}

bool LoadDocument(const std::string& path, Document* document, LoadError* error) {
  const std::wstring widePath = platform::WideFromUtf8(path);
  const HANDLE opened = ::CreateFileW(widePath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (opened == INVALID_HANDLE_VALUE) {
    const DWORD code = ::GetLastError();
    return Fail(error, platform::Format("cannot open %s (%s)", path.c_str(),
                                        code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND
                                            ? "no such file"
                                            : platform::Format("error %lu", code).c_str()));
  }
  platform::UniqueHandle file(opened);
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size)) return Fail(error, "cannot read " + path);
  if (size.QuadPart > static_cast<LONGLONG>(kMaxDocumentBytes))
    return Fail(error, platform::Format("%s is larger than %u MB", path.c_str(), static_cast<unsigned>(kMaxDocumentBytes >> 20)));
  std::string text(static_cast<size_t>(size.QuadPart), '\0');
  DWORD got = 0;
  if (!text.empty() && (!::ReadFile(file.get(), &text[0], static_cast<DWORD>(text.size()), &got, nullptr) || got != text.size()))
    return Fail(error, "cannot read " + path);
  if (!ParseDocument(text, document, error)) {
    error->reason = path + ": " + error->reason;
    return false;
  }
  return true;
}

}  // namespace snapshot
