// The window probe's hook procedure (WH_GETMESSAGE). It answers the question in its thread's
// probe memory, if there is one and it is still open, and then only passes messages on: it
// never blocks, waits, sends, allocates or throws. Built into the same DLL as the message hook.
//
// It looks the memory up by name no more often than the message hook looks up its own: once per
// kProbeLookupMs on a thread, so a thread busy with messages does not open a mapping for each.
// Quorvel (and its 64-bit helper) post WM_NULL again while they wait, so a lookup skipped now
// comes soon after.
#include <windows.h>

#include "msglog/hook/WindowProbe.h"

namespace {

constexpr DWORD kProbeLookupMs = 2;

// When each thread last looked its memory up; threads share a slot by their id, and two that
// meet in one only look up a little more often. Fixed, so nothing is allocated.
struct LastLookup {
  volatile LONG threadId;
  volatile LONG tick;
};
constexpr int kLookupSlots = 64;
LastLookup g_lookups[kLookupSlots];

// Whether the thread may look its memory up now; notes the lookup when it may.
bool LookUpNow() {
  const DWORD thread = ::GetCurrentThreadId();
  const DWORD now = ::GetTickCount();
  LastLookup& slot = g_lookups[(thread / 4) % kLookupSlots];
  if (static_cast<DWORD>(slot.threadId) == thread && now - static_cast<DWORD>(slot.tick) < kProbeLookupMs) return false;
  ::InterlockedExchange(&slot.tick, static_cast<LONG>(now));
  ::InterlockedExchange(&slot.threadId, static_cast<LONG>(thread));
  return true;
}

uint64_t Word(ULONG_PTR value) { return static_cast<uint64_t>(value); }

void Answer(msglog::WindowProbe& probe) {
  if (probe.magic != msglog::kProbeMagic || probe.state.load(std::memory_order_acquire) != msglog::kProbeAsked) return;
  const HWND hwnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(probe.window));
  if (!::IsWindow(hwnd) || ::GetWindowThreadProcessId(hwnd, nullptr) != ::GetCurrentThreadId()) {
    probe.state.store(msglog::kProbeNoWindow, std::memory_order_release);
    return;
  }
  const bool unicode = ::IsWindowUnicode(hwnd) != FALSE;
  probe.unicode = unicode ? 1 : 0;
  probe.windowProc = Word(unicode ? ::GetWindowLongPtrW(hwnd, GWLP_WNDPROC) : ::GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
  probe.classProc = Word(unicode ? ::GetClassLongPtrW(hwnd, GCLP_WNDPROC) : ::GetClassLongPtrA(hwnd, GCLP_WNDPROC));
  probe.classIcon = Word(::GetClassLongPtrW(hwnd, GCLP_HICON));
  probe.classSmallIcon = Word(::GetClassLongPtrW(hwnd, GCLP_HICONSM));
  probe.classCursor = Word(::GetClassLongPtrW(hwnd, GCLP_HCURSOR));
  probe.classBackground = Word(::GetClassLongPtrW(hwnd, GCLP_HBRBACKGROUND));
  probe.instance = Word(::GetWindowLongPtrW(hwnd, GWLP_HINSTANCE));
  probe.userData = Word(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  probe.id = Word(::GetWindowLongPtrW(hwnd, GWLP_ID));
  probe.state.store(msglog::kProbeAnswered, std::memory_order_release);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK QuorvelWindowProbe(int code, WPARAM wParam, LPARAM lParam) {
  if (code >= 0 && LookUpNow()) {
    wchar_t name[64];
    msglog::ProbeMemoryName(name, ::GetCurrentThreadId());
    if (HANDLE mapping = ::OpenFileMappingW(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, name)) {
      if (void* view = ::MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(msglog::WindowProbe))) {
        Answer(*static_cast<msglog::WindowProbe*>(view));
        ::UnmapViewOfFile(view);
      }
      ::CloseHandle(mapping);
    }
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
