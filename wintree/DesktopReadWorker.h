// Reads the desktop for the window tree on a thread of its own, so that the dialog answers the
// user while thousands of windows are walked. The dialog asks for a read and gets a generation
// number; when the read is done the worker posts the dialog a message that carries only that
// number, and the dialog takes the read from the worker. The message names nothing by pointer: one
// that another program posts can at most hand over a read the worker finished anyway, and an
// answer to an older request than the last is never handed over.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "wintree/DesktopTree.h"

namespace wintree {

// A finished read: the windows, with their owners when they were asked for.
struct DesktopRead {
  unsigned generation = 0;
  std::vector<WindowRecord> records;
  bool ownersRead = false;
};

class CDesktopReadWorker {
 public:
  // How the worker reads the desktop (with owners or not); tests put a read of their own.
  using ReadFunction = std::function<std::vector<WindowRecord>(bool owners)>;
  // The desktop as wintree/DesktopReader reads it.
  static std::vector<WindowRecord> ReadDesktopWithOwners(bool owners);

  explicit CDesktopReadWorker(ReadFunction read = ReadDesktopWithOwners);
  // Never waits for a read under way: the thread ends once it is done, and its answer is dropped.
  ~CDesktopReadWorker();
  CDesktopReadWorker(const CDesktopReadWorker&) = delete;
  CDesktopReadWorker& operator=(const CDesktopReadWorker&) = delete;

  // Asks for a read; when it is done, message is posted to notify with the read's generation
  // in wParam (and 0 in lParam). A read asked for while another is under way follows it; only
  // the last one asked for is answered. Returns the new read's generation.
  unsigned Request(HWND notify, UINT message, bool owners);
  // The read of the generation once it is done and was the last one asked for; none otherwise,
  // and none a second time.
  std::optional<DesktopRead> Take(unsigned generation);
  // The generation of the last read asked for (0 before the first).
  unsigned LastRequested() const;
  // Whether the last read asked for is not yet done.
  bool Reading() const;

 private:
  struct State;
  // The thread's loop: one read at a time, for the last generation asked for.
  static void Serve(const std::shared_ptr<State>& state);
  std::shared_ptr<State> m_state;
};

}  // namespace wintree
