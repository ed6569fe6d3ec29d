// Starts the threads Quorvel's workers run on: each runs on its own, never joined, holding what
// it shares with the side that started it (a shared_ptr the work captures), so that side may be
// gone before the work ends.
#pragma once
#include <functional>

namespace platform {

// Starts a thread running work; false, with nothing started, when the system refused a thread.
bool StartWorkerThread(std::function<void()> work);

}  // namespace platform
