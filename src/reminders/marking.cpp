#include "reminders/marking.h"

namespace redoviri {

namespace {

// Marks a cell on which the event falls.
void AddMatch(const EventList::Entry& event, bool isToday, CellMark& mark) {
  const std::optional<EventCategory> category = CategoryFromCode(event.parsed.category);
  if (!category) return;
  mark.hint += InfoOf(*category).hintLabel;
  mark.hint += ReadHintName(event.line);
  mark.hint += ',';
  ++mark.matchCount;
  if (mark.matchCount >= 2) {
    mark.dayMark = isToday ? kSeveralTodayMark : kSeveralMark;
  } else {
    mark.dayMark = CodeOf(*category) + (isToday ? kTodayMarkOffset : 0);
  }
}

}  // namespace

std::array<CellMark, kDayCellCount> MarkMonth(const EventList& events, const MonthMarkInput& month,
                                              CellEvents* cellEvents) {
  std::array<CellMark, kDayCellCount> marks{};
  if (cellEvents)
    for (std::vector<std::uint32_t>& cell : *cellEvents) cell.clear();
  std::uint32_t index = 0;
  // Each cell sees the events in store order whichever loop is outside;
  // events outside walk the store once and ask once per event for its days.
  for (const EventList::Entry& event : events.Entries()) {
    const std::uint32_t at = index++;
    const std::uint32_t days = FallDaysOfMonth(event.parsed, month.year, month.month);
    if (days == 0) continue;
    for (std::size_t k = 0; k < marks.size(); ++k) {
      const int day = month.cells[k].day;
      if (day < 1 || day > 31 || !(days >> day & 1u)) continue;
      AddMatch(event, month.cells[k].isToday, marks[k]);
      if (cellEvents) (*cellEvents)[k].push_back(at);
    }
  }
  return marks;
}

CellMark MarkCell(const EventList& events, const std::vector<std::uint32_t>& indices, bool isToday) {
  CellMark mark;
  for (const std::uint32_t i : indices) AddMatch(events.EntryAt(static_cast<int>(i)), isToday, mark);
  return mark;
}

}  // namespace redoviri
