// The open views of single windows of one kind (message logs, properties, accessible objects,
// send dialogs): one per window. Asking for the view of a window that has one brings it to the
// front; a view the user closed is never shown again, the next one is made anew.
//
// A View is a CModelessView built from the window it shows, with
//   HWND Viewed() const                 the window it shows.
#pragma once
#include <windows.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/Target.h"

namespace platform {

template <class View>
class CWindowViews {
 public:
  // Opens (or brings to the front) the view of the window, owned by owner; nothing for a
  // window that is not there. Returns the view, or null.
  View* Open(HWND owner, HWND window) {
    if (!window || !IsLiveTarget(window)) return nullptr;
    // Views the user closed have let go of everything; their objects go now.
    m_views.erase(std::remove_if(m_views.begin(), m_views.end(), [](const auto& view) { return view->Closed(); }),
                  m_views.end());
    if (View* open = Find(window)) {
      open->Open(owner);
      return open;
    }
    auto view = std::make_unique<View>(window);
    if (!view->Open(owner, static_cast<int>(m_views.size()))) return nullptr;
    m_views.push_back(std::move(view));
    return m_views.back().get();
  }
  // The open view of the window, or null.
  View* Find(HWND window) const {
    for (const auto& view : m_views)
      if (view->Viewed() == window && !view->Closed()) return view.get();
    return nullptr;
  }
  // Every view, open or closed, in the order they were opened.
  const std::vector<std::unique_ptr<View>>& All() const { return m_views; }
  // Ends every view: dialogs gone with what they held.
  void CloseAll() { m_views.clear(); }

 private:
  std::vector<std::unique_ptr<View>> m_views;
};

}  // namespace platform
