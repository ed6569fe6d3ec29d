// Quorvel's end of one log's shared memory: the target thread's mapping opened or created, one
// channel of it claimed for the logged window, and the records drained from its ring.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "msglog/hook/MessageRecord.h"
#include "platform/Handles.h"

namespace msglog {

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
  void Close();
  bool IsOpen() const { return m_channel != nullptr; }

  // Whether the hook writes this log's messages.
  void SetActive(bool active);
  void SetChildren(bool children);

  // Takes the oldest whole record; false when there is none yet.
  bool Read(MessageRecord& record) { return m_channel && ReadRecord(*m_channel, record); }
  // Messages the hook met for this log, and those of them a full ring dropped.
  uint32_t Seen() const { return m_channel ? m_channel->seen.load() : 0; }
  uint32_t Dropped() const { return m_channel ? m_channel->dropped.load() : 0; }

  // The channel itself (tests and the benchmark write into it as the hook does).
  Channel* Get() const { return m_channel; }

 private:
  platform::UniqueHandle m_mapping;
  platform::UniqueMappedView m_view;
  Channel* m_channel = nullptr;
};

// The shared memory's name for a thread.
std::wstring SharedMemoryName(DWORD threadId);

}  // namespace msglog
