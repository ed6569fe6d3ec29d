#include "wintree/DesktopReadWorker.h"

#include <condition_variable>
#include <mutex>
#include <thread>

#include "wintree/DesktopReader.h"

namespace wintree {

// Shared by the dialog's side and the thread, so the thread may outlive the worker.
struct CDesktopReadWorker::State {
  std::mutex lock;
  std::condition_variable wake;
  ReadFunction read;
  bool stop = false;
  unsigned requested = 0;  // the last generation asked for
  unsigned started = 0;    // the last generation the thread began
  bool owners = false;
  HWND notify = nullptr;
  UINT message = 0;
  std::optional<DesktopRead> done;
};

std::vector<WindowRecord> CDesktopReadWorker::ReadDesktopWithOwners(bool owners) {
  std::vector<WindowRecord> records = ReadDesktop();
  if (owners) ReadOwners(records);
  return records;
}

CDesktopReadWorker::CDesktopReadWorker(ReadFunction read) : m_state(std::make_shared<State>()) {
  m_state->read = std::move(read);
  std::thread([state = m_state] { Serve(state); }).detach();
}

CDesktopReadWorker::~CDesktopReadWorker() {
  std::lock_guard<std::mutex> hold(m_state->lock);
  m_state->stop = true;
  m_state->done.reset();
  m_state->wake.notify_all();
}

unsigned CDesktopReadWorker::Request(HWND notify, UINT message, bool owners) {
  std::lock_guard<std::mutex> hold(m_state->lock);
  // Never 0, which stands for no read.
  if (++m_state->requested == 0) ++m_state->requested;
  m_state->owners = owners;
  m_state->notify = notify;
  m_state->message = message;
  m_state->wake.notify_all();
  return m_state->requested;
}

std::optional<DesktopRead> CDesktopReadWorker::Take(unsigned generation) {
  std::lock_guard<std::mutex> hold(m_state->lock);
  if (!m_state->done || m_state->done->generation != generation || generation != m_state->requested)
    return std::nullopt;
  std::optional<DesktopRead> read = std::move(m_state->done);
  m_state->done.reset();
  return read;
}

unsigned CDesktopReadWorker::LastRequested() const {
  std::lock_guard<std::mutex> hold(m_state->lock);
  return m_state->requested;
}

bool CDesktopReadWorker::Reading() const {
  std::lock_guard<std::mutex> hold(m_state->lock);
  return m_state->requested != 0 && !(m_state->done && m_state->done->generation == m_state->requested);
}

void CDesktopReadWorker::Serve(const std::shared_ptr<State>& state) {
  std::unique_lock<std::mutex> hold(state->lock);
  for (;;) {
    state->wake.wait(hold, [&] { return state->stop || state->requested != state->started; });
    if (state->stop) return;
    DesktopRead read;
    read.generation = state->started = state->requested;
    read.ownersRead = state->owners;
    hold.unlock();
    // Nothing escapes the thread: a read that fails is an empty one.
    try {
      read.records = state->read(read.ownersRead);
    } catch (...) {
      read.records.clear();
    }
    hold.lock();
    if (state->stop) return;
    // A read overtaken by a newer request is dropped: the newer one follows at once.
    if (read.generation != state->requested) continue;
    state->done = std::move(read);
    ::PostMessageW(state->notify, state->message, state->done->generation, 0);
  }
}

}  // namespace wintree
