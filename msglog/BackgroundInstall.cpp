#include "msglog/BackgroundInstall.h"

#include <system_error>
#include <thread>

namespace msglog {

void CBackgroundInstall::Start(std::shared_ptr<IHookInstaller> installer, DWORD threadId, HWND notify, UINT message) {
  Abandon();
  auto state = std::make_shared<State>();
  m_state = state;
  try {
    std::thread([state, installer = std::move(installer), threadId, notify, message] {
      std::string reason;
      std::unique_ptr<CInstalledHooks> hooks = installer->Install(threadId, &reason);
      std::unique_ptr<CInstalledHooks> unwanted;
      {
        const std::lock_guard<std::mutex> hold(state->lock);
        state->done = true;
        if (state->abandoned) {
          unwanted = std::move(hooks);
        } else {
          state->hooks = std::move(hooks);
          state->reason = std::move(reason);
          ::PostMessageW(notify, message, 0, 0);
        }
      }
    }).detach();
  } catch (const std::system_error&) {
    // No thread to be had: said as the install's failure when the dialog asks.
    state->done = true;
    state->reason = "メッセージの記録を始められません（スレッドを作れません）。";
    ::PostMessageW(notify, message, 0, 0);
  }
}

std::unique_ptr<CInstalledHooks> CBackgroundInstall::Take(std::string* reason) {
  const std::shared_ptr<State> state = m_state;
  if (!state) return nullptr;
  std::unique_ptr<CInstalledHooks> hooks;
  {
    const std::lock_guard<std::mutex> hold(state->lock);
    if (!state->done) return nullptr;
    *reason = state->reason;
    hooks = std::move(state->hooks);
  }
  m_state.reset();
  return hooks;
}

bool CBackgroundInstall::Done() const {
  const std::shared_ptr<State> state = m_state;
  if (!state) return false;
  const std::lock_guard<std::mutex> hold(state->lock);
  return state->done;
}

void CBackgroundInstall::Abandon() {
  if (!m_state) return;
  std::unique_ptr<CInstalledHooks> unwanted;
  {
    const std::lock_guard<std::mutex> hold(m_state->lock);
    m_state->abandoned = true;
    unwanted = std::move(m_state->hooks);
  }
  m_state.reset();
}

}  // namespace msglog
