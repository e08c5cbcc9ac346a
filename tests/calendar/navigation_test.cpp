#include "calendar/navigation.h"

#include <gtest/gtest.h>

namespace redoviri {
namespace {

TEST(Navigation, YearFieldReplacesZeroAndNonNumbers) {
  const YearFieldChange zero = ReadYearField("0", 2026);
  EXPECT_EQ(zero.fieldText, "1900");
  EXPECT_EQ(zero.year, 1900);

  for (const char* text : {"", " ", "abc", "20x6"}) {
    const YearFieldChange c = ReadYearField(text, 2026);
    EXPECT_EQ(c.fieldText, "2026") << text;
    EXPECT_EQ(c.year, 2026) << text;
  }

  const YearFieldChange typed = ReadYearField("1999", 2026);
  EXPECT_EQ(typed.fieldText, std::nullopt);
  EXPECT_EQ(typed.year, 1999);
  // The view ignores it; the field keeps what was typed.
  const YearFieldChange negative = ReadYearField("-5", 2026);
  EXPECT_EQ(negative.fieldText, std::nullopt);
  EXPECT_EQ(negative.year, -5);
}

TEST(Navigation, StepButtonsStayInTheCalendar) {
  EXPECT_EQ(SteppedYearText("2026", +1), "2027");
  EXPECT_EQ(SteppedYearText(" 2026 ", -1), "2025");
  EXPECT_EQ(SteppedYearText("2", -1), "1");
  EXPECT_EQ(SteppedYearText("1", -1), std::nullopt);
  EXPECT_EQ(SteppedYearText("9999", +1), std::nullopt);
  EXPECT_EQ(SteppedYearText("1", +1), "2");
  EXPECT_EQ(SteppedYearText("", +1), std::nullopt);
  // A year the view ignored still steps, towards or away from the calendar.
  EXPECT_EQ(SteppedYearText("-5", +1), "-4");
  EXPECT_EQ(SteppedYearText("-5", -1), "-6");
}

TEST(Navigation, YearTextHasFourDigits) {
  EXPECT_EQ(YearText(5), "0005");
  EXPECT_EQ(YearText(2026), "2026");
  EXPECT_EQ(YearText(9999), "9999");
}

TEST(ViewCalendar, ReportsOnlyRealChanges) {
  ViewCalendar view({2026, 12, 8});
  EXPECT_FALSE(view.SetYear(2026));
  EXPECT_FALSE(view.SetMonth(12));
  EXPECT_FALSE(view.SetYear(0));
  EXPECT_FALSE(view.SetYear(-5));
  EXPECT_FALSE(view.SetYear(10000));
  EXPECT_FALSE(view.SetMonth(0));
  EXPECT_FALSE(view.SetMonth(13));
  EXPECT_EQ(view.Date(), (CivilDate{2026, 12, 8}));

  EXPECT_TRUE(view.SetMonth(1));
  EXPECT_TRUE(view.SetYear(1));
  EXPECT_EQ(view.Date(), (CivilDate{1, 1, 8}));
  EXPECT_TRUE(view.SetYear(9999));
  EXPECT_EQ(view.Year(), 9999);
  EXPECT_EQ(view.Month(), 1);
}

TEST(ViewCalendar, KeepsItsDayThroughShortMonths) {
  ViewCalendar view({2026, 1, 31});
  ASSERT_TRUE(view.SetMonth(2));
  EXPECT_EQ(view.Date(), (CivilDate{2026, 2, 28}));
  ASSERT_TRUE(view.SetYear(2024));
  EXPECT_EQ(view.Date(), (CivilDate{2024, 2, 29}));
  ASSERT_TRUE(view.SetMonth(4));
  EXPECT_EQ(view.Date(), (CivilDate{2024, 4, 30}));
  ASSERT_TRUE(view.SetMonth(3));
  EXPECT_EQ(view.Date(), (CivilDate{2024, 3, 31}));
}

}  // namespace
}  // namespace redoviri
