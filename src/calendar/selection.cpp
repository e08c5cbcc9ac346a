#include "calendar/selection.h"

#include "base/dateformat.h"
#include "base/text.h"
#include "calendar/monthview.h"

namespace redoviri {

void DaySelection::SelectCell(const MonthView& view, int k) {
  const MonthCell& cell = view.Cell(k);
  dayText_ = cell.text;
  cellMoon_ = cell.moon;
}

void DaySelection::SelectDayText(std::string dayText) {
  dayText_ = std::move(dayText);
  cellMoon_ = astro::MoonMark::None;
}

std::optional<CivilDate> DaySelection::DateIn(int year, int month) const {
  const std::optional<int> day = ReadInteger(dayText_);
  if (!day || !IsValidDate(year, month, *day)) return std::nullopt;
  return CivilDate{year, month, *day};
}

void DaySelection::ShowSelectedDate(const std::optional<CivilDate>& date) {
  detailsDate_ = date;
  detailsMoon_ = astro::MoonMark::None;
}

void DaySelection::ShowCellMoon() {
  if (detailsDate_) detailsMoon_ = cellMoon_;
}

void DaySelection::ShowDate(const CivilDate& date) {
  detailsDate_ = date;
  detailsMoon_ = astro::MoonMark::None;
}

std::string DaySelection::DetailsText(const DateLocale& locale) const {
  if (!detailsDate_) return {};
  std::string text = FormatDate(DateForm::Long, locale, *detailsDate_);
  switch (detailsMoon_) {
    case astro::MoonMark::NewMoon: text += " (New Moon)"; break;
    case astro::MoonMark::FullMoon: text += " (Full Moon)"; break;
    case astro::MoonMark::None: break;
  }
  return text;
}

}  // namespace redoviri
