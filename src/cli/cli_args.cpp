#include "cli/cli_args.h"

#include <algorithm>
#include <ostream>

#ifdef _WIN32
#include "events/codepage.h"
#endif

namespace redoviri::cli {
namespace {

// Exactly `count` decimal digits of `text` from `pos`.
std::optional<int> Digits(std::string_view text, std::size_t pos, std::size_t count) {
  if (pos + count > text.size()) return std::nullopt;
  int value = 0;
  for (std::size_t i = pos; i < pos + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

template <typename T>
Reading<T> Refused(std::string error) {
  return {std::nullopt, std::move(error)};
}

// Numbers read in the right form: refused with `error` when that says what
// is wrong with them.
template <typename T>
Reading<T> Checked(const T& value, std::string error) {
  if (!error.empty()) return Refused<T>(std::move(error));
  return {value, {}};
}

// The numbers of "YYYY-MM" at the start of `text`, by their form alone.
std::optional<YearMonth> MonthFields(std::string_view text) {
  const std::optional<int> year = Digits(text, 0, 4);
  const std::optional<int> month = Digits(text, 5, 2);
  if (!year || !month || text[4] != '-') return std::nullopt;
  return YearMonth{*year, *month};
}

// The numbers of "YYYY-MM-DD" at the start of `text`, by their form alone.
std::optional<CivilDate> DateFields(std::string_view text) {
  const std::optional<YearMonth> month = MonthFields(text);
  const std::optional<int> day = Digits(text, 8, 2);
  if (!month || !day || text[7] != '-') return std::nullopt;
  return CivilDate{month->year, month->month, *day};
}

// The numbers of "hh:mm" or "hh:mm:ss" (the whole of `text`), by their form
// alone.
std::optional<CivilTime> TimeFields(std::string_view text) {
  if (text.size() != 5 && text.size() != 8) return std::nullopt;
  const std::optional<int> hour = Digits(text, 0, 2);
  const std::optional<int> minute = Digits(text, 3, 2);
  const std::optional<int> second = text.size() == 8 ? Digits(text, 6, 2) : 0;
  if (!hour || !minute || !second || text[2] != ':' || (text.size() == 8 && text[5] != ':')) return std::nullopt;
  return CivilTime{*hour, *minute, *second};
}

// What is wrong with numbers of the right form; empty when they exist.
std::string MonthError(const YearMonth& m) {
  if (m.year < kMinYear) return "the year must be 0001..9999";
  if (m.month < 1 || m.month > 12) return "the month must be 01..12";
  return {};
}

std::string DateError(const CivilDate& d) {
  if (std::string error = MonthError({d.year, d.month}); !error.empty()) return error;
  if (!IsValidDate(d)) return "no such date";
  return {};
}

std::string TimeError(const CivilTime& t) {
  if (t.hour > 23 || t.minute > 59 || t.second > 59) return "no such time of day";
  return {};
}

#ifdef _WIN32
// An argument the Windows tool could not take into the code page: refused
// as the native tool refuses a name the code page cannot hold, rather than
// stored, or opened as a file, under another name.
void RefuseUnheld(const std::string& what, const std::string& text) {
  const auto unheld = std::count(text.begin(), text.end(), kUnheldCharacter);
  if (unheld > 0) {
    Fail(kBadInput, what + " holds " + std::to_string(unheld) + " character(s) the event file's code page (" +
                        CodePageName() + ") cannot hold");
  }
}
#endif

}  // namespace

int RunCommand(std::string_view command, std::ostream& out, std::ostream& err,
               const std::function<std::string()>& body) {
  std::string text;
  try {
    text = body();
  } catch (const CommandFailure& failure) {
    std::string message = failure.message;
    std::replace_if(message.begin(), message.end(), IsControlCharacter, '?');
    err << "redoviri-cli: " << command << ": " << message << '\n';
    return failure.code;
  }
  out << text;
  return kOk;
}

CommandLine::CommandLine(const Args& args, std::span<const OptionSpec> known, std::size_t maxPositional) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.size() < 2 || arg[0] != '-') {
      if (positional_.size() == maxPositional) Fail(kBadInput, "unexpected argument " + Quoted(arg));
#ifdef _WIN32
      RefuseUnheld(Quoted(arg), arg);
#endif
      positional_.push_back(arg);
      continue;
    }
    const auto spec = std::find_if(known.begin(), known.end(), [&](const OptionSpec& s) { return s.name == arg; });
    if (spec == known.end()) Fail(kBadInput, "unknown option " + Quoted(arg));
    if (Has(arg)) Fail(kBadInput, arg + " given twice");
    std::string value;
    if (spec->takesValue) {
      if (i + 1 == args.size()) Fail(kBadInput, arg + " needs a value");
      value = args[++i];
#ifdef _WIN32
      RefuseUnheld(arg, value);
#endif
    }
    options_.emplace_back(spec->name, std::move(value));
  }
}

const std::string& CommandLine::Positional(std::size_t index, std::string_view what) const {
  if (index >= positional_.size()) Fail(kBadInput, "missing " + std::string(what));
  return positional_[index];
}

bool CommandLine::Has(std::string_view option) const { return Value(option) != nullptr; }

const std::string* CommandLine::Value(std::string_view option) const {
  for (const auto& [name, value] : options_) {
    if (name == option) return &value;
  }
  return nullptr;
}

const std::string& CommandLine::Required(std::string_view option, std::string_view form) const {
  const std::string* value = Value(option);
  if (!value) Fail(kBadInput, "missing " + std::string(option) + " " + std::string(form));
  return *value;
}

std::string Quoted(std::string_view arg) {
  std::string quoted = "'";
  quoted += arg;
  quoted += '\'';
  return quoted;
}

Reading<YearMonth> ReadIsoMonth(std::string_view text) {
  const std::optional<YearMonth> month = text.size() == 7 ? MonthFields(text) : std::nullopt;
  if (!month) return Refused<YearMonth>("expected YYYY-MM");
  return Checked(*month, MonthError(*month));
}

Reading<YearMonth> ReadIsoYearOrMonth(std::string_view text) {
  if (text.size() == 4) {
    if (const std::optional<int> year = Digits(text, 0, 4)) return Checked(YearMonth{*year, 0}, MonthError({*year, 1}));
  } else if (const std::optional<YearMonth> month = text.size() == 7 ? MonthFields(text) : std::nullopt) {
    return Checked(*month, MonthError(*month));
  }
  return Refused<YearMonth>("expected YYYY or YYYY-MM");
}

Reading<CivilDate> ReadIsoDate(std::string_view text) {
  const std::optional<CivilDate> date = text.size() == 10 ? DateFields(text) : std::nullopt;
  if (!date) return Refused<CivilDate>("expected YYYY-MM-DD");
  return Checked(*date, DateError(*date));
}

Reading<DateTime> ReadIsoDateTime(std::string_view text) {
  // The whole form is checked before any number, so "2000-13-01T1a:00" is
  // told its form rather than its month.
  const std::optional<CivilDate> date = DateFields(text);
  std::optional<CivilTime> time = CivilTime{};
  if (text.size() > 10) time = text[10] == 'T' ? TimeFields(text.substr(11)) : std::nullopt;
  if (!date || !time) return Refused<DateTime>("expected YYYY-MM-DD[Thh:mm[:ss]]");
  std::string error = DateError(*date);
  if (error.empty()) error = TimeError(*time);
  if (!error.empty()) return Refused<DateTime>(std::move(error));
  return {EncodeDateTime(*date, time->hour, time->minute, time->second), {}};
}

}  // namespace redoviri::cli
