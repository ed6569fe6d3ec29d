#include "platform/ViewRequests.h"

#include <map>
#include <memory>
#include <mutex>

namespace platform {
namespace {

struct Receiver {
  DWORD thread = 0;
  std::shared_ptr<ViewRequestHandler> handler;
};

// Never destroyed: a receiver held by a static object may unregister after other statics are gone.
std::mutex& ReceiversLock() {
  static std::mutex* lock = new std::mutex;
  return *lock;
}

std::map<HWND, Receiver>& Receivers() {
  static auto* receivers = new std::map<HWND, Receiver>;
  return *receivers;
}

bool Deliver(HWND from, const ViewRequest& request) {
  const HWND window = request.window;
  HWND owner = from ? ::GetWindow(from, GW_OWNER) : nullptr;
  if (!owner || !window) return false;
  std::shared_ptr<ViewRequestHandler> handler;
  {
    std::lock_guard<std::mutex> lock(ReceiversLock());
    auto found = Receivers().find(owner);
    // Only a view of the receiver's own thread asks it: the receiver's state is that thread's.
    if (found == Receivers().end() || found->second.thread != ::GetCurrentThreadId()) return false;
    handler = found->second.handler;
  }
  // Held by the copy, so a receiver that goes during its own request is still whole.
  (*handler)(request);
  return true;
}

}  // namespace

void CViewRequestReceiver::Register(HWND owner, ViewRequestHandler handler) {
  Unregister();
  if (!owner) return;
  std::lock_guard<std::mutex> lock(ReceiversLock());
  Receivers()[owner] = Receiver{::GetCurrentThreadId(), std::make_shared<ViewRequestHandler>(std::move(handler))};
  m_owner = owner;
}

void CViewRequestReceiver::Unregister() {
  if (!m_owner) return;
  std::lock_guard<std::mutex> lock(ReceiversLock());
  Receivers().erase(m_owner);
  m_owner = nullptr;
}

bool RequestView(HWND from, UINT request, HWND window) {
  if (request == kFrameScreenRectMessage || request == kMarkSentMessage) return false;
  return Deliver(from, ViewRequest{request, window, nullptr, 0});
}

bool RequestFrame(HWND from, HWND window, const RECT& part) {
  return Deliver(from, ViewRequest{kFrameScreenRectMessage, window, &part, 0});
}

bool RequestMarkSent(HWND from, HWND window, UINT message) {
  return Deliver(from, ViewRequest{kMarkSentMessage, window, nullptr, message});
}

}  // namespace platform
