// The JSON library every snapshot, diff and qv output goes through (nlohmann/json), with the
// order of an object's fields kept as written, and the program's fixed value formats.
#pragma once
#include <windows.h>

#include <nlohmann/json.hpp>
#include <string>

namespace snapshot {

using Json = nlohmann::ordered_json;

// A handle or a 32-bit word as the views show it: "0x%08x"; a null handle is JSON null.
Json HandleJson(HWND hwnd);
std::string WordText(DWORD value);
// An address at the width it has: "0x%08x", sixteen digits above 4 GB.
std::string AddressText(uint64_t value);

// UTF-16 from the system as UTF-8 for JSON; code page 932 texts of the program's own as UTF-8.
std::string Utf8(const std::wstring& text);
std::string Utf8FromAnsi(const std::string& text);

}  // namespace snapshot
