#include "wintree/ChangeFollower.h"

#include <atomic>
#include <mutex>

#include "platform/Handles.h"
#include "platform/WorkerThread.h"

namespace wintree {

// What the dialog's thread and the worker share; the worker holds it as long as it runs, so a
// follower stopped or gone leaves it nothing dangling.
struct CChangeFollower::Shared {
  HWND notify = nullptr;
  UINT message = 0;
  WPARAM generation = 0;
  DWORD intervalMs = kFollowIntervalMs;
  FollowPass pass;
  platform::UniqueHandle wake;  // set to stop
  std::atomic<bool> stopping{false};

  std::mutex lock;  // guards what follows
  std::wstring narrowing;
  Found found;
  bool posted = false;  // a notice is on its way and not yet answered by Take
};

CChangeFollower::~CChangeFollower() { Stop(); }

bool CChangeFollower::Start(HWND notify, UINT message, FollowPass pass, DWORD intervalMs) {
  Stop();
  auto shared = std::make_shared<Shared>();
  shared->notify = notify;
  shared->message = message;
  shared->generation = ++m_generation;
  shared->intervalMs = intervalMs ? intervalMs : 1;
  shared->pass = std::move(pass);
  shared->wake.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!shared->wake) return false;
  // The worker's own reference, let go when it ends.
  if (!platform::StartWorkerThread([shared] { Run(*shared); })) return false;
  m_shared = std::move(shared);
  return true;
}

void CChangeFollower::Stop() {
  if (!m_shared) return;
  m_shared->stopping = true;
  ::SetEvent(m_shared->wake.get());
  m_shared.reset();
}

void CChangeFollower::SetNarrowing(const std::wstring& text) {
  if (!m_shared) return;
  std::lock_guard<std::mutex> guard(m_shared->lock);
  m_shared->narrowing = text;
}

CChangeFollower::Found CChangeFollower::Take() {
  Found found;
  if (!m_shared) return found;
  std::lock_guard<std::mutex> guard(m_shared->lock);
  found = std::move(m_shared->found);
  m_shared->found = Found();
  m_shared->posted = false;
  return found;
}

void CChangeFollower::Run(Shared& shared) {
  // The first read is the one the next ones compare with: the dialog hears that it is done.
  bool first = true;
  while (!shared.stopping) {
    const DWORD started = ::GetTickCount();
    std::wstring narrowing;
    {
      std::lock_guard<std::mutex> guard(shared.lock);
      narrowing = shared.narrowing;
    }
    FollowedPass pass;
    try {
      pass = shared.pass(narrowing);
    } catch (...) {
      // A pass that failed (memory) finds nothing this time; the next one reads anew.
      pass = FollowedPass();
    }
    if (shared.stopping) break;
    bool post = false;
    {
      std::lock_guard<std::mutex> guard(shared.lock);
      shared.found.read = true;
      if (!pass.events.empty()) {
        for (Json& event : pass.events) shared.found.events.emplace_back(pass.time, std::move(event));
        shared.found.windows = std::move(pass.windows);
      }
      if (!pass.events.empty() || first) {
        post = !shared.posted;
        shared.posted = true;
      }
      first = false;
    }
    if (post && !::PostMessageW(shared.notify, shared.message, shared.generation, 0)) {
      std::lock_guard<std::mutex> guard(shared.lock);
      shared.posted = false;
    }
    const DWORD took = ::GetTickCount() - started;
    const DWORD rest = took < shared.intervalMs ? (shared.intervalMs - took > took ? shared.intervalMs - took : took) : took;
    ::WaitForSingleObject(shared.wake.get(), rest);
  }
}

bool FollowedWindow(const platform::CTextSearch& search, HWND hwnd, const std::wstring& text,
                    const std::wstring& className, const std::wstring& process) {
  return search.Empty() || search.Contains(text) || search.Contains(className) || search.Contains(process) ||
         search.MatchesHandle(hwnd);
}

}  // namespace wintree
