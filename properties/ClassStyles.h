// A window class's style word in the CS_ names of its bits.
#pragma once
#include <windows.h>

#include <string>

namespace properties {

// "CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS" in bit order; bits without a name as "0x%08x" at the
// end; "なし" for 0.
std::string ClassStyleNames(DWORD style);

}  // namespace properties
