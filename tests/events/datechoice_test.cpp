#include "events/datechoice.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace redoviri {
namespace {

// What the chooser's OK makes of a typed text, in both date orders.
TEST(DateChoice, TheDayIsTakenAsTypedAndOnlyARealDateMoves) {
  struct Case {
    const char* typed;
    bool monthFirst;
    const char* day;
    const char* year;
    std::optional<CivilDate> date;
  };
  const Case cases[] = {
      {"12/25/2003", true, "25", "2003", CivilDate{2003, 12, 25}},
      {"25/12/2003", false, "25", "2003", CivilDate{2003, 12, 25}},
      {"25/12/2003", true, "12", "2003", std::nullopt},  // month 25
      {"02/29/2004", true, "29", "2004", CivilDate{2004, 2, 29}},
      {"02/29/2003", true, "29", "2003", std::nullopt},
      {"31/04/2003", false, "31", "2003", std::nullopt},
      {" 5/12/2003", false, " 5", "2003", std::nullopt},  // a blank position
      {"  /  /    ", true, "  ", "    ", std::nullopt},
      {"05/12/0000", false, "05", "0000", std::nullopt},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.typed) + (k.monthFirst ? " month first" : " day first"));
    const DateChoice choice = ReadDateChoice(k.typed, k.monthFirst);
    EXPECT_EQ(choice.dayText, k.day);
    EXPECT_EQ(choice.yearText, k.year);
    EXPECT_EQ(choice.date, k.date);
    EXPECT_EQ(choice.error.empty(), k.date.has_value());
  }
  EXPECT_EQ(ReadDateChoice("02/29/2003", true).error, "'02/29/2003' is not a valid date and time");
}

TEST(DateChoice, AWholeDateFollowsTheNewOrderAnythingElseStays) {
  EXPECT_EQ(RetypedDateChoice("12/25/2003", true, EnglishDateLocale(false)), "25/12/2003");
  EXPECT_EQ(RetypedDateChoice("25/12/2003", false, EnglishDateLocale(true)), "12/25/2003");
  EXPECT_EQ(RetypedDateChoice("12/25/2003", true, EnglishDateLocale(true)), "12/25/2003");
  EXPECT_EQ(RetypedDateChoice("12/2 /2003", true, EnglishDateLocale(false)), "12/2 /2003");
  EXPECT_EQ(RetypedDateChoice("02/30/2003", true, EnglishDateLocale(false)), "02/30/2003");
}

}  // namespace
}  // namespace redoviri
