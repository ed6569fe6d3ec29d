#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>
#include <vector>

#include "platform/WindowWalk.h"

namespace {

// A failure inside a visit ends the walk there and comes out of the walk itself, never through
// the system's callback frames; a visit that says stop ends it too.
TEST(WindowWalk, AFailingOrStoppingVisitEndsTheWalkAndTheFailureComesOutOfIt) {
  HWND parent = ::CreateWindowExA(0, "STATIC", "parent", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  for (int i = 0; i < 3; ++i)
    ::CreateWindowExA(0, "STATIC", "child", WS_CHILD, 0, 0, 10, 10, parent, nullptr, nullptr, nullptr);
  std::vector<HWND> seen;
  platform::ForEachChildWindow(parent, [&](HWND hwnd) {
    seen.push_back(hwnd);
    return true;
  });
  EXPECT_EQ(seen.size(), 3u);

  int visits = 0;
  EXPECT_THROW(platform::ForEachChildWindow(parent,
                                            [&](HWND) -> bool {
                                              if (++visits == 2) throw std::runtime_error("second child");
                                              return true;
                                            }),
               std::runtime_error);
  EXPECT_EQ(visits, 2);

  visits = 0;
  EXPECT_THROW(platform::ForEachTopLevelWindow([&](HWND) -> bool { throw std::logic_error(std::to_string(++visits)); }),
               std::logic_error);
  EXPECT_EQ(visits, 1);
  visits = 0;
  platform::ForEachTopLevelWindow([&](HWND) { return ++visits < 2; });
  EXPECT_EQ(visits, 2);
  ::DestroyWindow(parent);
}

}  // namespace
