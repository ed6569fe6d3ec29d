// Files Quorvel keeps beside its executable (the hook DLLs and the 64-bit helper).
#pragma once
#include <string>

namespace platform {

// The path of a file in the folder of Quorvel.exe.
std::wstring PathBesideProgram(const wchar_t* fileName);

}  // namespace platform
