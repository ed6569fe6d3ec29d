// A snapshot document: {"schema": "quorvel.snapshot/1", "taken": ISO-8601, "windows": [...]}.
// Written and read through the JSON library; a document read from a file is another program's
// writing and is checked before anything uses it.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "snapshot/Json.h"

namespace snapshot {

constexpr const char kSchema[] = "quorvel.snapshot/1";
// The deepest nesting a document may have: windows' fields are at most three levels deep.
constexpr int kMaxNesting = 64;
// The largest file read: far beyond any desktop's snapshot.
constexpr size_t kMaxDocumentBytes = 256u * 1024u * 1024u;

struct Document {
  std::string taken;
  std::vector<Json> windows;
};

// The time now as ISO-8601 in UTC with milliseconds: "2026-12-08T15:04:05.123Z".
std::string TimeNow();

Json DocumentJson(const Document& document);

// Why a document could not be read: the reason, and for a JSON syntax error where (1-based;
// 0 when the fault has no one place).
struct LoadError {
  std::string reason;
  int line = 0;
  int column = 0;
  // "reason" or "reason at line L, column C".
  std::string Text() const;
};

// The document in the text; false with the error when it is not JSON, not a snapshot, or a
// window lacks the fields that name it (handle, pid, class).
bool ParseDocument(std::string_view text, Document* document, LoadError* error);
// The same from a file (UTF-8 path); a file that cannot be read is an error too.
bool LoadDocument(const std::string& path, Document* document, LoadError* error);

// The 1-based line and column of a byte offset into text.
void LineAndColumn(std::string_view text, size_t offset, int* line, int* column);

}  // namespace snapshot
