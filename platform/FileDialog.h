// The system's Save As dialog, through one function that tests can answer (a hook), as they
// answer message boxes.
#pragma once
#include <windows.h>
#include <commdlg.h>
#include <functional>
#include <optional>
#include <string>

namespace platform {

// Names are UTF-16 throughout: the name the user types is the name on disk, whatever the
// system's code page can hold.
struct SaveFileRequest {
  std::wstring fileName;          // proposed name, without folder
  std::wstring filter;            // pairs of "description\0pattern\0", as GetSaveFileNameW takes them
  DWORD filterIndex = 1;          // 1-based type selected at the start
  std::wstring defaultExtension;  // appended when the user types a name without one
};

struct SaveFileChoice {
  std::wstring path;
  DWORD filterIndex = 1;  // the type selected when the user pressed Save
};

using SaveFileDialogHook = std::function<std::optional<SaveFileChoice>(HWND owner, const SaveFileRequest& request)>;

// Replaces the system's dialog (tests); an empty hook restores it. Returns the old hook.
SaveFileDialogHook SetSaveFileDialogHook(SaveFileDialogHook hook);

// The system dialog's settings for a request: it asks before overwriting, wants an existing
// folder, shows no read-only box and leaves the current directory alone. filter is the request's
// filter ended by its second NUL, and path (pathSize characters) the name buffer; both must
// outlive the settings.
OPENFILENAMEW SaveFileDialogSettings(HWND owner, const SaveFileRequest& request, const std::wstring& filter,
                                     wchar_t* path, DWORD pathSize);

// The chosen path and type, or nothing when the user cancelled.
std::optional<SaveFileChoice> ShowSaveFileDialog(HWND owner, const SaveFileRequest& request);
// The system's Open dialog for a file that exists, with the same request and the same hook.
std::optional<SaveFileChoice> ShowOpenFileDialog(HWND owner, const SaveFileRequest& request);

}  // namespace platform
