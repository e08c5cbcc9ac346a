#include "reminders/daylisting.h"

namespace redoviri {

DayListing ListDay(const EventList& events, const CivilDate& day, bool monthFirst) {
  DayListing listing;
  const std::optional<MatchDay> matchDay = MakeMatchDay(day.year, day.month, day.day);
  if (!matchDay) return listing;
  for (const EventList::Entry& event : events.Entries()) {
    if (!FallsOn(event.parsed, *matchDay)) continue;
    listing.rows.push_back(MakeDayRow(event.line, monthFirst));
    listing.lines.emplace_back(event.line);
    CountCategory(listing.counts, event.parsed.category);
  }
  return listing;
}

}  // namespace redoviri
