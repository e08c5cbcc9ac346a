#include "base/locale.h"

#include <stdexcept>

#include <gtest/gtest.h>

#include "base/monthgrid.h"

#ifndef _WIN32
#include <cstdlib>
#include <locale.h>
#include <string>
#endif

namespace redoviri {
namespace {

TEST(EnglishLocale, NamesDaysFromSundayAndMonthsFromJanuary) {
  const DateLocale en = EnglishDateLocale(false);
  EXPECT_FALSE(en.IsMonthFirst());
  EXPECT_TRUE(EnglishDateLocale(true).IsMonthFirst());
  EXPECT_EQ(en.ShortDayName(1), "Sun");
  EXPECT_EQ(en.ShortDayName(7), "Sat");
  EXPECT_EQ(en.LongDayName(1), "Sunday");
  EXPECT_EQ(en.LongDayName(4), "Wednesday");
  EXPECT_EQ(en.LongMonthName(1), "January");
  EXPECT_EQ(en.LongMonthName(12), "December");
  EXPECT_THROW(en.ShortDayName(0), std::out_of_range);
  EXPECT_THROW(en.LongDayName(8), std::out_of_range);
  EXPECT_THROW(en.LongMonthName(13), std::out_of_range);
}

TEST(EnglishLocale, HeaderColumnsStartOnMonday) {
  const DateLocale en = EnglishDateLocale(true);
  const char* want[7] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
  for (int column = 0; column < 7; ++column) EXPECT_EQ(en.ShortDayName(HeaderDayNumber(column)), want[column]);
}

TEST(DateOrder, FromWindowsShortDateFormats) {
  EXPECT_TRUE(MonthFirstInShortDateFormat("M/d/yyyy"));
  EXPECT_TRUE(MonthFirstInShortDateFormat("MM/dd/yy"));
  EXPECT_FALSE(MonthFirstInShortDateFormat("dd/MM/yyyy"));
  EXPECT_FALSE(MonthFirstInShortDateFormat("d.M.yyyy"));
  EXPECT_TRUE(MonthFirstInShortDateFormat("yyyy-MM-dd"));
  EXPECT_FALSE(MonthFirstInShortDateFormat("yyyy.dd.MM"));
  // Quoted text is not part of the date.
  EXPECT_TRUE(MonthFirstInShortDateFormat("'day' MM/dd/yyyy"));
  EXPECT_FALSE(MonthFirstInShortDateFormat("'Mois' dd/MM/yyyy"));
  EXPECT_TRUE(MonthFirstInShortDateFormat(""));
}

TEST(DateOrder, FromStrftimeFormats) {
  EXPECT_TRUE(MonthFirstInStrftimeFormat("%m/%d/%y"));
  EXPECT_FALSE(MonthFirstInStrftimeFormat("%d/%m/%Y"));
  EXPECT_FALSE(MonthFirstInStrftimeFormat("%d.%m.%Y"));
  EXPECT_FALSE(MonthFirstInStrftimeFormat("%e %B %Y"));
  EXPECT_TRUE(MonthFirstInStrftimeFormat("%b %e %Y"));
  EXPECT_TRUE(MonthFirstInStrftimeFormat("%D"));
  EXPECT_TRUE(MonthFirstInStrftimeFormat("%F"));
  EXPECT_TRUE(MonthFirstInStrftimeFormat("%-m/%-d/%Y"));
  EXPECT_FALSE(MonthFirstInStrftimeFormat("%Od.%Om.%EY"));
  EXPECT_FALSE(MonthFirstInStrftimeFormat("%_2d-%02m"));
  // "%%" is a percent sign, and the letters after it are plain text.
  EXPECT_TRUE(MonthFirstInStrftimeFormat("%%d %m %d"));
  EXPECT_TRUE(MonthFirstInStrftimeFormat(""));
}

#ifndef _WIN32
// The POSIX provider reads LC_ALL, LC_TIME and LANG; each case sets LC_ALL
// for one reading and puts the environment back.
class PosixLocale : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* v = std::getenv("LC_ALL")) saved_ = v;
  }
  void TearDown() override {
    if (saved_) setenv("LC_ALL", saved_->c_str(), 1);
    else unsetenv("LC_ALL");
  }
  // The locale, or none when this machine has not generated it.
  static std::optional<DateLocale> Read(const char* name) {
    const locale_t probe = newlocale(LC_TIME_MASK, name, static_cast<locale_t>(0));
    if (probe == static_cast<locale_t>(0)) return std::nullopt;
    freelocale(probe);
    setenv("LC_ALL", name, 1);
    return UserDateLocale();
  }

 private:
  std::optional<std::string> saved_;
};

TEST_F(PosixLocale, CLocaleIsEnglishMonthFirst) {
  const auto c = Read("C");
  ASSERT_TRUE(c);
  EXPECT_TRUE(c->IsMonthFirst());
  EXPECT_EQ(c->ShortDayName(2), "Mon");
  EXPECT_EQ(c->LongDayName(1), "Sunday");
  EXPECT_EQ(c->LongMonthName(2), "February");
}

TEST_F(PosixLocale, UnknownLocaleFallsBackToEnglish) {
  setenv("LC_ALL", "xx_NOWHERE.UTF-8", 1);
  const DateLocale l = UserDateLocale();
  EXPECT_TRUE(l.IsMonthFirst());
  EXPECT_EQ(l.LongMonthName(3), "March");
}

TEST_F(PosixLocale, OrderAndNamesFollowTheLocale) {
  const auto us = Read("en_US.UTF-8");
  const auto gb = Read("en_GB.UTF-8");
  const auto fr = Read("fr_FR.UTF-8");
  const auto de = Read("de_DE.UTF-8");
  if (!us || !gb || !fr || !de) GTEST_SKIP() << "en_US, en_GB, fr_FR and de_DE are not generated here";
  EXPECT_TRUE(us->IsMonthFirst());
  EXPECT_EQ(us->LongDayName(2), "Monday");
  EXPECT_FALSE(gb->IsMonthFirst());
  EXPECT_EQ(gb->LongMonthName(12), "December");
  EXPECT_FALSE(fr->IsMonthFirst());
  EXPECT_EQ(fr->ShortDayName(2), "lun.");
  EXPECT_EQ(fr->LongDayName(2), "lundi");
  EXPECT_EQ(fr->LongMonthName(2), "f\xC3\xA9vrier");  // UTF-8, as the locale gives it
  EXPECT_FALSE(de->IsMonthFirst());
  EXPECT_EQ(de->LongDayName(1), "Sonntag");
  EXPECT_EQ(de->LongMonthName(3), "M\xC3\xA4rz");
}
#endif

}  // namespace
}  // namespace redoviri
