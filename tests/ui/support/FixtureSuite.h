// A suite of dialog tests whose targets come from one fixture program in another process,
// started before the suite's first test and ended after its last.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "E2eDriver.h"
#include "support/UiTestSupport.h"

namespace uitest {

class FixtureSuite : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_fixture = new e2e::FixtureClient;
    ASSERT_TRUE(s_fixture->Start());
  }
  static void TearDownTestSuite() {
    s_fixture->Quit();
    delete s_fixture;
    s_fixture = nullptr;
  }

  // A fixture window at (100, 100), 300 x 200, with further options of the fixture's "create".
  static HWND CreateTarget(const std::string& options = "") {
    HWND hwnd = s_fixture->Create("x=100 y=100 w=300 h=200 " + options);
    EXPECT_NE(hwnd, nullptr);
    return hwnd;
  }

  static inline e2e::FixtureClient* s_fixture = nullptr;
};

// A fixture suite whose tests each drive one panel, created in a host window of its own at
// (640, 560), right of where the fixture's windows and their icons go.
template <class Panel>
class PanelSuite : public FixtureSuite {
 protected:
  PanelSuite(DWORD hostExStyle, int hostWidth, int hostHeight)
      : m_hostExStyle(hostExStyle), m_hostWidth(hostWidth), m_hostHeight(hostHeight) {}

  void SetUp() override {
    ASSERT_NE(s_fixture, nullptr);
    m_host = ::CreateWindowExA(m_hostExStyle, "STATIC", "host", WS_POPUP | WS_VISIBLE, 640, 560, m_hostWidth,
                               m_hostHeight, nullptr, nullptr, nullptr, nullptr);
    m_dlg = std::make_unique<Panel>();
    ASSERT_TRUE(m_dlg->Create(m_host));
    m_panel = m_dlg->GetSafeHwnd();
    m_dlg->ShowWindow(SW_SHOW);
  }
  void TearDown() override {
    m_dlg.reset();
    ::DestroyWindow(m_host);
  }

  // Made before the panel, checked once it is gone: the panel gives back every GDI object it made.
  GdiOwnerBalanceAtEnd m_gdi;
  HWND m_host = nullptr;
  HWND m_panel = nullptr;
  std::unique_ptr<Panel> m_dlg;

 private:
  DWORD m_hostExStyle;
  int m_hostWidth;
  int m_hostHeight;
};

}  // namespace uitest
