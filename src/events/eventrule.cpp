#include "events/eventrule.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <cstdio>

#include "base/text.h"

namespace redoviri {
namespace {

constexpr std::array<std::string_view, 7> kWeekdayCodes = {"MO", "TU", "WE", "TH", "FR", "SA", "SU"};
constexpr std::array<std::string_view, 7> kWeekdayNames = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                                            "Friday", "Saturday", "Sunday"};
constexpr std::array<std::string_view, 12> kMonthNames = {"January", "February", "March",     "April",
                                                           "May",     "June",     "July",      "August",
                                                           "September", "October", "November", "December"};
constexpr std::array<std::string_view, 5> kOrdinalWords = {"last", "first", "second", "third", "fourth"};
constexpr std::size_t kTailStart = 110;

// 32-bit arithmetic: a 64-bit division is a library call in the 32-bit
// program, and this runs for every event of a month's marking.
std::int32_t FloorDiv(std::int32_t a, std::int32_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

int MaxInterval(RuleUnit unit) {
  return unit == RuleUnit::kWeek ? kMaxIntervalWeeks : unit == RuleUnit::kMonth ? kMaxIntervalMonths
                                                                                  : kMaxIntervalYears;
}

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::optional<CivilDate> ReadCompactDate(std::string_view text) {
  if (text.size() != 8 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  const int year = std::stoi(std::string(text.substr(0, 4)));
  const int month = std::stoi(std::string(text.substr(4, 2)));
  const int day = std::stoi(std::string(text.substr(6, 2)));
  if (!IsValidDate(year, month, day)) return std::nullopt;
  return CivilDate{year, month, day};
}

std::string CompactDate(const CivilDate& d) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02d%02d", d.year, d.month, d.day);
  return text;
}

bool Before(const CivilDate& a, const CivilDate& b) {
  return a.year != b.year ? a.year < b.year : a.month != b.month ? a.month < b.month : a.day < b.day;
}

// The weekday code list "MO,TU" of a set of days.
std::string WeekdayCodes(std::uint8_t days) {
  std::string out;
  for (int d = 0; d < 7; ++d) {
    if (!(days >> d & 1)) continue;
    if (!out.empty()) out += ',';
    out += kWeekdayCodes[static_cast<std::size_t>(d)];
  }
  return out;
}

std::optional<int> WeekdayFromCode(std::string_view code) {
  for (std::size_t d = 0; d < kWeekdayCodes.size(); ++d)
    if (kWeekdayCodes[d] == code) return static_cast<int>(d);
  return std::nullopt;
}

// ON= of a rule: false when it cannot be read.
bool ReadOn(std::string_view value, RepeatRule& rule) {
  if (value == "LASTDAY") {
    rule.on = RuleDay::kLastDay;
  } else if (value == "FIRSTWORKDAY") {
    rule.on = RuleDay::kFirstWorkday;
  } else if (value == "LASTWORKDAY") {
    rule.on = RuleDay::kLastWorkday;
  } else if (value.size() >= 3 && (value[0] == '-' || (value[0] >= '1' && value[0] <= '4'))) {
    const bool last = value[0] == '-';
    if (last && (value.size() != 4 || value[1] != '1')) return false;
    const std::optional<int> weekday = WeekdayFromCode(value.substr(last ? 2 : 1));
    if (!weekday || value.size() != (last ? 4u : 3u)) return false;
    rule.on = RuleDay::kNthWeekday;
    rule.ordinal = last ? -1 : value[0] - '0';
    rule.weekdays = static_cast<std::uint8_t>(1u << *weekday);
  } else {
    std::uint8_t days = 0;
    std::size_t at = 0;
    while (at <= value.size()) {
      const std::size_t comma = std::min(value.find(',', at), value.size());
      const std::optional<int> weekday = WeekdayFromCode(value.substr(at, comma - at));
      if (!weekday || (days >> *weekday & 1)) return false;
      days = static_cast<std::uint8_t>(days | 1u << *weekday);
      at = comma + 1;
    }
    rule.on = RuleDay::kWeekdays;
    rule.weekdays = days;
  }
  return true;
}

// The day of the month (1..31) the rule's day falls on in a month whose
// first day is weekday `weekdayOfOne`, or 0.
int DayInMonth(const RuleCode& rule, int firstDay, int last, int weekdayOfOne) {
  switch (rule.on) {
    case RuleDay::kDate: return firstDay <= last ? firstDay : 0;
    case RuleDay::kLastDay: return last;
    case RuleDay::kNthWeekday: {
      const int weekday = std::countr_zero(static_cast<unsigned>(rule.weekdays));
      const int firstSuch = 1 + (weekday - weekdayOfOne + 7) % 7;
      if (rule.ordinal > 0) return firstSuch + 7 * (rule.ordinal - 1);
      return firstSuch + 7 * ((last - firstSuch) / 7);
    }
    case RuleDay::kFirstWorkday: return weekdayOfOne == 5 ? 3 : weekdayOfOne == 6 ? 2 : 1;
    case RuleDay::kLastWorkday: {
      const int w = (weekdayOfOne + last - 1) % 7;
      return w == 5 ? last - 1 : w == 6 ? last - 2 : last;
    }
    case RuleDay::kWeekdays: return 0;
  }
  return 0;
}

// Whether the rule's period (a month or a year) holds the month.
bool InPeriod(const RuleCode& rule, const CivilDate& first, int year, int month) {
  if (rule.unit == RuleUnit::kYear) {
    return month == first.month && year >= first.year && (year - first.year) % rule.interval == 0;
  }
  const int months = (year - first.year) * 12 + (month - first.month);
  return months >= 0 && months % rule.interval == 0;
}

// Weeks start on Monday; the first date's week is week 0.
std::int32_t WeekIndex(std::int32_t firstDayNumber, std::int32_t dayNumber) {
  return FloorDiv(dayNumber - (firstDayNumber - WeekdayOf(firstDayNumber)), 7);
}

bool WeekFalls(const RuleCode& rule, std::int32_t firstDayNumber, std::int32_t dayNumber) {
  if (dayNumber < firstDayNumber || !(rule.weekdays >> WeekdayOf(dayNumber) & 1)) return false;
  return WeekIndex(firstDayNumber, dayNumber) % rule.interval == 0;
}

std::string Ordinal(int n) {
  const int lastTwo = n % 100;
  const char* suffix = (lastTwo >= 11 && lastTwo <= 13) ? "th" : n % 10 == 1 ? "st" : n % 10 == 2 ? "nd"
                                                                             : n % 10 == 3 ? "rd" : "th";
  return std::to_string(n) + suffix;
}

// "Monday, Wednesday and Friday"; "Monday to Friday" for a run of three
// or more days.
std::string WeekdaysInWords(std::uint8_t days) {
  std::vector<std::string> parts;
  for (int d = 0; d < 7;) {
    if (!(days >> d & 1)) {
      ++d;
      continue;
    }
    int end = d;
    while (end + 1 < 7 && (days >> (end + 1) & 1)) ++end;
    if (end - d >= 2) {
      parts.push_back(std::string(kWeekdayNames[static_cast<std::size_t>(d)]) + " to " +
                      std::string(kWeekdayNames[static_cast<std::size_t>(end)]));
    } else {
      for (int k = d; k <= end; ++k) parts.emplace_back(kWeekdayNames[static_cast<std::size_t>(k)]);
    }
    d = end + 1;
  }
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) out += i + 1 == parts.size() ? " and " : ", ";
    out += parts[i];
  }
  return out;
}

}  // namespace

int WeekdayOf(std::int32_t dayNumber) {
  // Day 0, 30 December 1899, was a Saturday.
  return static_cast<int>(((dayNumber + 5) % 7 + 7) % 7);
}

int WeekdayOf(const CivilDate& date) { return (DayOfWeek(date) + 5) % 7; }

std::optional<int> WeekdayFromWord(std::string_view word) {
  const std::string upper = Upper(TrimBlanks(word));
  if (upper.size() < 2) return std::nullopt;
  for (std::size_t d = 0; d < kWeekdayNames.size(); ++d) {
    const std::string name = Upper(kWeekdayNames[d]);
    if (name.compare(0, upper.size(), upper) == 0) return static_cast<int>(d);
  }
  return std::nullopt;
}

std::string_view WeekdayName(int weekday) { return kWeekdayNames.at(static_cast<std::size_t>(weekday)); }
std::string_view MonthName(int month) { return kMonthNames.at(static_cast<std::size_t>(month - 1)); }

std::string_view RuleTailOf(std::string_view line) {
  return line.size() > kTailStart ? line.substr(kTailStart) : std::string_view{};
}

TailReading ReadRuleTail(std::string_view line) {
  TailReading reading;
  const std::string_view tail = TrimBlanks(RuleTailOf(line));
  if (tail.empty()) return reading;
  const auto fail = [&](std::string why) {
    reading.rule = {};
    reading.error = std::move(why);
    return reading;
  };
  if (tail.front() != ';' || RuleTailOf(line).front() != ';') return fail("no \";\" at column 111");
  RepeatRule& rule = reading.rule;
  std::string seen;
  std::string_view on;
  std::size_t at = 1;
  while (at <= tail.size()) {
    const std::size_t end = std::min(tail.find(';', at), tail.size());
    const std::string_view item = tail.substr(at, end - at);
    at = end + 1;
    const std::size_t eq = item.find('=');
    if (eq == std::string_view::npos) return fail("\"" + std::string(item) + "\" is no KEY=value item");
    const std::string_view key = item.substr(0, eq), value = item.substr(eq + 1);
    if (seen.find(";" + std::string(key) + ";") != std::string::npos) return fail(std::string(key) + " twice");
    seen += ";" + std::string(key) + ";";
    if (key == "EVERY") {
      if (value.size() < 2) return fail("EVERY=" + std::string(value));
      const char unit = value.back();
      const std::optional<int> n = ReadInteger(value.substr(0, value.size() - 1));
      rule.unit = unit == 'W' ? RuleUnit::kWeek : unit == 'M' ? RuleUnit::kMonth : unit == 'Y' ? RuleUnit::kYear
                                                                                                : RuleUnit::kNone;
      if (!n || rule.unit == RuleUnit::kNone || value[0] < '1' || value[0] > '9') {
        return fail("EVERY=" + std::string(value));
      }
      rule.interval = *n;
    } else if (key == "ON") {
      on = value;
      if (!ReadOn(value, rule)) return fail("ON=" + std::string(value));
    } else if (key == "UNTIL") {
      rule.until = ReadCompactDate(value);
      if (!rule.until) return fail("UNTIL=" + std::string(value));
    } else if (key == "SKIP") {
      std::size_t from = 0;
      while (from <= value.size()) {
        const std::size_t comma = std::min(value.find(',', from), value.size());
        const std::optional<CivilDate> day = ReadCompactDate(value.substr(from, comma - from));
        if (!day || (!rule.skips.empty() && !Before(rule.skips.back(), *day))) {
          return fail("SKIP=" + std::string(value));
        }
        rule.skips.push_back(*day);
        from = comma + 1;
      }
    } else if (key == "REMIND") {
      std::size_t from = 0;
      while (from <= value.size()) {
        const std::size_t comma = std::min(value.find(',', from), value.size());
        const std::optional<int> minutes = ReadInteger(value.substr(from, comma - from));
        if (!minutes || (!rule.reminders.empty() && rule.reminders.back() >= *minutes)) {
          return fail("REMIND=" + std::string(value));
        }
        rule.reminders.push_back(*minutes);
        from = comma + 1;
      }
    } else {
      return fail("unknown item " + std::string(key));
    }
  }
  if (!on.empty() && !rule.Repeats()) return fail("ON without EVERY");
  if (std::string problem = RuleProblem(rule); !problem.empty()) return fail(std::move(problem));
  return reading;
}

std::string FormatRuleTail(const RepeatRule& rule) {
  if (rule.Empty()) return {};
  std::string tail;
  if (rule.Repeats()) {
    tail += ";EVERY=" + std::to_string(rule.interval);
    tail += rule.unit == RuleUnit::kWeek ? 'W' : rule.unit == RuleUnit::kMonth ? 'M' : 'Y';
    switch (rule.on) {
      case RuleDay::kDate: break;
      case RuleDay::kWeekdays: tail += ";ON=" + WeekdayCodes(rule.weekdays); break;
      case RuleDay::kNthWeekday:
        tail += ";ON=" + std::to_string(rule.ordinal) + WeekdayCodes(rule.weekdays);
        break;
      case RuleDay::kLastDay: tail += ";ON=LASTDAY"; break;
      case RuleDay::kFirstWorkday: tail += ";ON=FIRSTWORKDAY"; break;
      case RuleDay::kLastWorkday: tail += ";ON=LASTWORKDAY"; break;
    }
  }
  if (rule.until) tail += ";UNTIL=" + CompactDate(*rule.until);
  if (!rule.skips.empty()) {
    tail += ";SKIP=";
    for (std::size_t i = 0; i < rule.skips.size(); ++i) {
      if (i > 0) tail += ',';
      tail += CompactDate(rule.skips[i]);
    }
  }
  for (std::size_t i = 0; i < rule.reminders.size(); ++i)
    tail += (i == 0 ? ";REMIND=" : ",") + std::to_string(rule.reminders[i]);
  return tail;
}

std::string RuleProblem(const RepeatRule& rule) {
  if (static_cast<int>(rule.skips.size()) > kMaxSkips) {
    return "more than " + std::to_string(kMaxSkips) + " skipped days";
  }
  if (static_cast<int>(rule.reminders.size()) > kMaxReminders) {
    return "more than " + std::to_string(kMaxReminders) + " reminders";
  }
  for (std::size_t i = 0; i < rule.reminders.size(); ++i) {
    if (rule.reminders[i] < 1 || rule.reminders[i] > kMaxRemindMinutes)
      return "a reminder is not from 1 minute to 4 weeks ahead";
    if (i > 0 && rule.reminders[i] <= rule.reminders[i - 1]) return "the reminders are not in rising order";
  }
  if (!rule.Repeats()) return {};
  const int most = MaxInterval(rule.unit);
  if (rule.interval < 1 || rule.interval > most) {
    return "the interval " + std::to_string(rule.interval) + " is not from 1 to " + std::to_string(most);
  }
  const bool weekly = rule.unit == RuleUnit::kWeek;
  if (weekly != (rule.on == RuleDay::kWeekdays || (weekly && rule.on == RuleDay::kDate))) {
    return weekly ? "a weekly rule takes weekdays only" : "weekdays go with a weekly rule only";
  }
  if (rule.on == RuleDay::kWeekdays && (rule.weekdays == 0 || rule.weekdays > 0x7F)) return "no weekday";
  if (rule.on == RuleDay::kNthWeekday) {
    if (std::popcount(static_cast<unsigned>(rule.weekdays)) != 1 || rule.weekdays > 0x7F) return "no weekday";
    if (rule.ordinal != -1 && (rule.ordinal < 1 || rule.ordinal > 4)) return "the nth weekday must be 1 to 4 or last";
  }
  return {};
}

RuleCode CodeOfRule(const RepeatRule& rule, const CivilDate& first) {
  RuleCode code;
  code.unit = rule.unit;
  code.on = rule.on;
  code.interval = static_cast<std::uint8_t>(std::clamp(rule.interval, 1, 255));
  code.weekdays = rule.weekdays;
  code.ordinal = static_cast<std::int8_t>(rule.ordinal);
  // A weekly rule without days falls on the first date's weekday.
  if (rule.unit == RuleUnit::kWeek && (rule.on == RuleDay::kDate || rule.weekdays == 0)) {
    code.on = RuleDay::kWeekdays;
    code.weekdays = static_cast<std::uint8_t>(1u << WeekdayOf(first));
  }
  if (rule.until) code.lastDayNumber = DayNumber(*rule.until).value_or(code.lastDayNumber);
  if (!rule.skips.empty()) {
    auto days = std::make_shared<std::vector<std::int32_t>>();
    days->reserve(rule.skips.size());
    for (const CivilDate& d : rule.skips)
      if (auto n = DayNumber(d)) days->push_back(*n);
    std::sort(days->begin(), days->end());
    code.skips = std::move(days);
  }
  code.reminders.assign(rule.reminders.begin(), rule.reminders.end());
  return code;
}

bool PatternFallsOn(const RuleCode& rule, const CivilDate& first, std::int32_t firstDayNumber,
                    const CivilDate& day, std::int32_t dayNumber) {
  if (dayNumber < firstDayNumber) return false;
  if (rule.unit == RuleUnit::kWeek) return WeekFalls(rule, firstDayNumber, dayNumber);
  if (!InPeriod(rule, first, day.year, day.month)) return false;
  const int weekdayOfOne = WeekdayOf(dayNumber - (day.day - 1));
  return DayInMonth(rule, first.day, DaysInMonth(day.year, day.month), weekdayOfOne) == day.day;
}

std::uint32_t PatternDaysOfMonth(const RuleCode& rule, const CivilDate& first, std::int32_t firstDayNumber,
                                 int year, int month) {
  const std::optional<std::int32_t> one = DayNumber(year, month, 1);
  if (!one) return 0;
  const int last = DaysInMonth(year, month);
  if (*one + last - 1 < firstDayNumber) return 0;
  std::uint32_t days = 0;
  int weekday = WeekdayOf(*one);
  if (rule.unit == RuleUnit::kWeek) {
    std::int32_t week = WeekIndex(firstDayNumber, *one);
    for (int d = 1; d <= last; ++d) {
      if ((rule.weekdays >> weekday & 1) && *one + d - 1 >= firstDayNumber && week % rule.interval == 0) {
        days |= 1u << d;
      }
      if (++weekday == 7) {
        weekday = 0;
        ++week;
      }
    }
    return days;
  }
  if (!InPeriod(rule, first, year, month)) return 0;
  const int d = DayInMonth(rule, first.day, last, weekday);
  if (d >= 1 && *one + d - 1 >= firstDayNumber) days |= 1u << d;
  return days;
}

bool TakenAway(const RuleCode& rule, std::int32_t dayNumber) {
  if (dayNumber > rule.lastDayNumber) return true;
  return rule.skips && std::binary_search(rule.skips->begin(), rule.skips->end(), dayNumber);
}

namespace {

// Calls `each(date)` for the pattern's days from `from` on, in order, until
// it returns false or the calendar ends.
template <typename Each>
void ForEachPatternDay(const RepeatRule& rule, const CivilDate& first, const CivilDate& from, Each each) {
  const RuleCode code = CodeOfRule(RepeatRule{.unit = rule.unit, .on = rule.on, .interval = rule.interval,
                                              .weekdays = rule.weekdays, .ordinal = rule.ordinal},
                                   first);
  const std::optional<std::int32_t> firstNumber = DayNumber(first);
  if (!firstNumber || !rule.Repeats()) return;
  for (int year = from.year, month = from.month; year <= 9999;) {
    std::uint32_t days = PatternDaysOfMonth(code, first, *firstNumber, year, month);
    if (year == from.year && month == from.month) days &= ~((1u << from.day) - 1);
    for (int d = 1; d <= 31; ++d)
      if ((days >> d & 1) && !each(CivilDate{year, month, d})) return;
    if (++month > 12) {
      month = 1;
      ++year;
    }
  }
}

}  // namespace

std::optional<CivilDate> FirstPatternDay(const RepeatRule& rule, const CivilDate& from) {
  std::optional<CivilDate> found;
  ForEachPatternDay(rule, from, from, [&](const CivilDate& d) {
    found = d;
    return false;
  });
  return found;
}

std::optional<CivilDate> NthPatternDay(const RepeatRule& rule, const CivilDate& first, int n) {
  std::optional<CivilDate> found;
  int count = 0;
  if (n < 1) return found;
  ForEachPatternDay(rule, first, first, [&](const CivilDate& d) {
    if (++count < n) return true;
    found = d;
    return false;
  });
  return found;
}

NearestFlags NearestOldRule(const RepeatRule& rule, const CivilDate& first) {
  NearestFlags flags;
  const bool lastOfMonth = first.day == DaysInMonth(first.year, first.month);
  switch (rule.unit) {
    case RuleUnit::kNone: break;
    case RuleUnit::kWeek:
      // Every 7N days from the first date is a subset of any weekly rule.
      flags.eachNDays = true;
      flags.dayCount = 7 * rule.interval;
      return flags;
    case RuleUnit::kMonth:
      if (rule.interval == 1 && (rule.on == RuleDay::kDate || (rule.on == RuleDay::kLastDay && first.day == 31))) {
        flags.eachMonth = true;
        return flags;
      }
      break;
    case RuleUnit::kYear:
      // Day 31 of its month, or 29 February, is the last day wherever an
      // older version shows it.
      if (rule.interval == 1 && (rule.on == RuleDay::kDate ||
                                 (rule.on == RuleDay::kLastDay && lastOfMonth && (first.day == 31 || (first.month == 2 && first.day == 29))))) {
        flags.eachYear = true;
        return flags;
      }
      break;
  }
  flags.onlyOnce = true;
  return flags;
}

std::string DateInWords(const CivilDate& date) {
  return std::to_string(date.day) + " " + std::string(MonthName(date.month)) + " " + std::to_string(date.year);
}

std::string DescribePattern(const RepeatRule& rule, const CivilDate& first) {
  const std::string n = std::to_string(rule.interval);
  const std::string month = std::string(MonthName(first.month));
  const bool yearly = rule.unit == RuleUnit::kYear;
  const std::string each = yearly ? (rule.interval == 1 ? " each year" : " every " + n + " years")
                                  : (rule.interval == 1 ? " each month" : " every " + n + " months");
  const std::string of = yearly ? " of " + month + each : " of" + each;
  switch (rule.unit) {
    case RuleUnit::kNone: return {};
    case RuleUnit::kWeek: {
      const std::uint8_t days = rule.on == RuleDay::kWeekdays && rule.weekdays ? rule.weekdays
                                                                                : static_cast<std::uint8_t>(1u << WeekdayOf(first));
      return (rule.interval == 1 ? "every week on " : "every " + n + " weeks on ") + WeekdaysInWords(days);
    }
    case RuleUnit::kMonth:
    case RuleUnit::kYear: break;
  }
  switch (rule.on) {
    case RuleDay::kDate:
      if (rule.interval == 1) {
        return yearly ? "each year on " + std::to_string(first.day) + " " + month
                      : "each month on the " + Ordinal(first.day);
      }
      return yearly ? "every " + n + " years on " + std::to_string(first.day) + " " + month
                    : "every " + n + " months on the " + Ordinal(first.day);
    case RuleDay::kNthWeekday: {
      const int weekday = std::countr_zero(static_cast<unsigned>(rule.weekdays));
      return "the " + std::string(kOrdinalWords[static_cast<std::size_t>(std::max(rule.ordinal, 0))]) + " " +
             std::string(WeekdayName(weekday)) + of;
    }
    case RuleDay::kLastDay: return "the last day" + of;
    case RuleDay::kFirstWorkday: return "the first workday" + of;
    case RuleDay::kLastWorkday: return "the last workday" + of;
    case RuleDay::kWeekdays: return {};
  }
  return {};
}

std::string DescribeLimits(const RepeatRule& rule) {
  std::string out;
  if (rule.until) out += ", until " + DateInWords(*rule.until);
  if (rule.skips.size() == 1) {
    out += ", not on " + DateInWords(rule.skips.front());
  } else if (rule.skips.size() > 1) {
    out += ", not on " + std::to_string(rule.skips.size()) + " days";
  }
  return out;
}

std::string AheadInWords(int minutes) {
  const auto part = [](int n, const char* unit) {
    return std::to_string(n) + " " + unit + (n == 1 ? "" : "s");
  };
  if (minutes > 0 && minutes % (7 * 1440) == 0) return part(minutes / (7 * 1440), "week");
  if (minutes > 0 && minutes % 1440 == 0) return part(minutes / 1440, "day");
  std::string words;
  if (minutes >= 1440) words = part(minutes / 1440, "day");
  if (minutes % 1440 >= 60) words += (words.empty() ? "" : " ") + part(minutes % 1440 / 60, "hour");
  if (minutes % 60 != 0 || minutes == 0) words += (words.empty() ? "" : " ") + part(minutes % 60, "minute");
  return words;
}

std::string RemindersInWords(const std::vector<int>& reminders) {
  if (reminders.empty()) return {};
  std::string words = reminders.size() == 1 ? "reminder: " : "reminders: ";
  // The farthest first.
  for (std::size_t i = reminders.size(); i-- > 0;) {
    words += AheadInWords(reminders[i]);
    words += i == 0 ? " before" : i == 1 ? " and " : ", ";
  }
  return words;
}

std::vector<int> SortedReminders(std::vector<int> reminders) {
  std::sort(reminders.begin(), reminders.end());
  reminders.erase(std::unique(reminders.begin(), reminders.end()), reminders.end());
  return reminders;
}

}  // namespace redoviri
