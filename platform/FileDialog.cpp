#include "platform/FileDialog.h"

#include <vector>

#include "platform/ActionBudget.h"

namespace platform {
namespace {
constexpr size_t kPathCapacity = 4096;

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

OPENFILENAMEW SaveFileDialogSettings(HWND owner, const SaveFileRequest& request, const std::wstring& filter,
                                     wchar_t* path, DWORD pathSize) {
  OPENFILENAMEW ofn = {};
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
  // Room for a long path; the system's own dialog gives up to 32767 characters.
  std::vector<wchar_t> path(kPathCapacity, L'\0');
  lstrcpynW(path.data(), request.fileName.c_str(), static_cast<int>(path.size()));
  // The filter's pairs end with one more NUL than the string carries.
  const std::wstring filter = request.filter + L'\0';
  OPENFILENAMEW ofn = SaveFileDialogSettings(owner, request, filter, path.data(), static_cast<DWORD>(path.size()));
  const CActionBudgetPause userAnswers;
  if (!::GetSaveFileNameW(&ofn)) return std::nullopt;
  return SaveFileChoice{path.data(), ofn.nFilterIndex};
}

std::optional<SaveFileChoice> ShowOpenFileDialog(HWND owner, const SaveFileRequest& request) {
  if (Hook()) return Hook()(owner, request);
  std::vector<wchar_t> path(kPathCapacity, L'\0');
  lstrcpynW(path.data(), request.fileName.c_str(), static_cast<int>(path.size()));
  const std::wstring filter = request.filter + L'\0';
  OPENFILENAMEW ofn = SaveFileDialogSettings(owner, request, filter, path.data(), static_cast<DWORD>(path.size()));
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  const CActionBudgetPause userAnswers;
  if (!::GetOpenFileNameW(&ofn)) return std::nullopt;
  return SaveFileChoice{path.data(), ofn.nFilterIndex};
}

}  // namespace platform
