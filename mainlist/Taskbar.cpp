#include "mainlist/Taskbar.h"

#include <objbase.h>
#include <shobjidl.h>

namespace {

// Balances a successful CoInitialize on this thread.
class CComScope {
 public:
  CComScope() : m_bInitialised(SUCCEEDED(::CoInitialize(nullptr))) {}
  ~CComScope() {
    if (m_bInitialised) ::CoUninitialize();
  }
  CComScope(const CComScope&) = delete;
  CComScope& operator=(const CComScope&) = delete;

 private:
  bool m_bInitialised;
};

HRESULT CreateShellTaskbarList(ITaskbarList** list) {
  return ::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList,
                            reinterpret_cast<void**>(list));
}

TaskbarListFactory g_pTaskbarListFactory = CreateShellTaskbarList;

// Releases the interface it holds.
class CTaskbarListRef {
 public:
  CTaskbarListRef() {
    if (FAILED(g_pTaskbarListFactory(&m_pList))) m_pList = nullptr;
  }
  ~CTaskbarListRef() {
    if (m_pList) m_pList->Release();
  }
  CTaskbarListRef(const CTaskbarListRef&) = delete;
  CTaskbarListRef& operator=(const CTaskbarListRef&) = delete;
  ITaskbarList* Get() const { return m_pList; }

 private:
  ITaskbarList* m_pList = nullptr;
};

int ChangeTab(HWND hwnd, bool add) {
  CComScope com;
  CTaskbarListRef list;
  if (!list.Get()) return 0;
  list.Get()->HrInit();
  HRESULT hr = add ? list.Get()->AddTab(hwnd) : list.Get()->DeleteTab(hwnd);
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
