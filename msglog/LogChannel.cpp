#include "msglog/LogChannel.h"

#include "platform/Handles.h"

namespace msglog {
namespace {

// A channel left claimed by a Quorvel that has ended may be taken over.
bool OwnerGone(DWORD pid) {
  if (pid == 0 || pid == ::GetCurrentProcessId()) return false;  // 0: being claimed right now
  platform::UniqueProcess process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!process) return ::GetLastError() == ERROR_INVALID_PARAMETER;  // no such process
  DWORD code = 0;
  return ::GetExitCodeProcess(process.get(), &code) && code != STILL_ACTIVE;
}

}  // namespace

std::wstring SharedMemoryName(DWORD threadId) { return kSharedMemoryPrefix + std::to_wstring(threadId); }

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
  if (log->magic == 0) {
    log->version = kSharedVersion;
    log->threadId = threadId;
    log->magic = kSharedMagic;
  } else if (log->magic != kSharedMagic || log->version != kSharedVersion) {
    *reason = "別の版の Quorvel がこのウィンドウのメッセージを記録しています。";
    return false;
  }

  Channel* taken = nullptr;
  for (Channel& channel : log->channels) {
    uint32_t expected = 0;
    if (channel.claimed.compare_exchange_strong(expected, 1) || OwnerGone(channel.ownerPid)) {
      taken = &channel;
      break;
    }
  }
  if (!taken) {
    *reason = "このスレッドのウィンドウはすでに記録中のものが多すぎます。ほかのメッセージログを閉じてください。";
    return false;
  }
  taken->active.store(0);
  taken->ownerPid = ::GetCurrentProcessId();
  taken->root.store(reinterpret_cast<UINT_PTR>(root));
  taken->children.store(children ? 1 : 0);
  // Records left from an earlier owner are skipped, never read as this log's.
  taken->readIndex.store(taken->writeIndex.load());
  taken->seen.store(0);
  taken->dropped.store(0);
  m_mapping = std::move(mapping);
  m_view = std::move(view);
  m_channel = taken;
  return true;
}

void CLogChannel::Close() {
  if (m_channel) {
    m_channel->active.store(0);
    m_channel->claimed.store(0);
  }
  m_channel = nullptr;
  m_view.reset();
  m_mapping.reset();
}

void CLogChannel::SetActive(bool active) {
  if (m_channel) m_channel->active.store(active ? 1 : 0, std::memory_order_release);
}

void CLogChannel::SetChildren(bool children) {
  if (m_channel) m_channel->children.store(children ? 1 : 0);
}

}  // namespace msglog
