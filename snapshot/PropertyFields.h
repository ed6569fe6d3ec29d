// The property fields of a window: what the properties view reads (properties/WindowReader and
// the procedure probe), under the snapshot's field names. A value the system will not give is
// null with the reason in a sibling field "…Error".
#pragma once
#include "properties/WindowFacts.h"
#include "snapshot/Json.h"

namespace snapshot {

// The fields, in the document's order; the procedures as the facts hold them (a probe not yet
// answered gives null procedures with the reason).
Json PropertyJson(const properties::WindowFacts& facts);

// "unaware", "system", "perMonitor", "perMonitorV2"; null for unknown.
Json DpiAwarenessJson(properties::DpiAwareness awareness);
// "untrusted", "low", "medium", "mediumUIAccess", "high", "system".
const char* IntegrityName(DWORD level);

}  // namespace snapshot
