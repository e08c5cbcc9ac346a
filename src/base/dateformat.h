// Date patterns: the texts the windows show for a date and a time.
//
// Tokens (lower case): d day without leading zero, dd two-digit day, dddd
// full day name, mm two-digit month, mmmm full month name, yyyy four-digit
// year, hh, nn, ss two-digit hour, minute and second. Every other character
// is copied. A run of letters is read longest token first, so "ddmmyyyy" is
// dd, mm, yyyy.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/datetime.h"
#include "base/locale.h"
#include "base/text.h"  // UpperCaseAscii: the month fields' upper case

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

// The parts of a date in the numeric form, as text: as stored, as typed or
// as shown, blanks included.
struct NumericDateParts {
  std::string day, month, year;
  friend bool operator==(const NumericDateParts&, const NumericDateParts&) = default;
};

// The numeric form of the parts: "mm/dd/yyyy" when the month comes first,
// else "dd/mm/yyyy".
std::string JoinNumericDate(const NumericDateParts& parts, bool monthFirst);
// The parts of a text in the numeric form: characters 1-2, 4-5 and 7-10,
// fewer where the text is shorter.
NumericDateParts SplitNumericDate(std::string_view text, bool monthFirst);
// The date of a text in the numeric form (a date typed into the date
// chooser), when it is a real date: two digits, "/", two digits, "/", four
// digits, nothing blank. A field with a blank position is not a date, even
// where the mask lets the day or month digits be left out.
std::optional<CivilDate> ReadNumericDate(std::string_view text, bool monthFirst);

}  // namespace redoviri
