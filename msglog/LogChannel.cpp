#include "msglog/LogChannel.h"

#include <atomic>

#include "platform/Handles.h"

namespace msglog {
namespace {

// A channel left claimed by a Quorvel that has ended may be taken over.
bool OwnerGone(DWORD pid) {
  if (pid == 0 || pid == ::GetCurrentProcessId()) return false;
  platform::UniqueProcess process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!process) return ::GetLastError() == ERROR_INVALID_PARAMETER;  // no such process
  DWORD code = 0;
  return ::GetExitCodeProcess(process.get(), &code) && code != STILL_ACTIVE;
}

// A value no other memory made under the same name holds.
uint64_t NewInstance() {
  static std::atomic<uint32_t> made{0};
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return (static_cast<uint64_t>(::GetCurrentProcessId()) << 40) ^ static_cast<uint64_t>(now.QuadPart) ^
         (static_cast<uint64_t>(++made) << 24);
}

// Writes the header of a memory just made, or waits (briefly) for the Quorvel writing it.
bool SetUp(SharedLog& log, DWORD threadId) {
  uint32_t free = 0;
  if (log.settingUp.compare_exchange_strong(free, 1)) {
    if (log.magic.load() == 0) {
      log.version = kSharedVersion;
      log.threadId = threadId;
      log.instance = NewInstance();
      log.magic.store(kSharedMagic, std::memory_order_release);
    }
    return true;
  }
  for (int i = 0; i < 200 && log.magic.load(std::memory_order_acquire) == 0; ++i) ::Sleep(1);
  return log.magic.load(std::memory_order_acquire) != 0;
}

}  // namespace

std::wstring SharedMemoryName(DWORD threadId) { return kSharedMemoryPrefix + std::to_wstring(threadId); }

void CRingReader::Start(Channel& channel) {
  m_index = channel.writeIndex.load(std::memory_order_acquire);
  m_waiting = false;
  m_skipped = 0;
  channel.readIndex.store(m_index, std::memory_order_release);
}

void CRingReader::Advance(Channel& channel, uint32_t to) {
  m_index = to;
  m_waiting = false;
  channel.readIndex.store(m_index, std::memory_order_release);
}

bool CRingReader::Next(Channel& channel, MessageRecord& out, uint32_t nowMs) {
  if (ReadRecord(channel, m_index, out)) {
    Advance(channel, m_index + 1);
    return true;
  }
  const uint32_t write = channel.writeIndex.load(std::memory_order_acquire);
  // Unsigned on purpose: a write position behind the reader is "far ahead", and started over.
  const uint32_t ahead = write - m_index;
  if (ahead == 0) {
    m_waiting = false;
    return false;
  }
  if (ahead > kRingCapacity) {
    // No writer gets that far ahead of the reader: start again where the writer says it is.
    m_skipped += 1;
    Advance(channel, write);
    return false;
  }
  if (!m_waiting) {
    m_waiting = true;
    m_waitingSince = nowMs;
    m_waitingUpTo = write;
  }
  MessageRecord later;
  const bool laterWhole = ahead > 1 && ReadRecord(channel, m_index + 1, later);
  if (nowMs - m_waitingSince < (laterWhole ? kHoleMs : kStuckMs)) return false;
  // Every position below m_waitingUpTo had been taken when the wait began, so each has had its
  // time: the run of them still unstamped goes in one step, up to the first whole record.
  const uint32_t run = m_waitingUpTo - m_index;
  uint32_t skip = 1;
  while (skip < run && !ReadRecord(channel, m_index + skip, later)) ++skip;
  m_skipped += skip;
  Advance(channel, m_index + skip);
  return Next(channel, out, nowMs);
}

Channel* ClaimChannel(SharedLog& log, uint32_t self, const std::function<bool(uint32_t pid)>& ownerGone) {
  for (Channel& channel : log.channels) {
    uint32_t holder = 0;
    if (channel.owner.compare_exchange_strong(holder, self)) return &channel;
    // Another Quorvel may take the dead one's channel between the look and the claim: only the
    // compare-and-swap from the dead one's id decides.
    if (holder != self && ownerGone(holder) && channel.owner.compare_exchange_strong(holder, self)) return &channel;
  }
  return nullptr;
}

bool CLogChannel::Open(DWORD threadId, HWND root, bool children, std::string* reason) {
  Close();
  const std::wstring name = SharedMemoryName(threadId);
  platform::UniqueHandle mapping(
      ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(SharedLog), name.c_str()));
  if (!mapping) {
    *reason = "記録用の共有メモリを作れません。";
    return false;
  }
  platform::UniqueMappedView view(::MapViewOfFile(mapping.get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(SharedLog)));
  if (!view) {
    *reason = "記録用の共有メモリを開けません。";
    return false;
  }
  SharedLog* log = static_cast<SharedLog*>(view.get());
  if (!SetUp(*log, threadId) || log->magic.load() != kSharedMagic || log->version != kSharedVersion) {
    *reason = "別の版の Quorvel がこのウィンドウのメッセージを記録しています。";
    return false;
  }

  Channel* taken = ClaimChannel(*log, ::GetCurrentProcessId(), OwnerGone);
  if (!taken) {
    *reason = "このスレッドのウィンドウはすでに記録中のものが多すぎます。ほかのメッセージログを閉じてください。";
    return false;
  }
  taken->active.store(0);
  taken->root.store(reinterpret_cast<UINT_PTR>(root));
  taken->children.store(children ? 1 : 0);
  m_reader.Start(*taken);
  taken->seen.store(0);
  taken->dropped.store(0);
  log->givenUp.store(0);
  m_mapping = std::move(mapping);
  m_view = std::move(view);
  m_log = log;
  m_channel = taken;
  return true;
}

void CLogChannel::Close() {
  if (m_channel) {
    m_channel->active.store(0);
    uint32_t self = ::GetCurrentProcessId();
    m_channel->owner.compare_exchange_strong(self, 0);
    bool held = false;
    for (const Channel& channel : m_log->channels) held = held || channel.owner.load() != 0;
    if (!held) m_log->givenUp.store(1);
  }
  m_channel = nullptr;
  m_log = nullptr;
  m_view.reset();
  m_mapping.reset();
}

void CLogChannel::SetActive(bool active) {
  if (m_channel) m_channel->active.store(active ? 1 : 0, std::memory_order_release);
}

void CLogChannel::SetChildren(bool children) {
  if (m_channel) m_channel->children.store(children ? 1 : 0);
}

bool CLogChannel::Read(MessageRecord& record) {
  if (!m_channel) return false;
  // Another Quorvel may have said the memory was given up just as this one claimed it.
  if (m_log->givenUp.load(std::memory_order_relaxed)) m_log->givenUp.store(0);
  return m_reader.Next(*m_channel, record, ::GetTickCount());
}

}  // namespace msglog
