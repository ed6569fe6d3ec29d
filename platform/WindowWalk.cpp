#include "platform/WindowWalk.h"

#include <exception>

namespace platform {
namespace {

struct Walk {
  const std::function<bool(HWND)>& visit;
  std::exception_ptr failure;
};

BOOL CALLBACK Step(HWND hwnd, LPARAM context) {
  Walk& walk = *reinterpret_cast<Walk*>(context);
  try {
    return walk.visit(hwnd) ? TRUE : FALSE;
  } catch (...) {
    walk.failure = std::current_exception();
    return FALSE;
  }
}

void Finish(const Walk& walk) {
  if (walk.failure) std::rethrow_exception(walk.failure);
}

}  // namespace

void ForEachTopLevelWindow(const std::function<bool(HWND)>& visit) {
  Walk walk{visit, nullptr};
  ::EnumWindows(Step, reinterpret_cast<LPARAM>(&walk));
  Finish(walk);
}

void ForEachChildWindow(HWND parent, const std::function<bool(HWND)>& visit) {
  Walk walk{visit, nullptr};
  ::EnumChildWindows(parent, Step, reinterpret_cast<LPARAM>(&walk));
  Finish(walk);
}

}  // namespace platform
