// The window probe's hook procedure (WH_GETMESSAGE). It answers the question in its thread's
// probe memory, if there is one and it is still open, and then only passes messages on: it
// never blocks, waits, sends, allocates or throws. Built into the same DLL as the message hook.
#include <windows.h>

#include "msglog/hook/WindowProbe.h"

namespace {

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
  probe.state.store(msglog::kProbeAnswered, std::memory_order_release);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK QuorvelWindowProbe(int code, WPARAM wParam, LPARAM lParam) {
  if (code >= 0) {
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
