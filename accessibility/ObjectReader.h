// Reads a window's accessible objects on a thread of its own. The objects belong to another
// program, which may be slow or hung: the thread that calls them is never the dialog's. It
// initialises COM, keeps every object it handed out an id for, and releases them all and
// uninitialises COM on that same thread when it ends. Questions are queued; answers come back
// through a message posted to the dialog, which takes them with Take().
//
// The dialog never waits for the thread. Dropping the reader abandons it: the thread ends as
// soon as the call it is in returns, with nothing more asked of the object. A reader abandoned
// inside a call is remembered until it ends (GivenUpOn), so a view of the same program starts
// no second thread to hang beside it.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "accessibility/ObjectCalls.h"

namespace accessibility {

// What answers a question on the reader's thread: Respond, or in tests a stand-in.
using Responder = std::function<Answer(const Stop&, const Ask&, HWND, CObjectStore&, const Deliver&, const Progress&)>;

class CObjectReader {
 public:
  // Reads the objects of window; answers are announced by posting message to notify.
  CObjectReader(HWND window, HWND notify, UINT message, Responder responder = Respond);
  ~CObjectReader();
  CObjectReader(const CObjectReader&) = delete;
  CObjectReader& operator=(const CObjectReader&) = delete;

  // False when the system gave no thread: nothing can be read.
  bool Started() const { return m_started; }
  // This reader's number, unique in the process; every answer carries it.
  unsigned Generation() const { return m_generation; }
  // Queues the question; returns its serial.
  unsigned Post(Ask ask);
  // The answers that came since the last call, in order.
  std::vector<Answer> Take();
  // How long the call in progress has gone without returning, in ms, and which question it
  // serves (current may be null); 0 when none is, 1 while questions wait to begin.
  DWORD Waiting(Ask* current = nullptr) const;
  // How many children of the branch being read have been read so far.
  size_t ReadSoFar() const;
  // Why the thread stopped reading, once it did (the reader answers nothing more).
  std::optional<std::string> Failure() const;

  // For a reader of the window's program that was abandoned inside a call and has not come
  // back: how long that call has gone on, in ms.
  static std::optional<DWORD> GivenUpOn(HWND window);

  struct Shared;

 private:
  std::shared_ptr<Shared> m_shared;
  bool m_started = false;
  unsigned m_generation = 0;
  unsigned m_nextSerial = 1;
};

}  // namespace accessibility
