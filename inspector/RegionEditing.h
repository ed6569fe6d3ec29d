// Window regions the inspector gives the inspected window, cut from a child's rectangle, and
// their release. Before a window's region first changes, its own region (or that it had none)
// is saved, and the release gives exactly that back; the saved region is dropped only once the
// system has accepted the release, at once or when a worker reports it for a window that was not
// answering. Failures are told in the application's message box.
#pragma once
#include <windows.h>

#include <memory>

#include "inspector/SavedRegions.h"
#include "platform/Handles.h"

namespace inspector {

class CRegionEditing {
 public:
  CRegionEditing();

  // The child's rectangle (relative to the window's top-left corner) cut out of the window's
  // saved region, or out of the whole window when it had none.
  void CutOut(HWND window, const RECT& child);
  // The window cut down to the child's rectangle.
  void SetRectangle(HWND window, const RECT& child);
  // The window's own region back, or no region when it had none or nothing was saved.
  void Release(HWND window);
  // Drops every saved region; they were never handed to a window.
  void Clear();

 private:
  struct State {
    CSavedRegions saved;
    // Region changes made so far, the latest included: a release completed late drops the saved
    // region only when nothing changed the window after it.
    unsigned changes = 0;
  };

  bool Save(HWND window);
  bool Change(HWND window, platform::UniqueRegion region);

  // Shared with the completions of releases still on their way, which may outlive the inspector.
  std::shared_ptr<State> m_state;
};

}  // namespace inspector
