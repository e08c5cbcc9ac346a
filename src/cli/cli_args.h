// Reading the arguments of a command and ending it with a one-line failure.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/datetime.h"
#include "cli/commands.h"
#include "events/eventrecord.h"

namespace redoviri::cli {

// Ends a command: its exit code and a message of one line.
struct CommandFailure {
  int code;
  std::string message;
};

[[noreturn]] inline void Fail(int code, std::string message) { throw CommandFailure{code, std::move(message)}; }

// Runs a command's body, which returns the whole output or throws
// CommandFailure. The output is written only when the body succeeds, so a
// failing command writes nothing on `out` and one line on `err`:
// "redoviri-cli: <command>: <message>" (control characters shown as '?').
int RunCommand(std::string_view command, std::ostream& out, std::ostream& err,
               const std::function<std::string()>& body);

// An option a command knows: "--file" takes the next argument as its value,
// "--once" takes none.
struct OptionSpec {
  std::string_view name;
  bool takesValue;
};

// A command's arguments split into positional arguments and options. An
// argument starting with "-" is an option; each may be given once.
class CommandLine {
 public:
  // Fails (bad input) on an unknown option, an option without its value,
  // an option given twice, or more than `maxPositional` positional
  // arguments.
  CommandLine(const Args& args, std::span<const OptionSpec> known, std::size_t maxPositional);

  // Positional argument `index`; fails with "missing <what>" when absent.
  const std::string& Positional(std::size_t index, std::string_view what) const;
  bool Has(std::string_view option) const;
  // The option's value, or nullptr when the option was not given.
  const std::string* Value(std::string_view option) const;
  // The option's value; fails with "missing <option> <form>" when absent.
  const std::string& Required(std::string_view option, std::string_view form) const;

 private:
  std::vector<std::string> positional_;
  std::vector<std::pair<std::string_view, std::string>> options_;  // name, value ("" for a flag)
};


// An argument between single quotes, for messages.
std::string Quoted(std::string_view arg);

// A value read from an argument's text, or what was wrong with the text.
template <typename T>
struct Reading {
  std::optional<T> value;
  std::string error;  // when there is no value: "expected YYYY-MM", "no such date", ...
};

struct YearMonth {
  int year = 0, month = 0;
};

// "YYYY-MM" with years 0001..9999 and months 01..12.
Reading<YearMonth> ReadIsoMonth(std::string_view text);
// "YYYY" (month 0: the whole year) or "YYYY-MM", years 0001..9999.
Reading<YearMonth> ReadIsoYearOrMonth(std::string_view text);
// "YYYY-MM-DD" naming a calendar date of years 0001..9999.
Reading<CivilDate> ReadIsoDate(std::string_view text);
// "YYYY-MM-DD", "YYYY-MM-DDThh:mm" or "YYYY-MM-DDThh:mm:ss" as a date-time
// value; the date and the time of day must exist.
Reading<DateTime> ReadIsoDateTime(std::string_view text);

// The value `read` finds in an argument; fails (bad input) with
// "'<text>': <what was wrong>" when there is none.
template <typename T>
T ReadArgument(std::string_view text, Reading<T> (*read)(std::string_view)) {
  Reading<T> reading = read(text);
  if (!reading.value) Fail(kBadInput, Quoted(text) + ": " + reading.error);
  return *std::move(reading.value);
}

}  // namespace redoviri::cli
