// One long piece of the window tree's work off the dialog's thread (saving a snapshot of the
// desktop, comparing with one): the worker keeps its result until the dialog, told by a posted
// message that carries only the job's generation, takes it. A job abandoned (the dialog closed,
// a new job) hands nothing over.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "wintree/DesktopChanges.h"

namespace wintree {

struct TreeJobResult {
  enum class Kind { kSaved, kCompared } kind = Kind::kSaved;
  std::string error;  // why it failed, for the user; empty when it did not
  std::wstring path;
  Comparison comparison;
};

class CTreeJob {
 public:
  CTreeJob() = default;
  ~CTreeJob() { Abandon(); }
  CTreeJob(const CTreeJob&) = delete;
  CTreeJob& operator=(const CTreeJob&) = delete;

  // Runs work on a thread of its own; posts message (wParam: the generation) when it is done.
  // False when a job is running or no thread could be started.
  bool Start(HWND notify, UINT message, std::function<TreeJobResult()> work);
  bool Busy() const { return m_shared != nullptr; }
  // The result of the running job for a message of its generation; none for a stale message.
  std::optional<TreeJobResult> Take(WPARAM generation);
  void Abandon() { m_shared.reset(); }

 private:
  struct Shared {
    HWND notify = nullptr;
    UINT message = 0;
    WPARAM generation = 0;
    std::function<TreeJobResult()> work;
    std::mutex lock;
    std::optional<TreeJobResult> result;
  };
  // held: the worker's own reference; the dialog's side holds the other while it waits.
  static void Run(const std::shared_ptr<Shared>& held);

  std::shared_ptr<Shared> m_shared;
  WPARAM m_generation = 0;
};

}  // namespace wintree
