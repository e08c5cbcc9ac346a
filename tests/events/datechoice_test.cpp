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
      {"05/12/0000", false, "05", "0000", std::nullopt},
      // Digits with blanks around them, as the mask shows what was typed
      // without its leading zeros: the number.
      {" 5/12/2003", false, " 5", "2003", CivilDate{2003, 12, 5}},
      {" 5/ 1/2027", true, " 1", "2027", CivilDate{2027, 5, 1}},
      {" 1/05/2027", false, " 1", "2027", CivilDate{2027, 5, 1}},
      {"5 /1 /2027", true, "1 ", "2027", CivilDate{2027, 5, 1}},
      {" 1/ 5/2027", false, " 1", "2027", CivilDate{2027, 5, 1}},
      {" 2/30/2027", true, "30", "2027", std::nullopt},  // still no such day
      // A field all blank, or not a number, is no date.
      {"  /  /    ", true, "  ", "    ", std::nullopt},
      {"  /05/2027", false, "  ", "2027", std::nullopt},
      {" 5/  /2027", true, "  ", "2027", std::nullopt},
      {"05/01/    ", true, "01", "    ", std::nullopt},
      {"05/01/20 7", true, "01", "20 7", std::nullopt},
      {"+5/01/2027", false, "+5", "2027", std::nullopt},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.typed) + (k.monthFirst ? " month first" : " day first"));
    const DateChoice choice = ReadDateChoice(k.typed, k.monthFirst);
    EXPECT_EQ(choice.dayText, k.day);
    EXPECT_EQ(choice.yearText, k.year);
    EXPECT_EQ(choice.date, k.date);
    const std::string refusal = std::string("'").append(k.typed).append("' is not a valid date and time");
    EXPECT_EQ(choice.error, k.date ? "" : refusal);
  }
}

TEST(DateChoice, AWholeDateFollowsTheNewOrderAnythingElseStays) {
  EXPECT_EQ(RetypedDateChoice("12/25/2003", true, EnglishDateLocale(false)), "25/12/2003");
  EXPECT_EQ(RetypedDateChoice("25/12/2003", false, EnglishDateLocale(true)), "12/25/2003");
  EXPECT_EQ(RetypedDateChoice("12/25/2003", true, EnglishDateLocale(true)), "12/25/2003");
  EXPECT_EQ(RetypedDateChoice("12/2 /2003", true, EnglishDateLocale(false)), "02/12/2003");
  EXPECT_EQ(RetypedDateChoice("02/30/2003", true, EnglishDateLocale(false)), "02/30/2003");
  EXPECT_EQ(RetypedDateChoice(" 5/ 1/2027", true, EnglishDateLocale(false)), "01/05/2027");
  EXPECT_EQ(RetypedDateChoice("  /05/2027", false, EnglishDateLocale(true)), "  /05/2027");
}

}  // namespace
}  // namespace redoviri
