#include "inspector/RegionEditing.h"

#include "inspector/PictureLayout.h"
#include "platform/MessageBox.h"
#include "platform/WindowCalls.h"

namespace inspector {
namespace {

const char kNoChildRect[] = "子ウィンドウの矩形が選択状態でありません";
const char kCombineFailed[] = "リージョンの結合に失敗しました";
const char kSetFailed[] = "リージョンの設定に失敗しました";
const char kReleaseFailed[] = "リージョンの解除に失敗しました";

bool IsLiveWindow(HWND hwnd) { return ::IsWindow(hwnd) != FALSE; }

}  // namespace

CRegionEditing::CRegionEditing() : m_state(std::make_shared<State>()) {}

void CRegionEditing::Clear() { m_state->saved.Clear(); }

// Keeps the window's own region (or that it has none) before it first changes; a window saved
// before keeps what was saved then. False when it cannot be read.
bool CRegionEditing::Save(HWND window) {
  m_state->saved.DropDead(IsLiveWindow);
  if (m_state->saved.Has(window)) return true;
  platform::UniqueRegion region(::CreateRectRgn(0, 0, 0, 0));
  if (!region) return false;
  if (::GetWindowRgn(window, region.get()) == ERROR) region.reset();  // no region of its own
  m_state->saved.Save(window, std::move(region));
  return true;
}

bool CRegionEditing::Change(HWND window, platform::UniqueRegion region) {
  ++m_state->changes;
  return platform::SetWindowRgnNoWait(window, std::move(region), true).accepted;
}

void CRegionEditing::CutOut(HWND window, const RECT& child) {
  if (IsEmptyRect(child)) {
    platform::AppMessageBox(kNoChildRect);
    return;
  }
  if (!Save(window)) {
    platform::AppMessageBox(kCombineFailed);
    return;
  }
  RECT whole{};
  ::GetWindowRect(window, &whole);
  platform::UniqueRegion region =
      CutOutRegion(child, m_state->saved.Find(window), SIZE{whole.right - whole.left, whole.bottom - whole.top});
  if (!region) {
    platform::AppMessageBox(kCombineFailed);
    return;
  }
  if (!Change(window, std::move(region))) platform::AppMessageBox(kSetFailed);
}

void CRegionEditing::SetRectangle(HWND window, const RECT& child) {
  if (IsEmptyRect(child)) {
    platform::AppMessageBox(kNoChildRect);
    return;
  }
  platform::UniqueRegion region(::CreateRectRgn(child.left, child.top, child.right, child.bottom));
  if (!region || !Save(window)) {
    platform::AppMessageBox(kSetFailed);
    return;
  }
  if (!Change(window, std::move(region))) platform::AppMessageBox(kSetFailed);
}

// A release refused, now or later, keeps the saved region, so the window still hands over a copy.
void CRegionEditing::Release(HWND window) {
  m_state->saved.DropDead(IsLiveWindow);
  platform::UniqueRegion restore;
  if (HRGN saved = m_state->saved.Find(window)) {
    restore.reset(::CreateRectRgn(0, 0, 0, 0));
    if (!restore || ::CombineRgn(restore.get(), saved, nullptr, RGN_COPY) == ERROR) {
      platform::AppMessageBox(kReleaseFailed);
      return;
    }
  }
  const unsigned change = ++m_state->changes;
  const std::weak_ptr<State> state = m_state;
  const platform::WindowRgnResult result =
      platform::SetWindowRgnNoWait(window, std::move(restore), true, [state, window, change](bool accepted) {
        const std::shared_ptr<State> alive = state.lock();
        if (accepted && alive && alive->changes == change) alive->saved.Take(window);
      });
  if (!result.accepted) platform::AppMessageBox(kReleaseFailed);
}

}  // namespace inspector
