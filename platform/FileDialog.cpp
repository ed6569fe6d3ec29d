#include "platform/FileDialog.h"


#include "platform/ActionBudget.h"

namespace platform {
namespace {
SaveFileDialogHook& Hook() {
  static SaveFileDialogHook hook;
  return hook;
}
}  // namespace

SaveFileDialogHook SetSaveFileDialogHook(SaveFileDialogHook hook) {
  SaveFileDialogHook old = std::move(Hook());
  Hook() = std::move(hook);
  return old;
}

OPENFILENAMEA SaveFileDialogSettings(HWND owner, const SaveFileRequest& request, const std::string& filter, char* path,
                                     DWORD pathSize) {
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = request.filterIndex;
  ofn.lpstrFile = path;
  ofn.nMaxFile = pathSize;
  ofn.lpstrDefExt = request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
  ofn.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
  return ofn;
}

std::optional<SaveFileChoice> ShowSaveFileDialog(HWND owner, const SaveFileRequest& request) {
  if (Hook()) return Hook()(owner, request);
  char path[MAX_PATH] = {};
  lstrcpynA(path, request.fileName.c_str(), sizeof(path));
  // The filter's pairs end with one more NUL than the string carries.
  const std::string filter = request.filter + '\0';
  OPENFILENAMEA ofn = SaveFileDialogSettings(owner, request, filter, path, sizeof(path));
  const CActionBudgetPause userAnswers;
  if (!::GetSaveFileNameA(&ofn)) return std::nullopt;
  return SaveFileChoice{path, ofn.nFilterIndex};
}

}  // namespace platform
