#include "events/eventrecord.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <limits>

namespace redoviri {
namespace {

constexpr std::array<CategoryInfo, kCategoryCount> kCategories{{
    {EventCategory::kLovely, "lovely", Rgb(255, 0, 0), "Lovelyday", " lovely : ", " lovely. "},
    {EventCategory::kBirthday, "birthday", Rgb(0, 0, 255), "Birthday", " birthday : ", " birth. "},
    {EventCategory::kWorkBusiness, "work/business", Rgb(128, 128, 0), "Workingday", " work : ", " work. "},
    {EventCategory::kReligionLegal, "religion/legal", Rgb(128, 0, 128), "Religionday", " religion/official : ",
     " rel/off. "},
    {EventCategory::kFeest, "feest", Rgb(0, 128, 0), "Feestday", " feest : ", " feest. "},
    {EventCategory::kOther, "other", Rgb(0, 128, 128), "Other", " other : ", " other. "},
}};


bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The text cut or blank-padded to exactly `width` characters.
std::string FitWidth(std::string_view text, std::size_t width) {
  std::string out(text.substr(0, width));
  out.resize(width, ' ');
  return out;
}

// A line break inside a field would split the event over two file lines.
std::string WithoutLineBreaks(std::string_view text) {
  std::string out(text);
  std::replace_if(out.begin(), out.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return out;
}

// The characters of a field that the line holds (fewer for a short line).
std::string_view PresentPart(std::string_view line, LineField field) {
  const auto start = static_cast<std::size_t>(field.position - 1);
  return start < line.size() ? line.substr(start, static_cast<std::size_t>(field.length)) : std::string_view{};
}

// Value of a field made only of decimal digits.
std::optional<int> DigitsValue(std::string_view line, LineField field) {
  const std::string_view text = PresentPart(line, field);
  if (text.size() != static_cast<std::size_t>(field.length) || !std::all_of(text.begin(), text.end(), IsDigit)) {
    return std::nullopt;
  }
  int value = 0;
  for (char c : text) value = value * 10 + (c - '0');
  return value;
}

// "'text' what", the shape of the conversion messages.
std::string QuotedMessage(std::string_view text, std::string_view what) {
  std::string message = "'";
  message += text;
  message += "' ";
  message += what;
  return message;
}

// One or two digits with blanks around them.
std::optional<int> TimePart(std::string_view part) {
  const std::size_t first = part.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::nullopt;
  const std::size_t last = part.find_last_not_of(' ');
  const std::string_view digits = part.substr(first, last - first + 1);
  if (digits.size() > 2) return std::nullopt;
  int value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

const CategoryInfo& InfoOf(EventCategory c) { return kCategories.at(static_cast<std::size_t>(CodeOf(c) - 1)); }

std::optional<EventCategory> CategoryFromCode(int code) {
  if (code < 1 || code > kCategoryCount) return std::nullopt;
  return static_cast<EventCategory>(code);
}

bool CountCategory(CategoryCounts& counts, int code) {
  const std::optional<EventCategory> category = CategoryFromCode(code);
  if (!category) return false;
  ++counts[static_cast<std::size_t>(CodeOf(*category) - 1)];
  return true;
}

std::optional<EventCategory> CategoryFromWord(std::string_view word) {
  const std::string_view trimmed = TrimBlanks(word);
  for (const CategoryInfo& info : kCategories) {
    if (info.word == trimmed) return info.category;
  }
  return std::nullopt;
}

std::string NotAnIntegerMessage(std::string_view text) { return QuotedMessage(text, "is not a valid integer value"); }

std::string NotADateMessage(std::string_view text) { return QuotedMessage(text, "is not a valid date"); }

std::string NotADateTimeMessage(std::string_view text) { return QuotedMessage(text, "is not a valid date and time"); }

std::string NotATimeMessage(std::string_view text) { return QuotedMessage(text, "is not a valid time"); }

bool IsEventTime(std::string_view text) {
  if (text.size() != 5 || text[2] != ':') return false;
  const auto digit = [&](std::size_t i) { return text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1; };
  if (digit(0) < 0 || digit(1) < 0 || digit(3) < 0 || digit(4) < 0) return false;
  return digit(0) * 10 + digit(1) <= 23 && digit(3) <= 5;
}

bool IsNoTime(std::string_view text) {
  const std::string_view trimmed = TrimBlanks(text);
  return trimmed.empty() || trimmed == ":";
}

void SetRecordDate(EventRecord& record, const CivilDate& date) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d", date.month);
  record.month = text;
  std::snprintf(text, sizeof text, "%02d", date.day);
  record.day = text;
  std::snprintf(text, sizeof text, "%04d", date.year);
  record.year = text;
}

BuiltLine BuildEventLine(const EventRecord& typed) {
  EventRecord record = typed;
  RepeatRule& rule = record.rule;
  std::sort(rule.skips.begin(), rule.skips.end(), [](const CivilDate& a, const CivilDate& b) {
    return DayNumber(a).value_or(0) < DayNumber(b).value_or(0);
  });
  rule.skips.erase(std::unique(rule.skips.begin(), rule.skips.end()), rule.skips.end());
  if (std::string problem = RuleProblem(rule); !problem.empty()) return {{}, "The rule cannot be kept: " + problem};
  const auto month = ReadInteger(record.month), day = ReadInteger(record.day), year = ReadInteger(record.year);
  const bool dated = month && day && year && IsValidDate(*year, *month, *day);
  if (rule.Repeats() && dated) {
    // The first date is the rule's first day, so that it is one of the
    // event's days wherever it is shown.
    const std::optional<CivilDate> first = FirstPatternDay(rule, {*year, *month, *day});
    if (!first) return {{}, std::string(kRuleOnNoDay)};
    SetRecordDate(record, *first);
    const NearestFlags nearest = NearestOldRule(rule, *first);
    record.recurrence = {nearest.eachYear, nearest.eachMonth, nearest.onlyOnce, nearest.eachNDays};
    record.dayCount = std::to_string(nearest.dayCount);
  }
  if (rule.until && dated && DayNumber(*rule.until) < DayNumber(std::stoi(record.year), std::stoi(record.month),
                                                                 std::stoi(record.day))) {
    return {{}, std::string(kRuleOnNoDay)};
  }
  const std::string_view countText = TrimBlanks(record.dayCount);
  const std::optional<int> count = ReadInteger(countText);
  if (!count) return {{}, NotAnIntegerMessage(countText)};
  // Three digits is all the line has room for.
  if (*count < 0 || *count > kMaxDayCount) {
    return {{}, QuotedMessage(countText, "is not a valid day count (0..999)")};
  }

  const auto flag = [](bool set) { return set ? 'Y' : 'N'; };
  std::string countDigits = std::to_string(*count);
  countDigits.insert(0, 3 - countDigits.size(), '0');

  std::string line;
  line.reserve(kEventLineLength);
  line += FitWidth(WithoutLineBreaks(record.month), kMonthField.length);
  line += FitWidth(WithoutLineBreaks(record.day), kDayField.length);
  line += FitWidth(WithoutLineBreaks(record.year), kYearField.length);
  line += ';';
  line += FitWidth(WithoutLineBreaks(record.time), kTimeField.length);
  line += ';';
  line += static_cast<char>('0' + CodeOf(record.category));
  line += ';';
  line += flag(record.recurrence.eachYear);
  line += ';';
  line += flag(record.recurrence.eachMonth);
  line += ';';
  line += flag(record.recurrence.onlyOnce);
  line += ';';
  line += flag(record.recurrence.eachNDays);
  line += ';';
  line += countDigits;
  line += ';';
  line += FitWidth(TrimBlanks(WithoutLineBreaks(record.name)), kNameField.length);
  line += ';';
  line += FitWidth(TrimBlanks(WithoutLineBreaks(record.comment)), kCommentField.length);
  line += FormatRuleTail(rule);
  return {std::move(line), {}};
}

std::string ReadField(std::string_view line, LineField field) {
  return FitWidth(PresentPart(line, field), static_cast<std::size_t>(field.length));
}

RecurrenceKind ReadRecurrence(std::string_view line) {
  const auto isSet = [&](LineField f) { return PresentPart(line, f) == "Y"; };
  return {isSet(kEachYearField), isSet(kEachMonthField), isSet(kOnlyOnceField), isSet(kEachNDaysField)};
}

int ReadCategoryCode(std::string_view line) {
  const std::string_view c = PresentPart(line, kCategoryField);
  return !c.empty() && IsDigit(c[0]) ? c[0] - '0' : 0;
}

// Blanks past the end of a short line would be trimmed anyway.
std::optional<int> ReadDayCount(std::string_view line) { return ReadInteger(PresentPart(line, kDayCountField)); }

std::optional<CivilDate> ReadFirstDate(std::string_view line) {
  const auto month = DigitsValue(line, kMonthField);
  const auto day = DigitsValue(line, kDayField);
  const auto year = DigitsValue(line, kYearField);
  if (!month || !day || !year || !IsValidDate(*year, *month, *day)) return std::nullopt;
  return CivilDate{*year, *month, *day};
}

std::string ReadName(std::string_view line) { return std::string(TrimBlanks(ReadField(line, kNameField))); }

std::string ReadComment(std::string_view line) { return std::string(TrimBlanks(ReadField(line, kCommentField))); }

// The padding a short line's field gets would be trimmed again.
std::string_view ReadHintName(std::string_view line) { return TrimBlanks(PresentPart(line, kHintNameField)); }

namespace {

// The length of a line's key: 110, or more for a line whose tail holds
// more than blanks.
std::size_t KeyLength(std::string_view line) {
  std::size_t n = line.size();
  while (n > static_cast<std::size_t>(kEventLineLength) && line[n - 1] == ' ') --n;
  return std::max(n, static_cast<std::size_t>(kEventLineLength));
}

}  // namespace

std::string EventKey(std::string_view line) {
  std::string key(line.substr(0, KeyLength(line)));
  key.resize(KeyLength(line), ' ');
  return key;
}

bool SameEventLine(std::string_view a, std::string_view b) {
  const std::size_t n = KeyLength(a);
  if (n != KeyLength(b)) return false;
  const auto at = [](std::string_view text, std::size_t i) { return i < text.size() ? text[i] : ' '; };
  for (std::size_t i = 0; i < n; ++i)
    if (at(a, i) != at(b, i)) return false;
  return true;
}

ParsedEvent ParseEventLine(std::string_view line) {
  ParsedEvent parsed;
  parsed.category = static_cast<std::int8_t>(ReadCategoryCode(line));
  parsed.recurrence = ReadRecurrence(line);
  // A line shorter than 110 characters (an editor stripped its trailing
  // blanks) reads blanks past its end and matches by the fields it has.
  const std::optional<CivilDate> first = ReadFirstDate(line);
  const std::optional<int> count = ReadDayCount(line);
  if (!first || !count) return parsed;
  parsed.firstDayNumber = *DayNumber(*first);
  parsed.year = static_cast<std::int16_t>(first->year);
  if (const TailReading tail = ReadRuleTail(line); tail.ok() && !tail.rule.Empty()) {
    parsed.rule = std::make_shared<const RuleCode>(CodeOfRule(tail.rule, *first));
  }
  parsed.month = static_cast<std::uint8_t>(first->month);
  parsed.day = static_cast<std::uint8_t>(first->day);
  parsed.dayCount = static_cast<std::int16_t>(*count);
  parsed.readable = true;
  return parsed;
}

LineRule ReadLineRule(std::string_view line) {
  LineRule result;
  result.recurrence = ReadRecurrence(line);
  result.dayCount = ReadDayCount(line).value_or(0);
  result.first = ReadFirstDate(line);
  if (TailReading tail = ReadRuleTail(line); tail.ok()) result.rule = std::move(tail.rule);
  return result;
}

std::string DescribeLineRule(std::string_view line) {
  const LineRule read = ReadLineRule(line);
  if (!read.first) return {};
  const CivilDate& first = *read.first;
  std::string words;
  if (read.rule.Repeats()) {
    words = DescribePattern(read.rule, first);
  } else {
    const RecurrenceKind& r = read.recurrence;
    const auto add = [&](const std::string& part) { words += (words.empty() ? "" : " and ") + part; };
    if (r.eachYear) add(DescribePattern({.unit = RuleUnit::kYear}, first));
    if (r.eachMonth) add(DescribePattern({.unit = RuleUnit::kMonth}, first));
    if (r.eachNDays && read.dayCount > 0) add(read.dayCount == 1 ? "every day" : "every " + std::to_string(read.dayCount) + " days");
    if (words.empty()) words = "once, on " + DateInWords(first);
  }
  return words + DescribeLimits(read.rule);
}

bool IsSeries(std::string_view line) {
  const LineRule read = ReadLineRule(line);
  const RecurrenceKind& r = read.recurrence;
  return read.rule.Repeats() || r.eachYear || r.eachMonth || (r.eachNDays && read.dayCount > 0);
}

SeriesEdit EditSeries(std::string_view stored, const CivilDate& day, SeriesScope scope, const EventRecord* changed) {
  SeriesEdit edit;
  const auto built = [&](const EventRecord& record) {
    BuiltLine line = BuildEventLine(record);
    if (!line.ok()) edit.error = std::move(line.error);
    if (edit.ok()) edit.lines.push_back(std::move(line.line));
  };
  if (scope == SeriesScope::kEveryDay) {
    if (changed) built(*changed);
    return edit;
  }
  const TailReading tail = ReadRuleTail(stored);
  const std::optional<CivilDate> first = ReadFirstDate(stored);
  if (!tail.ok() || !first) {
    edit.error = "The rule of this event cannot be read: it can only be changed on every day";
    return edit;
  }
  // The series without the day, or ended the day before it.
  RepeatRule rule = tail.rule;
  const std::int32_t dayNumber = *DayNumber(day);
  bool seriesLeft = true;
  if (scope == SeriesScope::kOnlyThatDay) {
    rule.skips.push_back(day);
  } else if (dayNumber <= *DayNumber(*first)) {
    seriesLeft = false;
  } else if (!rule.until || *DayNumber(*rule.until) >= dayNumber) {
    rule.until = DateOfDayNumber(dayNumber - 1);
  }
  if (seriesLeft) {
    // An editor may have stripped the blanks of a line without a tail.
    const std::string line = EventKey(stored.substr(0, std::min<std::size_t>(stored.size(), kEventLineLength)));
    EventRecord record;  // only for its rule's order and checks
    record.rule = rule;
    std::sort(record.rule.skips.begin(), record.rule.skips.end(),
              [](const CivilDate& a, const CivilDate& b) { return DayNumber(a) < DayNumber(b); });
    record.rule.skips.erase(std::unique(record.rule.skips.begin(), record.rule.skips.end()), record.rule.skips.end());
    if (std::string problem = RuleProblem(record.rule); !problem.empty()) {
      edit.error = "The rule cannot be kept: " + problem;
      return edit;
    }
    edit.lines.push_back(line + FormatRuleTail(record.rule));
  }
  if (!changed) return edit;
  // The change falls on the day unless its date was moved.
  EventRecord record = *changed;
  const auto typed = [&](const std::string& text) { return ReadInteger(text).value_or(0); };
  if (typed(record.year) == first->year && typed(record.month) == first->month && typed(record.day) == first->day) {
    SetRecordDate(record, day);
  }
  if (scope == SeriesScope::kOnlyThatDay) {
    // A single day keeps the event's reminders, nothing of its rule.
    record.recurrence = {.onlyOnce = true};
    record.dayCount = "0";
    record.rule = {.reminders = std::move(record.rule.reminders)};
  } else {
    // The new series needs no skipped day before it starts.
    std::erase_if(record.rule.skips, [&](const CivilDate& d) { return DayNumber(d) < dayNumber; });
  }
  built(record);
  return edit;
}

std::optional<int> AlertMinute(std::string_view time) {
  const std::size_t colon = time.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const std::optional<int> hour = TimePart(time.substr(0, colon));
  const std::optional<int> minute = TimePart(time.substr(colon + 1));
  if (!hour || !minute || *hour > 23 || *minute > 59) return std::nullopt;
  return *hour * 60 + *minute;
}

bool IsDayEventTime(std::string_view time) {
  const std::size_t colon = time.find(':');
  if (colon == std::string_view::npos) return false;
  const auto blank = [](std::string_view part) { return part.find_first_not_of(' ') == std::string_view::npos; };
  if (blank(time.substr(0, colon)) && blank(time.substr(colon + 1))) return true;
  return AlertMinute(time) == 0;
}

std::optional<int> NoticeMinute(std::string_view time) {
  return IsDayEventTime(time) ? std::optional<int>(kDayEventMinute) : AlertMinute(time);
}

}  // namespace redoviri
