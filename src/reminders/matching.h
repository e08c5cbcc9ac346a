// The rule by which an event falls on a calendar day. The marking of the
// month grid, the listing of a selected day and today's reminders all ask
// this one function.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "base/datetime.h"
#include "events/eventrecord.h"

namespace redoviri {

// A calendar day an event is tested against.
struct MatchDay {
  CivilDate date;
  std::int32_t dayNumber = 0;  // days since 1899-12-30
};

// The day of year/month/day; nullopt when that is not a calendar date (an
// empty cell, a day 31 of a 30-day month).
std::optional<MatchDay> MakeMatchDay(int year, int month, int day);

// Whether the event falls on the day. The rules are tried in this order and
// the first that holds is the match, so an event counts once per day:
//   each year:    same month and day, on or after the first date;
//   each month:   same day of the month, on or after the first date;
//   only once:    the first date itself;
//   each N days:  on or after the first date, a multiple of N days after it
//                 (N = 0: the first date only).
// A line whose first date is not a calendar date never falls on any day.
bool FallsOn(const ParsedEvent& event, const MatchDay& day);

// The days of a month on which the event falls, by the rule above: bit d
// set for day d. Quicker than asking for each day, because only the N-days
// rule can fall on a day other than the event's own day of the month.
std::uint32_t FallDaysOfMonth(const ParsedEvent& event, int year, int month);

}  // namespace redoviri
