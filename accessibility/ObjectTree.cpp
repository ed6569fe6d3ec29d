#include "accessibility/ObjectTree.h"

#include <algorithm>

namespace accessibility {

std::optional<size_t> FindStep(const std::vector<ObjectSummary>& children, const PathStep& step) {
  const auto same = [&step](const ObjectSummary& child) { return child.role == step.role && child.name == step.name; };
  if (step.index < children.size() && (step.byIndexOnly || same(children[step.index]))) return step.index;
  if (step.byIndexOnly) return std::nullopt;
  const auto found = std::find_if(children.begin(), children.end(), same);
  if (found == children.end()) return std::nullopt;
  return static_cast<size_t>(found - children.begin());
}

void CObjectTree::Clear() {
  m_nodes.clear();
  m_root = 0;
}

void CObjectTree::SetRoot(const ObjectItem& root) {
  Clear();
  m_root = root.id;
  m_nodes[root.id].summary = root.summary;
}

bool CObjectTree::AddChildren(int parent, const std::vector<ObjectItem>& children, bool last) {
  auto found = m_nodes.find(parent);
  if (found == m_nodes.end()) return false;
  if (!found->second.reading) {
    // Children read before go with their own branches.
    std::vector<int> forget = found->second.children;
    while (!forget.empty()) {
      const int id = forget.back();
      forget.pop_back();
      auto gone = m_nodes.find(id);
      if (gone == m_nodes.end()) continue;
      forget.insert(forget.end(), gone->second.children.begin(), gone->second.children.end());
      m_nodes.erase(gone);
    }
    found->second.children.clear();
    found->second.childrenRead = false;
    found->second.reading = true;
  }
  for (const ObjectItem& item : children) {
    Node& child = m_nodes[item.id];
    child.parent = parent;
    child.index = m_nodes[parent].children.size();
    child.summary = item.summary;
    m_nodes[parent].children.push_back(item.id);
  }
  Node& node = m_nodes[parent];
  if (last) {
    node.reading = false;
    node.childrenRead = true;
    node.summary.childCount = static_cast<long>(node.children.size());
  }
  return true;
}

const CObjectTree::Node* CObjectTree::Find(int id) const {
  auto found = m_nodes.find(id);
  return found == m_nodes.end() ? nullptr : &found->second;
}

std::vector<ObjectSummary> CObjectTree::ChildSummaries(int id) const {
  std::vector<ObjectSummary> summaries;
  if (const Node* node = Find(id))
    for (int child : node->children) summaries.push_back(Find(child)->summary);
  return summaries;
}

ObjectPath CObjectTree::PathOf(int id) const {
  ObjectPath path;
  for (const Node* node = Find(id); node && node->parent != 0; node = Find(node->parent))
    path.insert(path.begin(), PathStep{node->index, node->summary.role, node->summary.name, false});
  return path;
}

}  // namespace accessibility
