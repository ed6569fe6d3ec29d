#include "inspector/SavedRegions.h"

#include <iterator>

namespace inspector {

HRGN CSavedRegions::Find(HWND hwnd) const {
  auto found = m_regions.find(hwnd);
  return found == m_regions.end() ? nullptr : found->second.get();
}

void CSavedRegions::Save(HWND hwnd, platform::UniqueRegion region) { m_regions.emplace(hwnd, std::move(region)); }

platform::UniqueRegion CSavedRegions::Take(HWND hwnd) {
  auto found = m_regions.find(hwnd);
  if (found == m_regions.end()) return nullptr;
  platform::UniqueRegion region = std::move(found->second);
  m_regions.erase(found);
  return region;
}

void CSavedRegions::DropDead(const std::function<bool(HWND)>& isWindow) {
  for (auto it = m_regions.begin(); it != m_regions.end();) it = isWindow(it->first) ? std::next(it) : m_regions.erase(it);
}

platform::UniqueRegion CutOutRegion(const RECT& child, HRGN saved, SIZE window) {
  platform::UniqueRegion result(::CreateRectRgn(0, 0, 0, 0));
  platform::UniqueRegion childRegion(::CreateRectRgn(child.left, child.top, child.right, child.bottom));
  platform::UniqueRegion whole;
  HRGN base = saved;
  if (!base) {
    whole.reset(::CreateRectRgn(0, 0, window.cx, window.cy));
    base = whole.get();
  }
  if (!result || !childRegion || !base) return nullptr;
  if (::CombineRgn(result.get(), childRegion.get(), base, RGN_XOR) == ERROR) return nullptr;
  return result;
}

}  // namespace inspector
