// The selected day of the main window and what its details line says.
//
// The selection is the day number as the selected cell shows it ("" for
// none): a click on a cell takes the cell's text, a date chosen elsewhere
// takes its day. Its date lies in the shown month, when that month has such
// a day. The details line shows a date in the long form, followed by the
// moon of a selected cell that has one.
#pragma once

#include <optional>
#include <string>

#include "astro/moonmarks.h"
#include "base/datetime.h"
#include "base/locale.h"

namespace redoviri {

class MonthView;

class DaySelection {
 public:
  // Cell k (1..37) of the view is selected.
  void SelectCell(const MonthView& view, int k);
  // A day chosen elsewhere (the date chooser): no cell, no moon.
  void SelectDayText(std::string dayText);
  const std::string& DayText() const { return dayText_; }
  bool Empty() const { return dayText_.empty(); }
  // The selected day in year/month; none without a day or when the month
  // has no such day.
  std::optional<CivilDate> DateIn(int year, int month) const;

  // The details show the selected date (none: an empty line).
  void ShowSelectedDate(const std::optional<CivilDate>& date);
  // ... followed by the moon of the cell selected last, if it has one and
  // the details show a date.
  void ShowCellMoon();
  // The details show this date without a moon (today's, at the start and
  // on the present month's button).
  void ShowDate(const CivilDate& date);
  // The details line in the names and date order of `locale`.
  std::string DetailsText(const DateLocale& locale) const;

 private:
  std::string dayText_;
  astro::MoonMark cellMoon_ = astro::MoonMark::None;  // of the selected cell
  std::optional<CivilDate> detailsDate_;
  astro::MoonMark detailsMoon_ = astro::MoonMark::None;
};

}  // namespace redoviri
