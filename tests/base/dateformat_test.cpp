#include "base/dateformat.h"

#include <stdexcept>

#include <gtest/gtest.h>

namespace redoviri {
namespace {

const CivilDate kDate{2026, 12, 8};  // a Tuesday
const CivilTime kTime{13, 5, 9};

TEST(DateFormat, EveryPatternOfTheWindows) {
  const DateLocale en = EnglishDateLocale(true);
  const struct {
    const char* pattern;
    const char* want;
  } cases[] = {
      {"dddd, d mmmm yyyy", "Tuesday, 8 December 2026"},
      {"dddd, mmmm d yyyy", "Tuesday, December 8 2026"},
      {"dddd, d mmmm yyyy hh:nn:ss", "Tuesday, 8 December 2026 13:05:09"},
      {"dddd, mmmm d yyyy hh:nn:ss", "Tuesday, December 8 2026 13:05:09"},
      {"mmmm dd yyyy", "December 08 2026"},
      {"dd mmmm yyyy", "08 December 2026"},
      {"mmmm dd", "December 08"},
      {"dd mmmm", "08 December"},
      {"ddmmyyyy", "08122026"},
      {"dd", "08"},
      {"mm", "12"},
      {"mmmm", "December"},
      {"yyyy", "2026"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatDate(c.pattern, en, kDate, kTime), c.want) << c.pattern;
}

TEST(DateFormat, PadsAndCopies) {
  const DateLocale en = EnglishDateLocale(true);
  EXPECT_EQ(FormatDate("d/mm/yyyy", en, {1, 1, 1}), "1/01/0001");
  EXPECT_EQ(FormatDate("d.mm.yyyy", en, {9999, 12, 31}), "31.12.9999");
  EXPECT_EQ(FormatDate("yyyy", en, {999, 3, 1}), "0999");
  EXPECT_EQ(FormatDate("hh:nn:ss", en, kDate), "00:00:00");
  EXPECT_EQ(FormatDate("hh:nn:ss", en, kDate, {23, 59, 59}), "23:59:59");
  EXPECT_EQ(FormatDate("[x] #", en, kDate), "[x] #");
  // Only lower-case letters are tokens; a lone m or y is plain text.
  EXPECT_EQ(FormatDate("DD MM m yy", en, kDate), "DD MM m yy");
  // The full day name comes from the date, not from the time.
  EXPECT_EQ(FormatDate("dddd", en, {2000, 1, 1}), "Saturday");
}

TEST(DateFormat, RefusesWhatIsNotADateOrATime) {
  const DateLocale en = EnglishDateLocale(true);
  EXPECT_THROW(FormatDate("dd", en, {2026, 2, 30}), std::invalid_argument);
  EXPECT_THROW(FormatDate("dd", en, {0, 1, 1}), std::invalid_argument);
  EXPECT_THROW(FormatDate("dd", en, kDate, {24, 0, 0}), std::invalid_argument);
  EXPECT_THROW(FormatDate("dd", en, kDate, {0, -1, 0}), std::invalid_argument);
}

TEST(DateFormat, FormsFollowTheLocaleOrder) {
  const DateLocale us = EnglishDateLocale(true);
  const DateLocale gb = EnglishDateLocale(false);
  EXPECT_EQ(FormatDate(DateForm::Long, us, kDate), "Tuesday, December 8 2026");
  EXPECT_EQ(FormatDate(DateForm::Long, gb, kDate), "Tuesday, 8 December 2026");
  EXPECT_EQ(FormatDate(DateForm::LongWithTime, us, kDate, kTime), "Tuesday, December 8 2026 13:05:09");
  EXPECT_EQ(FormatDate(DateForm::LongWithTime, gb, kDate, kTime), "Tuesday, 8 December 2026 13:05:09");
  EXPECT_EQ(FormatDate(DateForm::Heading, us, kDate), "December 08 2026");
  EXPECT_EQ(FormatDate(DateForm::Heading, gb, kDate), "08 December 2026");
  EXPECT_EQ(FormatDate(DateForm::ShortHeading, us, kDate), "December 08");
  EXPECT_EQ(FormatDate(DateForm::ShortHeading, gb, kDate), "08 December");
  EXPECT_EQ(FormatDate(DateForm::Numeric, us, {2026, 3, 4}), "03/04/2026");
  EXPECT_EQ(FormatDate(DateForm::Numeric, gb, {2026, 3, 4}), "04/03/2026");
}

TEST(DateFormat, NamesComeFromTheLocale) {
  DateLocale fr = EnglishDateLocale(false);
  fr.longDayNames[3] = "mercredi";
  fr.longMonthNames[1] = "f\xE9vrier";  // Windows-1252
  EXPECT_EQ(FormatDate(DateForm::Long, fr, {2026, 2, 4}), "mercredi, 4 f\xE9vrier 2026");
}

TEST(DateFormat, TheNumericFormIsJoinedAndSplitInTheLocalesOrder) {
  struct Case {
    std::string_view text;
    bool monthFirst;
    NumericDateParts parts;
  };
  const Case cases[] = {
      {"12/25/2003", true, {"25", "12", "2003"}},
      {"25/12/2003", false, {"25", "12", "2003"}},
      {"  /05/2003", false, {"  ", "05", "2003"}},  // blanks as typed
      {"1 /  /    ", true, {"  ", "1 ", "    "}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SplitNumericDate(c.text, c.monthFirst), c.parts) << c.text;
    EXPECT_EQ(JoinNumericDate(c.parts, c.monthFirst), c.text) << c.text;
  }
  // Shorter texts give what they hold.
  EXPECT_EQ(SplitNumericDate("25/1", false), (NumericDateParts{"25", "1", ""}));
  EXPECT_EQ(SplitNumericDate("", true), NumericDateParts{});
  // The form that FormatDate writes is the one these read.
  for (const bool monthFirst : {false, true}) {
    const std::string shown = FormatDate(DateForm::Numeric, EnglishDateLocale(monthFirst), {2026, 3, 4});
    EXPECT_EQ(SplitNumericDate(shown, monthFirst), (NumericDateParts{"04", "03", "2026"})) << shown;
  }
}

TEST(DateFormat, ANumericDateIsRealOnlyWhenWholeAndOnTheCalendar) {
  struct Case {
    std::string_view typed;
    bool monthFirst;
    std::optional<CivilDate> date;
  };
  const Case cases[] = {
      {"25/12/2003", false, CivilDate{2003, 12, 25}},
      {"12/25/2003", true, CivilDate{2003, 12, 25}},
      {"12/25/2003", false, std::nullopt},  // no month 25
      {"29/02/2024", false, CivilDate{2024, 2, 29}},
      {"29/02/2023", false, std::nullopt},
      {"31/04/2026", false, std::nullopt},
      {"00/01/2026", false, std::nullopt},
      {"01/01/0000", false, std::nullopt},
      {"01/01/9999", false, CivilDate{9999, 1, 1}},
      {" 1/05/2003", false, std::nullopt},  // a blank place
      {"1 /05/2003", false, std::nullopt},
      {"+1/05/2003", false, std::nullopt},
      {"01-05-2003", false, std::nullopt},
      {"01/05/203", false, std::nullopt},
      {"01/05/20030", false, std::nullopt},
      {"", false, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadNumericDate(c.typed, c.monthFirst), c.date) << '"' << c.typed << '"';
}

}  // namespace
}  // namespace redoviri
