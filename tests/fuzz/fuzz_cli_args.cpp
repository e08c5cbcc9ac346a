// The tool's argument parsing over any arguments (NUL-separated in the
// input): the option reader and the date, month and date-time
// readers, and whole runs of the commands that touch no file. A failure is
// one line on the error stream and nothing on the output.
#include <cstdint>
#include <sstream>

#include "cli/cli_args.h"
#include "cli/commands.h"
#include "fuzz/fuzz_input.h"

namespace {

using namespace redoviri::cli;

constexpr OptionSpec kKnown[] = {
    {"--file", true},   {"--category", true},   {"--date", true},        {"--time", true},
    {"--name", true},   {"--comment", true},    {"--each-year", false}, {"--each-month", false},
    {"--once", false},  {"--every", true},      {"--today", true},      {"--order", true},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  redoviri::fuzz::Input in(data, size);
  Args args;
  while (!in.empty() && args.size() < 16) args.emplace_back(in.Piece('\0'));

  std::ostringstream out, err;
  const int code = RunCommand("fuzz", out, err, [&] {
    const CommandLine line(args, kKnown, 2);
    std::string text;
    for (const std::string& arg : args) {
      if (auto r = ReadIsoDate(arg); r.value) text += "d";
      if (auto r = ReadIsoMonth(arg); r.value) text += "m";
      if (auto r = ReadIsoDateTime(arg); r.value) text += "t";
    }
    if (const std::string* date = line.Value("--date")) ReadArgument(*date, ReadIsoDate);
    line.Required("--time", "hh:nn");
    return text + "\n";
  });
  REDOVIRI_FUZZ_CHECK(code == kOk || code == kBadInput);
  if (code != kOk) {
    const std::string message = err.str();
    REDOVIRI_FUZZ_CHECK(out.str().empty());
    REDOVIRI_FUZZ_CHECK(!message.empty() && message.find('\n') == message.size() - 1);
  }

  // Whole runs of the commands that read no file.
  if (!args.empty() && (args[0] == "astro" || args[0] == "moon" || args[0] == "--help")) {
    Args argv{"redoviri-cli"};
    argv.insert(argv.end(), args.begin(), args.end());
    std::ostringstream o, e;
    const int c = RunCli(argv, o, e);
    REDOVIRI_FUZZ_CHECK(c == kOk || c == kBadInput);
    if (c != kOk) REDOVIRI_FUZZ_CHECK(o.str().empty());
  }
  return 0;
}
