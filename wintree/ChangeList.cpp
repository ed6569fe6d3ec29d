#include "wintree/ChangeList.h"

#include "platform/RowCopy.h"

#include "platform/Format.h"
#include "platform/Target.h"
#include "platform/WideText.h"
#include "properties/PropertyRows.h"

namespace wintree {

namespace {

constexpr ChangeTime kTicksPerMs = 10000;

std::wstring Utf8Text(const Json& value) {
  return value.is_string() ? platform::WideFromUtf8(value.get_ref<const std::string&>()) : std::wstring();
}

// A text on one line: control characters as blanks.
std::wstring OneLine(std::wstring text) {
  for (wchar_t& c : text)
    if (c < L' ') c = L' ';
  return text;
}

const Json& Member(const Json& object, const char* name) {
  static const Json kNull;
  auto found = object.find(name);
  return found == object.end() ? kNull : *found;
}

}  // namespace

ChangeTime ChangeTimeNow() {
  FILETIME now{};
  ::GetSystemTimeAsFileTime(&now);
  return (static_cast<ChangeTime>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

platform::CsvRow ChangeHeadings() {
  return {L"時刻", L"変化", L"ウィンドウ", L"項目", L"変更前", L"変更後"};
}

size_t CChangeList::Add(ChangeTime time, const Json& event) {
  if (!event.is_object()) return 0;
  const Json& op = Member(event, "op");
  const Json& handle = Member(event, "handle");
  if (!op.is_string() || !handle.is_string()) return 0;
  ChangeRow row;
  row.time = time;
  row.hwnd = platform::ParseHandleText(handle.get_ref<const std::string&>());
  row.text = Utf8Text(Member(event, "text"));
  row.className = Utf8Text(Member(event, "class"));
  const std::string& kind = op.get_ref<const std::string&>();
  if (kind == "added" || kind == "removed") {
    row.kind = kind == "added" ? ChangeKind::kAdded : ChangeKind::kRemoved;
    Push(std::move(row));
    return 1;
  }
  if (kind != "changed") return 0;
  const Json& changes = Member(event, "changes");
  if (!changes.is_object()) return 0;
  size_t added = 0;
  for (auto change = changes.begin(); change != changes.end(); ++change) {
    if (!change->is_object()) continue;
    FoldKey key{row.hwnd, change.key()};
    if (ChangeRow* folded = FoldTarget(key, time)) {
      folded->to = Member(*change, "to");
      folded->text = row.text;
      ++folded->count;
      continue;
    }
    ChangeRow fieldRow = row;
    fieldRow.field = change.key();
    fieldRow.from = Member(*change, "from");
    fieldRow.to = Member(*change, "to");
    m_lastRowOf[key] = m_firstSequence + m_rows.size();
    Push(std::move(fieldRow));
    ++added;
  }
  return added;
}

ChangeRow* CChangeList::FoldTarget(const FoldKey& key, ChangeTime time) {
  auto found = m_lastRowOf.find(key);
  if (found == m_lastRowOf.end() || found->second < m_firstSequence) return nullptr;
  ChangeRow& row = m_rows[static_cast<size_t>(found->second - m_firstSequence)];
  return time >= row.time && time - row.time <= kFoldMs * kTicksPerMs ? &row : nullptr;
}

void CChangeList::Push(ChangeRow row) {
  m_rows.push_back(std::move(row));
  while (m_rows.size() > m_capacity) {
    m_rows.pop_front();
    ++m_firstSequence;
    ++m_dropped;
  }
  // Folding looks back at most a second: the keys of rows gone are let go now and then, so
  // the map stays within a few times the list.
  if (m_lastRowOf.size() > 2 * m_capacity + 64) {
    for (auto it = m_lastRowOf.begin(); it != m_lastRowOf.end();)
      it = it->second < m_firstSequence ? m_lastRowOf.erase(it) : std::next(it);
  }
}

void CChangeList::Clear() {
  m_rows.clear();
  m_lastRowOf.clear();
  m_dropped = 0;
  m_firstSequence = 0;
}

std::wstring TimeText(ChangeTime time) {
  FILETIME utc{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)}, local{};
  SYSTEMTIME at{};
  if (!::FileTimeToLocalFileTime(&utc, &local) || !::FileTimeToSystemTime(&local, &at)) return L"";
  return platform::WidenAnsi(platform::Format("%02u:%02u:%02u.%03u", at.wHour, at.wMinute, at.wSecond, at.wMilliseconds));
}

std::string IsoTime(ChangeTime time) {
  FILETIME utc{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
  SYSTEMTIME at{};
  if (!::FileTimeToSystemTime(&utc, &at)) return "";
  return platform::Format("%04u-%02u-%02uT%02u:%02u:%02u.%03uZ", at.wYear, at.wMonth, at.wDay, at.wHour, at.wMinute,
                          at.wSecond, at.wMilliseconds);
}

const char* KindText(ChangeKind kind) {
  switch (kind) {
    case ChangeKind::kAdded: return "追加";
    case ChangeKind::kRemoved: return "削除";
    case ChangeKind::kChanged: return "変更";
  }
  return "";
}

std::wstring KindCellText(const ChangeRow& row) {
  std::string text = KindText(row.kind);
  if (row.count > 1) text += platform::Format(" (%u 回)", row.count);
  return platform::WidenAnsi(text);
}

std::wstring ChangeWindowText(const ChangeRow& row) {
  return platform::WidenAnsi(platform::FormatHandle(row.hwnd)) + L" \"" + OneLine(row.text) + L"\" " +
         OneLine(row.className);
}

std::wstring FieldValueText(const std::string& field, const Json& value) {
  // A relation that names no window is none; any other field the system would not give.
  if (value.is_null()) {
    const bool relation = field == "parent" || field == "owner" || field == "rootOwner" || field == "firstChild" ||
                          field == "next" || field == "previous";
    return platform::WidenAnsi(relation ? "なし" : "(読めません)");
  }
  if (value.is_boolean()) return platform::WidenAnsi(value.get<bool>() ? "はい" : "いいえ");
  if (value.is_string()) return OneLine(Utf8Text(value));
  if (value.is_number_integer()) return platform::WidenAnsi(value.dump());
  if ((field == "rect" || field == "clientRect") && value.is_array() && value.size() == 4) {
    RECT rect{};
    LONG* corners[] = {&rect.left, &rect.top, &rect.right, &rect.bottom};
    bool numbers = true;
    for (size_t i = 0; i < 4; ++i) {
      numbers = numbers && value[i].is_number_integer();
      if (numbers) *corners[i] = value[i].get<LONG>();
    }
    if (numbers) return platform::WidenAnsi(properties::RectText(rect));
  }
  if (value.is_array()) {
    std::wstring text;
    for (const Json& element : value) {
      if (!text.empty()) text += L' ';
      text += element.is_string() ? OneLine(Utf8Text(element)) : platform::WideFromUtf8(element.dump());
    }
    return text;
  }
  return OneLine(platform::WideFromUtf8(value.dump(-1, ' ', false, Json::error_handler_t::replace)));
}

std::wstring CellText(const ChangeRow& row, int column) {
  switch (column) {
    case kTimeColumn: return TimeText(row.time);
    case kKindColumn: return KindCellText(row);
    case kWindowColumn: return ChangeWindowText(row);
    case kItemColumn: return row.kind == ChangeKind::kChanged ? properties::FieldItemName(row.field) : std::wstring();
    case kFromColumn: return row.kind == ChangeKind::kChanged ? FieldValueText(row.field, row.from) : std::wstring();
    case kToColumn: return row.kind == ChangeKind::kChanged ? FieldValueText(row.field, row.to) : std::wstring();
  }
  return L"";
}

platform::CsvRow RowCells(const ChangeRow& row) {
  platform::CsvRow cells;
  for (int column = 0; column < kChangeColumns; ++column) cells.push_back(CellText(row, column));
  return cells;
}

std::wstring RowsAsText(const CChangeList& list, const std::vector<size_t>& rows) {
  std::wstring text;
  for (size_t index : rows) {
    if (index >= list.Size()) continue;
    text += platform::CopiedRow(RowCells(list.Row(index)));
  }
  return text;
}

size_t AppendJsonLine(const CChangeList& list, size_t at, std::string& out) {
  if (at >= list.Size()) return list.Size();
  const ChangeRow& first = list.Row(at);
  Json event = {{"time", IsoTime(first.time)},
                          {"op", first.kind == ChangeKind::kAdded     ? "added"
                                 : first.kind == ChangeKind::kRemoved ? "removed"
                                                                      : "changed"},
                          {"handle", platform::FormatHandle(first.hwnd)},
                          {"class", platform::Utf8FromWide(first.className)},
                          {"text", platform::Utf8FromWide(first.text)}};
  size_t next = at + 1;
  if (first.kind == ChangeKind::kChanged) {
    Json changes = Json::object();
    changes[first.field] = {{"from", first.from}, {"to", first.to}};
    if (first.count > 1) {
      event["count"] = first.count;
    } else {
      // The other fields the same window showed at the same read, unfolded, in the same event.
      for (; next < list.Size(); ++next) {
        const ChangeRow& row = list.Row(next);
        if (row.kind != ChangeKind::kChanged || row.hwnd != first.hwnd || row.time != first.time || row.count > 1 ||
            changes.contains(row.field))
          break;
        changes[row.field] = {{"from", row.from}, {"to", row.to}};
      }
    }
    event["changes"] = std::move(changes);
  }
  out += event.dump(-1, ' ', false, Json::error_handler_t::replace);
  out += '\n';
  return next;
}

std::string JsonLines(const CChangeList& list) {
  std::string out;
  for (size_t at = 0; at < list.Size();) at = AppendJsonLine(list, at, out);
  return out;
}

}  // namespace wintree
