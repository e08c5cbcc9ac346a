#include "calendar/selection.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "calendar/monthview.h"

namespace redoviri {
namespace {

// December 2026: the new moon on cell 9 (the 8th), the full moon on cell 25
// (the 24th); cell 1 holds no day.
TEST(DaySelection, TheSelectedDayGivesTheDateAndTheDetailsTheirMoon) {
  MonthView december;
  december.Fill(2026, 12, {2026, 12, 9});
  // A cell's click: the date into the details, then the cell's moon.
  const auto click = [&](int k) {
    return [&, k](DaySelection& s) {
      s.SelectCell(december, k);
      s.ShowSelectedDate(s.DateIn(2026, 12));
      s.ShowCellMoon();
    };
  };
  const auto chosen = [](const char* day, int month) {
    return [day, month](DaySelection& s) {
      s.SelectDayText(day);
      s.ShowSelectedDate(s.DateIn(2026, month));
    };
  };
  struct Case {
    const char* what;
    std::function<void(DaySelection&)> steps;
    int month;  // of the date asked for
    const char* dayText;
    std::optional<CivilDate> date;
    const char* monthFirst;  // the details line
    const char* dayFirst;
  };
  const Case cases[] = {
      {"full moon", click(25), 12, "24", CivilDate{2026, 12, 24}, "Thursday, December 24 2026 (Full Moon)",
       "Thursday, 24 December 2026 (Full Moon)"},
      {"new moon", click(9), 12, "8", CivilDate{2026, 12, 8}, "Tuesday, December 8 2026 (New Moon)",
       "Tuesday, 8 December 2026 (New Moon)"},
      {"no moon", click(10), 12, "9", CivilDate{2026, 12, 9}, "Wednesday, December 9 2026",
       "Wednesday, 9 December 2026"},
      {"a cell without a day", click(1), 12, "", std::nullopt, "", ""},
      {"a day the month lacks", chosen("31", 11), 11, "31", std::nullopt, "", ""},
      {"a chosen day drops the cell's moon",
       [&](DaySelection& s) {
         click(25)(s);
         chosen("05", 12)(s);
         s.ShowCellMoon();
       },
       12, "05", CivilDate{2026, 12, 5}, "Saturday, December 5 2026", "Saturday, 5 December 2026"},
      {"the details written afresh lose the moon",
       [&](DaySelection& s) {
         click(25)(s);
         s.ShowSelectedDate(s.DateIn(2026, 12));
       },
       12, "24", CivilDate{2026, 12, 24}, "Thursday, December 24 2026", "Thursday, 24 December 2026"},
      {"today's date in the details, the selection kept",
       [&](DaySelection& s) {
         click(25)(s);
         s.ShowDate({2026, 12, 9});
       },
       12, "24", CivilDate{2026, 12, 24}, "Wednesday, December 9 2026", "Wednesday, 9 December 2026"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    DaySelection selection;
    k.steps(selection);
    EXPECT_EQ(selection.DayText(), k.dayText);
    EXPECT_EQ(selection.Empty(), std::string(k.dayText).empty());
    EXPECT_EQ(selection.DateIn(2026, k.month), k.date);
    EXPECT_EQ(selection.DetailsText(EnglishDateLocale(true)), k.monthFirst);
    EXPECT_EQ(selection.DetailsText(EnglishDateLocale(false)), k.dayFirst);
  }
}

}  // namespace
}  // namespace redoviri
