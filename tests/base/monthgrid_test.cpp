#include "base/monthgrid.h"

#include <stdexcept>

#include <gtest/gtest.h>

#include "base/colours.h"

namespace redoviri {
namespace {

// Cells holding a day, as [first, last]; every other cell must be empty.
void ExpectDaysInCells(const MonthPlacement& m, int firstCell, int lastCell) {
  for (int cell = 1; cell <= kDayCellCount; ++cell) {
    const int want = cell >= firstCell && cell <= lastCell ? cell - firstCell + 1 : 0;
    EXPECT_EQ(m.DayOfCell(cell), want) << "cell " << cell;
  }
}

TEST(MonthGrid, FirstOnMondayStartsInCellOne) {
  ASSERT_EQ(DayOfWeek({2003, 9, 1}), 2);
  const MonthPlacement m(2003, 9);
  EXPECT_EQ(m.Offset(), 1);
  ExpectDaysInCells(m, 1, 30);
  EXPECT_EQ(m.CellText(1), "1");
  EXPECT_EQ(m.CellText(30), "30");
  EXPECT_EQ(m.CellText(31), "");
}

TEST(MonthGrid, FirstOnSundayLeavesSixEmptyCells) {
  ASSERT_EQ(DayOfWeek({2026, 11, 1}), 1);
  const MonthPlacement m(2026, 11);
  EXPECT_EQ(m.Offset(), -5);
  ExpectDaysInCells(m, 7, 36);
  for (int cell = 1; cell <= 6; ++cell) EXPECT_EQ(m.CellText(cell), "") << cell;
  EXPECT_EQ(m.CellText(7), "1");
}

TEST(MonthGrid, CommonFebruaryFromMondayFillsFourRows) {
  ASSERT_EQ(DayOfWeek({2010, 2, 1}), 2);
  ExpectDaysInCells(MonthPlacement(2010, 2), 1, 28);
}

TEST(MonthGrid, LongMonthsEndInTheLastCells) {
  ASSERT_EQ(DayOfWeek({2026, 3, 1}), 1);  // Sunday
  const MonthPlacement fromSunday(2026, 3);
  ExpectDaysInCells(fromSunday, 7, 37);
  EXPECT_EQ(fromSunday.CellOfDay(31), 37);

  ASSERT_EQ(DayOfWeek({2026, 8, 1}), 7);  // Saturday
  const MonthPlacement fromSaturday(2026, 8);
  EXPECT_EQ(fromSaturday.Offset(), -4);
  ExpectDaysInCells(fromSaturday, 6, 36);
}

TEST(MonthGrid, EveryMonthFitsFromItsFirstRowWithDaysInTheirWeekdayColumns) {
  // A 400-year cycle repeats the calendar; the ends of the range are checked
  // as well.
  auto check = [](int year, int month) {
    const MonthPlacement m(year, month);
    const int first = m.CellOfDay(1);
    ASSERT_EQ(CellRow(first), 0) << year << "-" << month;
    ASSERT_LE(m.CellOfDay(m.Length()), kDayCellCount) << year << "-" << month;
    for (int day = 1; day <= m.Length(); ++day) {
      const int cell = m.CellOfDay(day);
      ASSERT_EQ(cell, first + day - 1) << year << "-" << month << "-" << day;
      ASSERT_EQ(m.DayOfCell(cell), day);
      // Monday in column 0 ... Sunday in column 6.
      ASSERT_EQ(CellColumn(cell), (DayOfWeek({year, month, day}) + 5) % 7) << year << "-" << month << "-" << day;
    }
    int filled = 0;
    for (int cell = 1; cell <= kDayCellCount; ++cell) filled += m.DayOfCell(cell) != 0;
    ASSERT_EQ(filled, m.Length()) << year << "-" << month;
  };
  for (int year = 2000; year < 2400; ++year)
    for (int month = 1; month <= 12; ++month) check(year, month);
  for (int month = 1; month <= 12; ++month) {
    check(1, month);
    check(9999, month);
  }
}

TEST(MonthGrid, RefusesMonthsOutsideTheCalendar) {
  EXPECT_THROW(MonthPlacement(0, 1), std::invalid_argument);
  EXPECT_THROW(MonthPlacement(10000, 1), std::invalid_argument);
  EXPECT_THROW(MonthPlacement(2026, 0), std::invalid_argument);
  EXPECT_THROW(MonthPlacement(2026, 13), std::invalid_argument);
  const MonthPlacement m(2026, 2);
  EXPECT_EQ(m.DayOfCell(0), 0);
  EXPECT_EQ(m.DayOfCell(38), 0);
  EXPECT_EQ(m.CellOfDay(0), 0);
  EXPECT_EQ(m.CellOfDay(29), 0);
}

TEST(MonthGrid, HeaderRunsFromMondayToSunday) {
  const int want[7] = {2, 3, 4, 5, 6, 7, 1};
  for (int column = 0; column < 7; ++column) EXPECT_EQ(HeaderDayNumber(column), want[column]) << column;
}

TEST(MonthGrid, TodayCellOnlyInTodaysMonth) {
  const MonthPlacement december(2026, 12);  // the 1st is a Tuesday
  const CivilDate today{2026, 12, 8};
  ASSERT_EQ(december.TodayCell(today), 9);
  EXPECT_EQ(CellColumn(*december.TodayCell(today)), 1);
  EXPECT_EQ(december.TodayCell({2025, 12, 8}), std::nullopt);
  EXPECT_EQ(MonthPlacement(2026, 11).TodayCell(today), std::nullopt);
  EXPECT_EQ(MonthPlacement(2027, 12).TodayCell(today), std::nullopt);
}

TEST(Colours, AreWindowSystemColourValues) {
  EXPECT_EQ(TodayColour, 0xFFFF80u);
  EXPECT_EQ(SelectedColour, 0xDDFFFFu);
  EXPECT_EQ(HeaderColour, 0xC0C0C0u);
  EXPECT_EQ(TodayTextColour, 0x0000FFu);
  EXPECT_EQ(Rgb(1, 2, 3), 0x030201u);
}

}  // namespace
}  // namespace redoviri
