#include <ostream>
#include <string_view>

#include "cli/commands.h"

namespace redoviri::cli {
namespace {

constexpr Command kCommands[] = {
    {"astro", "astro YYYY-MM-DD[Thh:mm[:ss]]", CmdAstro},
    {"moon", "moon YYYY-MM", CmdMoon},
    {"phases", "phases YYYY[-MM]  (each new and full moon, in time order: YYYY-MM-DDThh:mm:ssZ<TAB>new|full, UT)",
     CmdPhases},
    {"list", "list --file PATH", CmdList},
    {"month", "month YYYY-MM --file PATH [--today YYYY-MM-DD]", CmdMonth},
    {"day", "day YYYY-MM-DD --file PATH [--order mdy|dmy]", CmdDay},
    {"today", "today --file PATH [--date YYYY-MM-DD]", CmdToday},
    {"add",
     "add --file PATH --category 1..6 --date YYYY-MM-DD --time hh:nn --name TEXT [--comment TEXT] "
     "[--each-year] [--each-month] [--once] [--every N]",
     CmdAdd},
    {"delete", "delete --file PATH (the same options as add)", CmdDelete},
};

void PrintUsage(std::ostream& out) {
  out << "usage: redoviri-cli COMMAND [ARGS]\n\ncommands:\n";
  for (const Command& c : kCommands) out << "  " << c.usage << '\n';
}

}  // namespace

int RunCli(const Args& argv, std::ostream& out, std::ostream& err) {
  if (argv.empty()) {
    err << "redoviri-cli: missing command (try --help)\n";
    return kBadInput;
  }
  const std::string_view word = argv[0];
  if (word == "--help" || word == "-h" || word == "help") {
    PrintUsage(out);
    return kOk;
  }
  for (const Command& c : kCommands) {
    if (word == c.name) {
      const Args rest(argv.begin() + 1, argv.end());
      for (const std::string& a : rest) {
        if (a == "--help") {
          out << "usage: redoviri-cli " << c.usage << '\n';
          return kOk;
        }
      }
      return c.run(rest, out, err);
    }
  }
  err << "redoviri-cli: unknown command '" << word << "' (try --help)\n";
  return kBadInput;
}

}  // namespace redoviri::cli
