// Where the properties view gets a window's facts: the system (from outside the window's
// program, and through the procedure probe inside it), or in tests a reader of their own.
#pragma once
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "properties/WindowFacts.h"

namespace properties {

class IWindowReader {
 public:
  virtual ~IWindowReader() = default;
  // Everything that can be read at once without waiting for the window's program; the
  // procedures are left kReading.
  virtual WindowFacts Read(HWND window) = 0;
  // Asks for the procedures (again), and gives the answer once there is one.
  virtual void AskProcedures(HWND window) = 0;
  virtual std::optional<ProcedureFacts> PollProcedures() = 0;
};

std::unique_ptr<IWindowReader> MakeSystemWindowReader();

// What a read takes from the window's process: looked up once per process when many windows are
// read together (a snapshot of the desktop), with the cache kept for the whole read.
struct ProcessPart {
  std::string processName;
  std::wstring path;
  std::optional<bool> sixtyFourBit;
  std::string integrity;
  std::optional<DWORD> integrityLevel;
  std::optional<std::wstring> commandLine;
  std::string commandLineReason;
  std::vector<ModuleRange> modules;
};
using ProcessPartCache = std::unordered_map<DWORD, ProcessPart>;

// Everything the system reader's Read gives, the process part from the cache when it holds the
// window's process (and put there when not); a null cache reads the process anew.
WindowFacts ReadWindowFacts(HWND window, ProcessPartCache* cache);

}  // namespace properties
