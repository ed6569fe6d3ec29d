#include "platform/DesktopWalk.h"

#include <unordered_set>

#include "platform/ProcessLookup.h"
#include "platform/WindowWalk.h"

namespace platform {

DesktopRoots ListDesktopRoots(bool messageOnly, int maxMessageOnlyWindows) {
  DesktopRoots roots;
  ForEachTopLevelWindow([&](HWND hwnd) {
    roots.topLevel.push_back(hwnd);
    return true;
  });
  if (!messageOnly) return roots;
  for (HWND after = nullptr; static_cast<int>(roots.messageOnly.size()) < maxMessageOnlyWindows;) {
    after = ::FindWindowExW(HWND_MESSAGE, after, nullptr, nullptr);
    if (!after) break;
    roots.messageOnly.push_back(after);
  }
  return roots;
}

void WalkWindowTree(HWND root, bool messageOnly, bool children, const TakeWindow& take) {
  if (!take(WalkedWindow{root, nullptr, messageOnly}) || !children) return;
  std::unordered_set<HWND> taken{root};
  ForEachChildWindow(root, [&](HWND child) {
    // A window that closed has no parent any more, and one whose parent closed or was left
    // out would stand nowhere.
    const HWND parent = ::GetAncestor(child, GA_PARENT);
    if (parent && taken.count(parent) && take(WalkedWindow{child, parent, false})) taken.insert(child);
    return true;
  });
}

void WalkDesktop(const DesktopRoots& roots, bool children, const TakeWindow& take) {
  for (HWND hwnd : roots.topLevel) WalkWindowTree(hwnd, false, children, take);
  for (HWND hwnd : roots.messageOnly) WalkWindowTree(hwnd, true, children, take);
}

bool CWindowNames::ClassName(HWND hwnd, std::wstring& name) {
  const ATOM atom = static_cast<ATOM>(::GetClassLongW(hwnd, GCW_ATOM));
  if (!atom) return false;
  auto known = m_classNames.find(atom);
  if (known == m_classNames.end()) {
    wchar_t text[256];
    const int length = ::GetClassNameW(hwnd, text, 256);
    if (length <= 0) return false;
    known = m_classNames.emplace(atom, std::wstring(text, static_cast<size_t>(length < 255 ? length : 255))).first;
  }
  name = known->second;
  return true;
}

const std::wstring& CWindowNames::ProcessName(DWORD pid) {
  auto known = m_processNames.find(pid);
  if (known == m_processNames.end()) known = m_processNames.emplace(pid, GetProcessNameW(pid)).first;
  return known->second;
}

}  // namespace platform
