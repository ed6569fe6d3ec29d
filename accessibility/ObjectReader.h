// Reads a window's accessible objects on a thread of its own. The objects belong to another
// program, which may be slow or hung: the thread that calls them is never the dialog's. It
// initialises COM, keeps every object it handed out an id for, and releases them all and
// uninitialises COM on that same thread when it ends. Questions are queued; answers come back
// through a message posted to the dialog, which takes them with Take().
//
// The dialog never waits for the thread. Dropping the reader abandons it: the thread ends as
// soon as the call it is in returns, with nothing more asked of the object.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "accessibility/ObjectCalls.h"

namespace accessibility {

class CObjectReader {
 public:
  // Reads the objects of window; answers are announced by posting message to notify.
  CObjectReader(HWND window, HWND notify, UINT message);
  ~CObjectReader();
  CObjectReader(const CObjectReader&) = delete;
  CObjectReader& operator=(const CObjectReader&) = delete;

  // False when the system gave no thread: nothing can be read.
  bool Started() const { return m_started; }
  // Queues the question; returns its serial.
  unsigned Post(Ask ask);
  // The answers that came since the last call, in order.
  std::vector<Answer> Take();
  // How long the question being answered now has been waited for, in ms, and which it is
  // (current may be null); 0 when none is.
  DWORD Waiting(Ask* current = nullptr) const;

  struct Shared;

 private:
  std::shared_ptr<Shared> m_shared;
  bool m_started = false;
  unsigned m_nextSerial = 1;
};

}  // namespace accessibility
