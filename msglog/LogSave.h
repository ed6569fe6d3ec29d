// Saving a log as CSV off the dialog's thread: a million rows take seconds to write, and the
// dialog takes clicks meanwhile. The rows are streamed from the store to the file, each read
// under the store's lock (the dialog keeps adding rows while the save runs); rows the cap or
// 消去 takes away before their turn are left out. Closing the log gives a save up without
// waiting for the disk: the file on disk is then the old one or the complete new one.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
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
  ~CLogSave() { Abandon(); }

  // Starts writing the rows to path (a save still running is abandoned first). While it runs,
  // notify gets progressMessage now and then, and doneMessage once at the end. The messages
  // carry nothing (any program can post them): Saved, Done and Finish say what is so.
  void Start(const std::wstring& path, SavedRows rows, const CMessageStore& store, std::mutex& storeLock, HWND notify,
             UINT progressMessage, UINT doneMessage);
  // Gives a running save up without waiting for the disk: once this returns, the worker reads
  // no more rows and tells nothing; it then abandons its file (path stays as it was) or, when it
  // was already putting the complete file in place, finishes that, on its own.
  void Abandon();
  // A save was started and its end not yet taken with Finish.
  bool Running() const { return m_state != nullptr; }
  // The worker has ended: Finish gives its result.
  bool Done() const;
  // Rows written so far.
  size_t Saved() const;
  // Once Done: the failure's reason, "" on success, and the save is over. Before: nothing, and
  // the save goes on.
  std::optional<std::string> Finish();
  size_t Total() const { return m_total; }

 private:
  struct State {
    std::mutex gate;  // held while the worker reads a row or tells the dialog
    bool abandoned = false;
    std::atomic<size_t> saved{0};
    std::atomic<bool> done{false};
    std::string reason;  // written before done is set
  };
  std::shared_ptr<State> m_state;
  size_t m_total = 0;
};

}  // namespace msglog
