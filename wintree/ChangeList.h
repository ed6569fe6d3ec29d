// What changed on the desktop, as the window tree lists it: one row per window added or
// removed and per field of a window that changed, newest last, at most kMaxChangeRows (the
// oldest go first, and are counted). A window that changes again and again in the same field
// (an animation, a drag) is folded into the row of its first change for a second, with a count.
// Pure: events in the watch format in, rows and their texts out.
#pragma once
#include <windows.h>

#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/CsvFile.h"

namespace wintree {

// Events and values keep their fields in the order they were written, as snapshots do.
using Json = nlohmann::ordered_json;

constexpr size_t kMaxChangeRows = 100000;
// Changes of one field of one window within this time of its row's first are folded into it.
constexpr uint64_t kFoldMs = 1000;

enum class ChangeKind { kAdded, kRemoved, kChanged };

// A point in time as the system's file times count it: 100 ns since 1601, UTC.
using ChangeTime = uint64_t;
ChangeTime ChangeTimeNow();

struct ChangeRow {
  ChangeTime time = 0;  // of the first change the row holds
  ChangeKind kind = ChangeKind::kChanged;
  HWND hwnd = nullptr;
  std::wstring text;       // the window's text and class when the change was seen
  std::wstring className;
  std::string field;       // the field that changed, as the snapshot names it; empty unless kChanged
  Json from, to;  // its value before the first change and after the last
  uint32_t count = 1;      // changes folded into the row
};

// The list's columns.
enum ChangeColumn { kTimeColumn, kKindColumn, kWindowColumn, kItemColumn, kFromColumn, kToColumn, kChangeColumns };
platform::CsvRow ChangeHeadings();

class CChangeList {
 public:
  explicit CChangeList(size_t capacity = kMaxChangeRows) : m_capacity(capacity ? capacity : 1) {}

  // Takes one event of the watch format ({"op", "handle", "class", "text", "changes"}): a row
  // for an added or removed window, a row per changed field (or the field folded into its row).
  // An event that is not an object with a known op and a handle is skipped. Returns the rows
  // added (folding adds none).
  size_t Add(ChangeTime time, const Json& event);
  // Empties the list and the dropped count.
  void Clear();

  size_t Size() const { return m_rows.size(); }
  const ChangeRow& Row(size_t index) const { return m_rows[index]; }
  // Rows that left the front since the last Clear, to keep the list within its capacity.
  uint64_t Dropped() const { return m_dropped; }

 private:
  struct FoldKey {
    HWND hwnd;
    std::string field;
    bool operator==(const FoldKey& other) const { return hwnd == other.hwnd && field == other.field; }
  };
  struct FoldKeyHash {
    size_t operator()(const FoldKey& key) const {
      return std::hash<std::string>()(key.field) ^ (reinterpret_cast<UINT_PTR>(key.hwnd) * 2654435761u);
    }
  };
  void Push(ChangeRow row);
  // The row the change folds into, or null.
  ChangeRow* FoldTarget(const FoldKey& key, ChangeTime time);

  size_t m_capacity;
  std::deque<ChangeRow> m_rows;
  uint64_t m_dropped = 0;
  uint64_t m_firstSequence = 0;  // of m_rows.front(), counting every row since the last Clear
  std::unordered_map<FoldKey, uint64_t, FoldKeyHash> m_lastRowOf;
};

// The texts a row shows, column by column.
std::wstring TimeText(ChangeTime time);  // local HH:MM:SS.mmm
const char* KindText(ChangeKind kind);   // 追加, 削除, 変更
// `0x%08x "text" class`, control characters in the text shown as blanks.
std::wstring ChangeWindowText(const ChangeRow& row);
// A field's value as the properties view would show it: a rectangle as its corners and size,
// a window as its handle or "なし", yes or no, numbers, texts as they are.
std::wstring FieldValueText(const std::string& field, const Json& value);
std::wstring CellText(const ChangeRow& row, int column);
// The 変化 cell: the kind, with the count of a folded row.
std::wstring KindCellText(const ChangeRow& row);
platform::CsvRow RowCells(const ChangeRow& row);
// Rows as tab-separated lines, for the clipboard.
std::wstring RowsAsText(const CChangeList& list, const std::vector<size_t>& rows);

// ISO-8601 UTC with milliseconds ("2026-12-08T14:58:42.123Z"), as events carry their time.
std::string IsoTime(ChangeTime time);
// The rows as JSON Lines in the watch format, one event a line: the changed fields one window
// showed at one time in one event, a folded row with its "count". AppendJsonLine writes the
// event that starts at row at and returns the row after it.
size_t AppendJsonLine(const CChangeList& list, size_t at, std::string& out);
std::string JsonLines(const CChangeList& list);

}  // namespace wintree
