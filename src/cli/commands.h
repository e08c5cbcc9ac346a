// Commands of redoviri-cli. Each command takes its arguments (after the
// command word) and writes its result to `out`. Exit status: 0 success,
// 1 operation refused, 2 bad input or usage (one line on `err`, nothing on
// `out`), 3 file error (the runtime's message on `err`).
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace redoviri::cli {

using Args = std::vector<std::string>;

enum ExitCode { kOk = 0, kRefused = 1, kBadInput = 2, kFileError = 3 };

struct Command {
  const char* name;
  const char* usage;  // one line, shown by --help
  int (*run)(const Args& args, std::ostream& out, std::ostream& err);
};

// Astronomy commands (cli_astro.cpp).
int CmdAstro(const Args& args, std::ostream& out, std::ostream& err);
int CmdMoon(const Args& args, std::ostream& out, std::ostream& err);
int CmdPhases(const Args& args, std::ostream& out, std::ostream& err);

// Event commands (cli_events.cpp).
int CmdList(const Args& args, std::ostream& out, std::ostream& err);
int CmdMonth(const Args& args, std::ostream& out, std::ostream& err);
int CmdDay(const Args& args, std::ostream& out, std::ostream& err);
int CmdToday(const Args& args, std::ostream& out, std::ostream& err);
int CmdAdd(const Args& args, std::ostream& out, std::ostream& err);
int CmdDelete(const Args& args, std::ostream& out, std::ostream& err);
int CmdChange(const Args& args, std::ostream& out, std::ostream& err);
int CmdUpcoming(const Args& args, std::ostream& out, std::ostream& err);

// iCalendar export and import (cli_ical.cpp).
int CmdExportIcs(const Args& args, std::ostream& out, std::ostream& err);
int CmdImportIcs(const Args& args, std::ostream& out, std::ostream& err);

// Runs the whole tool: argv[1] is the command word. Used by main() and tests.
int RunCli(const Args& argv, std::ostream& out, std::ostream& err);

#ifdef _WIN32
// In the Windows tool's arguments: a character of the (UTF-16) command line
// that the code page cannot hold. No argument holds this byte otherwise, and
// every command refuses an argument that holds it.
inline constexpr char kUnheldCharacter = '\0';
// The arguments of the command line in the code page, as the tool reads
// them; argv[0] is the program.
Args CodePageArguments(int argc, wchar_t** argv);
#endif

}  // namespace redoviri::cli
