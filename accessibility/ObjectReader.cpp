#include "accessibility/ObjectReader.h"

#include <algorithm>
#include <atomic>
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
  // The program's thread that answers (the window's), by which given-up readers are found.
  DWORD windowThread = 0;
  HWND notify = nullptr;
  UINT message = 0;
  unsigned generation = 0;
  Responder responder;
  platform::UniqueHandle wake;
  std::mutex lock;
  std::deque<Ask> asks;
  std::vector<Answer> answers;
  // Read by the thread between calls without the lock.
  std::atomic<bool> abandoned{false};
  bool busy = false;
  DWORD busySince = 0;  // when the last call returned, or the question began
  size_t readSoFar = 0;
  bool ended = false;
  std::optional<std::string> failure;
  Ask current;
};

namespace {

// Readers abandoned inside a call, until their thread ends; used on any thread.
std::mutex g_givenUpLock;
std::vector<std::weak_ptr<CObjectReader::Shared>> g_givenUp;

std::atomic<unsigned> g_generations{0};

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
        shared.readSoFar = 0;
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
  answer.generation = shared.generation;
  shared.busySince = ::GetTickCount();
  shared.answers.push_back(std::move(answer));
  ::PostMessageA(shared.notify, shared.message, 0, 0);
}

void Advance(CObjectReader::Shared& shared, size_t read) {
  std::lock_guard<std::mutex> guard(shared.lock);
  shared.busySince = ::GetTickCount();
  shared.readSoFar = read;
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

// The thread ends: a reason when it stopped reading while still wanted, and the dialog told.
void End(CObjectReader::Shared& shared, const char* failure) {
  std::lock_guard<std::mutex> guard(shared.lock);
  shared.ended = true;
  shared.busy = false;
  if (failure && !shared.abandoned) {
    shared.failure = failure;
    ::PostMessageA(shared.notify, shared.message, 0, 0);
  }
}

void Read(CObjectReader::Shared& shared) {
  // Declared inside the apartment's scope: every object is released before COM goes.
  CObjectStore store;
  const Progress progress = [&shared](size_t read) { Advance(shared, read); };
  // Between two batches of a long branch, the questions about one object are answered
  // first, so a click on an item does not wait for the whole branch.
  const Deliver deliver = [&shared, &store, &progress](Answer&& batch) {
    Hand(shared, std::move(batch));
    Ask quick;
    while (TakeQuick(shared, &quick))
      Hand(shared, shared.responder(shared.abandoned, quick, shared.window, store, {}, progress));
  };
  Ask ask;
  while (NextAsk(shared, &ask)) {
    Hand(shared, shared.responder(shared.abandoned, ask, shared.window, store, deliver, progress));
    std::lock_guard<std::mutex> guard(shared.lock);
    shared.busy = false;
  }
}

DWORD WINAPI ReaderThread(void* param) {
  std::shared_ptr<CObjectReader::Shared> shared;
  {
    std::unique_ptr<std::shared_ptr<CObjectReader::Shared>> handed(
        static_cast<std::shared_ptr<CObjectReader::Shared>*>(param));
    shared = *handed;
  }
  const char* failure = nullptr;
  {
    platform::CComScope com;
    try {
      Read(*shared);
    } catch (const Abandoned&) {
      // The dialog is gone; what was read went with the store.
    } catch (const std::bad_alloc&) {
      failure = "メモリが足りません";
    } catch (const std::exception&) {
      failure = "予期しないエラーが起きました";
    } catch (...) {
      failure = "予期しないエラーが起きました";
    }
  }
  End(*shared, failure);
  return 0;
}

}  // namespace

CObjectReader::CObjectReader(HWND window, HWND notify, UINT message, Responder responder)
    : m_shared(std::make_shared<Shared>()), m_generation(++g_generations) {
  m_shared->window = window;
  m_shared->windowThread = ::GetWindowThreadProcessId(window, nullptr);
  m_shared->notify = notify;
  m_shared->message = message;
  m_shared->generation = m_generation;
  m_shared->responder = std::move(responder);
  m_shared->wake.reset(::CreateEventA(nullptr, FALSE, FALSE, nullptr));
  if (!m_shared->wake) return;
  auto handed = std::make_unique<std::shared_ptr<Shared>>(m_shared);
  platform::UniqueHandle thread(::CreateThread(nullptr, 0, ReaderThread, handed.get(), 0, nullptr));
  if (!thread) return;
  handed.release();
  m_started = true;
}

CObjectReader::~CObjectReader() {
  bool inCall = false;
  {
    std::lock_guard<std::mutex> guard(m_shared->lock);
    m_shared->abandoned = true;
    m_shared->asks.clear();
    m_shared->answers.clear();
    inCall = m_shared->busy && !m_shared->ended;
    if (m_shared->wake) ::SetEvent(m_shared->wake.get());
  }
  if (!inCall) return;
  std::lock_guard<std::mutex> guard(g_givenUpLock);
  g_givenUp.erase(std::remove_if(g_givenUp.begin(), g_givenUp.end(),
                                 [](const std::weak_ptr<Shared>& reader) { return reader.expired(); }),
                  g_givenUp.end());
  g_givenUp.push_back(m_shared);
}

unsigned CObjectReader::Post(Ask ask) {
  ask.serial = m_nextSerial++;
  std::lock_guard<std::mutex> guard(m_shared->lock);
  // Only the last selection's details are shown, and only the last reading: questions of the
  // same kind asked before and not begun go (a caller that wants every answer, as the command
  // line does, asks with latestOnly off).
  if ((ask.kind == AskKind::Details || ask.kind == AskKind::Root) && ask.latestOnly)
    m_shared->asks.erase(std::remove_if(m_shared->asks.begin(), m_shared->asks.end(),
                                        [&ask](const Ask& queued) { return queued.kind == ask.kind && queued.latestOnly; }),
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
  if (m_shared->busy) return std::max<DWORD>(::GetTickCount() - m_shared->busySince, 1);
  return m_shared->asks.empty() || m_shared->ended ? 0 : 1;
}

size_t CObjectReader::ReadSoFar() const {
  std::lock_guard<std::mutex> guard(m_shared->lock);
  return m_shared->readSoFar;
}

std::optional<std::string> CObjectReader::Failure() const {
  std::lock_guard<std::mutex> guard(m_shared->lock);
  return m_shared->failure;
}

std::optional<DWORD> CObjectReader::GivenUpOn(HWND window) {
  const DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
  std::lock_guard<std::mutex> guard(g_givenUpLock);
  std::optional<DWORD> longest;
  for (const std::weak_ptr<Shared>& held : g_givenUp) {
    const std::shared_ptr<Shared> reader = held.lock();
    if (!reader) continue;
    std::lock_guard<std::mutex> readerGuard(reader->lock);
    const bool same = thread ? reader->windowThread == thread : reader->window == window;
    if (!same || reader->ended || !reader->busy) continue;
    const DWORD waited = ::GetTickCount() - reader->busySince;
    if (!longest || waited > *longest) longest = waited;
  }
  return longest;
}

}  // namespace accessibility
