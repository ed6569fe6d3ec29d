// Starts one of Quorvel's helper programs (a 64-bit helper beside Quorvel.exe): hidden, with
// the arguments after its quoted path. The one launcher of every helper.
#pragma once
#include <windows.h>

#include <string>

#include "platform/Handles.h"

namespace platform {

// The helper's process, or null with the system's error in *error.
UniqueProcess StartHelperProgram(const std::wstring& path, const std::wstring& arguments, DWORD* error);

}  // namespace platform
