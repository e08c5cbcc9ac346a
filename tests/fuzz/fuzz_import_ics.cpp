// Importing an iCalendar file of any bytes: cut-off values, unclosed
// quotes, stray BEGIN and END lines, folds inside characters, NUL and
// control characters. Every VEVENT must be taken as one event line, joined
// to another, or refused with a reason; a line taken is a whole event line
// (110 characters and a rule the tail reads back, no control character) of
// a real first date that falls on some day, and the store adds it.
#include <cstdint>
#include <string>
#include <vector>

#include "events/eventlist.h"
#include "events/fake_filesystem.h"
#include "events/ical.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace redoviri;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const IcsImport ics = ImportIcs(bytes, EventCategory::kOther);
  if (!ics.error.empty()) {
    REDOVIRI_FUZZ_CHECK(ics.events.empty());
    return 0;
  }
  std::vector<std::string> lines;
  for (const IcsImported& e : ics.events) {
    const int outcomes = !e.line.empty() + !e.refusal.empty() + (e.joined != 0);
    REDOVIRI_FUZZ_CHECK(outcomes == 1);
    // A cancelled day of a series may come before the series it joins.
    REDOVIRI_FUZZ_CHECK(e.joined != e.vevent);
    if (e.line.empty()) continue;
    REDOVIRI_FUZZ_CHECK(e.line.size() >= static_cast<std::size_t>(kEventLineLength));
    REDOVIRI_FUZZ_CHECK(ReadRuleTail(e.line).ok());
    for (char c : e.line) REDOVIRI_FUZZ_CHECK(!IsControlCharacter(c));
    REDOVIRI_FUZZ_CHECK(ReadFirstDate(e.line).has_value());
    const ParsedEvent parsed = ParseEventLine(e.line);
    REDOVIRI_FUZZ_CHECK(parsed.readable);
    const RecurrenceKind& r = parsed.recurrence;
    REDOVIRI_FUZZ_CHECK(r.eachYear || r.eachMonth || r.onlyOnce || r.eachNDays);
    REDOVIRI_FUZZ_CHECK(!r.onlyOnce || !(r.eachYear || r.eachMonth || r.eachNDays));
    lines.push_back(e.line);
  }
  testing::FakeFileSystem fs;
  EventList list{EventFile{"Redoviri.ini", fs}};
  REDOVIRI_FUZZ_CHECK(list.LoadEvents().ok());
  std::vector<bool> added;
  const StoreResult r = list.AppendEvents(lines, added);
  REDOVIRI_FUZZ_CHECK(r.ok());
  return 0;
}
