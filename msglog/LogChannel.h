// Quorvel's end of one log's shared memory: the target thread's mapping opened or created, one
// channel of it claimed for the logged window, and the records drained from its ring.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "msglog/hook/MessageRecord.h"
#include "platform/Handles.h"

namespace msglog {

// Reads one channel's ring. The memory is writable by the logged program and any program of the
// same user, so the reader keeps its own position and bounds every record: nothing written into
// the ring can make it read past a record, stop for good, or show a record twice.
class CRingReader {
 public:
  // How long a position the writer took may stay unstamped before it is given up: a writer
  // stamps its record within microseconds, unless it died or lied. Sooner when a later record
  // is whole already.
  static constexpr uint32_t kStuckMs = 1000;
  static constexpr uint32_t kHoleMs = 50;

  // Starts at the writer's position: records left from before are never read as this log's.
  void Start(Channel& channel);
  // Takes the next whole record into out; false when there is none yet. A position that stays
  // unstamped is skipped after kHoleMs when a later record is whole, else after kStuckMs, with
  // every unstamped position after it that had been taken by then (a run of holes another
  // program made by moving the write position goes in one step).
  bool Next(Channel& channel, MessageRecord& out, uint32_t nowMs);
  // Positions given up so far.
  uint32_t Skipped() const { return m_skipped; }

 private:
  void Advance(Channel& channel, uint32_t to);
  uint32_t m_index = 0;
  bool m_waiting = false;
  uint32_t m_waitingSince = 0;
  uint32_t m_waitingUpTo = 0;  // the write position when the wait began
  uint32_t m_skipped = 0;
};

class CLogChannel {
 public:
  CLogChannel() = default;
  CLogChannel(const CLogChannel&) = delete;
  CLogChannel& operator=(const CLogChannel&) = delete;
  // Gives the channel back; the hook stops writing to it at once.
  ~CLogChannel() { Close(); }

  // Claims a channel of the thread's shared memory for the window; false with the reason when
  // the memory cannot be had or every channel is held by a running Quorvel.
  bool Open(DWORD threadId, HWND root, bool children, std::string* reason);
  // Gives the channel back; once no Quorvel holds a channel, the memory says it was given up,
  // so the hook lets it go and finds the next one made under the name.
  void Close();
  bool IsOpen() const { return m_channel != nullptr; }

  // Whether the hook writes this log's messages.
  void SetActive(bool active);
  void SetChildren(bool children);

  // Takes the oldest whole record; false when there is none yet.
  bool Read(MessageRecord& record);
  // Messages the hook met for this log, and those of them a full ring dropped or the reader
  // had to give up.
  uint32_t Seen() const { return m_channel ? m_channel->seen.load() : 0; }
  uint32_t Dropped() const { return m_channel ? m_channel->dropped.load() + m_reader.Skipped() : 0; }

  // The channel itself (tests and the benchmark write into it as the hook does).
  Channel* Get() const { return m_channel; }

 private:
  platform::UniqueHandle m_mapping;
  platform::UniqueMappedView m_view;
  SharedLog* m_log = nullptr;
  Channel* m_channel = nullptr;
  CRingReader m_reader;
};

// Claims a free channel of the memory for the process self, or takes over one whose owner
// ownerGone says has ended, each by one compare-and-swap; null when every channel is held.
Channel* ClaimChannel(SharedLog& log, uint32_t self, const std::function<bool(uint32_t pid)>& ownerGone);

// The shared memory's name for a thread.
std::wstring SharedMemoryName(DWORD threadId);

}  // namespace msglog
