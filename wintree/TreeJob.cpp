#include "wintree/TreeJob.h"

#include "platform/WorkerThread.h"

namespace wintree {

bool CTreeJob::Start(HWND notify, UINT message, std::function<TreeJobResult()> work) {
  if (m_shared) return false;
  auto shared = std::make_shared<Shared>();
  shared->notify = notify;
  shared->message = message;
  shared->generation = ++m_generation;
  shared->work = std::move(work);
  if (!platform::StartWorkerThread([shared] { Run(shared); })) return false;
  m_shared = std::move(shared);
  return true;
}

std::optional<TreeJobResult> CTreeJob::Take(WPARAM generation) {
  if (!m_shared || m_shared->generation != generation) return std::nullopt;
  std::optional<TreeJobResult> result;
  {
    std::lock_guard<std::mutex> guard(m_shared->lock);
    result = std::move(m_shared->result);
  }
  if (result) m_shared.reset();
  return result;
}

void CTreeJob::Run(const std::shared_ptr<Shared>& held) {
  Shared& shared = *held;
  TreeJobResult result;
  try {
    result = shared.work();
  } catch (const std::exception& failure) {
    result.error = failure.what();
  } catch (...) {
    result.error = "?";
  }
  {
    std::lock_guard<std::mutex> guard(shared.lock);
    shared.result = std::move(result);
  }
  // Only the dialog's side holds a second reference: none left means nobody waits.
  if (held.use_count() > 1) ::PostMessageW(shared.notify, shared.message, shared.generation, 0);
}

}  // namespace wintree
