// The yardstick of the message hook's cost: the same three hook kinds, exported the same way,
// doing nothing but calling the next hook.
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
}
