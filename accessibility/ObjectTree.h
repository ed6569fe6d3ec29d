// The tree of accessible objects as read so far: the window's client object at the root, the
// children of a branch once it was opened. Nodes go by the ids the reader gave the objects.
// A place in the tree is kept across a new reading as the path to it: each step the object's
// place among its siblings with its role and name.
#pragma once
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace accessibility {

// What the tree shows of an object.
struct ObjectSummary {
  std::wstring role;
  std::wstring name;
  long childCount = 0;
};

// An object read, with the id the reader keeps it by.
struct ObjectItem {
  int id = 0;
  ObjectSummary summary;
};

// One step down from a node: the child's index, and what it was when the path was taken (a
// step taken by a hit test knows only the index: byIndexOnly).
struct PathStep {
  size_t index = 0;
  std::wstring role;
  std::wstring name;
  bool byIndexOnly = false;
};
using ObjectPath = std::vector<PathStep>;

// Which of the children read now the step names: the child at the same place while its role
// and name are the same, else the first child with that role and name, else none.
std::optional<size_t> FindStep(const std::vector<ObjectSummary>& children, const PathStep& step);

class CObjectTree {
 public:
  struct Node {
    int parent = 0;  // 0 for the root
    size_t index = 0;
    ObjectSummary summary;
    bool childrenRead = false;
    bool reading = false;  // batches of its children are coming
    std::vector<int> children;
  };

  void Clear();
  void SetRoot(const ObjectItem& root);
  int Root() const { return m_root; }
  // Children of a node as read now, in batches: the first batch of a reading forgets the
  // children read before (and theirs), the last marks the branch read. False when the node is
  // not in the tree.
  bool AddChildren(int parent, const std::vector<ObjectItem>& children, bool last);
  bool SetChildren(int parent, const std::vector<ObjectItem>& children) { return AddChildren(parent, children, true); }
  const Node* Find(int id) const;
  std::vector<ObjectSummary> ChildSummaries(int id) const;
  // The path from the root to the node (empty for the root and for a node not in the tree).
  ObjectPath PathOf(int id) const;

 private:
  int m_root = 0;
  std::map<int, Node> m_nodes;
};

}  // namespace accessibility
