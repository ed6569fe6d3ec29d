// A suite of dialog tests whose targets come from one fixture program in another process,
// started before the suite's first test and ended after its last.
#pragma once
#include <gtest/gtest.h>

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

  static inline e2e::FixtureClient* s_fixture = nullptr;
};

}  // namespace uitest
