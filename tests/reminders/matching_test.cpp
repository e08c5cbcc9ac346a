#include "reminders/matching.h"

#include <gtest/gtest.h>

#include <bit>

#include "support/event_store.h"

namespace redoviri {
namespace {

using testing::EventLine;
constexpr auto kBirthday = EventCategory::kBirthday;

bool Falls(const std::string& line, int year, int month, int day) {
  const std::optional<MatchDay> d = MakeMatchDay(year, month, day);
  EXPECT_TRUE(d) << year << "-" << month << "-" << day;
  return d && FallsOn(ParseEventLine(line), *d);
}

// Days of a month on which the event falls.
std::vector<int> DaysIn(const std::string& line, int year, int month) {
  std::vector<int> days;
  for (int d = 1; d <= DaysInMonth(year, month); ++d) {
    if (Falls(line, year, month, d)) days.push_back(d);
  }
  return days;
}

TEST(MatchingTest, EachYearFromTheFirstYearOn) {
  const std::string line = EventLine("03151990", kBirthday, "YNNN");
  EXPECT_TRUE(Falls(line, 2003, 3, 15));
  EXPECT_TRUE(Falls(line, 1990, 3, 15));
  EXPECT_FALSE(Falls(line, 1985, 3, 15));
  EXPECT_EQ(DaysIn(line, 2003, 3), std::vector<int>{15});
  EXPECT_TRUE(DaysIn(line, 2003, 4).empty());
}

TEST(MatchingTest, EachYearOn29FebruaryOnlyInLeapYears) {
  const std::string line = EventLine("02292004", kBirthday, "YNNN");
  EXPECT_EQ(DaysIn(line, 2008, 2), std::vector<int>{29});
  EXPECT_TRUE(DaysIn(line, 2005, 2).empty());
  EXPECT_TRUE(DaysIn(line, 2005, 3).empty());  // never moved to 1 March
  EXPECT_TRUE(DaysIn(line, 2100, 2).empty());
}

TEST(MatchingTest, EachMonthSkipsShortMonths) {
  const std::string line = EventLine("01312003", kBirthday, "NYNN");
  EXPECT_EQ(DaysIn(line, 2003, 3), std::vector<int>{31});
  EXPECT_TRUE(DaysIn(line, 2003, 2).empty());
  EXPECT_TRUE(DaysIn(line, 2003, 4).empty());
  EXPECT_TRUE(DaysIn(line, 2003, 6).empty());
  EXPECT_EQ(DaysIn(line, 2003, 1), std::vector<int>{31});
  EXPECT_FALSE(Falls(line, 2002, 12, 31));
  EXPECT_EQ(DaysIn(line, 2010, 12), std::vector<int>{31});
}

TEST(MatchingTest, EveryNDaysAcrossMonthsAndYears) {
  const std::string line = EventLine("05102003", kBirthday, "NNNY", "x", "7");
  EXPECT_EQ(DaysIn(line, 2003, 5), (std::vector<int>{10, 17, 24, 31}));
  EXPECT_EQ(DaysIn(line, 2003, 6), (std::vector<int>{7, 14, 21, 28}));
  EXPECT_FALSE(Falls(line, 2003, 5, 3));
  EXPECT_TRUE(DaysIn(line, 2003, 4).empty());
  // 2003-05-10 + 7 * 35 days = 2004-01-10.
  EXPECT_TRUE(Falls(line, 2004, 1, 10));
  EXPECT_FALSE(Falls(line, 2004, 1, 11));
}

TEST(MatchingTest, OnlyOnceOnItsDate) {
  const std::string line = EventLine("05102003", kBirthday, "NNYN");
  EXPECT_EQ(DaysIn(line, 2003, 5), std::vector<int>{10});
  EXPECT_TRUE(DaysIn(line, 2004, 5).empty());
  EXPECT_TRUE(DaysIn(line, 2003, 6).empty());
}

TEST(MatchingTest, NoFlagNeverFalls) {
  const std::string line = EventLine("05102003", kBirthday, "NNNN", "x", "1");
  EXPECT_TRUE(DaysIn(line, 2003, 5).empty());
  // Any character but "Y" leaves a flag unset.
  std::string lower = line;
  lower[17] = 'y';
  lower[19] = 'y';
  lower[21] = 'y';
  lower[23] = 'y';
  EXPECT_TRUE(DaysIn(lower, 2003, 5).empty());
}

TEST(MatchingTest, SeveralFlagsMatchWhenAnyRuleHolds) {
  const std::string line = EventLine("05102003", kBirthday, "YNNY", "x", "100");
  EXPECT_TRUE(Falls(line, 2004, 5, 10));    // each year
  EXPECT_TRUE(Falls(line, 2003, 8, 18));    // 100 days on
  EXPECT_FALSE(Falls(line, 2003, 8, 17));
  const std::string monthAndYear = EventLine("05102003", kBirthday, "YYNN");
  EXPECT_EQ(DaysIn(monthAndYear, 2003, 5), std::vector<int>{10});
}

TEST(MatchingTest, ZeroDayCountFallsOnTheFirstDateOnly) {
  // A count of 0 would divide by zero; the event falls on its first date.
  const std::string line = EventLine("05102003", kBirthday, "NNNY", "x", "000");
  EXPECT_EQ(DaysIn(line, 2003, 5), std::vector<int>{10});
  EXPECT_TRUE(DaysIn(line, 2003, 6).empty());
  EXPECT_TRUE(DaysIn(line, 2004, 5).empty());
}

TEST(MatchingTest, UnreadableLinesNeverFall) {
  const std::string good = EventLine("04302003", kBirthday, "YYYY", "x", "1");
  ASSERT_FALSE(DaysIn(good, 2003, 4).empty());
  std::string april31 = good;
  april31.replace(2, 2, "31");
  std::string month13 = good;
  month13.replace(0, 2, "13");
  std::string letters = good;
  letters.replace(4, 4, "19x5");
  std::string badCount = good;
  badCount.replace(25, 3, "  ");
  for (const std::string& line : {april31, month13, letters, badCount, good.substr(0, 20), std::string()}) {
    for (int month = 1; month <= 12; ++month) EXPECT_TRUE(DaysIn(line, 2003, month).empty()) << line;
  }
}

TEST(MatchingTest, StrippedLinesFallLikeFullOnes) {
  // Lines whose trailing blanks an editor stripped: each rule still holds.
  const std::string lines[] = {
      EventLine("03151990", kBirthday, "YNNN", "Ann"),         EventLine("01312003", kBirthday, "NYNN"),
      EventLine("05102003", kBirthday, "NNYN", "x", "0", "c"), EventLine("05102003", kBirthday, "NNNY", "Fair", "7"),
      EventLine("05102003", kBirthday, "NNNY", "", "0"),
  };
  int fallDays = 0;
  for (const std::string& line : lines) {
    std::string stripped = line;
    stripped.erase(stripped.find_last_not_of(' ') + 1);
    ASSERT_LT(stripped.size(), line.size());
    for (int month = 1; month <= 12; ++month) {
      const std::vector<int> days = DaysIn(line, 2003, month);
      EXPECT_EQ(DaysIn(stripped, 2003, month), days) << stripped << " month " << month;
      fallDays += static_cast<int>(days.size());
    }
  }
  EXPECT_GT(fallDays, 40);  // each rule fell somewhere
}

TEST(MatchingTest, FallDaysOfMonthAgreesWithEachDay) {
  const char* dates[] = {"01312000", "02292004", "03151990", "12312009", "06302003", "05102003"};
  const char* flagSets[] = {"YNNN", "NYNN", "NNYN", "NNNY", "YYNN", "NYNY", "YNYY", "NNNN"};
  const char* counts[] = {"0", "1", "7", "30", "365"};
  int fallDays = 0;
  for (const char* date : dates) {
    for (const char* flags : flagSets) {
      for (const char* count : counts) {
        const ParsedEvent event = ParseEventLine(EventLine(date, kBirthday, flags, "x", count));
        for (int year = 1999; year <= 2010; ++year) {
          for (int month = 1; month <= 12; ++month) {
            std::uint32_t want = 0;
            for (int day = 1; day <= DaysInMonth(year, month); ++day) {
              if (FallsOn(event, *MakeMatchDay(year, month, day))) want |= 1u << day;
            }
            ASSERT_EQ(FallDaysOfMonth(event, year, month), want) << date << " " << flags << " " << count << " "
                                                                 << year << "-" << month;
            fallDays += std::popcount(want);
          }
        }
      }
    }
  }
  EXPECT_GT(fallDays, 10000);  // the comparison covered real matches
  EXPECT_EQ(FallDaysOfMonth(ParseEventLine(EventLine("05102003", kBirthday, "YNNN")), 0, 5), 0u);
}

TEST(MatchingTest, MatchDayIsACalendarDate) {
  EXPECT_FALSE(MakeMatchDay(2003, 4, 31));
  EXPECT_FALSE(MakeMatchDay(2003, 5, 0));
  EXPECT_FALSE(MakeMatchDay(2003, 13, 1));
  const auto day = MakeMatchDay(2000, 1, 1);
  ASSERT_TRUE(day);
  EXPECT_EQ(day->dayNumber, 36526);
}

}  // namespace
}  // namespace redoviri
