#include "platform/Taskbar.h"

#include <objbase.h>
#include <shobjidl.h>

#include "platform/Com.h"

namespace {

HRESULT CreateShellTaskbarList(ITaskbarList** list) {
  return ::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList,
                            reinterpret_cast<void**>(list));
}

TaskbarListFactory g_pTaskbarListFactory = CreateShellTaskbarList;

int ChangeTab(HWND hwnd, bool add) {
  platform::CComScope com;
  platform::CComRef<ITaskbarList> list;
  if (FAILED(g_pTaskbarListFactory(list.Out()))) list.Reset();
  if (!list) return 0;
  list->HrInit();
  HRESULT hr = add ? list->AddTab(hwnd) : list->DeleteTab(hwnd);
  return hr == S_OK ? 1 : 0;
}

}  // namespace

int TaskbarAddTab(HWND hwnd) { return ChangeTab(hwnd, true); }

TaskbarListFactory SetTaskbarListFactory(TaskbarListFactory factory) {
  const TaskbarListFactory previous = g_pTaskbarListFactory;
  g_pTaskbarListFactory = factory ? factory : CreateShellTaskbarList;
  return previous;
}

int TaskbarDeleteTab(HWND hwnd) { return ChangeTab(hwnd, false); }
