// What the message hook inside a target and Quorvel share: the shared memory's name and layout,
// and the record of one message. 32-bit and 64-bit code lay it out alike (fixed-width fields,
// handles and parameters widened to 64 bits), so either side may write and either may read.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace msglog {

// The hook DLL beside Quorvel.exe; its 64-bit build carries the suffix.
inline constexpr wchar_t kHookDllName[] = L"QuorvelHook.dll";
inline constexpr wchar_t kHookDll64Name[] = L"QuorvelHook64.dll";
// Exported undecorated by both builds.
inline constexpr char kCallWndProcName[] = "QuorvelCallWndProc";
inline constexpr char kCallWndProcRetName[] = "QuorvelCallWndProcRet";
inline constexpr char kGetMessageName[] = "QuorvelGetMessage";

// The shared memory of one target thread: this prefix and the thread id in decimal, which the
// hook finds from the thread it runs on.
inline constexpr wchar_t kSharedMemoryPrefix[] = L"Local\\QuorvelMessageLog.";
constexpr uint32_t kSharedMagic = 0x4C4D5651;  // "QVML"
constexpr uint32_t kSharedVersion = 2;

// Log dialogs (of any Quorvel) that may log windows of one thread at the same time.
constexpr uint32_t kChannelCount = 4;
// Records one channel's ring holds; a power of two, so indices may wrap at 2^32.
constexpr uint32_t kRingCapacity = 4096;
// Characters of text copied from a message into its record.
constexpr uint32_t kMaxTextChars = 256;

enum RecordKind : uint32_t {
  kSent = 'S',
  kPosted = 'P',
  kReturned = 'R',
};

// What a record's payload holds.
enum PayloadKind : uint32_t {
  kNoPayload = 0,
  kText = 1,       // text: UTF-16 when kTextWide is in flags, else bytes of the target's code page
  kWindowPos = 2,  // windowPos
  kStyles = 3,     // styles
  kNotify = 4,     // notify
};

enum RecordFlags : uint32_t {
  kTextWide = 1,       // the text is UTF-16
  kUnicodeWindow = 2,  // IsWindowUnicode of the record's window
};

struct WindowPosData {
  uint64_t insertAfter;
  int32_t x, y, cx, cy;
  uint32_t flags;
  uint32_t reserved;
};

struct StyleData {
  uint32_t oldStyle;
  uint32_t newStyle;
};

struct NotifyData {
  uint64_t hwndFrom;
  uint64_t idFrom;
  uint32_t code;
  uint32_t reserved;
};

struct MessageRecord {
  // Index + 1 of the ring position the record was written for, stored last: a reader takes
  // the record only once the stamp says it is whole.
  std::atomic<uint32_t> stamp;
  uint32_t kind;  // RecordKind
  uint32_t message;
  uint32_t payloadKind;  // PayloadKind
  uint32_t flags;        // RecordFlags
  uint32_t textLength;   // characters (UTF-16 units or bytes) in text
  uint64_t time;         // QueryPerformanceCounter
  uint64_t hwnd;
  uint64_t wParam;
  uint64_t lParam;
  uint64_t result;  // kReturned only
  union {
    uint16_t wideText[kMaxTextChars];
    char narrowText[kMaxTextChars * 2];
    WindowPosData windowPos;
    StyleData styles;
    NotifyData notify;
  };
};

// One log: the windows it wants, its counters and its ring. Written by the hook (every field
// from writeIndex on but readIndex) and read by one log dialog.
struct Channel {
  // 0 free, else the process id of the Quorvel holding it: claimed, and taken over from a
  // Quorvel that died, by one compare-and-swap, so two Quorvels never share a ring.
  std::atomic<uint32_t> owner;
  std::atomic<uint32_t> active;    // 1 while the dialog logs
  std::atomic<uint32_t> children;  // 1: descendants of root count as logged too
  uint32_t reserved;
  std::atomic<uint64_t> root;  // the logged window
  std::atomic<uint32_t> writeIndex;
  std::atomic<uint32_t> readIndex;  // written by the reader only; the hook reads it to see room
  std::atomic<uint32_t> seen;       // messages of logged windows the hook met while active
  std::atomic<uint32_t> dropped;    // of those, the ones a full ring had no room for
  MessageRecord records[kRingCapacity];
};

struct SharedLog {
  std::atomic<uint32_t> magic;  // stored last by the Quorvel that set the memory up
  uint32_t version;
  uint32_t threadId;
  std::atomic<uint32_t> settingUp;  // taken by the one Quorvel that writes the fields above
  // Unique to this memory. A memory made later under the same name has another, so a hook that
  // looks the name up again can tell whether it still holds the one Quorvel reads.
  uint64_t instance;
  // 1 once no Quorvel holds a channel here: a hook then looks the name up again at once.
  std::atomic<uint32_t> givenUp;
  // 1 while a hook on this thread passes the message at hand down the chain: a second copy of
  // the hook (another Quorvel's, from another DLL file too) then records it no second time.
  std::atomic<uint32_t> inChain;
  Channel channels[kChannelCount];
};

static_assert(sizeof(WindowPosData) == 32, "laid out alike in 32- and 64-bit code");
static_assert(offsetof(MessageRecord, time) == 24, "laid out alike in 32- and 64-bit code");
static_assert(offsetof(MessageRecord, wideText) == 64, "laid out alike in 32- and 64-bit code");
static_assert(sizeof(MessageRecord) == 64 + kMaxTextChars * 2, "laid out alike in 32- and 64-bit code");
static_assert(offsetof(Channel, root) == 16 && offsetof(Channel, records) == 40, "laid out alike in 32- and 64-bit code");
static_assert(sizeof(Channel) == 40 + kRingCapacity * sizeof(MessageRecord), "laid out alike in 32- and 64-bit code");
static_assert(offsetof(SharedLog, instance) == 16 && offsetof(SharedLog, channels) == 32,
              "laid out alike in 32- and 64-bit code");
static_assert(sizeof(SharedLog) == 32 + kChannelCount * sizeof(Channel), "laid out alike in 32- and 64-bit code");
static_assert(sizeof(std::atomic<uint32_t>) == 4 && sizeof(std::atomic<uint64_t>) == 8, "plain words");
static_assert(std::atomic<uint32_t>::is_always_lock_free && std::atomic<uint64_t>::is_always_lock_free,
              "two processes share these words: they must be lock-free, never guarded by a lock of one");
static_assert((kRingCapacity & (kRingCapacity - 1)) == 0, "indices wrap at 2^32");

// Writes one record into the channel's ring, or counts it as dropped when the ring is full.
// fill(record) writes every field but the stamp. Never blocks: a writer that loses a race for
// a position tries the next one, and a full ring is answered at once.
template <class Fill>
inline bool WriteRecord(Channel& channel, Fill&& fill) {
  channel.seen.fetch_add(1, std::memory_order_relaxed);
  uint32_t index = channel.writeIndex.load(std::memory_order_relaxed);
  for (;;) {
    const uint32_t read = channel.readIndex.load(std::memory_order_acquire);
    if (index - read >= kRingCapacity) {
      channel.dropped.fetch_add(1, std::memory_order_relaxed);
      return false;
    }
    if (channel.writeIndex.compare_exchange_weak(index, index + 1, std::memory_order_relaxed)) break;
  }
  MessageRecord& record = channel.records[index & (kRingCapacity - 1)];
  fill(record);
  record.stamp.store(index + 1, std::memory_order_release);
  return true;
}

// Copies the record at ring position index into out when its stamp says it is whole; false
// otherwise. Whatever the writer put in it is read once and bounded: a text length past the
// record's text is cut to it, a kind or payload kind is copied as it is for the reader to judge.
inline bool ReadRecord(const Channel& channel, uint32_t index, MessageRecord& out) {
  const MessageRecord& record = channel.records[index & (kRingCapacity - 1)];
  if (record.stamp.load(std::memory_order_acquire) != index + 1) return false;
  // Copied field by field: the stamp is atomic, the rest plain.
  out.kind = record.kind;
  out.message = record.message;
  out.payloadKind = record.payloadKind;
  out.flags = record.flags;
  out.textLength = record.textLength;
  out.time = record.time;
  out.hwnd = record.hwnd;
  out.wParam = record.wParam;
  out.lParam = record.lParam;
  out.result = record.result;
  static_assert(sizeof(out.wideText) >= sizeof(out.windowPos) && sizeof(out.wideText) >= sizeof(out.notify),
                "the text is the payload's widest member");
  const uint32_t unit = (out.flags & kTextWide) ? 2 : 1;
  const uint32_t maxUnits = sizeof(out.wideText) / unit;
  if (out.textLength > maxUnits) out.textLength = maxUnits;
  const size_t payloadBytes = out.payloadKind == kText ? out.textLength * unit : sizeof(out.windowPos);
  const char* from = reinterpret_cast<const char*>(&record.wideText);
  char* to = reinterpret_cast<char*>(&out.wideText);
  for (size_t i = 0; i < payloadBytes; ++i) to[i] = from[i];
  out.stamp.store(index + 1, std::memory_order_relaxed);
  return true;
}

}  // namespace msglog
