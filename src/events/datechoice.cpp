#include "events/datechoice.h"

#include "base/dateformat.h"
#include "base/text.h"
#include "events/eventrecord.h"

#include <algorithm>
#include <utility>

namespace redoviri {

namespace {

// The chooser's mask leaves a digit that was not typed blank: "5/1/2027"
// shows as " 5/ 1/2027". A field whose digits have blanks around them is
// that number, written here with zeros in front ("05/01/2027"); a field
// that is all blank, or holds anything but digits, stays as typed and so
// is no date.
std::string WithBlanksAsZeros(std::string_view typed) {
  std::string text(typed);
  struct Field {
    std::size_t first, count;
  };
  for (const Field f : {Field{0, 2}, Field{3, 2}, Field{6, 4}}) {
    if (f.first + f.count > text.size()) break;
    const std::string_view digits = TrimBlanks(std::string_view(text).substr(f.first, f.count));
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
      continue;
    text.replace(f.first, f.count, std::string(f.count - digits.size(), '0') + std::string(digits));
  }
  return text;
}

std::optional<CivilDate> ReadChosenDate(std::string_view typed, bool monthFirst) {
  return ReadNumericDate(WithBlanksAsZeros(typed), monthFirst);
}

}  // namespace

DateChoice ReadDateChoice(std::string_view typed, bool monthFirst) {
  NumericDateParts parts = SplitNumericDate(typed, monthFirst);
  DateChoice choice;
  choice.dayText = std::move(parts.day);
  choice.yearText = std::move(parts.year);
  choice.date = ReadChosenDate(typed, monthFirst);
  if (!choice.date) choice.error = NotADateTimeMessage(typed);
  return choice;
}

std::string RetypedDateChoice(std::string_view typed, bool wasMonthFirst, const DateLocale& locale) {
  const std::optional<CivilDate> date = ReadChosenDate(typed, wasMonthFirst);
  return date ? FormatDate(DateForm::Numeric, locale, *date) : std::string(typed);
}

}  // namespace redoviri
