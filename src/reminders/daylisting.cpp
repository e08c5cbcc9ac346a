#include "reminders/daylisting.h"

namespace redoviri {

DayRow MakeDayRow(std::string_view line, bool monthFirst) {
  const std::string month = ReadField(line, kMonthField);
  const std::string day = ReadField(line, kDayField);
  const std::string year = ReadField(line, kYearField);
  const std::optional<EventCategory> category = CategoryFromCode(ReadCategoryCode(line));

  DayRow row;
  row[kNameColumn] = ReadName(line);
  row[kDateColumn] = monthFirst ? month + "/" + day + "/" + year : day + "/" + month + "/" + year;
  row[kTimeColumn] = ReadField(line, kTimeField);
  row[kCategoryColumn] = category ? std::string(InfoOf(*category).word) : std::string();
  row[kCommentColumn] = ReadComment(line);
  row[kEachYearColumn] = ReadField(line, kEachYearField);
  row[kEachMonthColumn] = ReadField(line, kEachMonthField);
  row[kOnlyOnceColumn] = ReadField(line, kOnlyOnceField);
  row[kEachNDaysColumn] = ReadField(line, kEachNDaysField);
  row[kDayCountColumn] = ReadField(line, kDayCountField);
  return row;
}

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
