// astro and moon: the astronomy behind the month view's moon marks.
#include <cstdio>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "astro/ah_math.h"
#include "astro/moon.h"
#include "astro/moonmarks.h"
#include "astro/vsop.h"
#include "calendar/datetime.h"
#include "cli/commands.h"

namespace redoviri::cli {
namespace {

using astro::CelestialPosition;
using astro::MoonMark;

// Fixed-point text of an extended value. The MinGW runtime's own printf
// does not know the 80-bit long double; its C99 printf does, and rounds the
// exact binary value like glibc, so both builds print the same digits.
std::string Fixed(long double value, int decimals) {
  char buf[64];
#ifdef __MINGW32__
  __mingw_snprintf(buf, sizeof buf, "%.*Lf", decimals, value);
#else
  std::snprintf(buf, sizeof buf, "%.*Lf", decimals, value);
#endif
  return buf;
}

// Reads exactly `count` decimal digits of `text` starting at `pos`.
std::optional<int> Digits(std::string_view text, std::size_t pos, std::size_t count) {
  if (pos + count > text.size()) return std::nullopt;
  int value = 0;
  for (std::size_t i = pos; i < pos + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

// A parsed argument, or the reason it was refused.
template <typename T>
struct Parsed {
  std::optional<T> value;
  std::string error;
};

struct YearMonth {
  int year = 0, month = 0;
};

// Why a year and month are out of range; empty when they are fine.
std::string YearMonthError(int year, int month) {
  if (year < kMinYear) return "the year must be 0001..9999";
  if (month < 1 || month > 12) return "the month must be 01..12";
  return {};
}

// "YYYY-MM".
Parsed<YearMonth> ParseMonth(std::string_view text) {
  const auto year = Digits(text, 0, 4);
  const auto month = Digits(text, 5, 2);
  if (text.size() != 7 || text[4] != '-' || !year || !month) return {{}, "expected YYYY-MM"};
  if (std::string error = YearMonthError(*year, *month); !error.empty()) return {{}, error};
  return {YearMonth{*year, *month}, {}};
}

// "YYYY-MM-DD", "YYYY-MM-DDThh:mm" or "YYYY-MM-DDThh:mm:ss" as a date-time
// value; the date and the time of day must exist.
Parsed<DateTime> ParseDateTime(std::string_view text) {
  const Parsed<DateTime> badForm{{}, "expected YYYY-MM-DD[Thh:mm[:ss]]"};
  if (text.size() != 10 && text.size() != 16 && text.size() != 19) return badForm;
  const auto year = Digits(text, 0, 4);
  const auto month = Digits(text, 5, 2);
  const auto day = Digits(text, 8, 2);
  if (text[4] != '-' || text[7] != '-' || !year || !month || !day) return badForm;
  std::optional<int> hour = 0, minute = 0, second = 0;
  if (text.size() > 10) {
    if (text[10] != 'T' || text[13] != ':') return badForm;
    hour = Digits(text, 11, 2);
    minute = Digits(text, 14, 2);
    if (text.size() == 19) {
      if (text[16] != ':') return badForm;
      second = Digits(text, 17, 2);
    }
  }
  if (!hour || !minute || !second) return badForm;
  if (std::string error = YearMonthError(*year, *month); !error.empty()) return {{}, error};
  const CivilDate date{*year, *month, *day};
  if (!IsValidDate(date)) return {{}, "no such date"};
  if (*hour > 23 || *minute > 59 || *second > 59) return {{}, "no such time of day"};
  return {EncodeDateTime(date, *hour, *minute, *second), {}};
}

// An argument quoted for a one-line message: control characters become '?'.
std::string Quoted(std::string_view arg) {
  std::string q = "'";
  for (const char c : arg) q += (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) ? '?' : c;
  return q + "'";
}

int BadInput(std::ostream& err, const std::string& message) {
  err << "redoviri-cli: " << message << '\n';
  return kBadInput;
}

// Exactly one argument, or a message saying what is missing or extra.
std::optional<std::string> OnlyArgument(const Args& args, std::string_view command, std::string_view form,
                                        std::ostream& err) {
  if (args.empty()) {
    BadInput(err, std::string(command) + ": missing " + std::string(form));
    return std::nullopt;
  }
  if (args.size() > 1) {
    BadInput(err, std::string(command) + ": unexpected argument " + Quoted(args[1]));
    return std::nullopt;
  }
  return args[0];
}

std::string DateText(int year, int month, int day) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", year, month, day);
  return buf;
}

const char* MarkWord(MoonMark mark) {
  switch (mark) {
    case MoonMark::NewMoon: return "new";
    case MoonMark::FullMoon: return "full";
    case MoonMark::None: break;
  }
  return "-";
}

}  // namespace

int CmdAstro(const Args& args, std::ostream& out, std::ostream& err) {
  const auto arg = OnlyArgument(args, "astro", "date (YYYY-MM-DD[Thh:mm[:ss]])", err);
  if (!arg) return kBadInput;
  const Parsed<DateTime> parsed = ParseDateTime(*arg);
  if (!parsed.value) return BadInput(err, "astro: " + Quoted(*arg) + ": " + parsed.error);
  const DateTime t = *parsed.value;

  const CelestialPosition sun = astro::SunPosition(t);
  const CelestialPosition moon = astro::MoonPosition(t);
  const long double phase = astro::MoonPhaseAngle(sun, moon);
  out << "jd " << Fixed(astro::JulianDay(t), 9) << '\n'
      << "sun_longitude " << Fixed(sun.longitude, 9) << '\n'
      << "sun_latitude " << Fixed(sun.latitude, 9) << '\n'
      << "sun_distance_km " << Fixed(sun.distance, 3) << '\n'
      << "moon_longitude " << Fixed(moon.longitude, 9) << '\n'
      << "moon_latitude " << Fixed(moon.latitude, 9) << '\n'
      << "moon_distance_km " << Fixed(moon.distance, 3) << '\n'
      << "phase_angle " << Fixed(phase, 9) << '\n'
      << "illumination " << Fixed(astro::IlluminationOfPhaseAngle(phase), 9) << '\n';
  return kOk;
}

int CmdMoon(const Args& args, std::ostream& out, std::ostream& err) {
  const auto arg = OnlyArgument(args, "moon", "month (YYYY-MM)", err);
  if (!arg) return kBadInput;
  const Parsed<YearMonth> parsed = ParseMonth(*arg);
  if (!parsed.value) return BadInput(err, "moon: " + Quoted(*arg) + ": " + parsed.error);
  const auto [year, mon] = *parsed.value;

  // Every day's fraction is printed, also for days the mark rule skips; the
  // rule then reads the fractions already computed.
  const int length = DaysInMonth(year, mon);
  std::vector<astro::DayIllumination> days;
  for (int day = 1; day <= length; ++day) days.push_back(astro::IlluminationOfDay({year, mon, day}));
  const astro::MonthCellDays cells = astro::MonthCells(year, mon);
  const astro::MonthMoonMarks marks = astro::MarkMoonMonth(
      year, mon, cells, [&days](DateTime t) { return days[static_cast<std::size_t>(DateOf(t).day - 1)].fraction; });

  for (int k = 0; k < astro::kMonthCells; ++k) {
    const int day = cells[k];
    if (day == 0) continue;
    const astro::DayIllumination& d = days[static_cast<std::size_t>(day - 1)];
    out << DateText(year, mon, day) << '\t' << Fixed(d.fraction, 9) << '\t' << d.percent << '\t' << MarkWord(marks[k])
        << '\n';
  }
  return kOk;
}

}  // namespace redoviri::cli
