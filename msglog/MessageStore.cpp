#include "msglog/MessageStore.h"

#include <windows.h>

#include <cstring>

#include "platform/WideText.h"

namespace msglog {
namespace {

// Calls field(value) on each fixed-size field of the payload's kind, in the pool's order; a text
// and no payload have none.
template <class P, class Field>
void ForEachField(P& payload, Field field) {
  switch (payload.kind) {
    case Payload::WindowPos:
      field(payload.x), field(payload.y), field(payload.cx), field(payload.cy), field(payload.flags),
          field(payload.insertAfter);
      break;
    case Payload::Styles: field(payload.oldStyle), field(payload.newStyle); break;
    case Payload::Notify: field(payload.hwndFrom), field(payload.idFrom), field(payload.code); break;
    default: break;
  }
}

// A payload as pool bytes: its kind, then its fields (or its text).
std::string Pack(const Payload& payload) {
  std::string bytes(1, static_cast<char>(payload.kind));
  if (payload.kind == Payload::Text) bytes += payload.text;
  ForEachField(payload, [&bytes](const auto& value) {
    bytes.append(reinterpret_cast<const char*>(&value), sizeof(value));
  });
  return bytes;
}

Payload Unpack(const std::string& bytes) {
  Payload payload;
  payload.kind = static_cast<Payload::Kind>(bytes[0]);
  if (payload.kind == Payload::Text) payload.text = bytes.substr(1);
  size_t at = 1;
  ForEachField(payload, [&](auto& value) {
    std::memcpy(&value, bytes.data() + at, sizeof(value));
    at += sizeof(value);
  });
  return payload;
}

}  // namespace

Payload PayloadFromRecord(const MessageRecord& record, unsigned codePage) {
  Payload payload;
  switch (record.payloadKind) {
    case kText: {
      // The length is the writer's word: never more than the record's text holds.
      payload.kind = Payload::Text;
      const bool wideText = (record.flags & kTextWide) != 0;
      const uint32_t limit = wideText ? kMaxTextChars : static_cast<uint32_t>(sizeof(record.narrowText));
      const uint32_t length = record.textLength < limit ? record.textLength : limit;
      if (wideText) {
        std::wstring wide(length, L'\0');
        for (uint32_t i = 0; i < length; ++i) wide[i] = static_cast<wchar_t>(record.wideText[i]);
        payload.text = platform::Utf8FromWide(wide);
      } else {
        payload.text = platform::Utf8FromWide(platform::WideFromCodePage(std::string_view(record.narrowText, length), codePage));
      }
      break;
    }
    case kWindowPos:
      payload.kind = Payload::WindowPos;
      payload.x = record.windowPos.x;
      payload.y = record.windowPos.y;
      payload.cx = record.windowPos.cx;
      payload.cy = record.windowPos.cy;
      payload.flags = record.windowPos.flags;
      payload.insertAfter = record.windowPos.insertAfter;
      break;
    case kStyles:
      payload.kind = Payload::Styles;
      payload.oldStyle = record.styles.oldStyle;
      payload.newStyle = record.styles.newStyle;
      break;
    case kNotify:
      payload.kind = Payload::Notify;
      payload.hwndFrom = record.notify.hwndFrom;
      payload.idFrom = record.notify.idFrom;
      payload.code = record.notify.code;
      break;
    default:
      break;
  }
  return payload;
}

StoredRow RowFromRecord(const MessageRecord& record, uint64_t origin, uint64_t frequency, ControlKind windowKind) {
  StoredRow row{};
  row.wParam = record.wParam;
  row.lParam = record.lParam;
  row.result = record.result;
  const uint64_t ticks = record.time > origin ? record.time - origin : 0;
  // A time past what the column holds (49 days, or a forged one) is shown as its end.
  const uint64_t seconds = frequency ? ticks / frequency : 0;
  row.timeMs = seconds >= 0xFFFFFFFFull / 1000
                   ? 0xFFFFFFFFu
                   : static_cast<uint32_t>(seconds * 1000 + (frequency ? ticks % frequency * 1000 / frequency : 0));
  row.hwnd = static_cast<uint32_t>(record.hwnd);
  row.message = record.message;
  row.payload = kNoPayloadIndex;
  // A kind no hook writes is shown as unknown, never taken for one it resembles.
  const uint32_t kind = record.kind;
  row.kind = kind == kSent || kind == kPosted || kind == kReturned ? static_cast<char>(kind) : '?';
  row.unicodeWindow = (record.flags & kUnicodeWindow) != 0;
  row.windowKind = windowKind;
  return row;
}

uint64_t CMessageStore::Add(StoredRow row, const Payload& payload) {
  if (payload.kind != Payload::None) {
    std::string bytes = Pack(payload);
    auto known = m_poolIndex.find(bytes);
    if (known != m_poolIndex.end()) {
      row.payload = known->second;
    } else if (!m_free.empty()) {
      row.payload = m_free.back();
      m_free.pop_back();
      m_pool[row.payload].bytes = std::move(bytes);
      m_poolIndex.emplace(m_pool[row.payload].bytes, row.payload);
    } else {
      row.payload = static_cast<uint32_t>(m_pool.size());
      m_pool.push_back(PoolEntry{std::move(bytes), 0});
      m_poolIndex.emplace(m_pool.back().bytes, row.payload);
    }
    ++m_pool[row.payload].rows;
  }
  if (m_rows.size() >= m_capacity) {
    Release(m_rows.front().payload);
    m_rows.pop_front();
    ++m_firstNumber;
  }
  m_rows.push_back(row);
  return m_firstNumber + m_rows.size() - 1;
}

void CMessageStore::Release(uint32_t payload) {
  if (payload == kNoPayloadIndex || payload >= m_pool.size()) return;
  PoolEntry& entry = m_pool[payload];
  if (--entry.rows) return;
  m_poolIndex.erase(std::string_view(entry.bytes));
  std::string().swap(entry.bytes);
  m_free.push_back(payload);
}

void CMessageStore::Clear() {
  m_firstNumber += m_rows.size();
  m_clearedBefore = m_firstNumber - 1;
  m_rows.clear();
  m_rows.shrink_to_fit();
  m_poolIndex.clear();
  m_pool.clear();
  m_free.clear();
}

Payload CMessageStore::PayloadOf(const StoredRow& row) const {
  if (row.payload == kNoPayloadIndex || row.payload >= m_pool.size()) return Payload{};
  return Unpack(m_pool[row.payload].bytes);
}

size_t CMessageStore::MemoryBytes() const {
  size_t bytes = m_rows.size() * sizeof(StoredRow) + m_pool.size() * sizeof(PoolEntry) +
                 m_free.capacity() * sizeof(uint32_t) + m_poolIndex.bucket_count() * sizeof(void*);
  for (const PoolEntry& entry : m_pool) {
    // The text's heap block (short ones live in the string itself), and the index's node.
    if (entry.bytes.capacity() > 15) bytes += entry.bytes.capacity() + 1;
    if (entry.rows) bytes += sizeof(void*) * 2 + sizeof(std::string_view) + sizeof(uint32_t) + sizeof(size_t);
  }
  return bytes;
}

size_t CShownRows::Count(const CMessageStore& store) {
  if (!Filtering()) return store.Size();
  while (!m_numbers.empty() && m_numbers.front() < store.FirstNumber()) m_numbers.pop_front();
  return m_numbers.size();
}

size_t CShownRows::StoreIndex(const CMessageStore& store, size_t shown) const {
  if (!Filtering()) return shown;
  return static_cast<size_t>(m_numbers[shown] - store.FirstNumber());
}

}  // namespace msglog
