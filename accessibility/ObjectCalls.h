// The calls a reader makes on a window's accessible objects, on its own thread: the client
// object, a branch's children, an object's properties, its default action, the hit test. The
// objects are kept by id in a store that lives on that thread. Every text and count an object
// answers is bounded here, and a reader that was abandoned stops before its next call.
#pragma once
#include <windows.h>
#include <oleacc.h>

#include <atomic>
#include <functional>
#include <map>
#include <vector>

#include "accessibility/ObjectText.h"
#include "accessibility/ObjectTree.h"
#include "platform/Com.h"

namespace accessibility {

enum class AskKind { Root, Children, Details, DefaultAction, HitTest };

struct Ask {
  AskKind kind = AskKind::Root;
  int node = 0;      // Children, Details, DefaultAction: the object's id
  POINT point{};     // HitTest: the screen point
  unsigned serial = 0;  // set by the reader's Post
  // Details: asked for the selection, so details asked the same way before and not begun go
  // (a reading of every object, as qv's, asks with false and keeps them all).
  bool latestOnly = true;
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

// Thrown between two calls of an object once the reader was abandoned: what was read goes,
// released on the way out, and nothing more is asked of the object.
struct Abandoned {};
using Stop = std::atomic<bool>;
void Check(const Stop& stop);

// Hands an answer over before the question is done (a batch of children).
using Deliver = std::function<void(Answer&&)>;

// One object the reader handed out an id for: a full object, or a simple element of one.
struct StoredObject {
  platform::CComRef<IAccessible> object;
  LONG child = CHILDID_SELF;
};

// The objects of one thread, by id; released on that thread.
class CObjectStore {
 public:
  int Add(IAccessible* object, LONG child) {
    const int id = m_nextId++;
    StoredObject& stored = m_objects[id];
    object->AddRef();
    *stored.object.Out() = object;
    stored.child = child;
    return id;
  }
  const StoredObject* Find(int id) const {
    auto found = m_objects.find(id);
    return found == m_objects.end() ? nullptr : &found->second;
  }
  void Clear() { m_objects.clear(); }
  int Root() const { return m_root; }
  void SetRoot(int id) { m_root = id; }

 private:
  std::map<int, StoredObject> m_objects;
  int m_nextId = 1;
  int m_root = 0;
};

// Answers the question from the objects in the store (Root fills it anew).
Answer Respond(const Stop& stop, const Ask& ask, HWND window, CObjectStore& store, const Deliver& deliver);

}  // namespace accessibility
