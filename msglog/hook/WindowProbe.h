// The one-shot question Quorvel asks inside a window's program: what the window's procedure and
// its class's procedure and handles are, which only code running in that program can read.
// Quorvel creates the shared memory (named by the window's thread), sets the probe hook on that
// thread and posts the window a WM_NULL; the hook answers once on the window's own thread.
// 32-bit and 64-bit code lay it out alike.
#pragma once
#include <atomic>
#include <cstdint>

namespace msglog {

// Exported undecorated by the hook DLL.
inline constexpr char kWindowProbeName[] = "QuorvelWindowProbe";
// This prefix and the thread id in decimal.
inline constexpr wchar_t kProbeMemoryPrefix[] = L"Local\\QuorvelWindowProbe.";
constexpr uint32_t kProbeMagic = 0x50575651;  // "QVWP"

enum ProbeState : uint32_t {
  kProbeAsked = 1,     // written by Quorvel once every question field is set
  kProbeAnswered = 2,  // written by the hook once every answer field is set
  kProbeNoWindow = 3,  // the hook met a window that is not the thread's
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
  uint32_t unicode;  // IsWindowUnicode
  uint32_t reserved;
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

static_assert(sizeof(WindowProbe) == 72, "laid out alike in 32- and 64-bit code");

}  // namespace msglog
