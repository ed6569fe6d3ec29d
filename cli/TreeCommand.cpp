// qv tree: a window's descendants, or the whole desktop, nested as the window tree nests them
// (wintree/DesktopTree): by parent, or with --owner top-level windows under their owners.
#include <memory>

#include "cli/Command.h"
#include "cli/WindowNaming.h"
#include "platform/WideText.h"
#include "wintree/DesktopTree.h"

namespace cli {
namespace {

struct TreeOptions {
  WindowName window;
  bool owner = false;
  OutputOptions output;
};

wintree::WindowRecord RecordOf(const snapshot::WindowEntry& entry) {
  wintree::WindowRecord record;
  record.hwnd = entry.hwnd;
  record.parent = entry.parent;
  if (!entry.parent) record.owner = entry.owner;
  record.text = entry.text;
  record.className = entry.className;
  if (!entry.parent) record.processName = entry.process;
  record.visible = (entry.style & WS_VISIBLE) != 0;
  record.messageOnly = entry.messageOnly;
  return record;
}

class CTreeWriter {
 public:
  CTreeWriter(const wintree::DesktopTree& tree, const std::vector<snapshot::WindowEntry>& entries) : m_tree(tree) {
    for (const snapshot::WindowEntry& entry : entries) m_entries.emplace(entry.hwnd, &entry);
  }

  snapshot::Json NodeJson(int index) const {
    const wintree::TreeNode& node = m_tree.nodes[static_cast<size_t>(index)];
    snapshot::Json window = snapshot::WindowJson(*m_entries.at(node.hwnd));
    snapshot::Json children = snapshot::Json::array();
    for (int child : node.children) children.push_back(NodeJson(child));
    window["children"] = std::move(children);
    return window;
  }

  // The roots as JSON; the message-only windows' root stands for no window, so its children
  // are roots of their own.
  snapshot::Json RootsJson() const {
    snapshot::Json roots = snapshot::Json::array();
    for (int root : m_tree.roots) {
      const wintree::TreeNode& node = m_tree.nodes[static_cast<size_t>(root)];
      if (node.hwnd == wintree::MessageOnlyRootKey())
        for (int child : node.children) roots.push_back(NodeJson(child));
      else
        roots.push_back(NodeJson(root));
    }
    return roots;
  }

  // The window tree's item labels, indented two blanks a level.
  void WriteText(int index, int level) const {
    const wintree::TreeNode& node = m_tree.nodes[static_cast<size_t>(index)];
    WriteLine(std::string(static_cast<size_t>(level) * 2, ' ') + platform::Utf8FromWide(node.label));
    for (int child : node.children) WriteText(child, level + 1);
  }

 private:
  const wintree::DesktopTree& m_tree;
  std::unordered_map<HWND, const snapshot::WindowEntry*> m_entries;
};

int Tree(const TreeOptions& options) {
  std::vector<snapshot::WindowEntry> entries;
  const bool whole = !options.window.Given();
  if (whole) {
    entries = snapshot::ReadDesktop();
  } else {
    const NamedWindow named = ResolveWindow(options.window, options.output);
    if (!named.hwnd) return named.failure;
    entries = snapshot::ReadWindowTree(named.hwnd);
    if (entries.empty()) {
      WriteError("no such window: " + options.window.handle);
      return kExitTrouble;
    }
  }
  std::vector<wintree::WindowRecord> records;
  records.reserve(entries.size());
  for (const snapshot::WindowEntry& entry : entries) records.push_back(RecordOf(entry));
  // The named window is the tree's root, whatever its parent.
  if (!whole) {
    records.front().parent = nullptr;
    records.front().messageOnly = false;
  }
  const wintree::DesktopTree tree =
      wintree::BuildTree(records, whole && options.owner ? wintree::TreeShape::kOwners : wintree::TreeShape::kParents, nullptr);
  const CTreeWriter writer(tree, entries);
  if (options.output.AsJson()) {
    if (whole)
      WriteJson(writer.RootsJson(), options.output);
    else
      WriteJson(writer.NodeJson(tree.roots.front()), options.output);
    return kExitDone;
  }
  for (int root : tree.roots) {
    const wintree::TreeNode& node = tree.nodes[static_cast<size_t>(root)];
    if (node.hwnd != wintree::MessageOnlyRootKey() || !node.children.empty()) writer.WriteText(root, 0);
  }
  return kExitDone;
}

void AddTree(CLI::App& command, Run& run) {
  auto options = std::make_shared<TreeOptions>();
  AddWindowName(command, options->window);
  command.add_flag("--owner", options->owner, "Nest top-level windows under the windows that own them");
  AddOutputOptions(command, options->output);
  run = [options] { return Tree(*options); };
}

const CommandRegistration kRegistered{
    {20, "tree", "A window's descendants, or the whole desktop (message-only windows included), nested", AddTree}};

}  // namespace
}  // namespace cli
