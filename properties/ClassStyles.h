// A window class's words in names: the CS_ bits of its style, the system colour its background
// brush may stand for.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

namespace properties {

// "CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS" in bit order; bits without a name as "0x%08x" at the
// end; "なし" for 0.
std::string ClassStyleNames(DWORD style);

// A class background "brush" of 1 to 31 is a system colour index + 1: "COLOR_BTNFACE + 1";
// empty for a real brush.
std::string SystemColourBrushName(uint64_t brush);

}  // namespace properties
