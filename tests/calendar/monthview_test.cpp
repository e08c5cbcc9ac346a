#include "calendar/monthview.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/event_store.h"

namespace redoviri {
namespace {

using testing::EventLine;
using testing::TestStore;

constexpr CivilDate kToday{2026, 12, 9};  // a Wednesday: cell 10 of December 2026 (the 1st is a Tuesday)

std::vector<CellLook> Looks(const MonthView& view) {
  std::vector<CellLook> looks;
  for (int k = 1; k <= kDayCellCount; ++k) looks.push_back(view.Cell(k).look);
  return looks;
}

// Cells 1..37 in the normal look but for the given ones.
std::vector<CellLook> LooksWith(std::initializer_list<std::pair<int, CellLook>> some) {
  std::vector<CellLook> looks(kDayCellCount, CellLook::Normal);
  for (const auto& [k, look] : some) looks[static_cast<std::size_t>(k - 1)] = look;
  return looks;
}

TEST(MonthView, FillLaysOutTheMonthAsTheGridPlacesIt) {
  MonthView view;
  view.Fill(2026, 12, kToday);
  const MonthPlacement placement(2026, 12);
  const astro::MonthMoonMarks moon = astro::MarkMoonMonth(2026, 12, astro::MonthCells(2026, 12));
  for (int k = 1; k <= kDayCellCount; ++k) {
    EXPECT_EQ(view.Cell(k).text, placement.CellText(k)) << k;
    EXPECT_EQ(view.Cell(k).day, placement.DayOfCell(k)) << k;
    EXPECT_EQ(view.Cell(k).moon, moon[static_cast<std::size_t>(k - 1)]) << k;
  }
  EXPECT_EQ(view.TodayCell(), 10);
  EXPECT_EQ(Looks(view), LooksWith({{10, CellLook::Today}}));
  view.Fill(2027, 1, kToday);
  EXPECT_EQ(view.TodayCell(), std::nullopt);
  EXPECT_EQ(Looks(view), LooksWith({}));
  EXPECT_THROW(view.Fill(10000, 1, kToday), std::invalid_argument);
}

TEST(MonthView, FillsOfTodaysMonthKeepTheSelectionOthersClearIt) {
  struct Step {
    const char* what;
    int year, month;  // a fill; 0: a click on `select` instead
    int select;
    CivilDate today;
    std::vector<CellLook> looks;
  };
  const std::vector<Step> steps = {
      {"today's month", 2026, 12, 0, kToday, LooksWith({{10, CellLook::Today}})},
      {"a click on the 20th", 0, 0, 21, kToday, LooksWith({{10, CellLook::Today}, {21, CellLook::Selected}})},
      {"filled again (a save)", 2026, 12, 0, kToday, LooksWith({{10, CellLook::Today}, {21, CellLook::Selected}})},
      {"a click on today", 0, 0, 10, kToday, LooksWith({{10, CellLook::Today}})},
      {"a click on the 1st", 0, 0, 2, kToday, LooksWith({{10, CellLook::Today}, {2, CellLook::Selected}})},
      {"the next day, same month", 2026, 12, 0, {2026, 12, 10},
       LooksWith({{11, CellLook::Today}, {2, CellLook::Selected}})},
      {"another month", 2027, 1, 0, {2026, 12, 10}, LooksWith({})},
      {"a click there", 0, 0, 5, {2026, 12, 10}, LooksWith({{5, CellLook::Selected}})},
      // Today's month sets no look but today's: the cell keeps the one it had.
      {"back to today's month", 2026, 12, 0, {2026, 12, 10},
       LooksWith({{11, CellLook::Today}, {5, CellLook::Selected}})},
  };
  MonthView view;
  for (const Step& s : steps) {
    if (s.year != 0) {
      view.Fill(s.year, s.month, s.today);
    } else {
      view.Select(s.select);
    }
    EXPECT_EQ(Looks(view), s.looks) << s.what;
  }
}

TEST(MonthView, MarksAreThoseOfTheMarkingPassWithTodaysCell) {
  const TestStore store({
      EventLine("12092026", EventCategory::kLovely, "NNYN", "Today's lunch"),
      EventLine("12202020", EventCategory::kBirthday, "YNNN", "Ann"),
      EventLine("01202020", EventCategory::kWorkBusiness, "NYNN", "Pay day"),
      EventLine("12092026", EventCategory::kOther, "NNYN", "Second"),
  });
  for (const CivilDate today : {kToday, CivilDate{2027, 1, 1}}) {
    MonthView view;
    view.Fill(2026, 12, today);
    view.Mark(&store.list());
    MonthMarkInput input{2026, 12, {}};
    for (int k = 1; k <= kDayCellCount; ++k)
      input.cells[static_cast<std::size_t>(k - 1)] = {view.Cell(k).day, view.TodayCell() == k};
    const auto marks = MarkMonth(store.list(), input);
    for (int k = 1; k <= kDayCellCount; ++k) {
      EXPECT_EQ(view.Cell(k).dayMark, marks[static_cast<std::size_t>(k - 1)].dayMark) << k;
      EXPECT_EQ(view.Cell(k).hint, marks[static_cast<std::size_t>(k - 1)].hint) << k;
    }
    EXPECT_EQ(view.Cell(10).dayMark, today == kToday ? kSeveralTodayMark : kSeveralMark);
  }
}

TEST(MonthView, MarksFollowTheStoreAndGoWithoutOne) {
  const TestStore store({EventLine("12202020", EventCategory::kBirthday, "YNNN", "Ann")});
  MonthView view;
  view.Fill(2026, 12, kToday);
  view.Mark(&store.list());
  EXPECT_EQ(view.Cell(21).dayMark, CodeOf(EventCategory::kBirthday));
  // A fill keeps the marks until the next pass.
  view.Fill(2027, 1, kToday);
  EXPECT_EQ(view.Cell(21).dayMark, CodeOf(EventCategory::kBirthday));
  view.Mark(&store.list());
  EXPECT_EQ(view.Cell(21).dayMark, kNoEventMark);
  view.Fill(2026, 12, kToday);
  view.Mark(nullptr);
  for (int k = 1; k <= kDayCellCount; ++k) {
    EXPECT_EQ(view.Cell(k).dayMark, kNoEventMark) << k;
    EXPECT_EQ(view.Cell(k).hint, "") << k;
  }
}

}  // namespace
}  // namespace redoviri
