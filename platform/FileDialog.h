// The system's Save As dialog, through one function that tests can answer (a hook), as they
// answer message boxes.
#pragma once
#include <windows.h>
#include <commdlg.h>
#include <functional>
#include <optional>
#include <string>

namespace platform {

struct SaveFileRequest {
  std::string fileName;       // proposed name, without folder
  std::string filter;         // pairs of "description\0pattern\0", as GetSaveFileNameA takes them
  DWORD filterIndex = 1;      // 1-based type selected at the start
  std::string defaultExtension;  // appended when the user types a name without one
};

struct SaveFileChoice {
  std::string path;
  DWORD filterIndex = 1;  // the type selected when the user pressed Save
};

using SaveFileDialogHook = std::function<std::optional<SaveFileChoice>(HWND owner, const SaveFileRequest& request)>;

// Replaces the system's dialog (tests); an empty hook restores it. Returns the old hook.
SaveFileDialogHook SetSaveFileDialogHook(SaveFileDialogHook hook);

// The system dialog's settings for a request: it asks before overwriting, wants an existing
// folder, shows no read-only box and leaves the current directory alone. filter is the request's
// filter ended by its second NUL, and path (pathSize bytes) the name buffer; both must outlive
// the settings.
OPENFILENAMEA SaveFileDialogSettings(HWND owner, const SaveFileRequest& request, const std::string& filter, char* path,
                                     DWORD pathSize);

// The chosen path and type, or nothing when the user cancelled.
std::optional<SaveFileChoice> ShowSaveFileDialog(HWND owner, const SaveFileRequest& request);

}  // namespace platform
