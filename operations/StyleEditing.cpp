#include "operations/StyleEditing.h"

#include "operations/StyleWordDlg.h"
#include "platform/Target.h"
#include "platform/WindowCalls.h"

namespace operations {
namespace {

template <class Editor>
void RunEditor(HWND owner, HWND target, int index) {
  Editor dlg;
  dlg.m_dwWord = static_cast<DWORD>(::GetWindowLongA(target, index));
  if (dlg.DoModal(owner) == IDOK && platform::IsLiveTarget(target))
    platform::WriteStyleWordNoWait(target, index, dlg.m_dwWord);
}

}  // namespace

void EditStyleWord(HWND owner, HWND target, int index) {
  if (!platform::IsLiveTarget(target)) return;
  if (index == GWL_EXSTYLE)
    RunEditor<CWindowStyleExDlg>(owner, target, GWL_EXSTYLE);
  else
    RunEditor<CWindowStyleDlg>(owner, target, GWL_STYLE);
}

}  // namespace operations
