#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/Arguments.h"

namespace {

struct ScanResult {
  bool debug;
  std::string output;
};

ScanResult Scan(std::vector<const char*> args) {
  args.insert(args.begin(), "Quorvel.exe");
  std::FILE* out = std::tmpfile();
  bool debug = app::ScanArguments(static_cast<int>(args.size()), args.data(), out);
  std::fflush(out);
  std::rewind(out);
  std::string text;
  char buffer[256];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof(buffer), out)) > 0) text.append(buffer, got);
  std::fclose(out);
  return {debug, text};
}

TEST(ArgumentScan, EchoesEveryArgumentWithItsNumber) {
  ScanResult result = Scan({"alpha", "日本語", ""});
  EXPECT_FALSE(result.debug);
  EXPECT_EQ(result.output, "1番目の引数=alpha\n2番目の引数=日本語\n3番目の引数=\n");
}

TEST(ArgumentScan, ExactSwitchAnywhereTurnsDebugOn) {
  ScanResult result = Scan({"a", "b", "-K407", "c"});
  EXPECT_TRUE(result.debug);
  EXPECT_EQ(result.output,
            "1番目の引数=a\n2番目の引数=b\n3番目の引数=-K407\nDEBUGMODE ON\n4番目の引数=c\n");
}

TEST(ArgumentScan, NearMissesOfTheSwitchAreOnlyEchoed) {
  for (const char* argument : {"-k407", "-K4070", "-K40", "-K", "", "/K407", "K407", "-K407 "}) {
    ScanResult result = Scan({argument});
    EXPECT_FALSE(result.debug) << argument;
    EXPECT_EQ(result.output.find("DEBUGMODE ON"), std::string::npos) << argument;
  }
}

TEST(ArgumentScan, SwitchGivenTwiceIsNotedTwice) {
  ScanResult result = Scan({"-K407", "-K407"});
  EXPECT_TRUE(result.debug);
  EXPECT_EQ(result.output, "1番目の引数=-K407\nDEBUGMODE ON\n2番目の引数=-K407\nDEBUGMODE ON\n");
}

TEST(ArgumentScan, NoArgumentsWritesNothing) {
  ScanResult result = Scan({});
  EXPECT_FALSE(result.debug);
  EXPECT_TRUE(result.output.empty());
}

}  // namespace
