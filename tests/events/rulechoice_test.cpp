#include "events/rulechoice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "events/eventrecord.h"

namespace redoviri {
namespace {

constexpr CivilDate kSecondTuesday{2027, 1, 12};

RepeatRule Rule(RuleUnit unit, RuleDay on, int interval, std::uint8_t weekdays = 0, int ordinal = 0,
                std::optional<CivilDate> until = {}, std::vector<CivilDate> skips = {}) {
  RepeatRule rule;
  rule.unit = unit;
  rule.on = on;
  rule.interval = interval;
  rule.weekdays = weekdays;
  rule.ordinal = ordinal;
  rule.until = until;
  rule.skips = std::move(skips);
  return rule;
}

// Chooses a list's item by its words, as the user reads them.
void Pick(RuleChoice& c, RuleList list, const std::string& item) {
  const std::vector<std::string> items = c.Items(list);
  const auto at = std::find(items.begin(), items.end(), item);
  ASSERT_NE(at, items.end()) << item;
  c.Choose(list, static_cast<int>(at - items.begin()));
}

struct Case {
  const char* what;
  CivilDate first;
  bool monthFirst;
  std::function<void(RuleChoice&)> choose;
  RepeatRule rule;
  const char* words;
};

TEST(RuleChoice, TheChoiceGivesItsRuleAndWordsAndOpensAgainAsItWas) {
  const Case cases[] = {
      {"second Tuesday each month, until", kSecondTuesday, true,
       [](RuleChoice& c) {
         Pick(c, RuleList::kUnit, "monthly");
         Pick(c, RuleList::kDay, "a weekday");
         Pick(c, RuleList::kEnd, "on");
         c.SetUntilText("06/30/2027");
       },
       Rule(RuleUnit::kMonth, RuleDay::kNthWeekday, 1, 0x02, 2, CivilDate{2027, 6, 30}),
       "the second Tuesday of each month, until 30 June 2027"},
      {"a fifth Friday is the last", {2027, 1, 29}, true,
       [](RuleChoice& c) {
         Pick(c, RuleList::kUnit, "yearly");
         Pick(c, RuleList::kDay, "a weekday");
       },
       Rule(RuleUnit::kYear, RuleDay::kNthWeekday, 1, 0x10, -1), "the last Friday of January each year"},
      {"every 2 weeks, Thursday too", kSecondTuesday, true,
       [](RuleChoice& c) {
         Pick(c, RuleList::kUnit, "weekly");
         c.SetIntervalText("2 ");
         c.SetWeeklyOn(3, true);
       },
       Rule(RuleUnit::kWeek, RuleDay::kWeekdays, 2, 0x0A), "every 2 weeks on Tuesday and Thursday"},
      {"three times on the 31st: the months without one do not count", {2027, 1, 31}, true,
       [](RuleChoice& c) {
         Pick(c, RuleList::kUnit, "monthly");
         Pick(c, RuleList::kEnd, "after");
         c.SetTimesText("3");
       },
       Rule(RuleUnit::kMonth, RuleDay::kDate, 1, 0, 0, CivilDate{2027, 5, 31}), "each month on the 31st, until 31 May 2027"},
      {"the last workday every 3 months", kSecondTuesday, true,
       [](RuleChoice& c) {
         Pick(c, RuleList::kUnit, "monthly");
         Pick(c, RuleList::kDay, "the last workday");
         c.SetIntervalText("3");
       },
       Rule(RuleUnit::kMonth, RuleDay::kLastWorkday, 3), "the last workday of every 3 months"},
      {"the editor's boxes with an end typed day first", kSecondTuesday, false,
       [](RuleChoice& c) {
         Pick(c, RuleList::kEnd, "on");
         c.SetUntilText("30/06/2027");
       },
       Rule(RuleUnit::kNone, RuleDay::kDate, 1, 0, 0, CivilDate{2027, 6, 30}), "as the editor's boxes say, until 30 June 2027"},
      {"skipped days kept in order, once each", kSecondTuesday, true,
       [](RuleChoice& c) {
         Pick(c, RuleList::kUnit, "monthly");
         for (const char* day : {"03/12/2027", "02/12/2027", " 3/12/2027", "04/12/2027"}) EXPECT_EQ(c.AddSkip(day), "");
         c.RemoveSkip(1);
       },
       Rule(RuleUnit::kMonth, RuleDay::kDate, 1, 0, 0, {}, {{2027, 2, 12}, {2027, 4, 12}}),
       "each month on the 12th, not on 2 days"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    RuleChoice choice(k.first, {}, EnglishDateLocale(k.monthFirst));
    k.choose(choice);
    const RuleOutcome out = choice.Outcome();
    EXPECT_EQ(out.error, "");
    EXPECT_EQ(out.rule, k.rule);
    EXPECT_EQ(out.words, k.words);
    EXPECT_EQ(RuleChoice(k.first, out.rule, EnglishDateLocale(k.monthFirst)).Outcome().rule, k.rule);
  }
}

TEST(RuleChoice, WhatCannotBeTakenIsToldWithItsField) {
  struct Refusal {
    std::function<void(RuleChoice&)> choose;
    std::string error;
    RuleField field;
  };
  const auto monthly = [](RuleChoice& c) { Pick(c, RuleList::kUnit, "monthly"); };
  const auto until = [](const char* typed) {
    return [typed](RuleChoice& c) {
      Pick(c, RuleList::kEnd, "on");
      c.SetUntilText(typed);
    };
  };
  const Refusal refusals[] = {
      {[&](RuleChoice& c) { monthly(c);
         c.SetIntervalText("13"); }, "The interval 13 is not from 1 to 12",
       RuleField::kInterval},
      {[&](RuleChoice& c) { monthly(c);
         c.SetIntervalText("   "); }, NotAnIntegerMessage(""), RuleField::kInterval},
      {[](RuleChoice& c) { Pick(c, RuleList::kUnit, "weekly");
         c.SetWeeklyOn(1, false); }, "No weekday",
       RuleField::kWeekdays},
      {until("01/11/2027"), std::string(kRuleOnNoDay), RuleField::kUntil},
      // After the first date, but before the rule's first day, the 31st.
      {[&](RuleChoice& c) { monthly(c);
         Pick(c, RuleList::kDay, "the last day");
         until("01/20/2027")(c); },
       std::string(kRuleOnNoDay), RuleField::kUntil},
      {until("02/30/2027"), "'02/30/2027' is not a valid date", RuleField::kUntil},
      {[&](RuleChoice& c) { monthly(c);
         Pick(c, RuleList::kEnd, "after");
         c.SetTimesText("0"); },
       "The number of times 0 is not from 1 to 999", RuleField::kTimes},
      {[](RuleChoice& c) { Pick(c, RuleList::kEnd, "after"); },
       "Only a repetition chosen here can end after a number of times", RuleField::kTimes},
  };
  for (const Refusal& r : refusals) {
    SCOPED_TRACE(r.error);
    RuleChoice choice(kSecondTuesday, {}, EnglishDateLocale(true));
    r.choose(choice);
    EXPECT_EQ(choice.Outcome().error, r.error);
    EXPECT_EQ(choice.Outcome().field, r.field);
    EXPECT_EQ(choice.Preview(), r.error);
  }
}

TEST(RuleChoice, ADayThatCannotBeSkippedIsToldUntilTheNextChange) {
  RuleChoice choice(kSecondTuesday, Rule(RuleUnit::kMonth, RuleDay::kDate, 1), EnglishDateLocale(true));
  EXPECT_EQ(choice.AddSkip("13/45/2027"), "'13/45/2027' is not a valid date");
  EXPECT_EQ(choice.Preview(), "'13/45/2027' is not a valid date");
  EXPECT_TRUE(choice.PreviewIsError());
  EXPECT_TRUE(choice.Outcome().ok());
  choice.SetIntervalText("2");
  EXPECT_EQ(choice.Preview(), "Every 2 months on the 12th");
  EXPECT_FALSE(choice.PreviewIsError());
}

}  // namespace
}  // namespace redoviri
