#include "reminders/todayreminder.h"

#include <gtest/gtest.h>

#include "support/event_store.h"

namespace redoviri {
namespace {

using testing::EventLine;
using testing::TestStore;

constexpr CivilDate kToday{2003, 5, 10};

std::string Once(EventCategory category, std::string_view name = "x") {
  return EventLine("05102003", category, "NNYN", name);
}

TEST(TodayReminderTest, OneLovelyEvent) {
  TestStore store({Once(EventCategory::kLovely), EventLine("05112003", EventCategory::kBirthday, "NNYN")});
  const TodayCounts counts = CountToday(store.list(), kToday);
  EXPECT_EQ(counts.total, 1);
  EXPECT_EQ(TodayTooltip(counts), "Today : 1 lovely. ");
}

TEST(TodayReminderTest, CountsInCategoryOrder) {
  TestStore store({Once(EventCategory::kOther), Once(EventCategory::kBirthday, "a"),
                   Once(EventCategory::kBirthday, "b"), Once(EventCategory::kBirthday, "c")});
  const TodayCounts counts = CountToday(store.list(), kToday);
  EXPECT_EQ(counts.perCategory, (CategoryCounts{0, 3, 0, 0, 0, 1}));
  EXPECT_EQ(counts.total, 4);
  EXPECT_EQ(TodayTooltip(counts), "Today : 3 birth. 1 other. ");

  TodayCounts mixed;
  mixed.perCategory = {0, 1, 2, 0, 0, 0};
  mixed.total = 3;
  EXPECT_EQ(TodayTooltip(mixed), "Today : 1 birth. 2 work. ");
}

TEST(TodayReminderTest, NoEventToday) {
  TestStore empty({});
  EXPECT_EQ(TodayTooltip(CountToday(empty.list(), kToday)), "Well, no event for today...");
  // An each-month event of the 31st gives nothing on the 30th.
  TestStore store({EventLine("01312003", EventCategory::kLovely, "NYNN")});
  for (int month = 1; month <= 12; ++month) {
    if (DaysInMonth(2003, month) < 30) continue;
    EXPECT_EQ(CountToday(store.list(), {2003, month, 30}).total, 0) << month;
  }
  EXPECT_EQ(CountToday(store.list(), {2003, 5, 31}).total, 1);
}

TEST(TodayReminderTest, EventMatchingTwoRulesCountsOnce) {
  TestStore store({EventLine("05101990", EventCategory::kWorkBusiness, "YYNN")});
  const TodayCounts counts = CountToday(store.list(), kToday);
  EXPECT_EQ(counts.total, 1);
  EXPECT_EQ(counts.perCategory[2], 1);
}

TEST(TodayReminderTest, OnlyCategoriesOneToSixCount) {
  std::string seven = Once(EventCategory::kLovely);
  seven[15] = '7';
  std::string april31 = Once(EventCategory::kLovely);
  april31.replace(0, 4, "0431");
  TestStore store({april31, seven, Once(EventCategory::kFeest)});
  const TodayCounts counts = CountToday(store.list(), kToday);
  EXPECT_EQ(counts.total, 1);
  EXPECT_EQ(TodayTooltip(counts), "Today : 1 feest. ");
}

TEST(TodayReminderTest, AllSixCategoriesInCodeOrder) {
  std::vector<std::string> lines;
  for (int code = 1; code <= kCategoryCount; ++code) lines.push_back(Once(*CategoryFromCode(code)));
  TestStore store(lines);
  const std::string tooltip = TodayTooltip(CountToday(store.list(), kToday));
  EXPECT_EQ(tooltip, "Today : 1 lovely. 1 birth. 1 work. 1 rel/off. 1 feest. 1 other. ");
}

// The icons shown by successive blink ticks from the state the count leaves.
std::vector<int> Ticks(const CategoryCounts& counts, int n) {
  std::vector<int> icons;
  BlinkState state;
  for (int i = 0; i < n; ++i) {
    const BlinkTick tick = NextBlinkTick(counts, state);
    icons.push_back(tick.icon);
    state = tick.next;
    EXPECT_GE(state.phase, 0);
    EXPECT_LE(state.phase, 6);
  }
  return icons;
}

TEST(BlinkTest, DayNumberAlternatesWithEachCategoryInTurn) {
  constexpr int day = kDayNumberIcon;
  EXPECT_EQ(Ticks({0, 1, 2, 0, 0, 0}, 10), (std::vector<int>{day, 2, day, 3, day, day, day, 2, day, 3}));
  EXPECT_EQ(Ticks({1, 0, 0, 0, 0, 0}, 6), (std::vector<int>{day, 1, day, day, day, 1}));
  EXPECT_EQ(Ticks({0, 0, 0, 0, 0, 4}, 6), (std::vector<int>{day, 6, day, 6, day, 6}));
  EXPECT_EQ(Ticks({1, 0, 0, 0, 0, 1}, 8), (std::vector<int>{day, 1, day, 6, day, 1, day, 6}));
  EXPECT_EQ(Ticks({1, 1, 1, 1, 1, 1}, 14),
            (std::vector<int>{day, 1, day, 2, day, 3, day, 4, day, 5, day, 6, day, 1}));
}

TEST(DayKeyTest, KeyAndDayChange) {
  EXPECT_EQ(DayKey({2003, 3, 7}), "07032003");
  EXPECT_EQ(DayKey({999, 12, 31}), "31120999");
  const DayChange same = CheckDayChange("07032003", {2003, 3, 7});
  EXPECT_FALSE(same.changed);
  EXPECT_EQ(same.key, "07032003");
  const DayChange next = CheckDayChange("07032003", {2003, 3, 8});
  EXPECT_TRUE(next.changed);
  EXPECT_EQ(next.key, "08032003");
  EXPECT_TRUE(CheckDayChange("", {2003, 3, 8}).changed);
}

}  // namespace
}  // namespace redoviri
