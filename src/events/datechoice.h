// A date typed into the date chooser, read as the chooser's OK reads it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/datetime.h"
#include "base/locale.h"

namespace redoviri {

struct DateChoice {
  // The day as typed, blanks included: the selected day whether or not
  // the text is a date.
  std::string dayText;
  // The year as typed: the editor's year field, for a date.
  std::string yearText;
  // The date, when the text is a real one.
  std::optional<CivilDate> date;
  // The message for a text that is no date ("" for a date).
  std::string error;
};

// Reads "dd/mm/yyyy" or, when the month comes first, "mm/dd/yyyy". A field
// with blanks around its digits (" 5/ 1/2027", as the mask shows "5/1/2027")
// is that number; a field that is all blank, or not a number, is no date.
DateChoice ReadDateChoice(std::string_view typed, bool monthFirst);

// The chooser's text in the date order of `locale`, typed in the order
// `wasMonthFirst` tells: a whole date is written anew, anything else stays
// as typed.
std::string RetypedDateChoice(std::string_view typed, bool wasMonthFirst, const DateLocale& locale);

}  // namespace redoviri
