#include "events/rulechoice.h"

#include <algorithm>
#include <array>
#include <bit>
#include <optional>
#include <tuple>
#include <utility>

#include "base/dateformat.h"
#include "base/text.h"
#include "events/datechoice.h"
#include "events/eventrecord.h"

namespace redoviri {

namespace {

// The days of a monthly or yearly rule, in the order of the list.
constexpr std::array<RuleDay, 5> kDays = {RuleDay::kDate, RuleDay::kNthWeekday, RuleDay::kLastDay,
                                          RuleDay::kFirstWorkday, RuleDay::kLastWorkday};
constexpr std::array<int, 5> kOrdinals = {1, 2, 3, 4, -1};
constexpr std::string_view kBoxesWords = "as the editor's boxes say";

std::string DayOrdinal(int day) {
  const char* suffix = day >= 11 && day <= 13 ? "th" : day % 10 == 1 ? "st" : day % 10 == 2 ? "nd"
                                                                        : day % 10 == 3 ? "rd" : "th";
  return std::to_string(day) + suffix;
}

bool Before(const CivilDate& a, const CivilDate& b) {
  return std::tie(a.year, a.month, a.day) < std::tie(b.year, b.month, b.day);
}

std::string Capitalised(std::string text) {
  if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
  return text;
}

template <class T, std::size_t N>
int IndexOf(const std::array<T, N>& items, T item) {
  return static_cast<int>(std::find(items.begin(), items.end(), item) - items.begin());
}

}  // namespace

RuleChoice::RuleChoice(const CivilDate& first, const RepeatRule& current, DateLocale locale)
    : first_(first),
      locale_(std::move(locale)),
      unit_(current.unit),
      end_(current.until ? RuleEnd::kUntil : RuleEnd::kNever),
      intervalText_(std::to_string(current.Repeats() ? current.interval : 1)),
      untilText_(FormatDate(DateForm::Numeric, locale_, current.until.value_or(first))),
      timesText_("10"),
      skips_(current.skips) {
  // What a rule of another kind starts from: the first date's weekday, and
  // its place among the month's days of that weekday (a fifth is the last).
  weekday_ = WeekdayOf(first);
  const int nth = (first.day - 1) / 7 + 1;
  ordinal_ = nth <= 4 ? nth : -1;
  weekly_ = static_cast<std::uint8_t>(1u << weekday_);
  const bool oneWeekday = std::has_single_bit(static_cast<unsigned>(current.weekdays)) && current.weekdays < 0x80;
  if (current.unit == RuleUnit::kWeek && current.on == RuleDay::kWeekdays && current.weekdays)
    weekly_ = current.weekdays;
  if (current.unit == RuleUnit::kMonth || current.unit == RuleUnit::kYear) {
    if (IndexOf(kDays, current.on) < static_cast<int>(kDays.size())) day_ = current.on;
    if (current.on == RuleDay::kNthWeekday && oneWeekday) {
      weekday_ = std::countr_zero(static_cast<unsigned>(current.weekdays));
      ordinal_ = current.ordinal;
    }
  }
}

std::vector<std::string> RuleChoice::Items(RuleList list) const {
  switch (list) {
    case RuleList::kUnit: return {"as the boxes say", "weekly", "monthly", "yearly"};
    case RuleList::kDay:
      return {unit_ == RuleUnit::kYear ? std::to_string(first_.day) + " " + std::string(MonthName(first_.month))
                                       : "the " + DayOrdinal(first_.day),
              "a weekday", "the last day", "the first workday", "the last workday"};
    case RuleList::kOrdinal: return {"first", "second", "third", "fourth", "last"};
    case RuleList::kWeekday: {
      std::vector<std::string> names;
      for (int d = 0; d < 7; ++d) names.emplace_back(WeekdayName(d));
      return names;
    }
    case RuleList::kEnd: return {"never", "on", "after"};
  }
  return {};
}

int RuleChoice::Chosen(RuleList list) const {
  switch (list) {
    case RuleList::kUnit: return static_cast<int>(unit_);
    case RuleList::kDay: return IndexOf(kDays, day_);
    case RuleList::kOrdinal: return IndexOf(kOrdinals, ordinal_);
    case RuleList::kWeekday: return weekday_;
    case RuleList::kEnd: return static_cast<int>(end_);
  }
  return 0;
}

void RuleChoice::Choose(RuleList list, int index) {
  index = std::clamp(index, 0, static_cast<int>(Items(list).size()) - 1);
  switch (list) {
    case RuleList::kUnit: unit_ = static_cast<RuleUnit>(index); break;
    case RuleList::kDay: day_ = kDays[static_cast<std::size_t>(index)]; break;
    case RuleList::kOrdinal: ordinal_ = kOrdinals[static_cast<std::size_t>(index)]; break;
    case RuleList::kWeekday: weekday_ = index; break;
    case RuleList::kEnd: end_ = static_cast<RuleEnd>(index); break;
  }
  Changed();
}

bool RuleChoice::Shows(RulePart part) const {
  const bool monthsOrYears = unit_ == RuleUnit::kMonth || unit_ == RuleUnit::kYear;
  switch (part) {
    case RulePart::kBoxes: return unit_ == RuleUnit::kNone;
    case RulePart::kInterval: return unit_ != RuleUnit::kNone;
    case RulePart::kWeekdays: return unit_ == RuleUnit::kWeek;
    case RulePart::kDay: return monthsOrYears;
    case RulePart::kNthWeekday: return monthsOrYears && day_ == RuleDay::kNthWeekday;
    case RulePart::kUntil: return end_ == RuleEnd::kUntil;
    case RulePart::kTimes: return end_ == RuleEnd::kTimes;
  }
  return false;
}

void RuleChoice::SetWeeklyOn(int weekday, bool on) {
  const auto bit = static_cast<std::uint8_t>(1u << weekday);
  weekly_ = static_cast<std::uint8_t>(on ? weekly_ | bit : weekly_ & ~bit);
  Changed();
}

std::string RuleChoice::IntervalWord() const {
  const bool one = ReadInteger(intervalText_) == 1;
  switch (unit_) {
    case RuleUnit::kWeek: return one ? "week" : "weeks";
    case RuleUnit::kMonth: return one ? "month" : "months";
    case RuleUnit::kYear: return one ? "year" : "years";
    case RuleUnit::kNone: break;
  }
  return {};
}

void RuleChoice::SetIntervalText(std::string text) {
  intervalText_ = std::move(text);
  Changed();
}

void RuleChoice::SetUntilText(std::string text) {
  untilText_ = std::move(text);
  Changed();
}

void RuleChoice::SetTimesText(std::string text) {
  timesText_ = std::move(text);
  Changed();
}

std::vector<std::string> RuleChoice::SkipTexts() const {
  std::vector<std::string> texts;
  for (const CivilDate& d : skips_) texts.push_back(FormatDate(DateForm::Numeric, locale_, d));
  return texts;
}

std::string RuleChoice::AddSkip(std::string_view typed) {
  const std::optional<CivilDate> day = ReadDateChoice(typed, locale_.IsMonthFirst()).date;
  if (!day) return refusal_ = NotADateMessage(typed);
  const auto at = std::lower_bound(skips_.begin(), skips_.end(), *day, Before);
  if (at == skips_.end() || *at != *day) {
    if (static_cast<int>(skips_.size()) >= kMaxSkips)
      return refusal_ = "No more than " + std::to_string(kMaxSkips) + " days can be skipped";
    skips_.insert(at, *day);
  }
  Changed();
  return {};
}

void RuleChoice::RemoveSkip(std::size_t index) {
  if (index < skips_.size()) skips_.erase(skips_.begin() + static_cast<std::ptrdiff_t>(index));
  Changed();
}

void RuleChoice::SetLocale(DateLocale locale) {
  untilText_ = RetypedDateChoice(untilText_, locale_.IsMonthFirst(), locale);
  locale_ = std::move(locale);
}

RuleOutcome RuleChoice::Outcome() const {
  RuleOutcome out;
  const auto refuse = [&out](std::string error, RuleField field) {
    out.error = std::move(error);
    out.field = field;
    return out;
  };
  RepeatRule& rule = out.rule;
  rule.unit = unit_;
  if (rule.Repeats()) {
    const std::optional<int> interval = ReadInteger(intervalText_);
    if (!interval) return refuse(NotAnIntegerMessage(TrimBlanks(intervalText_)), RuleField::kInterval);
    rule.interval = *interval;
    if (unit_ == RuleUnit::kWeek) {
      rule.on = RuleDay::kWeekdays;
      rule.weekdays = weekly_;
    } else {
      rule.on = day_;
      if (day_ == RuleDay::kNthWeekday) {
        rule.weekdays = static_cast<std::uint8_t>(1u << weekday_);
        rule.ordinal = ordinal_;
      }
    }
    if (std::string problem = RuleProblem(rule); !problem.empty())
      return refuse(Capitalised(std::move(problem)),
                    unit_ == RuleUnit::kWeek && weekly_ == 0 ? RuleField::kWeekdays : RuleField::kInterval);
  }
  rule.skips = skips_;
  if (end_ == RuleEnd::kUntil) {
    rule.until = ReadDateChoice(untilText_, locale_.IsMonthFirst()).date;
    if (!rule.until) return refuse(NotADateMessage(untilText_), RuleField::kUntil);
  } else if (end_ == RuleEnd::kTimes) {
    const std::optional<int> times = ReadInteger(timesText_);
    if (!times) return refuse(NotAnIntegerMessage(TrimBlanks(timesText_)), RuleField::kTimes);
    if (*times < 1 || *times > kMaxTimes)
      return refuse("The number of times " + std::to_string(*times) + " is not from 1 to " + std::to_string(kMaxTimes),
                    RuleField::kTimes);
    if (!rule.Repeats()) return refuse("Only a repetition chosen here can end after a number of times", RuleField::kTimes);
    rule.until = NthPatternDay(rule, first_, *times);
    if (!rule.until)
      return refuse("The event does not fall on " + std::to_string(*times) + " days before the year 10000",
                    RuleField::kTimes);
  }
  if (rule.until) {
    // A repeating event begins on the rule's first day on or after its
    // first date.
    const std::optional<CivilDate> begins = rule.Repeats() ? FirstPatternDay(rule, first_) : first_;
    if (!begins || Before(*rule.until, *begins)) return refuse(std::string(kRuleOnNoDay), RuleField::kUntil);
  }
  out.words = (rule.Repeats() ? DescribePattern(rule, first_) : std::string(kBoxesWords)) + DescribeLimits(rule);
  return out;
}

std::string RuleChoice::Preview() const {
  if (!refusal_.empty()) return refusal_;
  RuleOutcome outcome = Outcome();
  return outcome.ok() ? Capitalised(std::move(outcome.words)) : std::move(outcome.error);
}

bool RuleChoice::PreviewIsError() const { return !refusal_.empty() || !Outcome().ok(); }

}  // namespace redoviri
