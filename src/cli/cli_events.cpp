// list, month, day, today, add, delete, change and upcoming: the event
// store, the marking of the month grid, a day's listing, today's reminders
// and the coming notices, on an event file named by --file.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

#include "base/clock.h"
#include "base/locale.h"
#include "base/monthgrid.h"
#include "calendar/monthview.h"
#include "cli/cli_args.h"
#include "cli/commands.h"
#include "events/codepage.h"
#include "events/eventfile.h"
#include "events/eventlist.h"
#include "events/eventrecord.h"
#include "reminders/daylisting.h"
#include "reminders/matching.h"
#include "reminders/notices.h"
#include "reminders/todayreminder.h"

namespace redoviri::cli {
namespace {

constexpr OptionSpec kFileOption{"--file", true};

constexpr std::string_view kSameEventSaved = EventList::kSameEventSaved;
constexpr std::string_view kNoSuchEvent = "there is no such event saved";

// What the tray shows on a blink tick: the day number, then categories 1..6.
constexpr std::array<std::string_view, kCategoryCount + 1> kBlinkIconWords{
    "day", "lovely", "birthday", "work", "religion", "feest", "other"};
constexpr int kBlinkTicksShown = 12;

// An event file loaded into a store.
class LoadedStore {
 public:
  explicit LoadedStore(const std::string& path) : fs_(MakeSystemFileSystem()), list_(EventFile(path, *fs_)) {
    if (IoResult r = list_.LoadEvents(); !r.ok()) Fail(kFileError, r.error);
  }
  LoadedStore(const LoadedStore&) = delete;
  LoadedStore& operator=(const LoadedStore&) = delete;

  EventList& list() { return list_; }

 private:
  std::unique_ptr<FileSystem> fs_;
  EventList list_;
};

// The path of --file, which every event command needs.
const std::string& FilePath(const CommandLine& line) {
  const std::string* path = line.Value("--file");
  if (path == nullptr || path->empty()) Fail(kBadInput, "missing --file PATH");
  return *path;
}

// The date of an option, or today's date from the system clock.
CivilDate DateOptionOrToday(const CommandLine& line, std::string_view option) {
  const std::string* text = line.Value(option);
  return text ? ReadArgument(*text, ReadIsoDate) : SystemClock().Now().date;
}

// Tab-separated output: a tab inside a field (from a hand-edited file) would
// shift the fields after it.
std::string Field(std::string_view text) {
  std::string field(text);
  std::replace(field.begin(), field.end(), '\t', ' ');
  return field;
}

std::string CountsLine(const CategoryCounts& counts) {
  std::string text = "counts";
  for (const int count : counts) text += '\t' + std::to_string(count);
  return text;
}

constexpr OptionSpec kEventOptions[] = {
    kFileOption,          {"--category", true},     {"--date", true},        {"--time", true},
    {"--name", true},     {"--comment", true},      {"--each-year", false},  {"--each-month", false},
    {"--once", false},    {"--every", true},        {"--nth", true},         {"--weekday", true},
    {"--last-day", false}, {"--first-workday", false}, {"--last-workday", false}, {"--weekdays", true},
    {"--every-weeks", true}, {"--every-months", true}, {"--every-years", true}, {"--yearly", false},
    {"--until", true},    {"--times", true},        {"--skip", true},         {"--remind", true},
};

// The time option's word for an event without a time: the time field left
// empty, as the editor's cleared field and an all-day import leave it.
constexpr std::string_view kNoTime = "none";
constexpr std::string_view kEmptyTimeField = "  :  ";

// Name and comment as typed, in the event file's code page; a control
// character (a tab, a line break) is not something the editor's fields can
// hold. On Windows the arguments come in the code page already; elsewhere
// they are UTF-8, as a terminal gives them, and a character the code page
// cannot hold is refused rather than stored as some other one.
std::string TextOption(std::string_view option, const std::string& text) {
  if (std::any_of(text.begin(), text.end(), IsControlCharacter)) {
    Fail(kBadInput, std::string(option) + " holds a control character");
  }
#ifdef _WIN32
  return text;
#else
  CodePageText converted = Utf8ToCodePage(text);
  if (converted.replaced > 0) {
    Fail(kBadInput, std::string(option) + " holds " + std::to_string(converted.replaced) +
                        " character(s) the event file's code page (Windows-1252) cannot hold, or bytes that are "
                        "not UTF-8");
  }
  return std::move(converted.text);
#endif
}

constexpr std::string_view kRuleOptionWords =
    "--nth, --last-day, --first-workday, --last-workday, --weekdays, --every-weeks, --every-months, --every-years";

// A whole number of an option; `what` names it in the refusal (the
// option's word without one).
int WholeOption(const CommandLine& line, std::string_view option, int least, int most, std::string_view what = {}) {
  const std::string& text = *line.Value(option);
  const std::optional<int> n = ReadInteger(text);
  if (!n || *n < least || *n > most || text.empty() || text[0] == ' ') {
    Fail(kBadInput, Quoted(text) + " is not a valid " + std::string(what.empty() ? option.substr(2) : what) + " (" +
                        std::to_string(least) + ".." + std::to_string(most) + ")");
  }
  return *n;
}

// "15m,2h,1d,1w", or minutes alone ("30"): the reminders, minutes ahead, in
// rising order and none twice.
std::vector<int> RemindersOption(const std::string& text) {
  static constexpr std::pair<std::string_view, int> kUnits[] = {
      {"", 1}, {"m", 1}, {"h", 60}, {"d", 1440}, {"w", 7 * 1440}};
  std::vector<int> reminders;
  for (std::size_t at = 0; at <= text.size();) {
    const std::size_t comma = std::min(text.find(',', at), text.size());
    const std::string_view item = std::string_view(text).substr(at, comma - at);
    std::size_t digits = 0;
    std::int64_t amount = 0;  // held below 2^40, so that no unit overflows it
    for (; digits < item.size() && item[digits] >= '0' && item[digits] <= '9'; ++digits) {
      amount = std::min<std::int64_t>(amount * 10 + (item[digits] - '0'), std::int64_t{1} << 40);
    }
    const auto unit = std::find_if(std::begin(kUnits), std::end(kUnits),
                                   [&](const auto& u) { return u.first == item.substr(digits); });
    const std::int64_t minutes = unit == std::end(kUnits) ? 0 : amount * unit->second;
    if (digits == 0 || minutes < 1 || minutes > kMaxRemindMinutes) {
      Fail(kBadInput, Quoted(item) + " is not a valid reminder (1 minute to 4 weeks: 15m, 2h, 1d, 1w or minutes)");
    }
    reminders.push_back(static_cast<int>(minutes));
    at = comma + 1;
  }
  reminders = SortedReminders(std::move(reminders));
  if (reminders.size() > static_cast<std::size_t>(kMaxReminders)) {
    Fail(kBadInput, Quoted(text) + " holds more than " + std::to_string(kMaxReminders) + " reminders");
  }
  return reminders;
}

// "mon-fri", "mon,wed,fri", "tue": the weekdays as bits.
std::uint8_t WeekdaysOption(const std::string& text) {
  std::uint8_t days = 0;
  std::size_t at = 0;
  while (at <= text.size()) {
    const std::size_t comma = std::min(text.find(',', at), text.size());
    const std::string part = text.substr(at, comma - at);
    const std::size_t dash = part.find('-');
    const std::optional<int> from = WeekdayFromWord(part.substr(0, dash));
    const std::optional<int> to = dash == std::string::npos ? from : WeekdayFromWord(part.substr(dash + 1));
    if (!from || !to || *to < *from) Fail(kBadInput, Quoted(text) + " is not a valid list of weekdays");
    for (int d = *from; d <= *to; ++d) days = static_cast<std::uint8_t>(days | 1u << d);
    at = comma + 1;
  }
  return days;
}

// The rule of the repetition options; the empty rule without them. The
// first day the pattern falls on from --date is the event's first date.
RepeatRule RuleOfOptions(const CommandLine& line, const CivilDate& date) {
  RepeatRule rule;
  int patterns = 0;
  const bool yearly = line.Has("--yearly");
  const RuleUnit dayUnit = yearly ? RuleUnit::kYear : RuleUnit::kMonth;
  if (line.Has("--nth")) {
    const std::string& nth = *line.Value("--nth");
    rule.ordinal = nth == "last" ? -1 : WholeOption(line, "--nth", 1, 4);
    const std::string& word = line.Required("--weekday", "mon..sun");
    const std::optional<int> weekday = WeekdayFromWord(word);
    if (!weekday) Fail(kBadInput, Quoted(word) + " is not a valid weekday");
    rule.unit = dayUnit;
    rule.on = RuleDay::kNthWeekday;
    rule.weekdays = static_cast<std::uint8_t>(1u << *weekday);
    ++patterns;
  } else if (line.Has("--weekday")) {
    Fail(kBadInput, "--weekday goes with --nth");
  }
  const std::pair<std::string_view, RuleDay> dayWords[] = {
      {"--last-day", RuleDay::kLastDay}, {"--first-workday", RuleDay::kFirstWorkday},
      {"--last-workday", RuleDay::kLastWorkday}};
  for (const auto& [option, on] : dayWords) {
    if (!line.Has(option)) continue;
    rule.unit = dayUnit;
    rule.on = on;
    ++patterns;
  }
  if (line.Has("--weekdays") || line.Has("--every-weeks")) {
    rule.unit = RuleUnit::kWeek;
    rule.on = RuleDay::kWeekdays;
    rule.weekdays = line.Has("--weekdays") ? WeekdaysOption(*line.Value("--weekdays"))
                                           : static_cast<std::uint8_t>(1u << WeekdayOf(date));
    if (line.Has("--every-weeks")) rule.interval = WholeOption(line, "--every-weeks", 1, kMaxIntervalWeeks);
    ++patterns;
  }
  if (line.Has("--every-months")) {
    rule.interval = WholeOption(line, "--every-months", 1, kMaxIntervalMonths);
    if (rule.unit == RuleUnit::kNone) ++patterns;
    if (rule.unit != RuleUnit::kNone && rule.unit != RuleUnit::kMonth) ++patterns;
    if (rule.unit == RuleUnit::kNone) rule.unit = RuleUnit::kMonth;
  }
  if (line.Has("--every-years")) {
    rule.interval = WholeOption(line, "--every-years", 1, kMaxIntervalYears);
    if (rule.unit != RuleUnit::kNone && rule.unit != RuleUnit::kYear) ++patterns;
    if (rule.unit == RuleUnit::kNone) ++patterns;
    rule.unit = RuleUnit::kYear;
  }
  if (patterns > 1) Fail(kBadInput, "only one rule of " + std::string(kRuleOptionWords));
  if (yearly && rule.unit != RuleUnit::kYear) Fail(kBadInput, "--yearly goes with --nth, --last-day, --first-workday or --last-workday");
  // Each month or each year on the first date's day are the flags' kinds.
  if (rule.on == RuleDay::kDate && rule.interval == 1 && rule.unit != RuleUnit::kWeek) rule.unit = RuleUnit::kNone;
  if (line.Has("--until") && line.Has("--times")) Fail(kBadInput, "--until cannot be combined with --times");
  if (const std::string* until = line.Value("--until")) rule.until = ReadArgument(*until, ReadIsoDate);
  if (line.Has("--times")) {
    if (!rule.Repeats()) Fail(kBadInput, "--times goes with a rule of " + std::string(kRuleOptionWords));
    const int times = WholeOption(line, "--times", 1, 9999);
    const std::optional<CivilDate> first = FirstPatternDay(rule, date);
    rule.until = first ? NthPatternDay(rule, *first, times) : std::nullopt;
    if (!rule.until) Fail(kBadInput, "the event does not fall on " + std::to_string(times) + " days");
  }
  if (const std::string* skips = line.Value("--skip")) {
    // Dates separated by commas.
    for (std::size_t at = 0; at <= skips->size();) {
      const std::size_t comma = std::min(skips->find(',', at), skips->size());
      rule.skips.push_back(ReadArgument(std::string_view(*skips).substr(at, comma - at), ReadIsoDate));
      at = comma + 1;
    }
  }
  if (const std::string* remind = line.Value("--remind")) rule.reminders = RemindersOption(*remind);
  return rule;
}

// The event line of the add and delete options, built as the editor's save
// builds it.
EventRecord RecordOfOptions(const CommandLine& line) {
  EventRecord record;
  const std::string& code = line.Required("--category", "1..6");
  const std::optional<EventCategory> category =
      code.size() == 1 ? CategoryFromCode(code[0] - '0') : std::optional<EventCategory>{};
  if (!category) Fail(kBadInput, Quoted(code) + " is not a valid category (1..6)");
  record.category = *category;

  // The editor's own wording for a date that does not exist.
  const std::string& dateText = line.Required("--date", "YYYY-MM-DD");
  const Reading<CivilDate> reading = ReadIsoDate(dateText);
  if (!reading.value) Fail(kBadInput, Quoted(dateText) + " is not a valid date");
  const CivilDate date = *reading.value;
  SetRecordDate(record, date);

  // The line keeps the time as typed, once it is known to be one; the
  // editor's rule and wording.
  record.time = line.Required("--time", "hh:nn or none");
  if (record.time == kNoTime) {
    record.time = kEmptyTimeField;
  } else if (!IsEventTime(record.time)) {
    Fail(kBadInput, NotATimeMessage(record.time));
  }
  record.name = TextOption("--name", line.Required("--name", "TEXT"));
  if (const std::string* comment = line.Value("--comment")) record.comment = TextOption("--comment", *comment);

  RecurrenceKind& r = record.recurrence;
  r.eachYear = line.Has("--each-year");
  r.eachMonth = line.Has("--each-month");
  r.onlyOnce = line.Has("--once");
  const std::string* every = line.Value("--every");
  r.eachNDays = every != nullptr;
  if (r.onlyOnce && (r.eachYear || r.eachMonth || r.eachNDays)) {
    Fail(kBadInput, "--once cannot be combined with --each-year, --each-month or --every");
  }
  record.dayCount = every ? *every : "0";
  record.rule = RuleOfOptions(line, date);
  if (record.rule.Repeats() && (r.eachYear || r.eachMonth || r.onlyOnce || r.eachNDays)) {
    Fail(kBadInput, "--each-year, --each-month, --once and --every cannot be combined with a rule of " +
                        std::string(kRuleOptionWords));
  }

  return record;
}

std::string BuiltOrFail(const EventRecord& record) {
  BuiltLine built = BuildEventLine(record);
  if (!built.ok()) Fail(kBadInput, built.error);
  return std::move(built.line);
}

std::string EventLineOfOptions(const CommandLine& line) { return BuiltOrFail(RecordOfOptions(line)); }

// The options of an event, and of one day of a series.
std::vector<OptionSpec> EventOptionsWith(std::initializer_list<OptionSpec> more) {
  std::vector<OptionSpec> options(std::begin(kEventOptions), std::end(kEventOptions));
  options.insert(options.end(), more);
  options.push_back({"--only-on", true});
  options.push_back({"--from", true});
  return options;
}

// The one stored event the options name: refused when none or several.
int TheEventOf(const EventList& list, const std::string& event) {
  int index = -1, count = 0;
  for (int i = 0; i < list.EventCount(); ++i) {
    if (!SameEventLine(list.EventLineAt(i), event)) continue;
    if (count++ == 0) index = i;
  }
  if (count == 0) Fail(kRefused, std::string(kNoSuchEvent));
  if (count > 1) Fail(kRefused, "there are " + std::to_string(count) + " such events saved");
  return index;
}

// What takes the stored event's place: the lines of a day of a series
// (--only-on DAY, --from DAY) or of every day.
std::vector<std::string> LinesInPlace(const CommandLine& line, const std::string& stored, const EventRecord* changed) {
  const std::string* onlyOn = line.Value("--only-on");
  const std::string* from = line.Value("--from");
  if (onlyOn && from) Fail(kBadInput, "--only-on cannot be combined with --from");
  if (!onlyOn && !from) {
    if (!changed) return {};
    return {BuiltOrFail(*changed)};
  }
  const CivilDate day = ReadArgument(onlyOn ? *onlyOn : *from, ReadIsoDate);
  const std::optional<MatchDay> match = MakeMatchDay(day.year, day.month, day.day);
  if (!match || !FallsOn(ParseEventLine(stored), *match)) {
    Fail(kRefused, "the event does not fall on " + (onlyOn ? *onlyOn : *from));
  }
  SeriesEdit edit = EditSeries(stored, day, onlyOn ? SeriesScope::kOnlyThatDay : SeriesScope::kThatDayOn, changed);
  if (!edit.ok()) Fail(kBadInput, edit.error);
  return edit.lines;
}

// "2027-03-09".
std::string IsoDateText(const CivilDate& date) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

// The most days `upcoming` looks ahead: a year, a leap year's too.
constexpr int kMaxUpcomingDays = 366;
constexpr std::int64_t kSecondsPerDay = 86400;

}  // namespace

int CmdList(const Args& args, std::ostream& out, std::ostream& err) {
  bool damaged = false;
  const int code = RunCommand("list", out, err, [&] {
    static constexpr OptionSpec kOptions[] = {kFileOption, {"--check", false}};
    const CommandLine line(args, kOptions, 0);
    LoadedStore store(FilePath(line));
    std::string text;
    for (const EventList::Entry entry : store.list().Entries()) {
      text += entry.line;
      text += '\n';
      if (!line.Has("--check")) continue;
      // A tail that cannot be read leaves the line to its 110 columns.
      if (const TailReading tail = ReadRuleTail(entry.line); !tail.ok()) {
        err << "unreadable tail\t" << Field(tail.error) << '\t' << Field(entry.line) << '\n';
        damaged = true;
      }
    }
    return text;
  });
  return code == kOk && damaged ? kRefused : code;
}

int CmdMonth(const Args& args, std::ostream& out, std::ostream& err) {
  return RunCommand("month", out, err, [&] {
    static constexpr OptionSpec kOptions[] = {kFileOption, {"--today", true}};
    const CommandLine line(args, kOptions, 1);
    const YearMonth shown = ReadArgument(line.Positional(0, "month (YYYY-MM)"), ReadIsoMonth);
    const std::string& path = FilePath(line);
    const CivilDate today = DateOptionOrToday(line, "--today");
    LoadedStore store(path);

    // The month view as the main window fills and marks it.
    MonthView view;
    view.Fill(shown.year, shown.month, today);
    view.Mark(&store.list());

    std::string text;
    for (int k = 1; k <= kDayCellCount; ++k) {
      const MonthCell& cell = view.Cell(k);
      text += std::to_string(k) + '\t' + cell.text + '\t' + std::to_string(cell.dayMark) + '\t' +
              std::to_string(static_cast<int>(cell.moon)) + '\t' +
              (cell.look == CellLook::Today ? "today" : "normal") + '\t' + Field(cell.hint) + '\n';
    }
    return text;
  });
}

int CmdDay(const Args& args, std::ostream& out, std::ostream& err) {
  return RunCommand("day", out, err, [&] {
    static constexpr OptionSpec kOptions[] = {kFileOption, {"--order", true}};
    const CommandLine line(args, kOptions, 1);
    const CivilDate day = ReadArgument(line.Positional(0, "date (YYYY-MM-DD)"), ReadIsoDate);
    const std::string& path = FilePath(line);
    bool monthFirst = false;
    if (const std::string* order = line.Value("--order")) {
      if (*order != "mdy" && *order != "dmy") Fail(kBadInput, Quoted(*order) + " is not a valid order (mdy or dmy)");
      monthFirst = *order == "mdy";
    } else {
      monthFirst = UserDateLocale().IsMonthFirst();
    }
    LoadedStore store(path);

    const DayListing listing = ListDay(store.list(), day, monthFirst);
    std::string text;
    for (const DayRow& row : listing.rows) {
      for (std::size_t c = 0; c < row.size(); ++c) {
        if (c > 0) text += '\t';
        text += Field(row[c]);
      }
      text += '\n';
    }
    return text + CountsLine(listing.counts) + '\n';
  });
}

int CmdToday(const Args& args, std::ostream& out, std::ostream& err) {
  return RunCommand("today", out, err, [&] {
    static constexpr OptionSpec kOptions[] = {kFileOption, {"--date", true}};
    const CommandLine line(args, kOptions, 0);
    const std::string& path = FilePath(line);
    const CivilDate today = DateOptionOrToday(line, "--date");
    LoadedStore store(path);

    const TodayCounts counts = CountToday(store.list(), today);
    std::string text = TodayTooltip(counts) + '\n';
    text += CountsLine(counts.perCategory) + '\t' + std::to_string(counts.total) + '\n';
    // Blinking starts when there are events today, from the state the
    // recount leaves: the next tick shows the day number.
    text += "blink\t";
    if (counts.total == 0) return text + "none\n";
    BlinkState state;
    for (int tick = 0; tick < kBlinkTicksShown; ++tick) {
      const BlinkTick shown = NextBlinkTick(counts.perCategory, state);
      if (tick > 0) text += ' ';
      text += kBlinkIconWords[static_cast<std::size_t>(shown.icon)];
      state = shown.next;
    }
    return text + '\n';
  });
}

int CmdAdd(const Args& args, std::ostream& out, std::ostream& err) {
  return RunCommand("add", out, err, [&] {
    const CommandLine line(args, kEventOptions, 0);
    const std::string& path = FilePath(line);
    std::string event = EventLineOfOptions(line);
    LoadedStore store(path);
    if (store.list().FindEventLine(event) >= 0) Fail(kRefused, std::string(kSameEventSaved));
    std::string text = event + '\n';
    // The store looks again when the file changed since it was read.
    if (StoreResult r = store.list().AppendEvent(std::move(event)); !r.ok()) {
      Fail(r.refused ? kRefused : kFileError, r.error);
    }
    return text;
  });
}

int CmdDelete(const Args& args, std::ostream& out, std::ostream& err) {
  return RunCommand("delete", out, err, [&] {
    const std::vector<OptionSpec> options = EventOptionsWith({});
    const CommandLine line(args, options, 0);
    const std::string& path = FilePath(line);
    const std::string event = EventLineOfOptions(line);
    LoadedStore store(path);
    const int index = line.Has("--only-on") || line.Has("--from") ? TheEventOf(store.list(), event)
                                                                   : store.list().FindEventLine(event);
    if (index < 0) Fail(kRefused, std::string(kNoSuchEvent));
    const std::string stored = store.list().EventLineAt(index);
    std::string text = stored + '\n';
    if (StoreResult r = store.list().ReplaceEvent(index, LinesInPlace(line, stored, nullptr)); !r.ok()) {
      Fail(r.refused ? kRefused : kFileError, r.error);
    }
    return text;
  });
}

int CmdChange(const Args& args, std::ostream& out, std::ostream& err) {
  return RunCommand("change", out, err, [&] {
    const std::vector<OptionSpec> options =
        EventOptionsWith({{"--new-category", true}, {"--new-date", true}, {"--new-time", true},
                          {"--new-name", true}, {"--new-comment", true}, {"--new-remind", true}});
    const CommandLine line(args, options, 0);
    const std::string& path = FilePath(line);
    const EventRecord old = RecordOfOptions(line);
    const std::string event = BuiltOrFail(old);
    // The new event: the old one's fields, and what the options change.
    EventRecord changed = old;
    SetRecordDate(changed, *ReadFirstDate(event));
    if (const std::string* code = line.Value("--new-category")) {
      const auto category = code->size() == 1 ? CategoryFromCode((*code)[0] - '0') : std::optional<EventCategory>{};
      if (!category) Fail(kBadInput, Quoted(*code) + " is not a valid category (1..6)");
      changed.category = *category;
    }
    if (const std::string* date = line.Value("--new-date")) {
      const Reading<CivilDate> reading = ReadIsoDate(*date);
      if (!reading.value) Fail(kBadInput, Quoted(*date) + " is not a valid date");
      SetRecordDate(changed, *reading.value);
    }
    if (const std::string* time = line.Value("--new-time")) {
      changed.time = *time == kNoTime ? std::string(kEmptyTimeField) : *time;
      if (*time != kNoTime && !IsEventTime(*time)) Fail(kBadInput, NotATimeMessage(*time));
    }
    if (const std::string* name = line.Value("--new-name")) changed.name = TextOption("--new-name", *name);
    if (const std::string* comment = line.Value("--new-comment")) {
      changed.comment = TextOption("--new-comment", *comment);
    }
    if (const std::string* remind = line.Value("--new-remind")) {
      changed.rule.reminders = *remind == "none" ? std::vector<int>{} : RemindersOption(*remind);
    }
    LoadedStore store(path);
    const int index = TheEventOf(store.list(), event);
    const std::string stored = store.list().EventLineAt(index);
    const std::vector<std::string> lines = LinesInPlace(line, stored, &changed);
    if (lines.size() == 1 && SameEventLine(lines.front(), stored)) Fail(kRefused, "the event is unchanged");
    if (StoreResult r = store.list().ReplaceEvent(index, lines); !r.ok()) {
      Fail(r.refused ? kRefused : kFileError, r.error);
    }
    std::string text = stored + '\n';
    for (const std::string& l : lines) text += l + '\n';
    return text;
  });
}

int CmdUpcoming(const Args& args, std::ostream& out, std::ostream& err) {
  return RunCommand("upcoming", out, err, [&] {
    static constexpr OptionSpec kOptions[] = {kFileOption, {"--days", true}, {"--from", true}};
    const CommandLine line(args, kOptions, 0);
    const std::string& path = FilePath(line);
    const int days = line.Has("--days") ? WholeOption(line, "--days", 1, kMaxUpcomingDays, "number of days") : 7;
    const CivilDate first = DateOptionOrToday(line, "--from");
    const std::int32_t firstDay = *DayNumber(first);
    if (!DayNumber(DateOfDayNumber(firstDay + days - 1))) {
      Fail(kBadInput, "the days from " + IsoDateText(first) + " go past 9999-12-31");
    }
    LoadedStore store(path);

    // Due from the first day's 00:00 up to the end of the last day.
    const std::int64_t start = SecondsSince1970({first, {}});
    std::string text;
    for (const DueItem& item : DueBetween(store.list(), start - 1, start + days * kSecondsPerDay - 1)) {
      const Notice& n = item.notice;
      // A reminder reaches events up to 4 weeks past the days; the calendar
      // ends with 9999.
      if (!DayNumber(n.day)) continue;
      const std::int64_t since = item.due - start;
      const CivilDate dueDay = DateOfDayNumber(firstDay + static_cast<std::int32_t>(since / kSecondsPerDay));
      const std::optional<EventCategory> category = CategoryFromCode(ReadCategoryCode(n.line));
      text += IsoDateText(dueDay) + ' ' + MinuteText(static_cast<int>(since % kSecondsPerDay / 60)) + '\t' +
              (n.before == 0 ? "event" : "reminder") + '\t' + IsoDateText(n.day) + '\t' +
              (n.dayEvent ? std::string("day") : MinuteText(n.minute)) + '\t' +
              (category ? std::string(InfoOf(*category).word) : std::string()) + '\t' + Field(ReadName(n.line)) +
              '\t' + Field(AheadText(n)) + '\n';
    }
    return text;
  });
}

}  // namespace redoviri::cli
