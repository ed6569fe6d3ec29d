// The one-shot question Quorvel asks inside a window's program: what the window's procedure and
// its class's procedure and handles are, which only code running in that program can read.
// Quorvel creates the shared memory (named by the window's thread), sets the probe hook on that
// thread and posts the window a WM_NULL; the hook answers once on the window's own thread.
// For a 64-bit program, which 32-bit Quorvel cannot hook, its 64-bit helper sets the hook
// instead and adds what only a 64-bit process reads of another (its modules, its command line).
// 32-bit and 64-bit code lay it out alike.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace msglog {

// Exported undecorated by the hook DLL.
inline constexpr char kWindowProbeName[] = "QuorvelWindowProbe";
// The 64-bit helper beside Quorvel.exe: QuorvelProbeHelper64.exe <Quorvel's process id> <thread id>.
// It ends once the probe is answered or withdrawn, Quorvel is gone or kProbeHelperLimitMs have
// passed; an exit code other than 0 names the step that failed and the system's error, as the
// log's helper does (msglog/HookHelperProtocol.h).
inline constexpr wchar_t kProbeHelperName[] = L"QuorvelProbeHelper64.exe";
constexpr uint32_t kProbeHelperLimitMs = 1500;
// This prefix and the thread id in decimal.
inline constexpr wchar_t kProbeMemoryPrefix[] = L"Local\\QuorvelWindowProbe.";
constexpr uint32_t kProbeMagic = 0x50575651;  // "QVWP"

enum ProbeState : uint32_t {
  kProbeAsked = 1,     // written by Quorvel once every question field is set
  kProbeAnswered = 2,  // written by the hook once every answer field is set
  kProbeNoWindow = 3,  // the hook met a window that is not the thread's
  kProbeWithdrawn = 4, // written by Quorvel when it no longer asks: the helper takes its hook off
};

struct WindowProbe {
  uint32_t magic;
  std::atomic<uint32_t> state;
  uint64_t window;  // the question
  // The answer, read with the window's own character set so the two procedures compare.
  uint64_t windowProc;
  uint64_t classProc;
  uint64_t classIcon;
  uint64_t classSmallIcon;
  uint64_t classCursor;
  uint64_t classBackground;
  uint64_t instance;  // GWLP_HINSTANCE, GWLP_USERDATA and GWLP_ID at their full width
  uint64_t userData;
  uint64_t id;
  uint32_t unicode;  // IsWindowUnicode
  uint32_t reserved;
};

constexpr uint32_t kMaxProbeModules = 256;
constexpr uint32_t kProbeModuleNameChars = 64;
constexpr uint32_t kProbeCommandLineChars = 4096;
constexpr uint32_t kNoCommandLine = 0xffffffffu;

struct ProbeModule {
  uint64_t base;
  uint64_t size;
  uint16_t name[kProbeModuleNameChars];  // UTF-16, ends with 0 unless full
};

// Written by the 64-bit helper before it sets the hook; `written` last.
struct ProbeHelperAnswer {
  std::atomic<uint32_t> written;
  uint32_t moduleCount;
  uint32_t commandLineChars;  // kNoCommandLine when it could not be read
  uint32_t reserved;
  ProbeModule modules[kMaxProbeModules];
  uint16_t commandLine[kProbeCommandLineChars];
};

// The whole shared memory: the hook maps only the first part.
struct ProbeMemory {
  WindowProbe probe;
  ProbeHelperAnswer helper;
};

// The probe memory's name for the thread, written into out (64 characters are enough); no
// library call, so the hook may use it.
inline void ProbeMemoryName(wchar_t* out, uint32_t threadId) {
  for (const wchar_t* p = kProbeMemoryPrefix; *p; ++p) *out++ = *p;
  wchar_t digits[12];
  int count = 0;
  do {
    digits[count++] = static_cast<wchar_t>(L'0' + threadId % 10);
    threadId /= 10;
  } while (threadId);
  while (count) *out++ = digits[--count];
  *out = 0;
}

static_assert(sizeof(WindowProbe) == 96, "laid out alike in 32- and 64-bit code");
static_assert(sizeof(ProbeModule) == 144 && offsetof(ProbeMemory, helper) == 96 && offsetof(ProbeHelperAnswer, modules) == 16,
              "laid out alike in 32- and 64-bit code");

}  // namespace msglog
