#include "events/ical.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <map>
#include <set>

#include "events/codepage.h"
#include "events/eventfile.h"

namespace redoviri {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::size_t kFoldOctets = 75;
constexpr std::string_view kUidDomain = "@redoviri";

std::string Digits(int value, std::size_t width) {
  std::string text = std::to_string(value);
  text.insert(0, width - std::min(width, text.size()), '0');
  return text;
}

std::string IcsDate(const CivilDate& d) { return Digits(d.year, 4) + Digits(d.month, 2) + Digits(d.day, 2); }

// "hh:nn" naming a time of day.
std::optional<CivilTime> StoredTime(std::string_view time) {
  if (time.size() != 5 || time[2] != ':') return std::nullopt;
  for (std::size_t i : {0u, 1u, 3u, 4u}) {
    if (time[i] < '0' || time[i] > '9') return std::nullopt;
  }
  const int hour = (time[0] - '0') * 10 + (time[1] - '0');
  const int minute = (time[3] - '0') * 10 + (time[4] - '0');
  if (hour > 23 || minute > 59) return std::nullopt;
  return CivilTime{hour, minute, 0};
}

std::int32_t NumberOf(const CivilDate& d) { return DayNumber(d).value_or(0); }

// The days one repetition falls on, before its end and skipped days: a
// rule (each year and each month are the yearly and monthly rules on the
// first date), every `step` days from the first date, or the first date
// alone (step 0).
struct Pattern {
  CivilDate first;
  RepeatRule rule;  // without end and skipped days; none: by step
  int step = 0;

  bool Falls(const CivilDate& day) const {
    const std::int32_t n = NumberOf(day), f = NumberOf(first);
    if (n < f) return false;
    if (rule.Repeats()) return PatternFallsOn(CodeOfRule(rule, first), first, f, day, n);
    return step == 0 ? n == f : (n - f) % step == 0;
  }
  // The n-th day from the first date (from 1), when the calendar has it.
  std::optional<CivilDate> Nth(int n) const {
    if (rule.Repeats()) return NthPatternDay(rule, first, n);
    const long long day = NumberOf(first) + static_cast<long long>(n - 1) * step;
    if (n < 1 || (step == 0 && n > 1) || day > *DayNumber(9999, 12, 31)) return std::nullopt;
    return DateOfDayNumber(static_cast<std::int32_t>(day));
  }
};

// Whether the end and the skipped days leave the pattern a day.
bool FallsOnSomeDay(const Pattern& p, const std::optional<CivilDate>& until, const std::vector<CivilDate>& skips) {
  const std::int32_t last = until ? NumberOf(*until) : std::numeric_limits<std::int32_t>::max();
  std::set<std::int32_t> taken;
  for (const CivilDate& d : skips)
    if (NumberOf(d) <= last && p.Falls(d)) taken.insert(NumberOf(d));
  const std::optional<CivilDate> left = p.Nth(static_cast<int>(taken.size()) + 1);
  return left && NumberOf(*left) <= last;
}

// ---- writing ----

struct Rule {
  std::string_view kind;  // the UID's word for it
  std::string rrule;      // empty: the first date alone
  Pattern pattern;        // its first day is DTSTART's
};

constexpr std::array<std::string_view, 7> kDayCodes = {"MO", "TU", "WE", "TH", "FR", "SA", "SU"};

std::string DayCodes(std::uint8_t days) {
  std::string out;
  for (std::size_t d = 0; d < kDayCodes.size(); ++d) {
    if (!(days >> d & 1)) continue;
    if (!out.empty()) out += ',';
    out += kDayCodes[d];
  }
  return out;
}

// The RRULE of a repeating rule whose first day is `start` (without UNTIL).
std::string RruleOf(const RepeatRule& r, const CivilDate& start) {
  const bool weekly = r.unit == RuleUnit::kWeek;
  std::string out = weekly ? "FREQ=WEEKLY" : r.unit == RuleUnit::kMonth ? "FREQ=MONTHLY" : "FREQ=YEARLY";
  if (r.interval > 1) out += ";INTERVAL=" + std::to_string(r.interval);
  if (r.unit == RuleUnit::kYear) out += ";BYMONTH=" + std::to_string(start.month);
  const auto days = static_cast<std::uint8_t>(r.on == RuleDay::kWeekdays && r.weekdays ? r.weekdays
                                                                                       : 1u << WeekdayOf(start));
  switch (weekly ? RuleDay::kWeekdays : r.on) {
    case RuleDay::kDate: out += ";BYMONTHDAY=" + std::to_string(start.day); break;
    case RuleDay::kWeekdays: out += ";BYDAY=" + DayCodes(days) + ";WKST=MO"; break;
    case RuleDay::kNthWeekday: out += ";BYDAY=" + std::to_string(r.ordinal) + DayCodes(r.weekdays); break;
    case RuleDay::kLastDay:
      // ical.js misses the last day of January every N years written as
      // -1; the day it always is reads alike everywhere.
      out += r.unit == RuleUnit::kYear && r.interval > 1 && start.month == 1 ? ";BYMONTHDAY=31" : ";BYMONTHDAY=-1";
      break;
    case RuleDay::kFirstWorkday: out += ";BYDAY=" + DayCodes(kMondayToFriday) + ";BYSETPOS=1"; break;
    case RuleDay::kLastWorkday: out += ";BYDAY=" + DayCodes(kMondayToFriday) + ";BYSETPOS=-1"; break;
  }
  return out;
}

// The rules whose days together are the days FallsOn gives the event,
// before its end and skipped days: the tail's rule alone, or one per flag.
std::vector<Rule> RulesOf(const ParsedEvent& e, const RepeatRule& tail, const CivilDate& first) {
  std::vector<Rule> rules;
  if (tail.Repeats()) {
    // A first date the rule does not fall on (a line edited by hand) is
    // not a day of the event: DTSTART is the rule's first day.
    const RepeatRule pattern{.unit = tail.unit, .on = tail.on, .interval = tail.interval,
                             .weekdays = tail.weekdays, .ordinal = tail.ordinal};
    if (const std::optional<CivilDate> start = FirstPatternDay(pattern, first)) {
      rules.push_back({"rule", RruleOf(pattern, *start), {*start, pattern}});
    }
    return rules;
  }
  const RecurrenceKind& r = e.recurrence;
  if (r.eachYear) {
    rules.push_back({"yearly", "FREQ=YEARLY;BYMONTH=" + std::to_string(e.month) + ";BYMONTHDAY=" + std::to_string(e.day),
                     {first, {.unit = RuleUnit::kYear}}});
  }
  if (r.eachMonth) {
    rules.push_back({"monthly", "FREQ=MONTHLY;BYMONTHDAY=" + std::to_string(e.day),
                     {first, {.unit = RuleUnit::kMonth}}});
  }
  if (r.eachNDays && e.dayCount > 0) {
    rules.push_back({"daily", "FREQ=DAILY;INTERVAL=" + std::to_string(e.dayCount), {first, {}, e.dayCount}});
  }
  // Every rule above falls on the first date itself.
  if (rules.empty() && (r.onlyOnce || r.eachNDays)) rules.push_back({"once", {}, {first, {}, 0}});
  return rules;
}

std::string LeftOutReason(std::string_view line, const ParsedEvent& e, bool repeats) {
  if (!ReadFirstDate(line)) {
    return "the first date " + ReadField(line, kMonthField) + "/" + ReadField(line, kDayField) + "/" +
           ReadField(line, kYearField) + " does not exist";
  }
  if (!e.readable) return "the day count '" + ReadField(line, kDayCountField) + "' is not a number";
  if (!CategoryFromCode(e.category)) return "the category '" + ReadField(line, kCategoryField) + "' is not 1..6";
  if (repeats) return "its rule, end and skipped days leave it no day";
  return "no repetition is set, so it falls on no day";
}

// A relative TRIGGER `minutes` after the start (before it when negative):
// nominal days, so that it keeps the time of day as the program counts,
// and hours and minutes.
std::string TriggerText(int minutes) {
  if (minutes == 0) return "PT0S";
  const int ahead = minutes < 0 ? -minutes : minutes, days = ahead / 1440, rest = ahead % 1440;
  std::string out = minutes < 0 ? "-P" : "P";
  if (days > 0) out += std::to_string(days) + "D";
  if (rest > 0) out += "T";
  if (rest >= 60) out += std::to_string(rest / 60) + "H";
  if (rest % 60 > 0) out += std::to_string(rest % 60) + "M";
  return out;
}

// A name or comment as UTF-8 text of the calendar: control characters of a
// hand-edited line (a NUL, an ESC) become blanks, as a read turns them.
std::string ExportedText(std::string_view text) {
  std::string out(text);
  std::replace_if(out.begin(), out.end(), [](char c) { return IsControlCharacter(c); }, ' ');
  return CodePageToUtf8(TrimBlanks(out));
}

}  // namespace

std::string FoldIcsLine(std::string_view line) {
  std::string out;
  std::size_t limit = kFoldOctets;
  while (line.size() > limit) {
    std::size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    out += line.substr(0, cut);
    out += kCrLf;
    out += ' ';
    line.remove_prefix(cut);
    limit = kFoldOctets - 1;  // the blank that starts the next line counts
  }
  out += line;
  out += kCrLf;
  return out;
}

std::string EscapeIcsText(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case ';': out += "\\;"; break;
      case ',': out += "\\,"; break;
      case '\n': out += "\\n"; break;
      case '\r': break;
      default: out += c;
    }
  }
  return out;
}

std::string UnescapeIcsText(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char next = text[++i];
    out += (next == 'n' || next == 'N') ? '\n' : next;
  }
  return out;
}

std::string IcsLineHash(std::string_view line) {
  std::string padded(line.substr(0, kEventLineLength));
  padded.resize(kEventLineLength, ' ');
  // The rule after column 110 is part of the event; a line without one
  // keeps the hash it always had.
  padded += TrimBlanks(RuleTailOf(line));
  ContentHash hash;
  hash.Add(padded);
  std::uint64_t value = hash.Value();
  std::string hex(16, '0');
  for (int i = 15; i >= 0; --i, value >>= 4) hex[static_cast<std::size_t>(i)] = "0123456789abcdef"[value & 15];
  return hex;
}

IcsExport ExportIcs(std::span<const std::string_view> lines, const CivilDate& stampDate, const CivilTime& stampTime) {
  IcsExport result;
  std::string& out = result.text;
  out += FoldIcsLine("BEGIN:VCALENDAR");
  out += FoldIcsLine("VERSION:2.0");
  out += FoldIcsLine("PRODID:-//Redoviri//Redoviri event file//EN");
  out += FoldIcsLine("CALSCALE:GREGORIAN");
  const std::string stamp =
      "DTSTAMP:" + IcsDate(stampDate) + "T" + Digits(stampTime.hour, 2) + Digits(stampTime.minute, 2) +
      Digits(stampTime.second, 2) + "Z";
  std::map<std::string, int> seen;  // hash of the line -> times met
  for (std::string_view line : lines) {
    const ParsedEvent e = ParseEventLine(line);
    // The rule after column 110, its end and skipped days; a tail that
    // cannot be read is not part of the event, as matching has it.
    RepeatRule tail;
    if (TailReading reading = ReadRuleTail(line); reading.ok()) tail = std::move(reading.rule);
    std::vector<Rule> rules;
    bool repeats = tail.Repeats();
    if (e.readable && CategoryFromCode(e.category)) {
      for (Rule& rule : RulesOf(e, tail, *ReadFirstDate(line))) {
        repeats = true;
        if (FallsOnSomeDay(rule.pattern, tail.until, tail.skips)) rules.push_back(std::move(rule));
      }
    }
    if (rules.empty()) {
      result.leftOut.push_back({std::string(line), LeftOutReason(line, e, repeats)});
      continue;
    }
    std::string uid = IcsLineHash(line);
    if (const int n = ++seen[uid]; n > 1) uid += "." + std::to_string(n);
    const std::optional<CivilTime> time = StoredTime(ReadField(line, kTimeField));
    // DTSTART, UNTIL and EXDATE alike: a date, or a local date-time at the
    // event's time.
    const std::string type = time ? "" : ";VALUE=DATE";
    const auto when = [&](const CivilDate& d) {
      return time ? IcsDate(d) + "T" + Digits(time->hour, 2) + Digits(time->minute, 2) + "00" : IcsDate(d);
    };
    const std::string name = ExportedText(ReadName(line));
    const std::string comment = ExportedText(ReadComment(line));
    // Each reminder an alarm at its moment, counted from DTSTART: a day
    // event's start is 00:00, its notice 09:00.
    std::string alarms;
    if (const std::optional<int> notice = NoticeMinute(ReadField(line, kTimeField))) {
      const int start = time ? time->hour * 60 + time->minute : 0;
      for (int ahead : tail.reminders) {
        alarms += FoldIcsLine("BEGIN:VALARM");
        alarms += FoldIcsLine("ACTION:DISPLAY");
        alarms += FoldIcsLine("DESCRIPTION:" + EscapeIcsText(name));
        alarms += FoldIcsLine("TRIGGER:" + TriggerText(*notice - ahead - start));
        alarms += FoldIcsLine("END:VALARM");
      }
    }
    for (const Rule& rule : rules) {
      out += FoldIcsLine("BEGIN:VEVENT");
      out += FoldIcsLine("UID:" + uid + "-" + std::string(rule.kind) + std::string(kUidDomain));
      out += FoldIcsLine(stamp);
      out += FoldIcsLine("DTSTART" + type + ":" + when(rule.pattern.first));
      if (!rule.rrule.empty()) {
        out += FoldIcsLine("RRULE:" + rule.rrule + (tail.until ? ";UNTIL=" + when(*tail.until) : ""));
        // Only the days the rule falls on: ical.js applies no EXDATE after
        // one that names no occurrence.
        for (const CivilDate& skip : tail.skips) {
          if (rule.pattern.Falls(skip) && (!tail.until || NumberOf(skip) <= NumberOf(*tail.until))) {
            out += FoldIcsLine("EXDATE" + type + ":" + when(skip));
          }
        }
      }
      out += FoldIcsLine("SUMMARY:" + EscapeIcsText(name));
      if (!comment.empty()) out += FoldIcsLine("DESCRIPTION:" + EscapeIcsText(comment));
      out += FoldIcsLine("CATEGORIES:" + EscapeIcsText(InfoOf(*CategoryFromCode(e.category)).word));
      out += alarms;
      out += FoldIcsLine("END:VEVENT");
    }
  }
  out += FoldIcsLine("END:VCALENDAR");
  return result;
}

// ---- reading ----

namespace {

struct Property {
  std::string name;                           // upper case
  std::map<std::string, std::string> params;  // upper-case names; values unquoted
  std::string value;
};

// The content lines of the file, unfolded.
std::vector<std::string> Unfold(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t end = bytes.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view text = bytes.substr(pos, end - pos);
    pos = end;
    if (pos < bytes.size()) pos += bytes.compare(pos, 2, kCrLf) == 0 ? 2 : 1;
    if (!text.empty() && (text[0] == ' ' || text[0] == '\t') && !lines.empty()) {
      lines.back() += text.substr(1);
    } else if (!text.empty()) {
      lines.emplace_back(text);
    }
  }
  return lines;
}

Property ParseProperty(std::string_view line) {
  Property p;
  std::size_t i = 0;
  while (i < line.size() && line[i] != ';' && line[i] != ':') ++i;
  p.name = UpperCaseAscii(line.substr(0, i));
  while (i < line.size() && line[i] == ';') {
    const std::size_t nameStart = ++i;
    while (i < line.size() && line[i] != '=' && line[i] != ';' && line[i] != ':') ++i;
    const std::string name = UpperCaseAscii(line.substr(nameStart, i - nameStart));
    std::string value;
    if (i < line.size() && line[i] == '=') {
      ++i;
      bool quoted = false;
      while (i < line.size() && (quoted || (line[i] != ';' && line[i] != ':'))) {
        if (line[i] == '"') {
          quoted = !quoted;
        } else {
          value += line[i];
        }
        ++i;
      }
    }
    p.params[name] = value;
  }
  if (i < line.size() && line[i] == ':') p.value = std::string(line.substr(i + 1));
  return p;
}

struct DateValue {
  CivilDate date;
  std::optional<CivilTime> time;  // none for an all-day date
  bool utc = false;               // a date-time with a final "Z"
  std::string zone;               // the TZID of a date-time, as written
};

std::optional<int> Number(std::string_view text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

// "YYYYMMDD" or "YYYYMMDDThhmmss" with an optional "Z", taken as written.
std::optional<DateValue> ParseDateText(std::string_view v, const std::map<std::string, std::string>& params) {
  if (v.size() < 8) return std::nullopt;  // "2024", or nothing after an unclosed quote
  const auto year = Number(v.substr(0, 4)), month = Number(v.substr(4, 2)), day = Number(v.substr(6, 2));
  if (!year || !month || !day || !IsValidDate(*year, *month, *day)) return std::nullopt;
  DateValue d{{*year, *month, *day}, std::nullopt, false, {}};
  const auto type = params.find("VALUE");
  if (v.size() == 8) {
    if (type != params.end() && UpperCaseAscii(type->second) != "DATE") return std::nullopt;
    return d;
  }
  if (!v.empty() && (v.back() == 'Z' || v.back() == 'z')) {
    v.remove_suffix(1);
    d.utc = true;
  }
  if (v.size() != 15 || (v[8] != 'T' && v[8] != 't')) return std::nullopt;
  const auto h = Number(v.substr(9, 2)), m = Number(v.substr(11, 2)), s = Number(v.substr(13, 2));
  if (!h || !m || !s || *h > 23 || *m > 59 || *s > 60) return std::nullopt;
  d.time = CivilTime{*h, *m, *s};
  if (const auto zone = params.find("TZID"); zone != params.end() && !d.utc) d.zone = zone->second;
  return d;
}

std::optional<DateValue> ParseDateValue(const Property& p) { return ParseDateText(p.value, p.params); }

// Both dates, or both date-times in one time zone (UTC, the same TZID, or
// none): values that can be compared as written.
bool SameForm(const DateValue& a, const DateValue& b) {
  if (a.time.has_value() != b.time.has_value()) return false;
  return !a.time || (a.utc == b.utc && (a.utc || a.zone == b.zone));
}

std::string WrittenDate(const DateValue& d) {
  std::string out = IcsDate(d.date);
  if (d.time) out += "T" + Digits(d.time->hour, 2) + Digits(d.time->minute, 2) + Digits(d.time->second, 2);
  return out + (d.utc ? "Z" : "");
}

// The least and the greatest UTC offset (seconds) of each time zone the
// file describes (VTIMEZONE): the offset at any moment is between them.
using ZoneOffsets = std::map<std::string, std::pair<int, int>>;

// "+0100", "-0500", "+053000".
std::optional<int> OffsetSeconds(std::string_view v) {
  if ((v.size() != 5 && v.size() != 7) || (v[0] != '+' && v[0] != '-')) return std::nullopt;
  const auto h = Number(v.substr(1, 2)), m = Number(v.substr(3, 2));
  const auto s = v.size() == 7 ? Number(v.substr(5, 2)) : std::optional<int>(0);
  if (!h || !m || !s || *h > 23 || *m > 59 || *s > 59) return std::nullopt;
  const int seconds = *h * 3600 + *m * 60 + *s;
  return v[0] == '-' ? -seconds : seconds;
}

// Longer than any calendar the event line can hold (10,000 years): such a
// duration is refused, and sums of its parts cannot overflow.
constexpr long long kLongestDurationSeconds = 10'000LL * 366 * 86400;

// Seconds of a DURATION value ("P1D", "PT1H30M", "P2W"); nullopt when it is
// not one or is negative.
std::optional<long long> DurationSeconds(std::string_view v) {
  if (!v.empty() && v[0] == '+') v.remove_prefix(1);
  if (v.empty() || v[0] != 'P') return std::nullopt;
  long long total = 0, number = 0;
  bool digits = false;
  for (char c : v.substr(1)) {
    if (c >= '0' && c <= '9') {
      number = number * 10 + (c - '0');
      digits = true;
      if (number > 100'000'000) return std::nullopt;
      continue;
    }
    if (c == 'T') continue;
    const long long unit = c == 'W' ? 604800 : c == 'D' ? 86400 : c == 'H' ? 3600 : c == 'M' ? 60 : c == 'S' ? 1 : 0;
    if (unit == 0 || !digits) return std::nullopt;
    total += number * unit;
    if (total > kLongestDurationSeconds) return std::nullopt;
    number = 0;
    digits = false;
  }
  if (digits) return std::nullopt;
  return total;
}

struct Component {
  std::vector<Property> props;
  const Property* Find(std::string_view name) const {
    for (const Property& p : props) {
      if (p.name == name) return &p;
    }
    return nullptr;
  }
  int Count(std::string_view name) const {
    return static_cast<int>(std::count_if(props.begin(), props.end(), [&](const Property& p) { return p.name == name; }));
  }
};

struct Vevent : Component {
  int number = 0;
  std::vector<Component> alarms;  // its VALARMs
};

// The repetition an RRULE names: the event line's flags or a rule of the
// tail, and its COUNT or UNTIL; or why the line cannot hold it.
struct Repetition {
  RecurrenceKind flags;
  int dayCount = 0;
  RepeatRule rule;                 // a rule of the tail, or none
  int count = 0;                   // 0: no COUNT
  std::optional<DateValue> until;  // as written
  std::string refusal;
};

std::optional<int> DayCode(std::string_view code) {
  for (std::size_t d = 0; d < kDayCodes.size(); ++d)
    if (kDayCodes[d] == code) return static_cast<int>(d);
  return std::nullopt;
}

// A list of signed numbers "1,-1,+15" within -most..most, none 0.
std::optional<std::vector<int>> NumberList(std::string_view text, int most) {
  std::vector<int> values;
  std::size_t at = 0;
  while (at <= text.size()) {
    const std::size_t comma = std::min(text.find(',', at), text.size());
    std::string_view item = text.substr(at, comma - at);
    at = comma + 1;
    const bool negative = !item.empty() && item[0] == '-';
    if (!item.empty() && (item[0] == '-' || item[0] == '+')) item.remove_prefix(1);
    const std::optional<int> n = Number(item);
    if (!n || *n == 0 || *n > most) return std::nullopt;
    values.push_back(negative ? -*n : *n);
  }
  return values;
}

struct DayItem {
  int ordinal = 0;  // 0: every such weekday
  int weekday = 0;  // 0 Monday .. 6 Sunday
};

// BYDAY: "MO,TH", "2TU", "-1FR".
std::optional<std::vector<DayItem>> DayList(std::string_view text) {
  std::vector<DayItem> items;
  std::size_t at = 0;
  while (at <= text.size()) {
    const std::size_t comma = std::min(text.find(',', at), text.size());
    const std::string_view item = text.substr(at, comma - at);
    at = comma + 1;
    if (item.size() < 2) return std::nullopt;
    const std::optional<int> day = DayCode(item.substr(item.size() - 2));
    if (!day) return std::nullopt;
    DayItem d{0, *day};
    if (item.size() > 2) {
      const auto n = NumberList(item.substr(0, item.size() - 2), 53);
      if (!n) return std::nullopt;
      d.ordinal = n->front();
    }
    items.push_back(d);
  }
  return items;
}

Repetition ReadRule(std::string_view text, const CivilDate& start) {
  Repetition rep;
  const auto refuse = [&](std::string why) {
    rep.refusal = std::move(why);
    return rep;
  };
  std::map<std::string, std::string> parts;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t end = text.find(';', pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view part = text.substr(pos, end - pos);
    pos = end + 1;
    if (part.empty()) continue;
    const std::size_t eq = part.find('=');
    if (eq == std::string_view::npos) return refuse("RRULE part '" + std::string(part) + "' is not understood");
    const std::string key = UpperCaseAscii(part.substr(0, eq));
    if (parts.count(key)) return refuse("RRULE names " + key + " twice");
    parts[key] = UpperCaseAscii(part.substr(eq + 1));
  }
  const auto has = [&](const char* key) { return parts.count(key) > 0; };
  const std::string freq = has("FREQ") ? parts["FREQ"] : "";
  if (freq.empty()) return refuse("RRULE without FREQ");
  const bool daily = freq == "DAILY", weekly = freq == "WEEKLY", monthly = freq == "MONTHLY", yearly = freq == "YEARLY";
  if (!daily && !weekly && !monthly && !yearly) return refuse("RRULE FREQ=" + freq);
  const auto with = [&](const char* key) {
    return "RRULE with " + std::string(key) + "=" + parts[key] + " (with FREQ=" + freq + ")";
  };
  for (const auto& [key, value] : parts) {
    static constexpr std::string_view kKnown[] = {"FREQ",  "INTERVAL", "COUNT",   "UNTIL",   "WKST",
                                                  "BYDAY", "BYMONTHDAY", "BYMONTH", "BYSETPOS"};
    if (std::find(std::begin(kKnown), std::end(kKnown), key) == std::end(kKnown)) return refuse(with(key.c_str()));
  }
  if (has("COUNT") && has("UNTIL")) return refuse("RRULE with both COUNT and UNTIL");
  if (has("COUNT")) {
    const std::optional<int> n = Number(parts["COUNT"]);
    if (!n || *n < 1) return refuse("RRULE with COUNT=" + parts["COUNT"]);
    rep.count = *n;
  }
  if (has("UNTIL") && !(rep.until = ParseDateText(parts["UNTIL"], {}))) {
    return refuse("RRULE with UNTIL=" + parts["UNTIL"] + ", not a date or date-time");
  }
  int interval = 1;
  if (has("INTERVAL")) {
    const std::optional<int> n = Number(parts["INTERVAL"]);
    if (!n || *n < 1) return refuse("RRULE with INTERVAL=" + parts["INTERVAL"]);
    interval = *n;
  }
  int weekStart = 0;
  if (has("WKST")) {
    const std::optional<int> day = DayCode(parts["WKST"]);
    if (!day) return refuse("RRULE with WKST=" + parts["WKST"]);
    weekStart = *day;
  }
  std::vector<DayItem> byDay;
  std::vector<int> byMonthDay, byMonth, bySetPos;
  if (has("BYDAY")) {
    auto list = DayList(parts["BYDAY"]);
    if (!list) return refuse("RRULE with BYDAY=" + parts["BYDAY"] + ", not understood");
    byDay = std::move(*list);
  }
  const std::pair<const char*, std::vector<int>*> lists[] = {
      {"BYMONTHDAY", &byMonthDay}, {"BYMONTH", &byMonth}, {"BYSETPOS", &bySetPos}};
  for (const auto& [key, list] : lists) {
    if (!has(key)) continue;
    auto values = NumberList(parts[key], std::string_view(key) == "BYMONTH" ? 12 : 366);
    if (!values) return refuse("RRULE with " + std::string(key) + "=" + parts[key] + ", not understood");
    *list = std::move(*values);
  }
  // Plain weekdays as bits; false when one has an ordinal.
  std::uint8_t days = 0;
  bool plain = true;
  for (const DayItem& d : byDay) {
    days = static_cast<std::uint8_t>(days | 1u << d.weekday);
    plain = plain && d.ordinal == 0;
  }

  if (daily || weekly) {
    for (const char* key : {"BYMONTHDAY", "BYMONTH", "BYSETPOS"})
      if (has(key)) return refuse(with(key));
    if (byDay.empty()) {
      // Every week without BYDAY is every 7 days from the start.
      const long long every = static_cast<long long>(interval) * (weekly ? 7 : 1);
      if (every > kMaxDayCount) {
        return refuse("RRULE every " + std::to_string(every) + " days (at most " + std::to_string(kMaxDayCount) + ")");
      }
      rep.flags.eachNDays = true;
      rep.dayCount = static_cast<int>(every);
      return rep;
    }
    if (!plain || (daily && interval > 1)) return refuse(with("BYDAY"));
    if (weekly && interval > kMaxIntervalWeeks) {
      // On the start's weekday alone it is every 7N days.
      if (days != 1u << WeekdayOf(start) || 7LL * interval > kMaxDayCount) {
        return refuse("RRULE every " + std::to_string(interval) + " weeks on " + parts["BYDAY"] + " (at most " +
                      std::to_string(kMaxIntervalWeeks) + ")");
      }
      rep.flags.eachNDays = true;
      rep.dayCount = 7 * interval;
      return rep;
    }
    // Weeks of another first day group the days alike unless the chosen
    // days lie on both sides of it.
    const auto beforeStart = static_cast<std::uint8_t>((1u << weekStart) - 1);
    if (weekly && interval > 1 && (days & beforeStart) && (days & ~beforeStart)) {
      return refuse("RRULE with WKST=" + parts["WKST"] + " every " + std::to_string(interval) + " weeks on " +
                    parts["BYDAY"] + " (weeks here start on Monday)");
    }
    rep.rule = {.unit = RuleUnit::kWeek, .on = RuleDay::kWeekdays, .interval = weekly ? interval : 1, .weekdays = days};
    return rep;
  }

  // Monthly, or yearly in the start's month.
  if (monthly && has("BYMONTH")) return refuse(with("BYMONTH"));
  if (yearly && has("BYMONTH") && byMonth != std::vector<int>{start.month}) {
    return refuse("RRULE with BYMONTH=" + parts["BYMONTH"] + " other than the start month");
  }
  if (yearly && !has("BYMONTH")) {
    for (const char* key : {"BYMONTHDAY", "BYDAY", "BYSETPOS"})
      if (has(key)) return refuse("RRULE FREQ=YEARLY with " + std::string(key) + " but no BYMONTH");
  }
  RepeatRule rule{.unit = yearly ? RuleUnit::kYear : RuleUnit::kMonth, .interval = interval};
  if (has("BYMONTHDAY") && (has("BYDAY") || has("BYSETPOS"))) {
    return refuse("RRULE with BYMONTHDAY=" + parts["BYMONTHDAY"] + " together with BYDAY or BYSETPOS");
  }
  if (has("BYSETPOS")) {
    const int at = bySetPos.size() == 1 ? bySetPos[0] : 0;
    if (plain && days == kMondayToFriday && byDay.size() == 5 && (at == 1 || at == -1)) {
      rule.on = at == 1 ? RuleDay::kFirstWorkday : RuleDay::kLastWorkday;
    } else if (plain && byDay.size() == 1 && (at == -1 || (at >= 1 && at <= 4))) {
      rule.on = RuleDay::kNthWeekday;
      rule.weekdays = days;
      rule.ordinal = at;
    } else if (!has("BYDAY")) {
      return refuse(with("BYSETPOS"));
    } else {
      return refuse("RRULE with BYDAY=" + parts["BYDAY"] + ";BYSETPOS=" + parts["BYSETPOS"] +
                    " (only the first or last Monday-to-Friday day, or one weekday's first to fourth or last)");
    }
  } else if (has("BYDAY")) {
    const int ordinal = byDay.size() == 1 ? byDay[0].ordinal : 0;
    if (ordinal != -1 && (ordinal < 1 || ordinal > 4)) {
      return refuse("RRULE with BYDAY=" + parts["BYDAY"] + " (with FREQ=" + freq +
                    ": only one weekday, the first to fourth or the last of the month)");
    }
    rule.on = RuleDay::kNthWeekday;
    rule.weekdays = days;
    rule.ordinal = ordinal;
  } else if (has("BYMONTHDAY")) {
    if (byMonthDay == std::vector<int>{-1}) {
      rule.on = RuleDay::kLastDay;
    } else if (byMonthDay.size() > 1) {
      return refuse("RRULE with BYMONTHDAY=" + parts["BYMONTHDAY"] + " (one day of the month only)");
    } else if (byMonthDay != std::vector<int>{start.day}) {
      return refuse("RRULE with BYMONTHDAY=" + parts["BYMONTHDAY"] + " other than the start day");
    }
  }
  if (rule.on == RuleDay::kDate && interval == 1) {
    (yearly ? rep.flags.eachYear : rep.flags.eachMonth) = true;
    return rep;
  }
  const int most = yearly ? kMaxIntervalYears : kMaxIntervalMonths;
  if (interval > most) {
    return refuse("RRULE FREQ=" + freq + " with INTERVAL=" + std::to_string(interval) + " (at most " +
                  std::to_string(most) + ")");
  }
  rep.rule = rule;
  return rep;
}

// The converted text of a SUMMARY or DESCRIPTION, trimmed and cut to the
// field's width as the editor cuts it, with notes of what changed.
std::string FieldText(const Property* p, std::string_view what, int width, std::vector<std::string>& notes) {
  if (p == nullptr) return {};
  std::string utf8 = UnescapeIcsText(p->value);
  const auto breaks = std::count_if(utf8.begin(), utf8.end(), [](char c) { return c == '\n' || c == '\r' || c == '\t'; });
  std::replace_if(utf8.begin(), utf8.end(), [](char c) { return c == '\n' || c == '\r' || c == '\t'; }, ' ');
  if (breaks > 0) notes.push_back(std::string(what) + ": line breaks and tabs became blanks");
  // Other control characters (ESC, NUL ...) have no place in the file either.
  const auto controls = std::count_if(utf8.begin(), utf8.end(), [](char c) { return IsControlCharacter(c); });
  std::replace_if(utf8.begin(), utf8.end(), [](char c) { return IsControlCharacter(c); }, ' ');
  if (controls > 0) notes.push_back(std::string(what) + ": " + std::to_string(controls) + " control character(s) became blanks");
  CodePageText converted = Utf8ToCodePage(utf8);
  if (converted.replaced > 0) {
    notes.push_back(std::string(what) + ": " + std::to_string(converted.replaced) +
                    " character(s) the code page cannot hold became '?'");
  }
  std::string text(TrimBlanks(converted.text));
  if (text.size() > static_cast<std::size_t>(width)) {
    notes.push_back(std::string(what) + ": cut to " + std::to_string(width) + " characters (was " +
                    std::to_string(text.size()) + ")");
    text.resize(static_cast<std::size_t>(width));
  }
  return text;
}

EventCategory CategoryOf(const Vevent& v, EventCategory fallback) {
  for (const Property& p : v.props) {
    if (p.name != "CATEGORIES") continue;
    // A list of TEXT values: split at the commas that are not escaped.
    std::string word;
    for (std::size_t i = 0; i <= p.value.size(); ++i) {
      if (i == p.value.size() || p.value[i] == ',') {
        if (const auto c = CategoryOfIcsWord(UnescapeIcsText(word))) return *c;
        word.clear();
        continue;
      }
      if (p.value[i] == '\\' && i + 1 < p.value.size()) word += p.value[i++];
      word += p.value[i];
    }
  }
  return fallback;
}

// A VEVENT read: its start, how long it lasts, its repetition and last
// day, the dates taken from it and added to it, and the event line's
// fields.
struct Reading {
  DateValue start;
  long long lasts = 0;  // seconds from the start to the end
  Repetition rep;
  Pattern pattern;
  std::optional<CivilDate> until;  // the last day it may fall on
  std::vector<DateValue> exdates, rdates;
  EventRecord record;  // of its rule only the reminders
};

// The last day a rule ending at UNTIL falls on, for an event that starts
// at `start`: the day of the last start not later than UNTIL.
std::optional<CivilDate> LastDay(const DateValue& until, const DateValue& start, const ZoneOffsets& zones,
                                 std::string& refusal) {
  if (!until.time) {
    if (!start.time) return until.date;
    refusal = "RRULE with UNTIL=" + WrittenDate(until) +
              ", a date, while DTSTART has a time (calendars differ on its last day)";
    return std::nullopt;
  }
  // An end in UTC of a start in a time zone: taken when the last day is the
  // same at every offset the zone has (at every offset of the world for a
  // zone the file does not describe).
  std::pair<int, int> offsets{0, 0};
  if (until.utc && !start.utc) {
    const auto zone = zones.find(start.zone);
    offsets = start.zone.empty() || zone == zones.end() ? std::pair{-12 * 3600, 14 * 3600} : zone->second;
  }
  const long long end = NumberOf(until.date) * 86400LL + until.time->hour * 3600 + until.time->minute * 60 +
                        until.time->second - (start.time ? start.time->hour * 3600 + start.time->minute * 60 : 0);
  const auto lastDay = [&](int offset) {
    const long long s = end + offset;
    return s >= 0 ? s / 86400 : -((-s + 86399) / 86400);
  };
  if (lastDay(offsets.first) != lastDay(offsets.second)) {
    refusal = "RRULE with UNTIL=" + WrittenDate(until) + " in UTC, whose last day depends on the time zone of " +
              (start.zone.empty() ? "a DTSTART without one" : start.zone);
    return std::nullopt;
  }
  if (lastDay(offsets.first) < NumberOf(start.date)) {
    refusal = std::string(kRuleOnNoDay);
    return std::nullopt;
  }
  return DateOfDayNumber(static_cast<std::int32_t>(lastDay(offsets.first)));
}

// The least and the greatest UTC offset of a date-time: 0 in UTC, the
// file's VTIMEZONE for a TZID, any of the world's for a floating time or a
// zone the file does not describe.
std::pair<int, int> OffsetsOf(const DateValue& d, const ZoneOffsets& zones) {
  if (d.utc) return {0, 0};
  const auto zone = d.zone.empty() ? zones.end() : zones.find(d.zone);
  return zone == zones.end() ? std::pair{-12 * 3600, 14 * 3600} : zone->second;
}

long long SecondsOf(const DateValue& d) {
  return NumberOf(d.date) * 86400LL + (d.time ? d.time->hour * 3600 + d.time->minute * 60 + d.time->second : 0);
}

// The reminders of a VEVENT's alarms: minutes ahead of the event's notice
// (09:00 of a day event's day, else its start), counted from DTSTART
// (`start`) and, for a trigger RELATED=END, from the end `lasts` seconds
// later when DTEND or DURATION gives one (else `lasts` is negative). An
// alarm at the notice itself is the notice; what the line cannot hold is
// dropped with a note. An absolute trigger is taken as written when it is
// of DTSTART's time zone, else converted where both zones have one offset.
std::vector<int> ReadAlarms(const Vevent& v, const DateValue& start, long long lasts,
                            const ZoneOffsets& zones, std::vector<std::string>& notes) {
  const int startMinute = start.time ? start.time->hour * 60 + start.time->minute : 0;
  const long long notice = (startMinute == 0 ? kDayEventMinute : startMinute) * 60LL;
  std::vector<int> reminders;
  for (std::size_t k = 0; k < v.alarms.size(); ++k) {
    const Component& alarm = v.alarms[k];
    const std::string prefix = "alarm " + std::to_string(k + 1) + ": ";
    const auto drop = [&](const std::string& why) { notes.push_back(prefix + why + ", dropped"); };
    const Property* action = alarm.Find("ACTION");
    const std::string kind = action ? UpperCaseAscii(TrimBlanks(action->value)) : "";
    if (kind == "NONE") continue;  // an alarm that never alerts (RFC 9074)
    if (kind != "DISPLAY" && kind != "AUDIO" && kind != "EMAIL") {
      drop(action ? "ACTION:" + action->value : "no ACTION");
      continue;
    }
    const Property* trigger = alarm.Find("TRIGGER");
    if (trigger == nullptr) {
      drop("no TRIGGER");
      continue;
    }
    const auto param = [&](const char* name) {
      const auto at = trigger->params.find(name);
      return at == trigger->params.end() ? std::string() : UpperCaseAscii(at->second);
    };
    const std::string value = param("VALUE"), related = param("RELATED");
    const std::string written = "TRIGGER " + trigger->value + (related.empty() ? "" : " (RELATED=" + related + ")");
    // Seconds from DTSTART to the alarm.
    long long after = 0;
    const bool absolute = value == "DATE-TIME" || (value.empty() && !trigger->value.empty() &&
                                                   trigger->value[0] >= '0' && trigger->value[0] <= '9');
    if (absolute) {
      const std::optional<DateValue> at = ParseDateText(trigger->value, trigger->params);
      if (!at || !at->time) {
        drop(written + " is not a date-time");
        continue;
      }
      const auto [lo, hi] = OffsetsOf(*at, zones);
      const auto [startLo, startHi] = OffsetsOf(start, zones);
      if (at->utc == start.utc && at->zone == start.zone) {
        after = SecondsOf(*at) - SecondsOf(start);
      } else if (lo == hi && startLo == startHi) {
        after = SecondsOf(*at) - lo - (SecondsOf(start) - startLo);
      } else {
        const std::string& zone = start.utc ? at->zone : start.zone;
        drop(written + ": how far ahead it is depends on the UTC offset of " +
             (zone.empty() ? std::string("a time without a time zone") : zone));
        continue;
      }
    } else {
      std::string_view text = trigger->value;
      const bool before = !text.empty() && text[0] == '-';
      if (before) text.remove_prefix(1);
      const std::optional<long long> seconds = DurationSeconds(text);
      const bool knownRelated = related.empty() || related == "START" || related == "END";
      if ((!value.empty() && value != "DURATION") || !seconds || !knownRelated) {
        drop(written + " is not understood");
        continue;
      }
      if (related == "END" && lasts < 0) {
        drop(written + " without DTEND or DURATION");
        continue;
      }
      after = (before ? -*seconds : *seconds) + (related == "END" ? lasts : 0);
    }
    const long long ahead = notice - startMinute * 60LL - after;
    if (ahead < 0 || ahead % 60 != 0 || ahead > kMaxRemindMinutes * 60LL) {
      const std::string late = " comes after the event's notice" + std::string(startMinute == 0 ? " (09:00)" : "");
      drop(written + (ahead < 0             ? late
                      : ahead % 60 != 0     ? " is not whole minutes ahead"
                                            : " is more than 4 weeks ahead"));
      continue;
    }
    if (ahead > 0) reminders.push_back(static_cast<int>(ahead / 60));
    if (const Property* repeat = alarm.Find("REPEAT"); repeat != nullptr && TrimBlanks(repeat->value) != "0") {
      notes.push_back(prefix + "REPEAT:" + repeat->value + " dropped, its first alert kept");
    }
  }
  reminders = SortedReminders(std::move(reminders));
  if (reminders.size() > static_cast<std::size_t>(kMaxReminders)) {
    notes.push_back(std::to_string(reminders.size() - static_cast<std::size_t>(kMaxReminders)) + " alarm(s) beyond " +
                    std::to_string(kMaxReminders) + " reminders dropped, the farthest ahead");
    reminders.resize(kMaxReminders);
  }
  return reminders;
}

// Reads a VEVENT; false, with the refusal in `out`, when the event line
// cannot hold it exactly.
bool ReadVevent(const Vevent& v, EventCategory fallback, const ZoneOffsets& zones, Reading& r, IcsImported& out) {
  const auto refuse = [&](std::string why) {
    out.refusal = std::move(why);
    return false;
  };
  const Property* start = v.Find("DTSTART");
  if (start == nullptr) return refuse("no DTSTART");
  if (v.Find("EXRULE")) return refuse("EXRULE (dates taken from the repetition by a rule)");
  if (v.Count("RRULE") > 1) return refuse("several RRULEs");
  const std::optional<DateValue> first = ParseDateValue(*start);
  if (!first) return refuse("DTSTART '" + start->value + "' is not a date or date-time of years 0001..9999");
  if (first->time && first->time->second != 0) return refuse("DTSTART has seconds, the time field holds hh:nn");
  r.start = *first;

  // The event must stay within its start day: the program marks days.
  const std::int32_t startDay = NumberOf(first->date);
  long long endSeconds = -1;  // from the start of the first day
  const long long startSeconds = first->time ? first->time->hour * 3600LL + first->time->minute * 60 : 0;
  if (const Property* end = v.Find("DTEND")) {
    const std::optional<DateValue> e = ParseDateValue(*end);
    if (!e) return refuse("DTEND '" + end->value + "' is not a date or date-time");
    endSeconds = (NumberOf(e->date) - startDay) * 86400LL +
                 (e->time ? e->time->hour * 3600LL + e->time->minute * 60 + e->time->second : 0);
  } else if (const Property* duration = v.Find("DURATION")) {
    const std::optional<long long> s = DurationSeconds(duration->value);
    if (!s) return refuse("DURATION '" + duration->value + "' is not understood");
    endSeconds = startSeconds + *s;
  }
  if (endSeconds > 86400) return refuse("it lasts past the end of its first day");
  r.lasts = std::max(0LL, endSeconds - startSeconds);

  r.pattern.first = first->date;
  if (const Property* rule = v.Find("RRULE")) {
    r.rep = ReadRule(rule->value, first->date);
    if (!r.rep.refusal.empty()) return refuse(r.rep.refusal);
    r.pattern.rule = r.rep.flags.eachYear    ? RepeatRule{.unit = RuleUnit::kYear}
                     : r.rep.flags.eachMonth ? RepeatRule{.unit = RuleUnit::kMonth}
                                             : r.rep.rule;
    r.pattern.step = r.rep.dayCount;
    if (!r.pattern.Falls(first->date)) {
      return refuse("DTSTART " + WrittenDate(*first) + " is no day of its RRULE " + rule->value +
                    " (calendars differ on whether it counts)");
    }
    if (r.rep.count > 0) r.until = r.pattern.Nth(r.rep.count);
    if (r.rep.until) {
      std::string why;
      r.until = LastDay(*r.rep.until, *first, zones, why);
      if (!why.empty()) return refuse(why);
    }
  } else {
    r.rep.flags.onlyOnce = true;
  }

  bool startListed = false;  // DTSTART among the RDATEs
  for (const Property& p : v.props) {
    const bool taken = p.name == "EXDATE";
    if (!taken && p.name != "RDATE") continue;
    if (const auto type = p.params.find("VALUE"); type != p.params.end() && UpperCaseAscii(type->second) == "PERIOD") {
      return refuse(p.name + " of periods");
    }
    for (std::size_t at = 0; at <= p.value.size();) {
      const std::size_t comma = std::min(p.value.find(',', at), p.value.size());
      const std::string item = p.value.substr(at, comma - at);
      at = comma + 1;
      const std::optional<DateValue> d = ParseDateText(item, p.params);
      if (!d) return refuse(p.name + " '" + item + "' is not a date or date-time");
      if (!SameForm(*d, *first)) {
        return refuse(p.name + " " + WrittenDate(*d) +
                      " is not of DTSTART's kind (a date, or a date-time in its time zone)");
      }
      if (taken) {
        r.exdates.push_back(*d);
        continue;
      }
      if (d->time && d->time->second != 0) return refuse("RDATE has seconds, the time field holds hh:nn");
      if ((d->time ? d->time->hour * 3600LL + d->time->minute * 60 : 0) + r.lasts > 86400) {
        return refuse("RDATE " + WrittenDate(*d) + " lasts past the end of its day");
      }
      startListed = startListed || (d->date == first->date && d->time == first->time);
      r.rdates.push_back(*d);
    }
  }
  if (!r.rdates.empty() && !v.Find("RRULE") && !startListed) {
    return refuse("RDATE without RRULE, DTSTART not among them (calendars differ on whether DTSTART counts)");
  }

  EventRecord& record = r.record;
  record.month = Digits(first->date.month, 2);
  record.day = Digits(first->date.day, 2);
  record.year = Digits(first->date.year, 4);
  // An all-day event keeps the time field empty, as the editor's cleared
  // field leaves it.
  record.time = first->time ? Digits(first->time->hour, 2) + ":" + Digits(first->time->minute, 2) : "  :  ";
  record.category = CategoryOf(v, fallback);
  record.name = FieldText(v.Find("SUMMARY"), "name", kNameField.length, out.notes);
  record.comment = FieldText(v.Find("DESCRIPTION"), "comment", kCommentField.length, out.notes);
  record.rule.reminders = ReadAlarms(v, *first, endSeconds < 0 ? -1 : r.lasts, zones, out.notes);
  return true;
}

// The event on one day only, at a date or date-time.
std::string SingleLine(EventRecord record, const DateValue& when) {
  record.month = Digits(when.date.month, 2);
  record.day = Digits(when.date.day, 2);
  record.year = Digits(when.date.year, 4);
  record.time = when.time ? Digits(when.time->hour, 2) + ":" + Digits(when.time->minute, 2) : "  :  ";
  record.recurrence = {.onlyOnce = true};
  record.dayCount = "0";
  record.rule = {.reminders = std::move(record.rule.reminders)};
  return BuildEventLine(record).line;
}

// The lines of a VEVENT read: its rule's, without the days its changed
// occurrences took (`moved`), and one per RDATE the rule does not fall on.
void BuildLines(const Reading& r, const std::vector<CivilDate>& moved, IcsImported& out,
                std::vector<IcsImported>& extra) {
  const auto inRange = [&](const CivilDate& d) {
    return NumberOf(d) >= NumberOf(r.start.date) && (!r.until || NumberOf(d) <= NumberOf(*r.until));
  };
  // An EXDATE takes the occurrence that starts at its very moment; one
  // that names none takes nothing.
  std::vector<CivilDate> skips;
  for (const DateValue& x : r.exdates)
    if (x.time == r.start.time && inRange(x.date) && r.pattern.Falls(x.date)) skips.push_back(x.date);
  const auto isRuleDay = [&, excluded = skips](const DateValue& d) {
    return d.time == r.start.time && inRange(d.date) && r.pattern.Falls(d.date) &&
           std::find(excluded.begin(), excluded.end(), d.date) == excluded.end();
  };
  skips.insert(skips.end(), moved.begin(), moved.end());
  if (!FallsOnSomeDay(r.pattern, r.until, skips)) {
    out.refusal = "its end and the dates taken from it leave it no day";
    return;
  }
  EventRecord record = r.record;
  record.recurrence = r.rep.flags;
  record.dayCount = std::to_string(r.rep.dayCount);
  record.rule = r.rep.rule;
  record.rule.reminders = r.record.rule.reminders;
  record.rule.until = r.until;
  record.rule.skips = std::move(skips);
  BuiltLine built = BuildEventLine(record);
  if (!built.ok()) {
    out.refusal = built.error;
    return;
  }
  out.line = std::move(built.line);
  std::set<std::pair<std::int32_t, int>> seen;
  for (const DateValue& d : r.rdates) {
    const int minute = d.time ? d.time->hour * 60 + d.time->minute : -1;
    if (!seen.insert({NumberOf(d.date), minute}).second || isRuleDay(d)) continue;
    if (std::any_of(r.exdates.begin(), r.exdates.end(),
                    [&](const DateValue& x) { return x.date == d.date && x.time == d.time; })) {
      continue;
    }
    IcsImported single;
    single.vevent = out.vevent;
    single.uid = out.uid;
    single.summary = out.summary;
    single.line = SingleLine(r.record, d);
    extra.push_back(std::move(single));
  }
  if (!extra.empty()) out.notes.push_back(std::to_string(extra.size()) + " RDATE(s) added as events of their own");
}

// The day a changed occurrence (RECURRENCE-ID) takes from the event read
// as `master`; none, with the refusal, when it names no occurrence.
std::optional<CivilDate> ReplacedDay(const Vevent& v, const Reading& master, int masterNumber, std::string& refusal) {
  const Property& id = *v.Find("RECURRENCE-ID");
  if (id.params.count("RANGE")) {
    refusal = "RECURRENCE-ID with RANGE (a change of this and all later occurrences)";
    return std::nullopt;
  }
  const std::optional<DateValue> d = ParseDateValue(id);
  if (!d) {
    refusal = "RECURRENCE-ID '" + id.value + "' is not a date or date-time";
    return std::nullopt;
  }
  const bool excluded = std::any_of(master.exdates.begin(), master.exdates.end(),
                                    [&](const DateValue& x) { return x.date == d->date && x.time == d->time; });
  if (!SameForm(*d, master.start) || d->time != master.start.time || !master.pattern.Falls(d->date) ||
      (master.until && NumberOf(d->date) > NumberOf(*master.until)) || excluded) {
    refusal = "RECURRENCE-ID " + WrittenDate(*d) + " names no occurrence of vevent " + std::to_string(masterNumber);
    return std::nullopt;
  }
  return d->date;
}

bool Cancelled(const Vevent& v) {
  const Property* status = v.Find("STATUS");
  return status != nullptr && UpperCaseAscii(TrimBlanks(status->value)) == "CANCELLED";
}

// The hash part of a UID written by ExportIcs, and the kind of its rule.
bool SplitOwnUid(std::string_view uid, std::string& base, std::string& kind) {
  if (uid.size() <= kUidDomain.size() || uid.substr(uid.size() - kUidDomain.size()) != kUidDomain) return false;
  uid.remove_suffix(kUidDomain.size());
  const std::size_t dash = uid.rfind('-');
  if (dash == std::string_view::npos || dash < 16) return false;
  base = std::string(uid.substr(0, dash));
  kind = std::string(uid.substr(dash + 1));
  return kind == "yearly" || kind == "monthly" || kind == "daily" || kind == "once";
}

// The line without its flags and day count, which the rules of one event
// differ in.
std::string WithoutRepetition(std::string line) {
  for (LineField f : {kEachYearField, kEachMonthField, kOnlyOnceField, kEachNDaysField, kDayCountField}) {
    line.replace(static_cast<std::size_t>(f.position - 1), static_cast<std::size_t>(f.length),
                 static_cast<std::size_t>(f.length), ' ');
  }
  return line;
}

// Whether a line that repeats as `held` can take the rule `added` too:
// each kind once, and a single date only alone (ExportIcs writes the rules
// of one line so).
bool JoinsWith(const RecurrenceKind& held, const RecurrenceKind& added) {
  return !held.onlyOnce && !added.onlyOnce && !(held.eachYear && added.eachYear) &&
         !(held.eachMonth && added.eachMonth) && !(held.eachNDays && added.eachNDays);
}

void SetFlag(std::string& line, LineField f, bool set) {
  if (set) line[static_cast<std::size_t>(f.position - 1)] = 'Y';
}

}  // namespace

std::optional<EventCategory> CategoryOfIcsWord(std::string_view word) {
  static constexpr std::pair<std::string_view, EventCategory> kWords[] = {
      {"LOVELY", EventCategory::kLovely},
      {"LOVE", EventCategory::kLovely},
      {"ANNIVERSARY", EventCategory::kLovely},
      {"BIRTHDAY", EventCategory::kBirthday},
      {"BIRTHDAYS", EventCategory::kBirthday},
      {"WORK/BUSINESS", EventCategory::kWorkBusiness},
      {"WORK", EventCategory::kWorkBusiness},
      {"BUSINESS", EventCategory::kWorkBusiness},
      {"RELIGION/LEGAL", EventCategory::kReligionLegal},
      {"RELIGION", EventCategory::kReligionLegal},
      {"RELIGIOUS", EventCategory::kReligionLegal},
      {"LEGAL", EventCategory::kReligionLegal},
      {"HOLIDAY", EventCategory::kReligionLegal},
      {"HOLIDAYS", EventCategory::kReligionLegal},
      {"PUBLIC HOLIDAY", EventCategory::kReligionLegal},
      {"FEEST", EventCategory::kFeest},
      {"FEAST", EventCategory::kFeest},
      {"PARTY", EventCategory::kFeest},
      {"OTHER", EventCategory::kOther},
  };
  const std::string upper = UpperCaseAscii(TrimBlanks(word));
  for (const auto& [name, category] : kWords) {
    if (upper == name) return category;
  }
  return std::nullopt;
}

IcsImport ImportIcs(std::string_view bytes, EventCategory fallback) {
  IcsImport result;
  std::vector<std::string> stack;  // open components
  bool calendar = false;
  std::vector<Vevent> vevents;
  ZoneOffsets zones;
  std::string zoneId;
  std::vector<int> zoneOffsets;
  bool zoneRead = true;
  for (const std::string& text : Unfold(bytes)) {
    Property p = ParseProperty(text);
    if (p.name == "BEGIN") {
      const std::string component = UpperCaseAscii(p.value);
      if (component == "VCALENDAR" && stack.empty()) calendar = true;
      if (component == "VEVENT" && stack.size() == 1) {
        vevents.emplace_back();
        vevents.back().number = static_cast<int>(vevents.size());
      }
      if (component == "VALARM" && stack.size() == 2 && stack[1] == "VEVENT" && !vevents.empty()) {
        vevents.back().alarms.emplace_back();
      }
      if (component == "VTIMEZONE" && stack.size() == 1) {
        zoneId.clear();
        zoneOffsets.clear();
        zoneRead = true;
      }
      stack.push_back(component);
    } else if (p.name == "END") {
      if (stack.size() == 2 && stack[1] == "VTIMEZONE" && zoneRead && !zoneId.empty() && !zoneOffsets.empty()) {
        const auto [lo, hi] = std::minmax_element(zoneOffsets.begin(), zoneOffsets.end());
        const auto [at, isNew] = zones.emplace(zoneId, std::pair{*lo, *hi});
        if (!isNew) at->second = {std::min(at->second.first, *lo), std::max(at->second.second, *hi)};
      }
      if (!stack.empty()) stack.pop_back();
    } else if (stack.size() == 2 && stack[1] == "VEVENT" && !vevents.empty()) {
      vevents.back().props.push_back(std::move(p));
    } else if (stack.size() == 3 && stack[1] == "VEVENT" && stack[2] == "VALARM" && !vevents.empty() &&
               !vevents.back().alarms.empty()) {
      vevents.back().alarms.back().props.push_back(std::move(p));
    } else if (stack.size() == 2 && stack[1] == "VTIMEZONE" && p.name == "TZID") {
      zoneId = p.value;
    } else if (stack.size() == 3 && stack[1] == "VTIMEZONE" && (p.name == "TZOFFSETTO" || p.name == "TZOFFSETFROM")) {
      const std::optional<int> offset = OffsetSeconds(p.value);
      if (offset) zoneOffsets.push_back(*offset);
      zoneRead = zoneRead && offset;
    }
  }
  if (!calendar) {
    result.error = "not an iCalendar file (no BEGIN:VCALENDAR)";
    return result;
  }

  const std::size_t count = vevents.size();
  std::vector<IcsImported> items(count);
  std::vector<std::vector<IcsImported>> extras(count);
  std::vector<Reading> readings(count);
  std::vector<bool> read(count, false);
  std::vector<std::vector<CivilDate>> moved(count);  // days taken by changed occurrences
  std::map<std::string, std::size_t> events;          // UID -> its VEVENT without RECURRENCE-ID
  for (std::size_t i = 0; i < count; ++i) {
    const Vevent& v = vevents[i];
    IcsImported& item = items[i];
    item.vevent = v.number;
    if (const Property* uid = v.Find("UID")) item.uid = uid->value;
    if (const Property* summary = v.Find("SUMMARY")) item.summary = UnescapeIcsText(summary->value);
    if (!v.Find("RECURRENCE-ID") && !item.uid.empty()) events.emplace(item.uid, i);
  }
  // The events first, then their changed occurrences, which take days from
  // them.
  const auto eventOf = [&](std::size_t i) {
    const auto at = vevents[i].Find("RECURRENCE-ID") ? events.find(items[i].uid) : events.end();
    return at == events.end() ? count : at->second;
  };
  for (std::size_t i = 0; i < count; ++i) {
    const Vevent& v = vevents[i];
    if (eventOf(i) != count) continue;
    if (v.Find("RECURRENCE-ID")) {
      // An occurrence sent alone, as an invitation to it is.
      if (Cancelled(v)) {
        items[i].refusal = "a cancelled occurrence of an event that is not in the file";
        continue;
      }
      if (v.Find("RRULE")) {
        items[i].refusal = "RRULE in a changed occurrence (RECURRENCE-ID)";
        continue;
      }
      items[i].notes.push_back("a changed occurrence of an event that is not in the file, taken alone");
    }
    read[i] = ReadVevent(v, fallback, zones, readings[i], items[i]);
  }
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t e = eventOf(i);
    if (e == count) continue;
    const Vevent& v = vevents[i];
    IcsImported& item = items[i];
    const std::string of = "vevent " + std::to_string(vevents[e].number);
    if (!read[e]) {
      item.refusal = "a changed occurrence of " + of + ", which is refused";
      continue;
    }
    const std::optional<CivilDate> day = ReplacedDay(v, readings[e], vevents[e].number, item.refusal);
    if (!day) continue;
    moved[e].push_back(*day);
    if (Cancelled(v)) {
      item.joined = vevents[e].number;
      continue;
    }
    for (const char* name : {"RRULE", "RDATE", "EXDATE"}) {
      if (v.Find(name) && item.refusal.empty()) item.refusal = std::string(name) + " in a changed occurrence of " + of;
    }
    if (item.refusal.empty()) read[i] = ReadVevent(v, readings[e].record.category, zones, readings[i], item);
  }
  for (std::size_t i = 0; i < count; ++i) {
    if (read[i]) BuildLines(readings[i], moved[i], items[i], extras[i]);
  }

  std::map<std::string, std::size_t> firstOfEvent;  // own UID's hash part -> index of its first rule
  for (std::size_t i = 0; i < count; ++i) {
    IcsImported& item = items[i];
    std::string base, kind;
    // A line whose tail holds a rule of its own is joined to no other.
    if (!item.line.empty() && SplitOwnUid(item.uid, base, kind) && !ReadRuleTail(item.line).rule.Repeats()) {
      const auto [at, isNew] = firstOfEvent.emplace(base, result.events.size());
      IcsImported* first = isNew ? nullptr : &result.events[at->second];
      const RecurrenceKind r = ReadRecurrence(item.line);
      if (first != nullptr && WithoutRepetition(first->line) == WithoutRepetition(item.line) &&
          !JoinsWith(ReadRecurrence(first->line), r)) {
        item.refusal = "a rule the event of vevent " + std::to_string(first->vevent) +
                       " cannot hold beside its own (one line holds one rule of each kind, and a single date only "
                       "alone)";
        item.line.clear();
      } else if (first != nullptr && WithoutRepetition(first->line) == WithoutRepetition(item.line)) {
        SetFlag(first->line, kEachYearField, r.eachYear);
        SetFlag(first->line, kEachMonthField, r.eachMonth);
        SetFlag(first->line, kOnlyOnceField, r.onlyOnce);
        SetFlag(first->line, kEachNDaysField, r.eachNDays);
        if (r.eachNDays) {
          first->line.replace(static_cast<std::size_t>(kDayCountField.position - 1), 3, ReadField(item.line, kDayCountField));
        }
        item.joined = first->vevent;
        item.line.clear();
      }
    }
    result.events.push_back(std::move(item));
    for (IcsImported& single : extras[i]) result.events.push_back(std::move(single));
  }
  return result;
}

}  // namespace redoviri
