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

bool CObjectTree::SetChildren(int parent, const std::vector<ObjectItem>& children) {
  auto found = m_nodes.find(parent);
  if (found == m_nodes.end()) return false;
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
  Node& node = m_nodes[parent];
  node.children.clear();
  node.childrenRead = true;
  for (size_t i = 0; i < children.size(); ++i) {
    Node& child = m_nodes[children[i].id];
    child.parent = parent;
    child.index = i;
    child.summary = children[i].summary;
    node.children.push_back(children[i].id);
  }
  node.summary.childCount = static_cast<long>(children.size());
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
