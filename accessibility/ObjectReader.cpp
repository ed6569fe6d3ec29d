#include "accessibility/ObjectReader.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <utility>

#include "accessibility/ObjectCalls.h"
#include "platform/Com.h"
#include "platform/Handles.h"

namespace accessibility {

struct CObjectReader::Shared {
  HWND window = nullptr;
  HWND notify = nullptr;
  UINT message = 0;
  platform::UniqueHandle wake;
  std::mutex lock;
  std::deque<Ask> asks;
  std::vector<Answer> answers;
  // Read by the thread between calls without the lock.
  std::atomic<bool> abandoned{false};
  bool busy = false;
  DWORD busySince = 0;
  Ask current;
};

namespace {

// Waits for the next question, answering the thread's messages meanwhile (COM's calls into
// this apartment come as messages). False once the reader was abandoned.
bool NextAsk(CObjectReader::Shared& shared, Ask* ask) {
  for (;;) {
    {
      std::lock_guard<std::mutex> guard(shared.lock);
      if (shared.abandoned) return false;
      if (!shared.asks.empty()) {
        *ask = shared.asks.front();
        shared.current = *ask;
        shared.asks.pop_front();
        shared.busy = true;
        shared.busySince = ::GetTickCount();
        return true;
      }
    }
    HANDLE wake = shared.wake.get();
    ::MsgWaitForMultipleObjects(1, &wake, FALSE, INFINITE, QS_ALLINPUT);
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
}

// Hands an answer to the dialog before its question is done; the wait starts anew.
void Hand(CObjectReader::Shared& shared, Answer&& answer) {
  std::lock_guard<std::mutex> guard(shared.lock);
  Check(shared.abandoned);
  shared.busySince = ::GetTickCount();
  shared.answers.push_back(std::move(answer));
  ::PostMessageA(shared.notify, shared.message, 0, 0);
}

// The first question waiting about one object (its details, its default action), if any.
bool TakeQuick(CObjectReader::Shared& shared, Ask* ask) {
  std::lock_guard<std::mutex> guard(shared.lock);
  auto quick = std::find_if(shared.asks.begin(), shared.asks.end(), [](const Ask& queued) {
    return queued.kind == AskKind::Details || queued.kind == AskKind::DefaultAction;
  });
  if (quick == shared.asks.end()) return false;
  *ask = *quick;
  shared.asks.erase(quick);
  return true;
}

DWORD WINAPI ReaderThread(void* param) {
  std::shared_ptr<CObjectReader::Shared> shared;
  {
    std::unique_ptr<std::shared_ptr<CObjectReader::Shared>> handed(
        static_cast<std::shared_ptr<CObjectReader::Shared>*>(param));
    shared = *handed;
  }
  platform::CComScope com;
  try {
    // Declared inside the apartment's scope: every object is released before COM goes.
    CObjectStore store;
    // Between two batches of a long branch, the questions about one object are answered
    // first, so a click on an item does not wait for the whole branch.
    const Deliver deliver = [&shared, &store](Answer&& batch) {
      Hand(*shared, std::move(batch));
      Ask quick;
      while (TakeQuick(*shared, &quick)) Hand(*shared, Respond(shared->abandoned, quick, shared->window, store, {}));
    };
    Ask ask;
    while (NextAsk(*shared, &ask)) {
      Hand(*shared, Respond(shared->abandoned, ask, shared->window, store, deliver));
      std::lock_guard<std::mutex> guard(shared->lock);
      shared->busy = false;
    }
  } catch (const Abandoned&) {
    // The dialog is gone; what was read went with the store.
  } catch (const std::exception& failure) {
    // The dialog shows the questions left as unanswered.
    std::printf("ObjectReader: reading failed: %s\n", failure.what());
    std::fflush(stdout);
  } catch (...) {
    std::printf("ObjectReader: reading failed: unknown exception\n");
    std::fflush(stdout);
  }
  return 0;
}

}  // namespace

CObjectReader::CObjectReader(HWND window, HWND notify, UINT message) : m_shared(std::make_shared<Shared>()) {
  m_shared->window = window;
  m_shared->notify = notify;
  m_shared->message = message;
  m_shared->wake.reset(::CreateEventA(nullptr, FALSE, FALSE, nullptr));
  if (!m_shared->wake) return;
  auto handed = std::make_unique<std::shared_ptr<Shared>>(m_shared);
  platform::UniqueHandle thread(::CreateThread(nullptr, 0, ReaderThread, handed.get(), 0, nullptr));
  if (!thread) return;
  handed.release();
  m_started = true;
}

CObjectReader::~CObjectReader() {
  std::lock_guard<std::mutex> guard(m_shared->lock);
  m_shared->abandoned = true;
  m_shared->asks.clear();
  m_shared->answers.clear();
  if (m_shared->wake) ::SetEvent(m_shared->wake.get());
}

unsigned CObjectReader::Post(Ask ask) {
  ask.serial = m_nextSerial++;
  std::lock_guard<std::mutex> guard(m_shared->lock);
  // Only the last selection's details are shown: those asked before and not begun go.
  if (ask.kind == AskKind::Details && ask.latestOnly)
    m_shared->asks.erase(std::remove_if(m_shared->asks.begin(), m_shared->asks.end(),
                                        [](const Ask& queued) { return queued.kind == AskKind::Details && queued.latestOnly; }),
                         m_shared->asks.end());
  m_shared->asks.push_back(ask);
  ::SetEvent(m_shared->wake.get());
  return ask.serial;
}

std::vector<Answer> CObjectReader::Take() {
  std::lock_guard<std::mutex> guard(m_shared->lock);
  std::vector<Answer> taken;
  taken.swap(m_shared->answers);
  return taken;
}

DWORD CObjectReader::Waiting(Ask* current) const {
  std::lock_guard<std::mutex> guard(m_shared->lock);
  if (current) *current = m_shared->busy ? m_shared->current : Ask{};
  if (m_shared->busy) return ::GetTickCount() - m_shared->busySince;
  return m_shared->asks.empty() ? 0 : 1;
}

}  // namespace accessibility
