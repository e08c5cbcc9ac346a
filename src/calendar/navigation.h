// Rules of the main window's month and year navigation: the view month held
// by the hidden calendar `Calendar1`, the year field `UpDown2` and the year
// step buttons.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/datetime.h"
#include "base/text.h"  // ReadInteger: the fields' numbers

namespace redoviri {


// The date the month view stands on. Only its year and month choose the
// shown month; its day is the day the window was created on and is kept, so
// a trip through a short month does not lose it. The date itself uses the
// day clamped to the shown month's length.
class ViewCalendar {
 public:
  explicit ViewCalendar(const CivilDate& created);

  int Year() const { return year_; }
  int Month() const { return month_; }
  CivilDate Date() const;

  // Each returns true when the shown month changed, which is when the month
  // view has to be refilled. A value outside 1..9999 (years) or 1..12
  // (months) is ignored, and so is the value already held.
  bool SetYear(int year);
  bool SetMonth(int month);

 private:
  int year_, month_, day_;
};

// What a change of the year field's text leads to.
struct YearFieldChange {
  std::optional<std::string> fieldText;  // the field's new text, when it is replaced
  int year = 0;                          // the year to write into the view
};

// The year field's rule: a number is the year as typed (the view ignores one
// outside 1..9999); "0" becomes 1900; anything that is not a number becomes
// the current year.
YearFieldChange ReadYearField(std::string_view text, int currentYear);

// The year field's text after a step button (+1 or -1), or none when nothing
// happens: the text is not a number, or the step would leave 1..9999 from
// within it (year - 1 at "1", year + 1 at "9999").
std::optional<std::string> SteppedYearText(std::string_view text, int step);

// "yyyy": the year as four digits with leading zeros.
std::string YearText(int year);

}  // namespace redoviri
