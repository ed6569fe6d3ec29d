// The regions the inspector found on windows before it first changed them, one per window,
// so that releasing a window's region gives back that window's own original shape. A window
// that had no region is remembered too, with a null region: its release removes the region.
#pragma once
#include <windows.h>

#include <functional>
#include <map>

#include "platform/Handles.h"

namespace inspector {

class CSavedRegions {
 public:
  // True when the window's own region (or that it had none) has been saved.
  bool Has(HWND hwnd) const { return m_regions.count(hwnd) != 0; }
  // The region saved for the window; null when none is saved or the window had none.
  HRGN Find(HWND hwnd) const;
  // Saves the window's own region, null for none; a window saved before keeps its first one.
  void Save(HWND hwnd, platform::UniqueRegion region);
  // Hands the window's saved region over and forgets it (null when there is none).
  platform::UniqueRegion Take(HWND hwnd);
  // Forgets the regions of windows that are gone; their handles may come back on new windows.
  void DropDead(const std::function<bool(HWND)>& isWindow);
  void Clear() { m_regions.clear(); }
  size_t Count() const { return m_regions.size(); }

 private:
  std::map<HWND, platform::UniqueRegion> m_regions;
};

// The region a cut-out gives: the base (the saved region, or the whole window of the size when
// none is saved) combined by exclusive or with the child rectangle, which makes a hole where
// the child lies inside the base and adds what lies outside. Null when the combination fails.
platform::UniqueRegion CutOutRegion(const RECT& child, HRGN saved, SIZE window);

}  // namespace inspector
