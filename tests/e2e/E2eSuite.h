// The base of the end-to-end tests: the fixture program started for each test, Quorvel started
// when the test wants it, both ended afterwards.
#pragma once
#include <gtest/gtest.h>

#include "E2eDriver.h"

namespace e2e {

class E2eSuite : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(QuorvelExePath().empty()) << "QUORVEL_BIN is not set";
        ASSERT_TRUE(fixture.Start()) << "fixture did not start: " << FixtureExePath();
    }

    void TearDown() override {
        quorvel.Close();
        fixture.Quit();
    }

    // Starts Quorvel and waits for its main dialog.
    void StartQuorvel() {
        ASSERT_TRUE(quorvel.Start()) << "no dialog \"Tsuravi\" of class #32770 from " << QuorvelExePath();
        dialog = quorvel.Dialog();
    }

    FixtureClient fixture;
    QuorvelProgram quorvel;
    HWND dialog = nullptr;
};

}  // namespace e2e
