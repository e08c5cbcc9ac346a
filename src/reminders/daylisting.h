// The events of a selected day: one grid row per event in store order, and
// how many events of each category fall on the day.
#pragma once

#include "base/datetime.h"
#include "events/dayrows.h"
#include "events/eventlist.h"
#include "reminders/matching.h"

namespace redoviri {

// The events falling on `day`. A day that is not a calendar date (no day
// selected yet) lists nothing.
DayListing ListDay(const EventList& events, const CivilDate& day, bool monthFirst);

}  // namespace redoviri
