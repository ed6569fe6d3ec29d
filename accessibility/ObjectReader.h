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

#include "accessibility/ObjectText.h"
#include "accessibility/ObjectTree.h"

namespace accessibility {

enum class AskKind { Root, Children, Details, DefaultAction, HitTest };

struct Ask {
  AskKind kind = AskKind::Root;
  int node = 0;      // Children, Details, DefaultAction: the object's id
  POINT point{};     // HitTest: the screen point
  unsigned serial = 0;  // set by Post
};

struct Answer {
  AskKind kind = AskKind::Root;
  int node = 0;
  unsigned serial = 0;
  HRESULT result = S_OK;
  std::vector<ObjectItem> items;  // Root: the client object; Children: the children read
  bool more = false;              // Children: the next children follow in further answers
  bool cut = false;               // Children: more children than kMaxChildren
  ObjectDetails details;          // Details
  ObjectPath path;                // HitTest: from the root down to the object at the point
                                  // (result S_FALSE: none there)
};

// The most children read of one object; they come kChildBatch at a time, so a branch of a
// huge page opens at once and fills while the user looks at it.
constexpr long kMaxChildren = 2000;
constexpr size_t kChildBatch = 50;
// The deepest a hit test goes.
constexpr size_t kMaxHitDepth = 64;

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
