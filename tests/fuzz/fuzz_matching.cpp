// The matching rule, the marking pass, the day listing and today's count
// over any lines and dates. They must agree with one another: a cell is
// marked by the events that fall on its day, the listing holds those
// events, today's count counts them.
#include <bit>
#include <cstdint>

#include "events/eventlist.h"
#include "events/fake_filesystem.h"
#include "fuzz/fuzz_input.h"
#include "reminders/daylisting.h"
#include "reminders/marking.h"
#include "reminders/matching.h"
#include "reminders/todayreminder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace redoviri;
  fuzz::Input in(data, size);
  const int year = in.Number(1, 9999);
  const int month = in.Number(1, 12);
  const int today = in.Number(0, 31);  // 0: today is not in this month
  const int firstCell = in.Number(0, 6);

  testing::FakeFileSystem fs;
  fs.files["Redoviri.ini"] = "reserved\n" + std::string(in.Rest());
  EventList list{EventFile{"Redoviri.ini", fs}};
  // Bytes that read as UTF-16 text (a NUL after each letter of a line) are
  // refused as such; anything else loads.
  const StoreResult loaded = list.LoadEvents();
  REDOVIRI_FUZZ_CHECK(loaded.ok() || loaded.error == EventList::kUtf16File);
  if (!loaded.ok()) return 0;

  MonthMarkInput grid{year, month, {}};
  const int days = DaysInMonth(year, month);
  for (int d = 1; d <= days; ++d) grid.cells[static_cast<std::size_t>(firstCell + d - 1)] = {d, d == today};
  const auto marks = MarkMonth(list, grid);

  for (int d = 1; d <= days; ++d) {
    const std::optional<MatchDay> day = MakeMatchDay(year, month, d);
    REDOVIRI_FUZZ_CHECK(day.has_value());
    int falling = 0;
    CategoryCounts counted{};
    for (const EventList::Entry& e : list.Entries()) {
      const bool falls = FallsOn(e.parsed, *day);
      REDOVIRI_FUZZ_CHECK(falls == (((FallDaysOfMonth(e.parsed, year, month) >> d) & 1u) != 0));
      if (falls) {
        ++falling;
        CountCategory(counted, e.parsed.category);
      }
    }
    const CellMark& mark = marks[static_cast<std::size_t>(firstCell + d - 1)];
    const int inCategory = counted[0] + counted[1] + counted[2] + counted[3] + counted[4] + counted[5];
    REDOVIRI_FUZZ_CHECK((mark.dayMark == 0) == (inCategory == 0));
    REDOVIRI_FUZZ_CHECK((mark.dayMark == kSeveralTodayMark || mark.dayMark == kSeveralMark) == (inCategory >= 2));

    const DayListing listing = ListDay(list, {year, month, d}, d % 2 == 0);
    REDOVIRI_FUZZ_CHECK(static_cast<int>(listing.rows.size()) == falling);
    REDOVIRI_FUZZ_CHECK(listing.counts == counted);
    if (d == today) {
      const TodayCounts counts = CountToday(list, {year, month, d});
      REDOVIRI_FUZZ_CHECK(counts.perCategory == counted);
      REDOVIRI_FUZZ_CHECK(TodayTooltip(counts).rfind("Today : ", 0) == 0 || counts.total == 0);
    }
  }
  return 0;
}
