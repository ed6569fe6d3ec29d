// Saving a log as CSV off the dialog's thread: a million rows take seconds to write, and the
// dialog takes clicks meanwhile. The rows are streamed from the store to the file, each read
// under the store's lock (the dialog keeps adding rows while the save runs); rows the cap or
// 消去 takes away before their turn are left out.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "msglog/MessageStore.h"

namespace msglog {

// The rows to save, by number: a range of every row, or the numbers the filter shows.
struct SavedRows {
  uint64_t first = 0, end = 0;   // every row numbered first..end-1, when numbers is empty
  std::vector<uint64_t> numbers;
  bool filtered = false;
  size_t Count() const { return filtered ? numbers.size() : static_cast<size_t>(end - first); }
};

class CLogSave {
 public:
  CLogSave() = default;
  CLogSave(const CLogSave&) = delete;
  CLogSave& operator=(const CLogSave&) = delete;
  ~CLogSave() { Stop(); }

  // Starts writing the rows to path. While it runs, notify gets progressMessage (wParam: rows
  // written) now and then, and doneMessage once at the end.
  void Start(const std::wstring& path, SavedRows rows, const CMessageStore& store, std::mutex& storeLock, HWND notify,
             UINT progressMessage, UINT doneMessage);
  // Stops a running save (the file is abandoned, the old one left as it was) and waits for it.
  void Stop();
  // After doneMessage: ends the thread and gives the failure's reason, "" on success.
  std::string Finish();
  bool Running() const { return m_thread.joinable(); }
  size_t Total() const { return m_total; }

 private:
  std::thread m_thread;
  std::atomic<bool> m_stop{false};
  std::string m_reason;
  size_t m_total = 0;
};

}  // namespace msglog
