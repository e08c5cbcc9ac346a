// The days the month grid marks for each event of an event file, for the
// iCalendar comparison: every day of 1995..2035, and days 28..31 of every
// month of 1900..2100. One line per event in store order: the first four
// characters of its name, a tab, and the days as YYYYMMDD separated by
// commas.
#include <cstdio>
#include <string>

#include "events/eventfile.h"
#include "events/eventlist.h"
#include "reminders/matching.h"

int main(int argc, char** argv) {
  using namespace redoviri;
  if (argc != 2) {
    std::fprintf(stderr, "usage: ics_fall_days EVENTFILE\n");
    return 2;
  }
  const auto fs = MakeSystemFileSystem();
  EventList list(EventFile(argv[1], *fs));
  if (const StoreResult r = list.LoadEvents(); !r.ok()) {
    std::fprintf(stderr, "%s\n", r.error.c_str());
    return 3;
  }
  for (const EventList::Entry& e : list.Entries()) {
    std::string out = ReadField(e.line, kNameField).substr(0, 4) + '\t';
    bool first = true;
    for (int year = 1900; year <= 2100; ++year) {
      const bool everyDay = year >= 1995 && year <= 2035;
      for (int month = 1; month <= 12; ++month) {
        const std::uint32_t days = FallDaysOfMonth(e.parsed, year, month);
        for (int day = everyDay ? 1 : 28; day <= 31; ++day) {
          if (!(days >> day & 1u)) continue;
          char text[16];
          std::snprintf(text, sizeof text, "%s%04d%02d%02d", first ? "" : ",", year, month, day);
          out += text;
          first = false;
        }
      }
    }
    std::puts(out.c_str());
  }
  return 0;
}
