#include "astro/moonmarks.h"

#include <map>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

namespace redoviri::astro {
namespace {

// An illumination that returns chosen fractions per day of one month
// (0.5 elsewhere) and records the moments it was asked for.
struct FakeIllumination {
  int year, month;
  std::map<int, long double> fractions;  // day -> fraction
  std::vector<DateTime> asked;

  IlluminationFunction Function() {
    return [this](DateTime t) {
      asked.push_back(t);
      const CivilDate d = DateOf(t);
      if (d.year != year || d.month != month) return -1.0L;  // another month: must never be asked
      const auto it = fractions.find(d.day);
      return it == fractions.end() ? 0.5L : it->second;
    };
  }
  std::vector<int> AskedDays() const {
    std::vector<int> days;
    for (const DateTime t : asked) days.push_back(DateOf(t).day);
    return days;
  }
};

// Day numbers of the cells with the given mark.
std::vector<int> DaysMarked(const MonthCellDays& cells, const MonthMoonMarks& marks, MoonMark which) {
  std::vector<int> days;
  for (int k = 0; k < kDayCellCount; ++k)
    if (marks[k] == which) days.push_back(cells[k]);
  return days;
}

TEST(MonthCells, MondayFirstPlacement) {
  // 2000-01-01 is a Saturday: column 5, cell 6.
  const MonthCellDays jan2000 = MonthCells(2000, 1);
  for (int k = 0; k < 5; ++k) EXPECT_EQ(jan2000[k], 0) << k;
  EXPECT_EQ(jan2000[5], 1);
  EXPECT_EQ(jan2000[35], 31);
  EXPECT_EQ(jan2000[36], 0);
  // 2021-02-01 is a Monday and February 2021 has 28 days.
  const MonthCellDays feb2021 = MonthCells(2021, 2);
  EXPECT_EQ(feb2021[0], 1);
  EXPECT_EQ(feb2021[27], 28);
  EXPECT_EQ(feb2021[28], 0);
  // 2023-01-01 is a Sunday: the 31st lands in the last cell.
  const MonthCellDays jan2023 = MonthCells(2023, 1);
  EXPECT_EQ(jan2023[6], 1);
  EXPECT_EQ(jan2023[36], 31);
  EXPECT_THROW(MonthCells(2000, 13), std::invalid_argument);
}

TEST(MarkMoon, PercentRoundsHalvesToEven) {
  EXPECT_EQ(MarkOfPercent(0), MoonMark::NewMoon);
  EXPECT_EQ(MarkOfPercent(100), MoonMark::FullMoon);
  EXPECT_EQ(MarkOfPercent(1), MoonMark::None);
  EXPECT_EQ(MarkOfPercent(99), MoonMark::None);

  const long double half = 0.005L, nearlyFull = 0.995L;
  ASSERT_EQ(half * 100, 0.5L);
  ASSERT_EQ(nearlyFull * 100, 99.5L);
  EXPECT_EQ(IlluminationPercent(half), 0);
  EXPECT_EQ(IlluminationPercent(nearlyFull), 100);
  EXPECT_EQ(IlluminationPercent(0.015L), 2);  // 1.5 goes to the even 2

  FakeIllumination fake{2001, 3, {{10, half}, {12, nearlyFull}, {14, 0.00500001L}, {16, 0.99499999L}}, {}};
  const auto f = fake.Function();
  EXPECT_EQ(MarkMoon(2001, 3, 10, MoonMark::None, f), MoonMark::NewMoon);
  EXPECT_EQ(MarkMoon(2001, 3, 12, MoonMark::None, f), MoonMark::FullMoon);
  EXPECT_EQ(MarkMoon(2001, 3, 14, MoonMark::None, f), MoonMark::None);
  EXPECT_EQ(MarkMoon(2001, 3, 16, MoonMark::None, f), MoonMark::None);
}

TEST(MarkMoon, EvaluatesTheDayAtNoon) {
  FakeIllumination fake{2000, 1, {}, {}};
  MarkMoon(2000, 1, 5, MoonMark::None, fake.Function());
  ASSERT_EQ(fake.asked.size(), 1u);
  EXPECT_EQ(fake.asked[0], 36530.5);
  // Before 1899-12-30 the value stays linear: noon of the year 1's first day.
  FakeIllumination early{1, 1, {}, {}};
  MarkMoon(1, 1, 1, MoonMark::None, early.Function());
  ASSERT_EQ(early.asked.size(), 1u);
  EXPECT_EQ(early.asked[0], -693592.5);
}

TEST(MarkMoon, CellAfterAMarkIsNotEvaluated) {
  FakeIllumination fake{2001, 3, {{10, 0}}, {}};
  const auto f = fake.Function();
  EXPECT_EQ(MarkMoon(2001, 3, 10, MoonMark::NewMoon, f), MoonMark::None);
  EXPECT_EQ(MarkMoon(2001, 3, 10, MoonMark::FullMoon, f), MoonMark::None);
  EXPECT_TRUE(fake.asked.empty());
  EXPECT_EQ(MarkMoon(2001, 3, 0, MoonMark::None, f), MoonMark::None);  // empty cell
  EXPECT_TRUE(fake.asked.empty());
  EXPECT_EQ(MarkMoon(2001, 3, 10, MoonMark::None, f), MoonMark::NewMoon);
  EXPECT_EQ(fake.asked.size(), 1u);
  EXPECT_THROW(MarkMoon(2001, 2, 29, MoonMark::None, f), std::invalid_argument);
}

TEST(MarkMoonMonth, ConsecutiveQualifyingDaysMarkOnlyTheFirst) {
  // March 2001 starts on a Thursday (cells 1..3 empty).
  FakeIllumination fake{2001, 3, {{9, 0.004L}, {10, 0.001L}, {20, 0.999L}, {21, 1}, {22, 0.996L}}, {}};
  const MonthCellDays cells = MonthCells(2001, 3);
  const MonthMoonMarks marks = MarkMoonMonth(2001, 3, cells, fake.Function());
  EXPECT_EQ(DaysMarked(cells, marks, MoonMark::NewMoon), (std::vector<int>{9}));
  // Three full days in a row: the middle one is skipped, so the third is
  // evaluated again and marked, and suppresses the 23rd.
  EXPECT_EQ(DaysMarked(cells, marks, MoonMark::FullMoon), (std::vector<int>{20, 22}));
  std::vector<int> want;
  for (int day = 1; day <= 31; ++day)
    if (day != 10 && day != 21 && day != 23) want.push_back(day);
  EXPECT_EQ(fake.AskedDays(), want);
}

TEST(MarkMoonMonth, FirstOfMonthIsAlwaysEvaluated) {
  // The last day of February would qualify too, but is never looked at.
  FakeIllumination fake{2001, 3, {{1, 0.002L}, {2, 0.003L}}, {}};
  const MonthCellDays cells = MonthCells(2001, 3);
  const MonthMoonMarks marks = MarkMoonMonth(2001, 3, cells, fake.Function());
  EXPECT_EQ(DaysMarked(cells, marks, MoonMark::NewMoon), (std::vector<int>{1}));
  ASSERT_FALSE(fake.asked.empty());
  EXPECT_EQ(DateOf(fake.asked.front()), (CivilDate{2001, 3, 1}));
  for (const DateTime t : fake.asked) EXPECT_EQ(DateOf(t).month, 3);
}

TEST(MarkMoonMonth, EmptyCellsNeverMarkedNorSuppressing) {
  // Every day qualifies: the marks fall on every second day from the 1st,
  // and the empty cells before and after the month stay unmarked.
  FakeIllumination fake{2001, 3, {}, {}};
  for (int day = 1; day <= 31; ++day) fake.fractions[day] = 0;
  MonthCellDays cells = MonthCells(2001, 3);
  MonthMoonMarks marks = MarkMoonMonth(2001, 3, cells, fake.Function());
  for (int k = 0; k < kDayCellCount; ++k) {
    const int day = cells[k];
    const MoonMark want = (day != 0 && day % 2 == 1) ? MoonMark::NewMoon : MoonMark::None;
    EXPECT_EQ(marks[k], want) << "cell " << k + 1 << ", day " << day;
  }
  // An empty cell between two days does not pass a mark on.
  cells = {};
  cells[0] = 1;
  cells[2] = 2;
  marks = MarkMoonMonth(2001, 3, cells, fake.Function());
  EXPECT_EQ(marks[0], MoonMark::NewMoon);
  EXPECT_EQ(marks[1], MoonMark::None);
  EXPECT_EQ(marks[2], MoonMark::NewMoon);
}

TEST(MarkMoonMonth, January2000) {
  const MonthCellDays cells = MonthCells(2000, 1);
  const MonthMoonMarks marks = MarkMoonMonth(2000, 1, cells);
  EXPECT_EQ(DaysMarked(cells, marks, MoonMark::NewMoon), (std::vector<int>{6}));
  EXPECT_EQ(DaysMarked(cells, marks, MoonMark::FullMoon), (std::vector<int>{21}));
  EXPECT_EQ(IlluminationOfDay({2000, 1, 7}).percent, 1);
  EXPECT_EQ(IlluminationOfDay({2000, 1, 20}).percent, 99);
  EXPECT_EQ(IlluminationOfDay({2000, 1, 6}).percent, 0);
  EXPECT_EQ(IlluminationOfDay({2000, 1, 21}).percent, 100);
}

TEST(MarkMoonMonth, RealConsecutiveDaysAndFirstOfMonth) {
  // 1995-03-30 and 31 both round to 0; 2016-09-30 and 2016-10-01 too.
  EXPECT_EQ(IlluminationOfDay({1995, 3, 31}).percent, 0);
  MonthCellDays cells = MonthCells(1995, 3);
  EXPECT_EQ(DaysMarked(cells, MarkMoonMonth(1995, 3, cells), MoonMark::NewMoon), (std::vector<int>{1, 30}));
  EXPECT_EQ(IlluminationOfDay({2016, 9, 30}).percent, 0);
  cells = MonthCells(2016, 10);
  EXPECT_EQ(DaysMarked(cells, MarkMoonMonth(2016, 10, cells), MoonMark::NewMoon), (std::vector<int>{1, 30}));
}

TEST(MoonMarkCache, KeepsTheLastMonthsAndAnswersAsTheMonthsOwnMarks) {
  MoonMarkCache cache;
  // Thirty months: more than the cache keeps, so the first ones go and
  // come back; each answer is the month's own marks.
  std::vector<std::pair<int, int>> months;
  for (int i = 0; i < 30; ++i) months.emplace_back(1999 + i / 12, 1 + i % 12);
  for (int round = 0; round < 2; ++round) {
    for (const auto& [year, month] : months) {
      const MonthMoonMarks& marks = cache.Marks(year, month);
      EXPECT_EQ(marks, MarkMoonMonth(year, month, MonthCells(year, month))) << year << "-" << month;
      // Asked again at once, it is the kept answer, not a new one.
      EXPECT_EQ(&cache.Marks(year, month), &marks);
    }
  }
  // A month that does not exist changes nothing kept.
  const MonthMoonMarks* last = &cache.Marks(2001, 6);
  EXPECT_THROW(cache.Marks(2001, 13), std::invalid_argument);
  EXPECT_THROW(cache.Marks(0, 1), std::invalid_argument);
  EXPECT_EQ(&cache.Marks(2001, 6), last);
}

}  // namespace
}  // namespace redoviri::astro
