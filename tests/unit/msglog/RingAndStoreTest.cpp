// The shared ring between writers and the drain, and the store the drain fills: two writing
// threads racing a reader across many wrap-arounds, a full ring counting what it drops, a
// record being written never read, and the store's cap, pool and filtered view.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "msglog/LogChannel.h"
#include "msglog/LogColumns.h"
#include "msglog/MessageStore.h"
#include "msglog/hook/MessageRecord.h"

namespace {

using msglog::Channel;
using msglog::MessageRecord;

std::unique_ptr<Channel> NewChannel() {
  auto channel = std::make_unique<Channel>();
  std::memset(static_cast<void*>(channel.get()), 0, sizeof(Channel));
  return channel;
}

// Each record carries its writer in wParam and its count in lParam, and the same count in every
// payload byte, so a torn record shows as a mismatch.
void Fill(MessageRecord& record, uint32_t writer, uint32_t count) {
  record.kind = msglog::kPosted;
  record.message = WM_USER;
  record.wParam = writer;
  record.lParam = count;
  record.payloadKind = msglog::kText;
  record.flags = 0;
  record.textLength = 64;
  std::memset(record.narrowText, static_cast<int>(count & 0x7F) | 1, 64);
}

TEST(MessageRing, TwoWritersAndAReaderAcrossWrapAroundsLoseAndTearNothing) {
  auto channel = NewChannel();
  constexpr uint32_t kPerWriter = msglog::kRingCapacity * 20;
  std::atomic<bool> go{false};
  auto writer = [&](uint32_t id) {
    while (!go) std::this_thread::yield();
    for (uint32_t i = 0; i < kPerWriter;) {
      if (msglog::WriteRecord(*channel, [&](MessageRecord& r) { Fill(r, id, i); })) ++i;
      else std::this_thread::yield();
    }
  };
  msglog::CRingReader reader;
  reader.Start(*channel);
  std::thread first(writer, 1), second(writer, 2);
  go = true;
  uint32_t next[3] = {0, 0, 0};
  uint32_t read = 0, torn = 0, outOfOrder = 0;
  MessageRecord record;
  while (read < 2 * kPerWriter) {
    if (!reader.Next(*channel, record, 0)) continue;
    ++read;
    const uint32_t id = static_cast<uint32_t>(record.wParam), count = static_cast<uint32_t>(record.lParam);
    if (count != next[id]) ++outOfOrder;
    next[id] = count + 1;
    for (int b = 0; b < 64; ++b)
      if (record.narrowText[b] != static_cast<char>((count & 0x7F) | 1)) ++torn;
  }
  first.join();
  second.join();
  EXPECT_EQ(torn, 0u);
  EXPECT_EQ(outOfOrder, 0u);  // each writer's records come in its own order
  EXPECT_EQ(next[1], kPerWriter);
  EXPECT_EQ(next[2], kPerWriter);
  EXPECT_EQ(channel->seen.load(), 2 * kPerWriter + channel->dropped.load());
  EXPECT_FALSE(reader.Next(*channel, record, 0));
}

TEST(MessageRing, AFullRingDropsAndCountsAndARecordBeingWrittenIsNotRead) {
  auto channel = NewChannel();
  // Indices near the wrap of 32 bits, to cross it.
  channel->writeIndex = channel->readIndex = 0xFFFFFF00u;
  msglog::CRingReader reader;
  reader.Start(*channel);
  for (uint32_t i = 0; i < msglog::kRingCapacity + 10; ++i)
    msglog::WriteRecord(*channel, [&](MessageRecord& r) { Fill(r, 1, i); });
  EXPECT_EQ(channel->seen.load(), msglog::kRingCapacity + 10);
  EXPECT_EQ(channel->dropped.load(), 10u);
  MessageRecord record;
  for (uint32_t i = 0; i < msglog::kRingCapacity; ++i) {
    ASSERT_TRUE(reader.Next(*channel, record, 0));
    ASSERT_EQ(record.lParam, i);
  }
  EXPECT_FALSE(reader.Next(*channel, record, 0));

  // A writer that has taken a position but not finished: neither it nor what follows is read.
  bool inside = false;
  msglog::WriteRecord(*channel, [&](MessageRecord& r) {
    Fill(r, 1, 77);
    msglog::WriteRecord(*channel, [&](MessageRecord& later) { Fill(later, 2, 78); });
    inside = !reader.Next(*channel, record, 0);
  });
  EXPECT_TRUE(inside);
  ASSERT_TRUE(reader.Next(*channel, record, 0));
  EXPECT_EQ(record.lParam, 77u);
  ASSERT_TRUE(reader.Next(*channel, record, 0));
  EXPECT_EQ(record.lParam, 78u);
}

TEST(MessageStore, CapDropsTheOldestPoolsPayloadsAndTheFilteredViewFollows) {
  msglog::CMessageStore store(4);
  msglog::CShownRows shown;
  const msglog::NameContext names{nullptr, nullptr};
  msglog::Payload text;
  text.kind = msglog::Payload::Text;
  text.text = "same";
  auto add = [&](uint32_t message, uint32_t timeMs) {
    msglog::StoredRow row{};
    row.message = message;
    row.timeMs = timeMs;
    row.kind = 'S';
    row.hwnd = 0xABC;
    row.payload = msglog::kNoPayloadIndex;
    const uint64_t number = store.Add(row, message == WM_SETTEXT ? text : msglog::Payload{});
    shown.Added(number, msglog::RowMessageName(row, names));
  };
  shown.Reset(msglog::CMessageFilter("WM_SETTEXT"), store, [&](const msglog::StoredRow& r) { return msglog::RowMessageName(r, names); });
  for (uint32_t i = 0; i < 6; ++i) add(i % 2 ? WM_SETTEXT : WM_PAINT, 1000 * i + 5);
  EXPECT_EQ(store.Size(), 4u);
  EXPECT_EQ(store.FirstNumber(), 3u);
  EXPECT_EQ(store.At(0).payload, msglog::kNoPayloadIndex);
  EXPECT_EQ(store.At(1).payload, store.At(3).payload);  // one pooled text
  ASSERT_EQ(shown.Count(store), 2u);  // rows 4 and 6; row 2 left with the cap
  const size_t index = shown.StoreIndex(store, 0);
  EXPECT_EQ(msglog::CellText(store, index, msglog::kColNumber, names), "4");
  EXPECT_EQ(msglog::CellText(store, index, msglog::kColTime, names), "3.005");
  EXPECT_EQ(msglog::CellText(store, index, msglog::kColHandle, names), "0x00000abc");
  EXPECT_EQ(msglog::CellText(store, index, msglog::kColMessage, names), "WM_SETTEXT");
  EXPECT_EQ(msglog::CellText(store, index, msglog::kColResult, names), "");
  EXPECT_EQ(msglog::CellText(store, index, msglog::kColContent, names), "\"same\"");
  store.Clear();
  EXPECT_EQ(shown.Count(store), 0u);
  add(WM_SETTEXT, 1);
  EXPECT_EQ(msglog::CellText(store, 0, msglog::kColNumber, names), "1");
  EXPECT_EQ(msglog::CellText(store, 0, msglog::kColContent, names), "\"same\"");
}

// At the cap a text leaves with the last row naming it: memory stays where it is however long
// the log runs over distinct texts, and the rows left keep their own texts.
TEST(MessageStore, PooledTextsLeaveWithTheirLastRow) {
  msglog::CMessageStore store(4);
  const msglog::NameContext names{nullptr, nullptr};
  msglog::StoredRow row{};
  row.message = WM_SETTEXT, row.kind = 'S';
  msglog::Payload payload;
  payload.kind = msglog::Payload::Text;
  auto add = [&](const std::string& text) { payload.text = text, store.Add(row, payload); };
  const std::string shared(100, 's');  // named by the first rows, and again later
  add(shared), add(shared);
  size_t atCap = 0;
  for (int i = 1000; i < 2000; ++i) {
    add(std::to_string(i) + std::string(100, 'd'));
    if (i == 1010) atCap = store.MemoryBytes();
    if (i == 1500) add(shared);
  }
  EXPECT_EQ(store.MemoryBytes(), atCap);
  ASSERT_EQ(store.Size(), 4u);
  EXPECT_EQ(msglog::CellText(store, 0, msglog::kColContent, names), "\"1996" + std::string(100, 'd') + "\"");
  add(shared);
  EXPECT_EQ(msglog::CellText(store, 3, msglog::kColContent, names), "\"" + shared + "\"");
}

TEST(MessageStore, RecordsBecomeRowsAndPayloads) {
  MessageRecord record{};
  record.kind = msglog::kReturned;
  record.message = WM_GETTEXT;
  record.time = 1000 + 2500;
  record.hwnd = 0x1234;
  record.result = 3;
  record.flags = msglog::kTextWide | msglog::kUnicodeWindow;
  record.payloadKind = msglog::kText;
  record.textLength = 3;
  record.wideText[0] = L'a', record.wideText[1] = 0x65E5, record.wideText[2] = L'z';
  const msglog::StoredRow row = msglog::RowFromRecord(record, 1000, 1000, msglog::ControlKind::Edit);
  EXPECT_EQ(row.timeMs, 2500u);
  EXPECT_EQ(row.kind, 'R');
  EXPECT_TRUE(row.unicodeWindow);
  EXPECT_EQ(msglog::PayloadFromRecord(record, 932).text, "a\xE6\x97\xA5z");
  record.flags = 0;
  record.textLength = 4;
  std::memcpy(record.narrowText, "\x93\xFA" "ab", 4);
  EXPECT_EQ(msglog::PayloadFromRecord(record, 932).text, "\xE6\x97\xA5" "ab");
  record.payloadKind = msglog::kStyles;
  record.styles.oldStyle = 1, record.styles.newStyle = 2;
  const msglog::Payload styles = msglog::PayloadFromRecord(record, 932);
  EXPECT_EQ(styles.kind, msglog::Payload::Styles);
  EXPECT_EQ(styles.newStyle, 2u);
}

// The ring is writable by the logged program: forged records are bounded, shown as bare values,
// and never stop the reading of the real records behind them.
TEST(MessageRing, ForgedRecordsAreBoundedAndTheRealOnesAfterThemAreRead) {
  auto channel = NewChannel();
  msglog::CRingReader reader;
  reader.Start(*channel);
  auto forge = [&](uint32_t position, uint32_t stamp, uint32_t kind, uint32_t payloadKind, uint32_t flags) {
    MessageRecord& r = channel->records[position & (msglog::kRingCapacity - 1)];
    r.kind = kind, r.message = WM_SETTEXT, r.payloadKind = payloadKind, r.flags = flags, r.textLength = 0xFFFFFFFF;
    r.time = ~uint64_t{0}, r.wParam = position;
    std::memset(r.narrowText, 'A', sizeof(r.narrowText));
    r.stamp.store(stamp);
    channel->writeIndex.store(position + 1);
  };
  // An unknown kind with a wide text "of 0xFFFFFFFF characters", then a narrow one; a stamp from
  // the future; a real record with an unknown payload and a time far ahead.
  forge(0, 1, 'X', msglog::kText, msglog::kTextWide);
  forge(1, 2, 'X', msglog::kText, 0);
  forge(2, 3 + 7 * msglog::kRingCapacity, msglog::kSent, msglog::kText, 0);
  forge(3, 4, msglog::kPosted, 77, 0);

  msglog::CMessageStore store;
  const msglog::NameContext names{nullptr, nullptr};
  MessageRecord record;
  // The wide text is 256 times U+4141, the narrow one 512 times 'A'.
  for (const auto& [count, unit] : {std::pair<size_t, std::string>{msglog::kMaxTextChars, "\xE4\x85\x81"}, {512, "A"}}) {
    ASSERT_TRUE(reader.Next(*channel, record, 0));
    const msglog::Payload payload = msglog::PayloadFromRecord(record, CP_ACP);
    std::string expected;
    for (size_t i = 0; i < count; ++i) expected += unit;
    EXPECT_EQ(payload.text, expected);
    store.Add(msglog::RowFromRecord(record, 0, 1000, msglog::ControlKind::None), payload);
  }
  EXPECT_EQ(msglog::CellText(store, 0, msglog::kColKind, names), "?");
  EXPECT_EQ(msglog::CellText(store, 1, msglog::kColContent, names), "\"" + std::string(512, 'A') + "\"");
  // The hole is waited for a moment (a writer may be finishing it), then given up.
  EXPECT_FALSE(reader.Next(*channel, record, 100));
  EXPECT_FALSE(reader.Next(*channel, record, 100 + msglog::CRingReader::kHoleMs - 1));
  ASSERT_TRUE(reader.Next(*channel, record, 100 + msglog::CRingReader::kHoleMs));
  EXPECT_EQ(reader.Skipped(), 1u);
  EXPECT_EQ(record.wParam, 3u);
  store.Add(msglog::RowFromRecord(record, 0, 1000, msglog::ControlKind::None), msglog::PayloadFromRecord(record, CP_ACP));
  EXPECT_EQ(msglog::CellText(store, 2, msglog::kColContent, names), "");
  EXPECT_EQ(msglog::CellText(store, 2, msglog::kColTime, names), "4294967.295");

  // A write position no writer reaches: the reader starts again there, and reads what comes.
  channel->writeIndex.store(channel->writeIndex.load() + 100000);
  EXPECT_FALSE(reader.Next(*channel, record, 0));
  ASSERT_TRUE(msglog::WriteRecord(*channel, [](MessageRecord& r) { Fill(r, 3, 9); }));
  ASSERT_TRUE(reader.Next(*channel, record, 0));
  EXPECT_EQ(record.lParam, 9u);
  EXPECT_EQ(channel->readIndex.load(), channel->writeIndex.load());
}

// Another program moved the write position over thousands of positions nobody will write: the
// run goes in one step once its first hole has waited, so real records flow again within a
// second, before the writer finds the ring full. A write position moved behind the reader is
// started over from at once.
TEST(MessageRing, ARunOfHolesGoesInOneStepAndAPositionBehindTheReaderIsStartedOverFrom) {
  auto channel = NewChannel();
  msglog::CRingReader reader;
  reader.Start(*channel);
  MessageRecord record;
  constexpr uint32_t kRun = msglog::kRingCapacity - 96;
  channel->writeIndex.store(kRun);
  EXPECT_FALSE(reader.Next(*channel, record, 5000));
  // A writer that took its position during the wait gets its own time.
  ASSERT_TRUE(msglog::WriteRecord(*channel, [](MessageRecord& r) { Fill(r, 1, 1); }));
  channel->writeIndex.store(kRun + 2);
  EXPECT_FALSE(reader.Next(*channel, record, 5000 + msglog::CRingReader::kStuckMs - 1));
  ASSERT_TRUE(reader.Next(*channel, record, 5000 + msglog::CRingReader::kStuckMs));
  EXPECT_EQ(record.lParam, 1u);
  EXPECT_EQ(reader.Skipped(), kRun);
  EXPECT_EQ(channel->readIndex.load(), kRun + 1);
  EXPECT_FALSE(reader.Next(*channel, record, 5000 + msglog::CRingReader::kStuckMs));
  EXPECT_EQ(reader.Skipped(), kRun) << "the position taken later is waited for";
  // Without a whole record after it, the whole run still goes at once.
  channel->writeIndex.store(kRun + 2 + 3000);
  EXPECT_FALSE(reader.Next(*channel, record, 9000));
  EXPECT_FALSE(reader.Next(*channel, record, 9000 + msglog::CRingReader::kStuckMs));
  EXPECT_EQ(reader.Skipped(), kRun + 3001);
  EXPECT_EQ(channel->readIndex.load(), channel->writeIndex.load());
  ASSERT_TRUE(msglog::WriteRecord(*channel, [](MessageRecord& r) { Fill(r, 1, 2); }));
  ASSERT_TRUE(reader.Next(*channel, record, 9000 + msglog::CRingReader::kStuckMs));
  EXPECT_EQ(record.lParam, 2u);

  // Behind the reader by one and by a whole ring: read as far ahead, never as "a little back".
  for (const uint32_t back : {1u, msglog::kRingCapacity}) {
    const uint32_t at = channel->writeIndex.load() - back;
    channel->writeIndex.store(at);
    EXPECT_FALSE(reader.Next(*channel, record, 20000));
    EXPECT_EQ(channel->readIndex.load(), at);
    ASSERT_TRUE(msglog::WriteRecord(*channel, [back](MessageRecord& r) { Fill(r, 2, back); }));
    ASSERT_TRUE(reader.Next(*channel, record, 20000)) << back;
    EXPECT_EQ(record.lParam, back);
  }
  // One past a full ring ahead is no writer's either; a full ring ahead is, and is waited for.
  const uint32_t from = channel->writeIndex.load();
  channel->writeIndex.store(from + msglog::kRingCapacity);
  EXPECT_FALSE(reader.Next(*channel, record, 30000));
  EXPECT_EQ(channel->readIndex.load(), from);
  channel->writeIndex.store(from + msglog::kRingCapacity + 1);
  EXPECT_FALSE(reader.Next(*channel, record, 30000));
  EXPECT_EQ(channel->readIndex.load(), from + msglog::kRingCapacity + 1);
}

// Two Quorvels both see a dead Quorvel's channel: the one that takes it between the other's look
// and claim keeps it, and the other gets the next channel.
TEST(LogChannelClaim, ADeadOwnersChannelIsTakenOverOnlyByTheCompareAndSwap) {
  auto log = std::make_unique<msglog::SharedLog>();
  std::memset(static_cast<void*>(log.get()), 0, sizeof(msglog::SharedLog));
  constexpr uint32_t kDead = 0x7001, kOther = 0x7002, kSelf = 0x7003;
  for (msglog::Channel& channel : log->channels) channel.owner.store(kDead);
  std::vector<uint32_t> asked;
  const auto goneButTakenMeanwhile = [&](uint32_t pid) {
    asked.push_back(pid);
    if (asked.size() == 1) log->channels[0].owner.store(kOther);
    return pid == kDead;
  };
  EXPECT_EQ(msglog::ClaimChannel(*log, kSelf, goneButTakenMeanwhile), &log->channels[1]);
  EXPECT_EQ(log->channels[0].owner.load(), kOther);
  EXPECT_EQ(log->channels[1].owner.load(), kSelf);
  // Living owners are kept; with none free and none dead, nothing is claimed.
  for (msglog::Channel& channel : log->channels) channel.owner.store(kOther);
  EXPECT_EQ(msglog::ClaimChannel(*log, kSelf, [](uint32_t) { return false; }), nullptr);
  for (const msglog::Channel& channel : log->channels) EXPECT_EQ(channel.owner.load(), kOther);
  // A free channel is claimed without asking about anyone.
  log->channels[2].owner.store(0);
  asked.clear();
  EXPECT_EQ(msglog::ClaimChannel(*log, kSelf, [&](uint32_t pid) { asked.push_back(pid); return false; }), &log->channels[2]);
  EXPECT_EQ(asked.size(), 2u);
}

}  // namespace
