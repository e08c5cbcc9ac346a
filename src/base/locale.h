// The date conventions of the user's locale: whether dates put the month
// before the day, and the names of days and months.
//
// Names are single-byte text ready for the ANSI window functions: on Windows
// the locale's ANSI code page (Windows-1252 for the Western languages). On
// POSIX systems (the command-line tool) they are the bytes the C library
// gives for the LC_TIME locale, UTF-8 in the usual UTF-8 locales: the tool
// writes them to a terminal of the same encoding, and the program's upper-case
// rule changes only ASCII letters, which never occur inside a UTF-8 sequence.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace redoviri {

struct DateLocale {
  // True when dates are written month, day, year; false for day, month, year.
  bool monthFirst = true;
  std::array<std::string, 7> shortDayNames;    // [0] = Sunday
  std::array<std::string, 7> longDayNames;     // [0] = Sunday
  std::array<std::string, 12> longMonthNames;  // [0] = January

  bool IsMonthFirst() const { return monthFirst; }
  // dayOfWeek: 1 = Sunday .. 7 = Saturday; month: 1..12. Throw
  // std::out_of_range for other numbers.
  const std::string& ShortDayName(int dayOfWeek) const;
  const std::string& LongDayName(int dayOfWeek) const;
  const std::string& LongMonthName(int month) const;
};

// English names, with the date order given.
DateLocale EnglishDateLocale(bool monthFirst);

// The user's locale, read once per call: on Windows the user default locale
// (its short date format decides the order); elsewhere the LC_TIME locale of
// the environment (LC_ALL, LC_TIME, LANG), English when that locale is not
// available.
DateLocale UserDateLocale();

// Date order from a Windows short date format ("M/d/yyyy", "dd.MM.yyyy"):
// month first exactly when an M comes before the first d. Quoted text is
// skipped; a format with neither counts as month first.
bool MonthFirstInShortDateFormat(std::string_view format);

// Date order from a strftime date format ("%m/%d/%y", "%d.%m.%Y"): month
// first when a month conversion (%m, %b, %B, %h, or %D and %F, which hold
// one) comes before a day conversion (%d, %e); neither counts as month first.
bool MonthFirstInStrftimeFormat(std::string_view format);

}  // namespace redoviri
