#include "events/datechoice.h"

#include "base/dateformat.h"
#include "events/eventrecord.h"

#include <utility>

namespace redoviri {

DateChoice ReadDateChoice(std::string_view typed, bool monthFirst) {
  NumericDateParts parts = SplitNumericDate(typed, monthFirst);
  DateChoice choice;
  choice.dayText = std::move(parts.day);
  choice.yearText = std::move(parts.year);
  choice.date = ReadNumericDate(typed, monthFirst);
  if (!choice.date) choice.error = NotADateTimeMessage(typed);
  return choice;
}

std::string RetypedDateChoice(std::string_view typed, bool wasMonthFirst, const DateLocale& locale) {
  const std::optional<CivilDate> date = ReadNumericDate(typed, wasMonthFirst);
  return date ? FormatDate(DateForm::Numeric, locale, *date) : std::string(typed);
}

}  // namespace redoviri
