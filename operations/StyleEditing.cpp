#include "operations/StyleEditing.h"

#include "operations/WindowStyleDlg.h"
#include "operations/WindowStyleExDlg.h"
#include "platform/Target.h"
#include "platform/WindowCalls.h"

namespace operations {
namespace {

template <class Editor>
void RunEditor(HWND owner, HWND target, int index, DWORD Editor::*word) {
  if (!platform::IsLiveTarget(target)) return;
  Editor dlg;
  dlg.*word = static_cast<DWORD>(::GetWindowLongA(target, index));
  if (dlg.DoModal(owner) == IDOK && platform::IsLiveTarget(target))
    platform::WriteStyleWordNoWait(target, index, dlg.*word);
}

}  // namespace

void EditStyleWord(HWND owner, HWND target, int index) {
  if (index == GWL_EXSTYLE)
    RunEditor(owner, target, GWL_EXSTYLE, &CWindowStyleExDlg::m_dwExStyle);
  else
    RunEditor(owner, target, GWL_STYLE, &CWindowStyleDlg::m_dwStyle);
}

}  // namespace operations
