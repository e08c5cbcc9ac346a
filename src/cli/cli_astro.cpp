// astro and moon: the astronomy behind the month view's moon marks;
// phases: the instants of new and full moon.
#include <cstdio>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "astro/ah_math.h"
#include "astro/moon.h"
#include "astro/moonmarks.h"
#include "astro/phases.h"
#include "astro/vsop.h"
#include "base/datetime.h"
#include "cli/cli_args.h"
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

std::string DateText(int year, int month, int day) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", year, month, day);
  return buf;
}

// "YYYY-MM-DDThh:mm:ssZ" of whole seconds since 1899-12-30 00:00 UT.
std::string InstantText(long long second) {
  constexpr long long kDay = 86400;
  const long long dayNumber = second >= 0 ? second / kDay : -((-second + kDay - 1) / kDay);
  const long long ofDay = second - dayNumber * kDay;
  const CivilDate date = DateOfDayNumber(static_cast<std::int32_t>(dayNumber));
  char buf[48];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02dZ", date.year, date.month, date.day,
                static_cast<int>(ofDay / 3600), static_cast<int>(ofDay / 60 % 60), static_cast<int>(ofDay % 60));
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
  return RunCommand("astro", out, err, [&] {
    const CommandLine line(args, {}, 1);
    const DateTime t = ReadArgument(line.Positional(0, "date (YYYY-MM-DD[Thh:mm[:ss]])"), ReadIsoDateTime);

    const CelestialPosition sun = astro::SunPosition(t);
    const CelestialPosition moon = astro::MoonPosition(t);
    const long double phase = astro::MoonPhaseAngle(sun, moon);
    const std::pair<std::string_view, std::string> values[] = {
        {"jd", Fixed(astro::JulianDay(t), 9)},
        {"sun_longitude", Fixed(sun.longitude, 9)},
        {"sun_latitude", Fixed(sun.latitude, 9)},
        {"sun_distance_km", Fixed(sun.distance, 3)},
        {"moon_longitude", Fixed(moon.longitude, 9)},
        {"moon_latitude", Fixed(moon.latitude, 9)},
        {"moon_distance_km", Fixed(moon.distance, 3)},
        {"phase_angle", Fixed(phase, 9)},
        {"illumination", Fixed(astro::IlluminationOfPhaseAngle(phase), 9)},
    };
    std::string text;
    for (const auto& [key, value] : values) text += std::string(key) + ' ' + value + '\n';
    return text;
  });
}

int CmdMoon(const Args& args, std::ostream& out, std::ostream& err) {
  return RunCommand("moon", out, err, [&] {
    const CommandLine line(args, {}, 1);
    const auto [year, mon] = ReadArgument(line.Positional(0, "month (YYYY-MM)"), ReadIsoMonth);

    // Every day's fraction is printed, also for days the mark rule skips; the
    // rule then reads the fractions already computed.
    const int length = DaysInMonth(year, mon);
    std::vector<astro::DayIllumination> days;
    for (int day = 1; day <= length; ++day) days.push_back(astro::IlluminationOfDay({year, mon, day}));
    const astro::MonthCellDays cells = astro::MonthCells(year, mon);
    const astro::MonthMoonMarks marks = astro::MarkMoonMonth(
        year, mon, cells, [&days](DateTime t) { return days[static_cast<std::size_t>(DateOf(t).day - 1)].fraction; });

    std::string text;
    for (int k = 0; k < kDayCellCount; ++k) {
      const int day = cells[k];
      if (day == 0) continue;
      const astro::DayIllumination& d = days[static_cast<std::size_t>(day - 1)];
      text += DateText(year, mon, day) + '\t' + Fixed(d.fraction, 9) + '\t' + std::to_string(d.percent) + '\t' +
              MarkWord(marks[k]) + '\n';
    }
    return text;
  });
}

int CmdPhases(const Args& args, std::ostream& out, std::ostream& err) {
  return RunCommand("phases", out, err, [&] {
    const CommandLine line(args, {}, 1);
    const auto [year, mon] = ReadArgument(line.Positional(0, "year or month (YYYY or YYYY-MM)"), ReadIsoYearOrMonth);

    std::string text;
    for (const astro::PhaseInstant& p : astro::MoonPhasesOf(year, mon)) {
      text += InstantText(p.second) + '\t' + (p.phase == astro::LunarPhase::New ? "new" : "full") + '\n';
    }
    return text;
  });
}

}  // namespace redoviri::cli
