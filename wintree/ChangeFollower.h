// Following the desktop: a worker thread reads it again at a steady interval, compares each
// read with the one before, and hands what changed to the window tree through a posted
// message. The dialog never waits for it: it takes what has come (Take) when told, and
// stopping only asks the worker to end, which it does after the pass it is in.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "wintree/ChangeList.h"
#include "wintree/DesktopTree.h"

namespace wintree {

// A few reads a second.
constexpr DWORD kFollowIntervalMs = 250;

// What one pass gives: the events of the watch format, and the desktop as read for the tree.
struct FollowedPass {
  ChangeTime time = 0;
  std::vector<Json> events;
  std::vector<WindowRecord> windows;
};

// One pass on the worker's thread: reads the desktop and compares it with the read before,
// which the pass keeps itself; the first pass only reads. narrowing is the search text of the
// moment: only windows it matches are followed.
using FollowPass = std::function<FollowedPass(const std::wstring& narrowing)>;

class CChangeFollower {
 public:
  CChangeFollower() = default;
  ~CChangeFollower();
  CChangeFollower(const CChangeFollower&) = delete;
  CChangeFollower& operator=(const CChangeFollower&) = delete;

  // Starts a worker that runs pass every interval (never more than half the time: a pass that
  // takes longer is followed by a rest as long), and posts message (wParam: the generation) to
  // notify when the first read is done and when a pass found changes, once until they are taken. False when no thread could
  // be started. A follower already running is stopped first.
  bool Start(HWND notify, UINT message, FollowPass pass, DWORD intervalMs = kFollowIntervalMs);
  // Asks the worker to stop and returns at once; nothing it finds later is handed over.
  void Stop();
  bool Running() const { return m_shared != nullptr; }
  // The generation of the running worker: a message that carries another is stale.
  WPARAM Generation() const { return m_generation; }

  // The search text the next passes narrow to.
  void SetNarrowing(const std::wstring& text);

  // What the passes found since the last Take: their events in order, with the time of each
  // pass, and the latest read of the desktop when any pass changed something (else empty).
  struct Found {
    std::vector<std::pair<ChangeTime, Json>> events;
    std::vector<WindowRecord> windows;
    bool read = false;  // a pass has read the desktop since the last Take
  };
  Found Take();

 private:
  struct Shared;
  static void Run(Shared& shared);

  std::shared_ptr<Shared> m_shared;
  WPARAM m_generation = 0;
};

// Whether a window is followed under the search: its text, class or process contains the
// text, or its handle is the one typed; everything is followed with no search.
bool FollowedWindow(const platform::CTextSearch& search, HWND hwnd, const std::wstring& text,
                    const std::wstring& className, const std::wstring& process);

}  // namespace wintree
