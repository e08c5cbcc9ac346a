// The month view: the 37 day cells of the shown month as the main window
// shows them and the tool prints them. The fill lays out the month (day
// numbers, today's cell, moon marks), the marking pass gives each cell its
// event picture and hint, a click selects a cell.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "astro/moonmarks.h"
#include "base/colours.h"
#include "base/datetime.h"
#include "base/monthgrid.h"
#include "reminders/marking.h"

namespace redoviri {

class EventList;

// How a cell looks: today's colour wins over the selection's.
enum class CellLook { Normal, Today, Selected };

Colour CellColour(CellLook look);
// The day number's colour: red on today's cell.
Colour CellTextColour(CellLook look);

struct MonthCell {
  std::string text;  // the day number without leading zero, or empty
  int day = 0;       // 0: the cell holds no day
  CellLook look = CellLook::Normal;
  astro::MoonMark moon = astro::MoonMark::None;
  int dayMark = kNoEventMark;  // the event picture
  std::string hint;            // the day number's hint: the events' labels and names
};

class MonthView {
 public:
  // Lays out year/month with `today`. Outside today's month no cell keeps
  // a look; in it, today's cell has today's look and a selected cell stays
  // selected. The event marks stay as they were until the next Mark.
  // Throws std::invalid_argument for a month outside years 1..9999.
  void Fill(int year, int month, const CivilDate& today);
  // The marking pass over the filled cells: each event of the store in its
  // order, on each cell it falls on. Without a store every cell is empty.
  void Mark(const EventList* events);
  // An event added to the store at `index` (the rest of the store as when
  // last marked): the cells it falls on are marked again, as the whole
  // pass would mark them. False when no cell changed.
  bool MarkAdded(const EventList& events, std::size_t index);
  // Cell k (1..37) is selected: the others lose the selected look; today's
  // cell keeps its own look.
  void Select(int k);

  int Year() const { return year_; }
  int Month() const { return month_; }
  // Cell k, 1..37.
  const MonthCell& Cell(int k) const { return cells_.at(static_cast<std::size_t>(k - 1)); }
  // Today's cell, when the view shows today's month.
  std::optional<int> TodayCell() const { return todayCell_; }

 private:
  int year_ = 0, month_ = 0;
  std::optional<int> todayCell_;
  std::array<MonthCell, kDayCellCount> cells_{};
  CellEvents cellEvents_;  // the store index of each cell's events, from the last pass
  int markedYear_ = 0, markedMonth_ = 0;  // the month of that pass
  astro::MoonMarkCache moonMarks_;
};

}  // namespace redoviri
