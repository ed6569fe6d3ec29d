#include "platform/DesktopWalk.h"

#include <cstdint>
#include <mutex>
#include <unordered_set>

#include "platform/Handles.h"
#include "platform/ProcessLookup.h"
#include "platform/WindowWalk.h"

#ifndef PROCESS_QUERY_LIMITED_INFORMATION
#define PROCESS_QUERY_LIMITED_INFORMATION 0x1000
#endif

namespace platform {
namespace {

// When the process started, which tells it from an earlier one that had its id; 0 when the
// system will not say.
uint64_t ProcessStart(DWORD pid) {
  UniqueProcess process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  FILETIME created{}, exited, kernel, user;
  if (!process || !::GetProcessTimes(process.get(), &created, &exited, &kernel, &user)) return 0;
  return (static_cast<uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// The process names every walk has looked up, by process id with the process's start. Looking
// a name up reads the other process's module list (milliseconds a process under Wine, more than
// the rest of a walk of a thousand windows); its start is two questions to the system.
struct KnownProcess {
  uint64_t start = 0;
  std::wstring name;
};
constexpr size_t kMaxKnownProcesses = 4096;
std::mutex g_knownLock;
std::unordered_map<DWORD, KnownProcess> g_knownProcesses;

}  // namespace

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
  if (known != m_processNames.end()) return known->second;
  const uint64_t start = ProcessStart(pid);
  if (start) {
    std::lock_guard<std::mutex> hold(g_knownLock);
    auto kept = g_knownProcesses.find(pid);
    if (kept != g_knownProcesses.end() && kept->second.start == start)
      return m_processNames.emplace(pid, kept->second.name).first->second;
  }
  std::wstring name = GetProcessNameW(pid);
  // A name the system would not give is asked for again at the next walk.
  if (start && !name.empty()) {
    std::lock_guard<std::mutex> hold(g_knownLock);
    if (g_knownProcesses.size() >= kMaxKnownProcesses) g_knownProcesses.clear();
    g_knownProcesses[pid] = KnownProcess{start, name};
  }
  return m_processNames.emplace(pid, std::move(name)).first->second;
}

}  // namespace platform
