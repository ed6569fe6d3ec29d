// The product version read from the program's own version resource, for the About box.
#pragma once
#include <optional>
#include <string>

namespace app {

// "Ver.:" and the ProductVersion of the file's first translation; the value is empty when the
// entry is missing. Nothing when the file has no version resource or translation table.
std::optional<std::string> ReadProductVersionText(const char* path);

// The cached text for this program ("" while it cannot be read; tried again then).
const char* GetVersionText();

// The About box line: "Tsuravi " and the version text with "," as "-" and ";" as ".".
std::string FormatAboutVersion(const std::string& versionText);

}  // namespace app
