// The open properties views: one per window. Opening the view of a window that has one brings
// it to the front.
#pragma once
#include "platform/WindowViews.h"
#include "properties/PropertiesDlg.h"

namespace properties {

using CPropertyViews = platform::CWindowViews<CPropertiesDlg>;

}  // namespace properties
