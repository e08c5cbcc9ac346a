// Runs redoviri-cli in-process and captures its streams.
#pragma once

#include <sstream>
#include <string>

#include "cli/commands.h"

namespace redoviri::cli::testing {

struct CliResult {
  int code;
  std::string out, err;
};

inline CliResult RunTool(const Args& args) {
  std::ostringstream out, err;
  const int code = RunCli(args, out, err);
  return {code, out.str(), err.str()};
}

}  // namespace redoviri::cli::testing
