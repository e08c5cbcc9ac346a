#include <algorithm>

#include <gtest/gtest.h>

#include "support/cli_run.h"

namespace redoviri::cli {
namespace {

using testing::RunTool;

TEST(Cli, UsageAndUnknownCommands) {
  const auto help = RunTool({"--help"});
  EXPECT_EQ(help.code, kOk);
  EXPECT_NE(help.out.find("moon YYYY-MM"), std::string::npos);

  for (const Args& bad : {Args{}, Args{"frobnicate"}, Args{"-x"}}) {
    const auto r = RunTool(bad);
    EXPECT_EQ(r.code, kBadInput);
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
}

}  // namespace
}  // namespace redoviri::cli
