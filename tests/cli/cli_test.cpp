#include <sstream>

#include <gtest/gtest.h>

#include "cli/commands.h"

namespace redoviri::cli {
namespace {

struct Result {
  int code;
  std::string out, err;
};

Result Run(const Args& args) {
  std::ostringstream out, err;
  const int code = RunCli(args, out, err);
  return {code, out.str(), err.str()};
}

TEST(Cli, UsageAndUnknownCommands) {
  const Result help = Run({"--help"});
  EXPECT_EQ(help.code, kOk);
  EXPECT_NE(help.out.find("moon YYYY-MM"), std::string::npos);

  for (const Args& bad : {Args{}, Args{"frobnicate"}, Args{"-x"}}) {
    const Result r = Run(bad);
    EXPECT_EQ(r.code, kBadInput);
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
}

}  // namespace
}  // namespace redoviri::cli
