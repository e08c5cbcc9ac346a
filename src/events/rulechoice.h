// The rule window's choice: how the event being added in the list window's
// editor repeats. It starts from the event's first date and its current
// rule, holds what the user chose (the kind of repetition, the interval,
// the days, the end, the skipped days) and gives the words of the rule for
// the preview line, or the rule itself on OK, or what keeps it from being
// taken. Dates are typed as numbers in the order of the user's locale, as
// the date chooser reads them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/datetime.h"
#include "base/locale.h"
#include "events/eventrule.h"

namespace redoviri {

// The lists the window offers, one item of each chosen.
enum class RuleList : std::uint8_t {
  kUnit,     // the editor's boxes, weekly, monthly, yearly
  kDay,      // monthly and yearly: the date's day, a weekday, the last day, the first or last workday
  kOrdinal,  // the first to fourth, or last, weekday
  kWeekday,  // which weekday
  kEnd,      // never, on a date, after a number of times
};

enum class RuleEnd : std::uint8_t { kNever, kUntil, kTimes };

// The parts of the window that show only for some choices.
enum class RulePart : std::uint8_t {
  kBoxes,       // the note that the editor's boxes decide
  kInterval,    // "every N weeks, months or years"
  kWeekdays,    // the seven weekdays of a weekly rule
  kDay,         // the day of a monthly or yearly rule
  kNthWeekday,  // its ordinal and weekday
  kUntil,       // the end's date
  kTimes,       // the end's number of times
};

// Where what keeps the rule from being taken was typed or chosen.
enum class RuleField : std::uint8_t { kNone, kInterval, kWeekdays, kUntil, kTimes, kSkip };

struct RuleOutcome {
  RepeatRule rule;
  // "the second Tuesday of each month, until 30 June 2027".
  std::string words;
  std::string error;
  RuleField field = RuleField::kNone;
  bool ok() const { return error.empty(); }
};

class RuleChoice {
 public:
  static constexpr int kMaxTimes = 999;
  // first: the event's first date, a real one.
  RuleChoice(const CivilDate& first, const RepeatRule& current, DateLocale locale);

  std::vector<std::string> Items(RuleList list) const;
  int Chosen(RuleList list) const;
  void Choose(RuleList list, int index);
  bool Shows(RulePart part) const;

  // The weekdays of a weekly rule, 0 = Monday.
  bool WeeklyOn(int weekday) const { return (weekly_ >> weekday & 1) != 0; }
  void SetWeeklyOn(int weekday, bool on);

  // "weeks", "months", "years" (or one of each) after the interval.
  std::string IntervalWord() const;
  const std::string& IntervalText() const { return intervalText_; }
  void SetIntervalText(std::string text);
  const std::string& UntilText() const { return untilText_; }
  void SetUntilText(std::string text);
  const std::string& TimesText() const { return timesText_; }
  void SetTimesText(std::string text);

  // The skipped days as the window lists them, in order.
  std::vector<std::string> SkipTexts() const;
  // A typed day the event is not to fall on; "" when it is added (or was
  // there already), else why it is not.
  std::string AddSkip(std::string_view typed);
  void RemoveSkip(std::size_t index);

  // Dates are typed in this locale's order from now on: the end's date is
  // written anew.
  void SetLocale(DateLocale locale);

  // The rule chosen, or what keeps it from being taken.
  RuleOutcome Outcome() const;
  // The preview line: the rule's words, or the refusal of a skipped day
  // typed last, or what keeps the rule from being taken.
  std::string Preview() const;
  bool PreviewIsError() const;

 private:
  void Changed() { refusal_.clear(); }

  CivilDate first_;
  DateLocale locale_;
  RuleUnit unit_ = RuleUnit::kNone;
  RuleDay day_ = RuleDay::kDate;  // of a monthly or yearly rule
  int ordinal_ = 1;               // 1..4, -1 for the last
  int weekday_ = 0;               // of the nth weekday
  std::uint8_t weekly_ = 0;
  RuleEnd end_ = RuleEnd::kNever;
  std::string intervalText_, untilText_, timesText_;
  std::vector<CivilDate> skips_;
  std::string refusal_;  // of the skipped day typed last
};

}  // namespace redoviri
