#include "calendar/monthview.h"

#include <algorithm>

namespace redoviri {

Colour CellColour(CellLook look) {
  switch (look) {
    case CellLook::Today: return TodayColour;
    case CellLook::Selected: return SelectedColour;
    case CellLook::Normal: break;
  }
  return NormalCellColour;
}

Colour CellTextColour(CellLook look) { return look == CellLook::Today ? TodayTextColour : NormalTextColour; }

void MonthView::Fill(int year, int month, const CivilDate& today) {
  const MonthPlacement placement(year, month);
  const astro::MonthMoonMarks& moon = moonMarks_.Marks(year, month);
  year_ = year;
  month_ = month;
  todayCell_ = placement.TodayCell(today);
  for (int k = 1; k <= kDayCellCount; ++k) {
    MonthCell& cell = cells_[static_cast<std::size_t>(k - 1)];
    cell.text = placement.CellText(k);
    cell.day = placement.DayOfCell(k);
    cell.moon = moon[static_cast<std::size_t>(k - 1)];
    if (todayCell_ == k) {
      cell.look = CellLook::Today;
    } else if (!todayCell_ || cell.look != CellLook::Selected) {
      // Only today's cell has today's look, also when the date changed
      // while this month was shown.
      cell.look = CellLook::Normal;
    }
  }
}

void MonthView::Mark(const EventList* events) {
  MonthMarkInput input{year_, month_, {}};
  for (std::size_t i = 0; i < cells_.size(); ++i) input.cells[i] = {cells_[i].day, cells_[i].look == CellLook::Today};
  std::array<CellMark, kDayCellCount> marks{};
  for (std::vector<std::uint32_t>& cell : cellEvents_) cell.clear();
  if (events && year_ != 0) marks = MarkMonth(*events, input, &cellEvents_);
  markedYear_ = year_;
  markedMonth_ = month_;
  for (std::size_t i = 0; i < cells_.size(); ++i) {
    cells_[i].dayMark = marks[i].dayMark;
    cells_[i].hint = std::move(marks[i].hint);
  }
}

bool MonthView::MarkAdded(const EventList& events, std::size_t index) {
  if (year_ == 0) return false;
  if (year_ != markedYear_ || month_ != markedMonth_) {
    Mark(&events);
    return true;
  }
  const auto at = static_cast<std::uint32_t>(index);
  for (std::vector<std::uint32_t>& cell : cellEvents_)
    for (std::uint32_t& i : cell)
      if (i >= at) ++i;
  const std::uint32_t days = FallDaysOfMonth(events.EntryAt(static_cast<int>(index)).parsed, year_, month_);
  bool changed = false;
  for (std::size_t k = 0; k < cells_.size(); ++k) {
    const int day = cells_[k].day;
    if (day < 1 || day > 31 || !(days >> day & 1u)) continue;
    std::vector<std::uint32_t>& ids = cellEvents_[k];
    ids.insert(std::lower_bound(ids.begin(), ids.end(), at), at);
    CellMark mark = MarkCell(events, ids, cells_[k].look == CellLook::Today);
    cells_[k].dayMark = mark.dayMark;
    cells_[k].hint = std::move(mark.hint);
    changed = true;
  }
  return changed;
}

void MonthView::Select(int k) {
  for (int j = 1; j <= kDayCellCount; ++j) {
    MonthCell& cell = cells_[static_cast<std::size_t>(j - 1)];
    if (cell.look == CellLook::Today) continue;
    cell.look = j == k ? CellLook::Selected : CellLook::Normal;
  }
}

}  // namespace redoviri
