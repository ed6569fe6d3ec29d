// The late-bound layered-window calls and the taskbar wrappers on a window of this process.
#include <gtest/gtest.h>
#include <windows.h>
#include <shobjidl.h>

#include "platform/LayeredCalls.h"
#include "platform/Taskbar.h"

namespace {

class OwnWindow {
 public:
  OwnWindow() {
    m_hWnd = ::CreateWindowExA(0, "STATIC", "layered", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 200, 100, nullptr,
                               nullptr, nullptr, nullptr);
  }
  ~OwnWindow() { ::DestroyWindow(m_hWnd); }
  HWND Get() const { return m_hWnd; }

 private:
  HWND m_hWnd;
};

TEST(LayeredCalls, SetThenGetRoundTripsColourKeyAlphaAndFlags) {
  OwnWindow window;
  ::SetWindowLongA(window.Get(), GWL_EXSTYLE, ::GetWindowLongA(window.Get(), GWL_EXSTYLE) | WS_EX_LAYERED);
  ASSERT_TRUE(CallSetLayeredWindowAttributes(window.Get(), RGB(1, 2, 3), 77, LWA_COLORKEY | LWA_ALPHA));
  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(CallGetLayeredWindowAttributes(window.Get(), &key, &alpha, &flags));
  EXPECT_EQ(key, RGB(1, 2, 3));
  EXPECT_EQ(alpha, 77);
  EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY | LWA_ALPHA));
}

TEST(LayeredCalls, FailOnAWindowThatIsNotLayered) {
  OwnWindow window;
  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  EXPECT_FALSE(CallGetLayeredWindowAttributes(window.Get(), &key, &alpha, &flags));
  EXPECT_FALSE(CallSetLayeredWindowAttributes(nullptr, 0, 255, LWA_ALPHA));
}

TEST(Taskbar, AddAndDeleteReportTheShellsAnswer) {
  OwnWindow window;
  EXPECT_EQ(TaskbarAddTab(window.Get()), 1);
  EXPECT_EQ(TaskbarDeleteTab(window.Get()), 1);
  // COM is left as it was found: a later use on this thread works the same.
  EXPECT_EQ(TaskbarAddTab(window.Get()), 1);
}

// A taskbar-list object whose answers a test chooses; it counts its references and calls.
class FakeTaskbarList : public ITaskbarList {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }
  HRESULT STDMETHODCALLTYPE HrInit() override {
    ++initialised;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE AddTab(HWND hwnd) override {
    added = hwnd;
    return answer;
  }
  HRESULT STDMETHODCALLTYPE DeleteTab(HWND hwnd) override {
    deleted = hwnd;
    return answer;
  }
  HRESULT STDMETHODCALLTYPE ActivateTab(HWND) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetActiveAlt(HWND) override { return E_NOTIMPL; }

  static HRESULT Make(ITaskbarList** list) {
    if (FAILED(s_creation)) return s_creation;
    s_instance.AddRef();
    *list = &s_instance;
    return S_OK;
  }

  static FakeTaskbarList s_instance;
  static HRESULT s_creation;
  ULONG references = 0;
  int initialised = 0;
  HRESULT answer = S_OK;
  HWND added = nullptr;
  HWND deleted = nullptr;
};
FakeTaskbarList FakeTaskbarList::s_instance;
HRESULT FakeTaskbarList::s_creation = S_OK;

// True when COM is not initialised on this thread (so a wrapper left it balanced).
bool ComIsUninitialised() {
  const HRESULT hr = ::CoInitialize(nullptr);
  ::CoUninitialize();
  return hr == S_OK;
}

TEST(Taskbar, OnlySOkIsSuccessAndEveryPathReleasesTheObjectAndCom) {
  OwnWindow window;
  ASSERT_TRUE(ComIsUninitialised());
  const TaskbarListFactory previous = SetTaskbarListFactory(&FakeTaskbarList::Make);
  FakeTaskbarList& fake = FakeTaskbarList::s_instance;

  fake.answer = S_OK;
  EXPECT_EQ(TaskbarAddTab(window.Get()), 1);
  EXPECT_EQ(fake.added, window.Get());
  EXPECT_EQ(fake.initialised, 1);
  fake.answer = S_FALSE;
  EXPECT_EQ(TaskbarAddTab(window.Get()), 0);
  EXPECT_EQ(TaskbarDeleteTab(window.Get()), 0);
  EXPECT_EQ(fake.deleted, window.Get());
  fake.answer = E_FAIL;
  EXPECT_EQ(TaskbarDeleteTab(window.Get()), 0);
  EXPECT_EQ(fake.initialised, 4);
  EXPECT_EQ(fake.references, 0u);
  EXPECT_TRUE(ComIsUninitialised());

  // An object that cannot be made is a failure too, with nothing to release.
  FakeTaskbarList::s_creation = REGDB_E_CLASSNOTREG;
  EXPECT_EQ(TaskbarAddTab(window.Get()), 0);
  EXPECT_EQ(TaskbarDeleteTab(window.Get()), 0);
  EXPECT_EQ(fake.initialised, 4);
  EXPECT_TRUE(ComIsUninitialised());
  FakeTaskbarList::s_creation = S_OK;

  SetTaskbarListFactory(previous);
  EXPECT_EQ(TaskbarAddTab(window.Get()), 1);
  EXPECT_EQ(TaskbarDeleteTab(window.Get()), 1);
  EXPECT_TRUE(ComIsUninitialised());
}

}  // namespace
