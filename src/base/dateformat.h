// Date patterns: the texts the windows show for a date and a time.
//
// Tokens (lower case): d day without leading zero, dd two-digit day, dddd
// full day name, mm two-digit month, mmmm full month name, yyyy four-digit
// year, hh, nn, ss two-digit hour, minute and second. Every other character
// is copied. A run of letters is read longest token first, so "ddmmyyyy" is
// dd, mm, yyyy.
#pragma once

#include <string>
#include <string_view>

#include "calendar/datetime.h"
#include "calendar/locale.h"

namespace redoviri {

// The date must be valid (years 1..9999), the time within a day; throws
// std::invalid_argument otherwise.
std::string FormatDate(std::string_view pattern, const DateLocale& locale, const CivilDate& date,
                       const CivilTime& time = {});

// The forms whose order of day and month follows the locale.
enum class DateForm {
  Long,          // "dddd, mmmm d yyyy" / "dddd, d mmmm yyyy"
  LongWithTime,  // the long form followed by " hh:nn:ss"
  Heading,       // "mmmm dd yyyy" / "dd mmmm yyyy"
  ShortHeading,  // "mmmm dd" / "dd mmmm"
  Numeric,       // "mm/dd/yyyy" / "dd/mm/yyyy": the order typed and shown in date fields
};

std::string_view PatternOf(DateForm form, bool monthFirst);
std::string FormatDate(DateForm form, const DateLocale& locale, const CivilDate& date, const CivilTime& time = {});

// Upper case as the month fields show it: only a..z become A..Z; every other
// byte, accented letters included, stays as it is.
std::string UpperCaseAscii(std::string_view text);

}  // namespace redoviri
