#include "events/ical.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>

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

// ---- writing ----

struct Rule {
  std::string_view kind;  // the UID's word for it
  std::string rrule;      // empty: the first date alone
};

// The rules whose days together are the days FallsOn gives the event.
std::vector<Rule> RulesOf(const ParsedEvent& e) {
  std::vector<Rule> rules;
  const RecurrenceKind& r = e.recurrence;
  if (r.eachYear) {
    rules.push_back({"yearly", "FREQ=YEARLY;BYMONTH=" + std::to_string(e.month) + ";BYMONTHDAY=" + std::to_string(e.day)});
  }
  if (r.eachMonth) rules.push_back({"monthly", "FREQ=MONTHLY;BYMONTHDAY=" + std::to_string(e.day)});
  if (r.eachNDays && e.dayCount > 0) {
    rules.push_back({"daily", "FREQ=DAILY;INTERVAL=" + std::to_string(e.dayCount)});
  }
  // Every rule above falls on the first date itself.
  if (rules.empty() && (r.onlyOnce || r.eachNDays)) rules.push_back({"once", {}});
  return rules;
}

std::string LeftOutReason(std::string_view line, const ParsedEvent& e) {
  if (!ReadFirstDate(line)) {
    return "the first date " + ReadField(line, kMonthField) + "/" + ReadField(line, kDayField) + "/" +
           ReadField(line, kYearField) + " does not exist";
  }
  if (!e.readable) return "the day count '" + ReadField(line, kDayCountField) + "' is not a number";
  if (!CategoryFromCode(e.category)) return "the category '" + ReadField(line, kCategoryField) + "' is not 1..6";
  return "no repetition is set, so it falls on no day";
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
    const std::vector<Rule> rules = e.readable && CategoryFromCode(e.category) ? RulesOf(e) : std::vector<Rule>{};
    if (rules.empty()) {
      result.leftOut.push_back({std::string(line), LeftOutReason(line, e)});
      continue;
    }
    std::string uid = IcsLineHash(line);
    if (const int n = ++seen[uid]; n > 1) uid += "." + std::to_string(n);
    const CivilDate first = *ReadFirstDate(line);
    const std::optional<CivilTime> time = StoredTime(ReadField(line, kTimeField));
    const std::string dtstart = time ? "DTSTART:" + IcsDate(first) + "T" + Digits(time->hour, 2) +
                                           Digits(time->minute, 2) + "00"
                                     : "DTSTART;VALUE=DATE:" + IcsDate(first);
    const std::string name = ExportedText(ReadName(line));
    const std::string comment = ExportedText(ReadComment(line));
    for (const Rule& rule : rules) {
      out += FoldIcsLine("BEGIN:VEVENT");
      out += FoldIcsLine("UID:" + uid + "-" + std::string(rule.kind) + std::string(kUidDomain));
      out += FoldIcsLine(stamp);
      out += FoldIcsLine(dtstart);
      if (!rule.rrule.empty()) out += FoldIcsLine("RRULE:" + rule.rrule);
      out += FoldIcsLine("SUMMARY:" + EscapeIcsText(name));
      if (!comment.empty()) out += FoldIcsLine("DESCRIPTION:" + EscapeIcsText(comment));
      out += FoldIcsLine("CATEGORIES:" + EscapeIcsText(InfoOf(*CategoryFromCode(e.category)).word));
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
std::optional<DateValue> ParseDateValue(const Property& p) {
  std::string_view v = p.value;
  if (v.size() < 8) return std::nullopt;  // "2024", or nothing after an unclosed quote
  const auto year = Number(v.substr(0, 4)), month = Number(v.substr(4, 2)), day = Number(v.substr(6, 2));
  if (!year || !month || !day || !IsValidDate(*year, *month, *day)) return std::nullopt;
  DateValue d{{*year, *month, *day}, std::nullopt};
  const auto type = p.params.find("VALUE");
  if (v.size() == 8) {
    if (type != p.params.end() && UpperCaseAscii(type->second) != "DATE") return std::nullopt;
    return d;
  }
  if (!v.empty() && (v.back() == 'Z' || v.back() == 'z')) v.remove_suffix(1);
  if (v.size() != 15 || (v[8] != 'T' && v[8] != 't')) return std::nullopt;
  const auto h = Number(v.substr(9, 2)), m = Number(v.substr(11, 2)), s = Number(v.substr(13, 2));
  if (!h || !m || !s || *h > 23 || *m > 59 || *s > 60) return std::nullopt;
  d.time = CivilTime{*h, *m, *s};
  return d;
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

struct Vevent {
  int number = 0;
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

// The repetition an RRULE names, as the event line's flags; or why the
// line cannot hold it.
struct Repetition {
  RecurrenceKind flags;
  int dayCount = 0;
  std::string refusal;
};

Repetition ReadRule(std::string_view rule, const CivilDate& start) {
  Repetition rep;
  const auto refuse = [&](std::string why) {
    rep.refusal = std::move(why);
    return rep;
  };
  std::map<std::string, std::string> parts;
  std::size_t pos = 0;
  while (pos <= rule.size()) {
    std::size_t end = rule.find(';', pos);
    if (end == std::string_view::npos) end = rule.size();
    const std::string_view part = rule.substr(pos, end - pos);
    pos = end + 1;
    if (part.empty()) continue;
    const std::size_t eq = part.find('=');
    if (eq == std::string_view::npos) return refuse("RRULE part '" + std::string(part) + "' is not understood");
    const std::string key = UpperCaseAscii(part.substr(0, eq));
    if (parts.count(key)) return refuse("RRULE names " + key + " twice");
    parts[key] = UpperCaseAscii(part.substr(eq + 1));
  }
  const std::string freq = parts.count("FREQ") ? parts["FREQ"] : "";
  if (freq.empty()) return refuse("RRULE without FREQ");
  if (parts.count("COUNT")) return refuse("RRULE with COUNT (a limited number of repetitions)");
  if (parts.count("UNTIL")) return refuse("RRULE with UNTIL (repetitions that end)");
  int interval = 1;
  if (parts.count("INTERVAL")) {
    const std::optional<int> n = Number(parts["INTERVAL"]);
    if (!n || *n < 1) return refuse("RRULE with INTERVAL=" + parts["INTERVAL"]);
    interval = *n;
  }
  // BYMONTH and BYMONTHDAY may only repeat what the start date says.
  const auto sameAs = [&](const char* key, int value) {
    return !parts.count(key) || Number(parts[key]) == std::optional<int>(value);
  };
  for (const auto& [key, value] : parts) {
    if (key == "FREQ" || key == "INTERVAL" || key == "WKST") continue;
    if (key == "BYMONTHDAY" && (freq == "YEARLY" || freq == "MONTHLY")) {
      if (!sameAs("BYMONTHDAY", start.day)) return refuse("RRULE with BYMONTHDAY=" + value + " other than the start day");
      continue;
    }
    if (key == "BYMONTH" && freq == "YEARLY") {
      if (!sameAs("BYMONTH", start.month)) return refuse("RRULE with BYMONTH=" + value + " other than the start month");
      continue;
    }
    return refuse("RRULE with " + key + "=" + value + " (with FREQ=" + freq + ")");
  }
  if (freq == "YEARLY") {
    if (interval != 1) return refuse("RRULE FREQ=YEARLY with INTERVAL=" + std::to_string(interval));
    // Without BYMONTH a BYMONTHDAY would fall in every month.
    if (parts.count("BYMONTHDAY") && !parts.count("BYMONTH")) return refuse("RRULE FREQ=YEARLY with BYMONTHDAY but no BYMONTH");
    rep.flags.eachYear = true;
  } else if (freq == "MONTHLY") {
    if (interval != 1) return refuse("RRULE FREQ=MONTHLY with INTERVAL=" + std::to_string(interval));
    rep.flags.eachMonth = true;
  } else if (freq == "DAILY" || freq == "WEEKLY") {
    // Every week without BYDAY is every 7 days from the start.
    const long long days = static_cast<long long>(interval) * (freq == "WEEKLY" ? 7 : 1);
    if (days > kMaxDayCount)
      return refuse("RRULE every " + std::to_string(days) + " days (at most " + std::to_string(kMaxDayCount) + ")");
    rep.flags.eachNDays = true;
    rep.dayCount = static_cast<int>(days);
  } else {
    return refuse("RRULE FREQ=" + freq);
  }
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

void ReadVevent(const Vevent& v, EventCategory fallback, IcsImported& out) {
  const auto refuse = [&](std::string why) { out.refusal = std::move(why); };
  const Property* start = v.Find("DTSTART");
  if (start == nullptr) return refuse("no DTSTART");
  for (const char* name : {"RDATE", "EXDATE", "EXRULE"}) {
    if (v.Find(name)) return refuse(std::string(name) + " (dates added to or taken from the repetition)");
  }
  if (v.Find("RECURRENCE-ID")) return refuse("RECURRENCE-ID (a changed occurrence of a repeating event)");
  if (v.Count("RRULE") > 1) return refuse("several RRULEs");
  const std::optional<DateValue> first = ParseDateValue(*start);
  if (!first) return refuse("DTSTART '" + start->value + "' is not a date or date-time of years 0001..9999");
  if (first->time && first->time->second != 0) return refuse("DTSTART has seconds, the time field holds hh:nn");

  // The event must stay within its start day: the program marks days.
  const std::int32_t startDay = *DayNumber(first->date);
  long long endSeconds = -1;  // from the start of the first day
  const long long startSeconds = first->time ? first->time->hour * 3600LL + first->time->minute * 60 : 0;
  if (const Property* end = v.Find("DTEND")) {
    const std::optional<DateValue> e = ParseDateValue(*end);
    if (!e) return refuse("DTEND '" + end->value + "' is not a date or date-time");
    endSeconds = (*DayNumber(e->date) - startDay) * 86400LL +
                 (e->time ? e->time->hour * 3600LL + e->time->minute * 60 + e->time->second : 0);
  } else if (const Property* duration = v.Find("DURATION")) {
    const std::optional<long long> s = DurationSeconds(duration->value);
    if (!s) return refuse("DURATION '" + duration->value + "' is not understood");
    endSeconds = startSeconds + *s;
  }
  if (endSeconds > 86400) return refuse("it lasts past the end of its first day");

  RecurrenceKind flags;
  int dayCount = 0;
  if (const Property* rule = v.Find("RRULE")) {
    Repetition rep = ReadRule(rule->value, first->date);
    if (!rep.refusal.empty()) return refuse(std::move(rep.refusal));
    flags = rep.flags;
    dayCount = rep.dayCount;
  } else {
    flags.onlyOnce = true;
  }

  EventRecord record;
  record.month = Digits(first->date.month, 2);
  record.day = Digits(first->date.day, 2);
  record.year = Digits(first->date.year, 4);
  // An all-day event keeps the time field empty, as the editor's cleared
  // field leaves it.
  record.time = first->time ? Digits(first->time->hour, 2) + ":" + Digits(first->time->minute, 2) : "  :  ";
  record.category = CategoryOf(v, fallback);
  record.recurrence = flags;
  record.dayCount = std::to_string(dayCount);
  record.name = FieldText(v.Find("SUMMARY"), "name", kNameField.length, out.notes);
  record.comment = FieldText(v.Find("DESCRIPTION"), "comment", kCommentField.length, out.notes);
  BuiltLine built = BuildEventLine(record);
  if (!built.ok()) return refuse(built.error);
  out.line = std::move(built.line);
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
  for (const std::string& text : Unfold(bytes)) {
    Property p = ParseProperty(text);
    if (p.name == "BEGIN") {
      const std::string component = UpperCaseAscii(p.value);
      if (component == "VCALENDAR" && stack.empty()) calendar = true;
      if (component == "VEVENT" && stack.size() == 1) {
        vevents.emplace_back();
        vevents.back().number = static_cast<int>(vevents.size());
      }
      stack.push_back(component);
    } else if (p.name == "END") {
      if (!stack.empty()) stack.pop_back();
    } else if (stack.size() == 2 && stack[1] == "VEVENT" && !vevents.empty()) {
      vevents.back().props.push_back(std::move(p));
    }
  }
  if (!calendar) {
    result.error = "not an iCalendar file (no BEGIN:VCALENDAR)";
    return result;
  }

  std::map<std::string, std::size_t> firstOfEvent;  // own UID's hash part -> index of its first rule
  for (const Vevent& v : vevents) {
    IcsImported item;
    item.vevent = v.number;
    if (const Property* uid = v.Find("UID")) item.uid = uid->value;
    if (const Property* summary = v.Find("SUMMARY")) item.summary = UnescapeIcsText(summary->value);
    ReadVevent(v, fallback, item);
    std::string base, kind;
    if (!item.line.empty() && SplitOwnUid(item.uid, base, kind)) {
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
  }
  return result;
}

}  // namespace redoviri
