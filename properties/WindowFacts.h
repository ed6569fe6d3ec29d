// What Quorvel knows of one window, as read: the values its properties view shows. Filled by a
// reader (properties/WindowReader) and turned into rows by properties/PropertyRows, so the
// formatting is checked without any other program.
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace properties {

// A module of the window's process: where it is loaded and its file name.
struct ModuleRange {
  uint64_t base = 0;
  uint64_t size = 0;
  std::string name;
};

// A window the viewed one is related to; null when there is none.
struct RelatedWindow {
  HWND hwnd = nullptr;
  std::wstring text;
  std::wstring className;
};

// One entry SetProp hung on the window: its atom's name, or none for an integer atom.
struct WindowProp {
  std::optional<std::wstring> name;
  uint16_t atom = 0;
  uint64_t data = 0;
};

// The window procedure and the class's, read inside the window's program by the probe.
struct ProcedureFacts {
  enum class Status { kReading, kAnswered, kNotRead };
  Status status = Status::kReading;
  std::string reason;  // kNotRead: why, in words a user reads
  uint64_t windowProc = 0;
  uint64_t classProc = 0;
  bool unicode = false;
  uint64_t classIcon = 0;
  uint64_t classSmallIcon = 0;
  uint64_t classCursor = 0;
  uint64_t classBackground = 0;
  uint64_t instance = 0;  // at the window's own width
  uint64_t userData = 0;
  // What the 64-bit helper read of a 64-bit program from outside, for this 32-bit one.
  std::vector<ModuleRange> modules;
  std::optional<std::wstring> commandLine;
  bool timedOut = false;  // kNotRead: the window's thread did not answer within the bound
};

// The window's DPI awareness as the system reports it.
enum class DpiAwareness { kUnknown, kUnaware, kSystem, kPerMonitor, kPerMonitorV2 };

struct WindowFacts {
  HWND hwnd = nullptr;
  bool alive = false;
  std::wstring text;
  std::wstring className;
  RECT window{};
  RECT client{};  // in screen pixels

  DWORD classStyle = 0;
  int classExtraBytes = 0;
  std::vector<DWORD> classExtra;  // the whole 32-bit words, at most kMaxExtraWords
  int windowExtraBytes = 0;
  std::vector<DWORD> windowExtra;

  bool child = false;  // WS_CHILD: the ID is a control id, else a menu handle
  uint64_t id = 0;
  uint64_t instance = 0;
  uint64_t userData = 0;
  // Read from outside; the probe's values replace them once it answers.
  uint64_t classIcon = 0;
  uint64_t classCursor = 0;
  uint64_t classBackground = 0;

  RelatedWindow parent, owner, rootOwner, firstChild, next, previous;

  DWORD pid = 0;
  DWORD threadId = 0;
  std::string processName;
  std::wstring path;
  std::optional<bool> sixtyFourBit;
  std::string integrity;  // in words, or empty when the system would not say
  std::optional<DWORD> integrityLevel;  // SECURITY_MANDATORY_*_RID, none when the system would not say
  std::optional<std::wstring> commandLine;
  std::string commandLineReason;  // why there is none

  std::vector<WindowProp> props;
  bool propsCut = false;  // more than kMaxProps

  DpiAwareness dpiAwareness = DpiAwareness::kUnknown;
  UINT dpi = 0;  // 0: unknown
  std::optional<DWORD> cloaked;  // DWMWA_CLOAKED, none when the system cannot say

  std::vector<ModuleRange> modules;
  ProcedureFacts procedures;
};

// Bounds on what another program's window may make Quorvel read.
constexpr int kMaxExtraWords = 64;
constexpr size_t kMaxProps = 256;

}  // namespace properties
