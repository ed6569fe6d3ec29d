// A suite of dialog tests whose targets come from one fixture program in another process,
// started before the suite's first test and ended after its last.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "E2eDriver.h"

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

}  // namespace uitest
