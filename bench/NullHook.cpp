// A hook DLL of the three kinds the message log sets, doing nothing but passing each call on:
// the floor the message hook's cost is measured against, installed the same way.
#include <windows.h>

extern "C" {

__declspec(dllexport) LRESULT CALLBACK QuorvelCallWndProc(int code, WPARAM wParam, LPARAM lParam) {
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

__declspec(dllexport) LRESULT CALLBACK QuorvelCallWndProcRet(int code, WPARAM wParam, LPARAM lParam) {
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

__declspec(dllexport) LRESULT CALLBACK QuorvelGetMessage(int code, WPARAM wParam, LPARAM lParam) {
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // extern "C"
