// What the properties view reads of a window's process from outside it: its modules, its
// integrity level and its command line. Each says in words when the system will not tell.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "properties/WindowFacts.h"

namespace properties {

// The modules of a process this 32-bit program can read (a 32-bit one); empty otherwise.
std::vector<ModuleRange> ProcessModules(DWORD pid);

// A process's integrity level (SECURITY_MANDATORY_*_RID) and whether it runs elevated.
struct Integrity {
  DWORD level = 0;
  std::optional<bool> elevated;
};
// None when the process's token cannot be read.
std::optional<Integrity> ReadIntegrity(DWORD pid);
// "中 (昇格なし)", "高 (昇格済み)" …; empty for none.
std::string IntegrityText(const std::optional<Integrity>& integrity);
inline std::string IntegrityText(DWORD pid) { return IntegrityText(ReadIntegrity(pid)); }
// The integrity level's relative id (SECURITY_MANDATORY_*_RID) in words.
const char* IntegrityLevelName(DWORD rid);

// The command line of a process, read from its memory; none with the reason when it cannot be
// read (widerThanThisProgram: a 64-bit process seen from this 32-bit one).
std::optional<std::wstring> ProcessCommandLine(DWORD pid, bool widerThanThisProgram, std::string* reason);

}  // namespace properties
