// The command line of the real program: every argument is echoed to the standard output the
// program was started with, and only the exact switch "-K407" turns the debug mode on.
#include "E2eDriver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(e2e::QuorvelExePath().empty()) << "QUORVEL_BIN is not set";
    }

    // Runs the program with the arguments until its dialog is up, ends it and returns the
    // lines it wrote to its standard output.
    Lines EchoOf(const std::vector<std::string>& args) {
        const std::string output = e2e::TemporaryFilePath("quorvel-stdout");
        e2e::QuorvelProgram quorvel;
        EXPECT_TRUE(quorvel.Start(args, output)) << "no main dialog";
        // In debug mode the program lingers about a second after its dialog has gone.
        EXPECT_TRUE(quorvel.Close(6000)) << "did not end by itself";
        DWORD exitCode = STILL_ACTIVE;
        EXPECT_TRUE(quorvel.Process().WaitForExit(0, &exitCode));
        EXPECT_EQ(exitCode, 0u) << "a normal end exits with 0";
        const Lines lines = e2e::SplitLines(e2e::ReadFile(output));
        DeleteFileA(output.c_str());
        return lines;
    }
};

TEST_F(CommandLineTest, EveryArgumentIsEchoedWithItsIndex) {
    EXPECT_EQ(EchoOf({"foo", "bar baz", "日本語ソ"}),
              (Lines{"1番目の引数=foo", "2番目の引数=bar baz", "3番目の引数=日本語ソ"}));
}

TEST_F(CommandLineTest, NoArgumentsWriteNothing) {
    EXPECT_EQ(EchoOf({}), Lines{});
}

TEST_F(CommandLineTest, OnlyTheExactSwitchTurnsDebugModeOn) {
    EXPECT_EQ(EchoOf({"-k407", "-K4070", "-K40", "/K407"}),
              (Lines{"1番目の引数=-k407", "2番目の引数=-K4070", "3番目の引数=-K40",
                     "4番目の引数=/K407"}));
}

TEST_F(CommandLineTest, SwitchAmongOtherArgumentsIsRecognised) {
    EXPECT_EQ(EchoOf({"a", "b", "-K407", "c"}),
              (Lines{"1番目の引数=a", "2番目の引数=b", "3番目の引数=-K407", "DEBUGMODE ON",
                     "4番目の引数=c"}));
}

TEST_F(CommandLineTest, SwitchGivenTwiceIsReportedTwice) {
    EXPECT_EQ(EchoOf({"-K407", "-K407"}),
              (Lines{"1番目の引数=-K407", "DEBUGMODE ON", "2番目の引数=-K407", "DEBUGMODE ON"}));
}

}  // namespace
