#include "wintree/DesktopTree.h"

#include <cwchar>

#include "platform/WideText.h"

namespace wintree {

int DesktopTree::Find(HWND hwnd) const {
  auto found = byHandle.find(hwnd);
  return found == byHandle.end() ? -1 : found->second;
}

std::wstring ItemLabel(const WindowRecord& window) {
  wchar_t handle[16];
  std::swprintf(handle, 16, L"0x%08lx", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window.hwnd)));
  std::wstring label = std::wstring(handle) + L" \"" + platform::EscapedLine(window.text) + L"\" " + window.className;
  if (!window.parent) label += L" [" + window.processName + L"]";
  return label;
}

std::wstring LookStatus(WindowLook look, const std::wstring& label) {
  switch (look) {
    case WindowLook::kShown: return L"表示中（枠で示しています）: " + label;
    case WindowLook::kHidden: return L"非表示: " + label;
    case WindowLook::kMinimised: return L"最小化: " + label;
    case WindowLook::kClosed: return L"閉じられました（更新で消えます）: " + label;
  }
  return label;
}

namespace {

// Owner of each top-level node as the owner view places it, or -1: an owner must be another
// top-level window of the tree that is not message-only, and a chain of owners that comes back
// to where it started is cut at every window on it.
std::vector<int> OwnerNodes(const DesktopTree& tree, const std::vector<WindowRecord>& windows,
                            const std::vector<int>& recordOf) {
  const int count = static_cast<int>(tree.nodes.size());
  std::vector<int> owner(tree.nodes.size(), -1);
  for (int node = 0; node < count; ++node) {
    const WindowRecord& record = windows[recordOf[node]];
    if (record.parent || record.messageOnly || !record.owner) continue;
    const int found = tree.Find(record.owner);
    if (found < 0 || found == node) continue;
    const WindowRecord& ownerRecord = windows[recordOf[found]];
    if (ownerRecord.parent || ownerRecord.messageOnly) continue;
    owner[node] = found;
  }
  for (int node = 0; node < count; ++node) {
    int at = owner[node];
    for (int steps = 0; at >= 0 && at != node && steps < count; ++steps) at = owner[at];
    if (at == node) owner[node] = -1;
  }
  return owner;
}

}  // namespace

DesktopTree BuildTree(const std::vector<WindowRecord>& windows, TreeShape shape, const KnownWindows* known) {
  DesktopTree tree;
  std::vector<int> recordOf;
  std::vector<int> messageOnly;
  for (int i = 0; i < static_cast<int>(windows.size()); ++i) {
    const WindowRecord& record = windows[i];
    if (!record.hwnd || record.hwnd == MessageOnlyRootKey() || tree.byHandle.count(record.hwnd)) continue;
    int parent = -1;
    if (record.parent) {
      parent = tree.Find(record.parent);
      if (parent < 0) continue;
    }
    TreeNode node;
    node.hwnd = record.hwnd;
    node.parent = parent;
    node.label = ItemLabel(record);
    node.hidden = !record.visible || (parent >= 0 && tree.nodes[parent].hidden);
    node.isNew = known && !known->count(record.hwnd);
    const int index = static_cast<int>(tree.nodes.size());
    tree.byHandle.emplace(record.hwnd, index);
    tree.nodes.push_back(std::move(node));
    recordOf.push_back(i);
    if (parent >= 0) tree.nodes[parent].children.push_back(index);
    else if (record.messageOnly) messageOnly.push_back(index);
  }

  const std::vector<int> owner =
      shape == TreeShape::kOwners ? OwnerNodes(tree, windows, recordOf) : std::vector<int>(tree.nodes.size(), -1);
  for (int index = 0; index < static_cast<int>(tree.nodes.size()); ++index) {
    TreeNode& node = tree.nodes[index];
    if (node.parent >= 0 || windows[recordOf[index]].messageOnly) continue;
    if (owner[index] >= 0) {
      node.parent = owner[index];
      tree.nodes[owner[index]].children.push_back(index);
    } else {
      tree.roots.push_back(index);
    }
  }

  // The last root holds the message-only windows, and is there when there are none.
  TreeNode root;
  root.hwnd = MessageOnlyRootKey();
  root.label = kMessageOnlyRootText;
  root.children = messageOnly;
  const int rootIndex = static_cast<int>(tree.nodes.size());
  for (int child : messageOnly) tree.nodes[child].parent = rootIndex;
  tree.byHandle.emplace(root.hwnd, rootIndex);
  tree.nodes.push_back(std::move(root));
  tree.roots.push_back(rootIndex);
  return tree;
}

KnownWindows KnownOf(const DesktopTree& tree) {
  KnownWindows known;
  for (const TreeNode& node : tree.nodes)
    if (node.hwnd != MessageOnlyRootKey()) known.insert(node.hwnd);
  return known;
}

SearchResult Search(const DesktopTree& tree, const platform::CTextSearch& search) {
  SearchResult result;
  result.kept.assign(tree.nodes.size(), search.Empty() ? 1 : 0);
  result.expanded.assign(tree.nodes.size(), 0);
  if (search.Empty()) return result;
  for (size_t i = 0; i < tree.nodes.size(); ++i) {
    const TreeNode& node = tree.nodes[i];
    const bool window = node.hwnd != MessageOnlyRootKey();
    if (!search.Contains(node.label) && !(window && search.MatchesHandle(node.hwnd))) continue;
    ++result.matches;
    result.kept[i] = 1;
    // Every ancestor stays and opens; one already open has its ancestors open too.
    for (int up = node.parent; up >= 0 && !result.expanded[up]; up = tree.nodes[up].parent) {
      result.kept[up] = 1;
      result.expanded[up] = 1;
    }
  }
  return result;
}

}  // namespace wintree
