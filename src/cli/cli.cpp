#include <ostream>
#include <string_view>

#include "cli/commands.h"

#ifdef _WIN32
#include "events/codepage.h"
#endif

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
     "add --file PATH --category 1..6 --date YYYY-MM-DD --time hh:nn|none --name TEXT [--comment TEXT] "
     "[--each-year] [--each-month] [--once] [--every N] [--remind 15m,2h,1d,1w,...]",
     CmdAdd},
    {"delete", "delete --file PATH (the same options as add) [--only-on DATE | --from DATE]", CmdDelete},
    {"change", "change --file PATH (the options of add) [--new-category N] [--new-date DATE] [--new-time T] "
               "[--new-name TEXT] [--new-comment TEXT] [--new-remind LIST|none] [--only-on DATE | --from DATE]",
     CmdChange},
    {"upcoming",
     "upcoming --file PATH [--days 1..366] [--from YYYY-MM-DD]\n"
     "      the notices and reminders due in the N days (default 7) from the day's 00:00 (default today),\n"
     "      in time order: YYYY-MM-DD HH:MM<TAB>event|reminder<TAB>event's day<TAB>its time|day<TAB>\n"
     "      category<TAB>name<TAB>how far ahead",
     CmdUpcoming},
    {"export-ics",
     "export-ics --file PATH [--output FILE]\n"
     "      iCalendar (RFC 5545, UTF-8, CR LF) on stdout or in FILE: one VEVENT per repetition rule of\n"
     "      an event (UID <hash>-yearly|monthly|daily|once@redoviri, the same on every run; DTSTART the\n"
     "      first date, at the stored time when it is one, else all day). Events that fall on no day\n"
     "      (no such first date, a day count that is no number, no flag set, category not 1..6) are left\n"
     "      out, one line each on stderr: left out<TAB>reason<TAB>event line; exit status 1 then",
     CmdExportIcs},
    {"import-ics",
     "import-ics --file PATH --from FILE [--category 1..6] [--dry-run]\n"
     "      adds the VEVENTs the event line holds exactly (one date; FREQ=YEARLY on its month and day;\n"
     "      FREQ=MONTHLY on its day; FREQ=DAILY every 1..999 days, FREQ=WEEKLY every 7..994), in one\n"
     "      write. Dates and times are taken as written, whatever TZID or Z say; all-day events get an\n"
     "      empty time. Category from CATEGORIES (the six words, BIRTHDAY, WORK, HOLIDAY, ...), else\n"
     "      --category (default 6). stdout: each event line added (with --dry-run: that would be\n"
     "      added); stderr: vevent N<TAB>refused|duplicate|joined|changed<TAB>reason<TAB>summary.\n"
     "      Exit status 1 when a VEVENT was refused",
     CmdImportIcs},
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

#ifdef _WIN32
Args CodePageArguments(int argc, wchar_t** argv) {
  Args args;
  for (int i = 0; i < argc; ++i) args.push_back(WideToCodePage(argv[i], kUnheldCharacter).text);
  return args;
}
#endif

}  // namespace redoviri::cli
