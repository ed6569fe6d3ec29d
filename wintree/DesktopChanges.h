// What changed on the desktop, read through the snapshot code the command line uses: the
// follower's pass (a read of the basic fields compared with the read before), the comparison
// of the desktop with a saved snapshot, and the snapshot the tree saves. Each runs on a worker
// thread; none sends to a window's program except the properties' bounded probe of a saved
// or compared snapshot, which waits only as long as the properties view does.
#pragma once
#include <string>
#include <vector>

#include "platform/TextSearch.h"
#include "snapshot/Diff.h"
#include "snapshot/Document.h"
#include "wintree/ChangeFollower.h"
#include "wintree/DesktopTree.h"

namespace wintree {

// The window objects of a read as the tree's records (its own WS_VISIBLE from "style"); an
// object without a handle is left out.
std::vector<WindowRecord> RecordsOfWindows(const std::vector<snapshot::Json>& windows);

// The diff as events of the watch format ("op" first), narrowed by the search: an added window
// it matches now, a removed one it matched, a changed one it matches before or after (text,
// class, process or handle).
std::vector<snapshot::Json> WatchEvents(const snapshot::DiffResult& diff, const platform::CTextSearch& search);

// A pass for the follower over the whole desktop, keeping its last read.
FollowPass DesktopFollowPass();

// What differs between a saved snapshot and the desktop now.
struct Comparison {
  ChangeTime time = 0;
  std::vector<snapshot::Json> events;
  std::vector<WindowRecord> before;  // the snapshot's windows
  std::vector<WindowRecord> now;     // the desktop as read for it
};
// Reads the desktop as deep as the document is (every property when it holds any) and
// compares, narrowed by the search.
Comparison CompareWithDesktop(const snapshot::Document& document, const std::wstring& narrowing);

// The desktop with every property, as the command line's snapshot writes it (UTF-8 JSON).
std::string DesktopSnapshotText();

}  // namespace wintree
