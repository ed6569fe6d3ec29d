// Quorvel's own copy of a log's messages: compact rows, capped with the oldest going first, the
// payloads (texts, positions) pooled so a text repeated a thousand times is held once and let
// go with the last row that names it, and the rows the filter shows.
#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "msglog/MessageDecoding.h"
#include "msglog/MessageFilter.h"
#include "msglog/hook/MessageRecord.h"

namespace msglog {

// Rows a store holds at most.
constexpr size_t kStoreCapacity = 1000000;
constexpr uint32_t kNoPayloadIndex = 0xFFFFFFFF;

struct StoredRow {
  uint64_t wParam;
  uint64_t lParam;
  uint64_t result;
  uint32_t timeMs;  // since logging started
  uint32_t hwnd;    // window handles carry 32 significant bits, for 64-bit programs too
  uint32_t message;
  uint32_t payload;  // index in the pool, or kNoPayloadIndex
  char kind;
  bool unicodeWindow;
  ControlKind windowKind;
};

// The payload a record carries, texts turned into UTF-8 (a narrow text from code page codePage).
Payload PayloadFromRecord(const MessageRecord& record, unsigned codePage);
// The row of a record, without its payload index; time from the counter's origin and frequency.
StoredRow RowFromRecord(const MessageRecord& record, uint64_t origin, uint64_t frequency, ControlKind windowKind);

class CMessageStore {
 public:
  explicit CMessageStore(size_t capacity = kStoreCapacity) : m_capacity(capacity) {}
  CMessageStore(const CMessageStore&) = delete;
  CMessageStore& operator=(const CMessageStore&) = delete;

  // Adds a row (its payload pooled), dropping the oldest when full. Returns the row's number.
  uint64_t Add(StoredRow row, const Payload& payload);
  // Forgets every row; the numbers shown start again at 1, as the status's count does.
  void Clear();

  size_t Size() const { return m_rows.size(); }
  // The 1-based number of the oldest row held; rows are numbered in the order they came.
  uint64_t FirstNumber() const { return m_firstNumber; }
  // The number a user sees for the row at index: counted from the last Clear.
  uint64_t ShownNumber(size_t index) const { return m_firstNumber + index - m_clearedBefore; }
  const StoredRow& At(size_t index) const { return m_rows[index]; }
  Payload PayloadOf(const StoredRow& row) const;
  // What the rows and the pool take, in bytes, roughly as the heap sees it.
  size_t MemoryBytes() const;

 private:
  size_t m_capacity;
  uint64_t m_firstNumber = 1;
  uint64_t m_clearedBefore = 0;
  // A pooled payload and the rows naming it; an entry no row names is empty and on m_free.
  struct PoolEntry {
    std::string bytes;
    uint32_t rows = 0;
  };
  void Release(uint32_t payload);

  std::deque<StoredRow> m_rows;
  std::deque<PoolEntry> m_pool;  // a deque: the index's keys point into entries that never move
  std::vector<uint32_t> m_free;
  std::unordered_map<std::string_view, uint32_t> m_poolIndex;
};

// The numbers of the rows a filter shows, kept up to date as rows come and go. With an empty
// filter it holds nothing and every row shows.
class CShownRows {
 public:
  // Starts over with the filter over the store's rows; name(row) gives a row's message name.
  template <class NameOf>
  void Reset(const CMessageFilter& filter, const CMessageStore& store, NameOf&& name) {
    m_filter = filter;
    m_numbers.clear();
    if (m_filter.ShowsEverything()) return;
    for (size_t i = 0; i < store.Size(); ++i)
      if (m_filter.Shows(name(store.At(i)))) m_numbers.push_back(store.FirstNumber() + i);
  }
  // A row just added with that number and name.
  void Added(uint64_t number, const std::string& name) {
    if (!m_filter.ShowsEverything() && m_filter.Shows(name)) m_numbers.push_back(number);
  }
  bool Filtering() const { return !m_filter.ShowsEverything(); }
  // Rows shown, and the store index of the n-th; rows the store dropped leave the view.
  size_t Count(const CMessageStore& store);
  size_t StoreIndex(const CMessageStore& store, size_t shown) const;
  void Clear() { m_numbers.clear(); }

 private:
  CMessageFilter m_filter;
  std::deque<uint64_t> m_numbers;
};

}  // namespace msglog
