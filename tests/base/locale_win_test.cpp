// The Windows locale provider under the user locale of this process. Wine
// takes the user locale from LANG when a process starts, and a child process
// inherits the Unix environment rather than the Windows one, so ctest runs
// this executable once per locale with LANG set (en_US, en_GB, fr_FR,
// de_DE); the expected values are chosen by LANG.
#include <windows.h>

#include <set>
#include <string>

#include <gtest/gtest.h>

#include "base/dateformat.h"
#include "base/locale.h"
#include "base/monthgrid.h"

namespace redoviri {
namespace {

struct Expected {
  const char* lang;
  bool monthFirst;
  const char* shortDays[7];  // Sunday first
  const char* longDays[7];
  const char* months[12];
};

// Names in Windows-1252, as the ANSI functions give them.
const Expected kExpected[] = {
    {"en_US",
     true,
     {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"},
     {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"},
     {"January", "February", "March", "April", "May", "June", "July", "August", "September", "October", "November",
      "December"}},
    {"en_GB",
     false,
     {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"},
     {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"},
     {"January", "February", "March", "April", "May", "June", "July", "August", "September", "October", "November",
      "December"}},
    {"fr_FR",
     false,
     {"dim.", "lun.", "mar.", "mer.", "jeu.", "ven.", "sam."},
     {"dimanche", "lundi", "mardi", "mercredi", "jeudi", "vendredi", "samedi"},
     {"janvier", "f\xE9vrier", "mars", "avril", "mai", "juin", "juillet", "ao\xFBt", "septembre", "octobre",
      "novembre", "d\xE9" "cembre"}},
    {"de_DE",
     false,
     {"So.", "Mo.", "Di.", "Mi.", "Do.", "Fr.", "Sa."},
     {"Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag"},
     {"Januar", "Februar", "M\xE4rz", "April", "Mai", "Juni", "Juli", "August", "September", "Oktober", "November",
      "Dezember"}},
};

// The expectations for this process's LANG, or none.
const Expected* ExpectedForLang() {
  char lang[64] = "";
  GetEnvironmentVariableA("LANG", lang, sizeof lang);
  for (const Expected& e : kExpected)
    if (std::string_view(lang).starts_with(e.lang)) return &e;
  return nullptr;
}

TEST(WindowsLocale, OrderAndNamesFollowTheUserLocale) {
  const Expected* want = ExpectedForLang();
  if (!want) GTEST_SKIP() << "no expectations for this LANG";
  const DateLocale l = UserDateLocale();
  EXPECT_EQ(l.IsMonthFirst(), want->monthFirst) << want->lang;
  for (int d = 1; d <= 7; ++d) {
    EXPECT_EQ(l.ShortDayName(d), want->shortDays[d - 1]) << want->lang << " day " << d;
    EXPECT_EQ(l.LongDayName(d), want->longDays[d - 1]) << want->lang << " day " << d;
  }
  for (int m = 1; m <= 12; ++m) EXPECT_EQ(l.LongMonthName(m), want->months[m - 1]) << want->lang << " month " << m;
}

TEST(WindowsLocale, HeaderAndLongDateInTheUserLocale) {
  const Expected* want = ExpectedForLang();
  if (!want) GTEST_SKIP() << "no expectations for this LANG";
  const DateLocale l = UserDateLocale();
  // Column 0 is Monday whatever the locale numbers first.
  EXPECT_EQ(l.ShortDayName(HeaderDayNumber(0)), want->shortDays[1]);
  EXPECT_EQ(l.ShortDayName(HeaderDayNumber(6)), want->shortDays[0]);
  const std::string longDate = FormatDate(DateForm::Long, l, {2026, 2, 2});  // a Monday
  const std::string monday = want->longDays[1], february = want->months[1];
  EXPECT_EQ(longDate, want->monthFirst ? monday + ", " + february + " 2 2026" : monday + ", 2 " + february + " 2026");
}

TEST(WindowsLocale, EveryNameIsThereAndDistinct) {
  const DateLocale l = UserDateLocale();
  std::set<std::string> shortDays, longDays, months;
  for (int d = 1; d <= 7; ++d) {
    shortDays.insert(l.ShortDayName(d));
    longDays.insert(l.LongDayName(d));
  }
  for (int m = 1; m <= 12; ++m) months.insert(l.LongMonthName(m));
  EXPECT_EQ(shortDays.size(), 7u);
  EXPECT_EQ(longDays.size(), 7u);
  EXPECT_EQ(months.size(), 12u);
  EXPECT_EQ(shortDays.count(""), 0u);
  EXPECT_EQ(months.count(""), 0u);
}

}  // namespace
}  // namespace redoviri
