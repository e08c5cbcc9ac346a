// iCalendar (RFC 5545) files of the events: writing the event lines as
// VEVENTs and reading back the VEVENTs the event lines can hold exactly.
//
// Writing: one VEVENT per repetition rule of an event, so that the days of
// the rules together are the days the program marks. A rule after column
// 110 is one VEVENT from the rule's first day: chosen weekdays every N
// weeks as FREQ=WEEKLY;BYDAY;WKST=MO, the nth or last weekday as BYDAY=2TU,
// the last day as BYMONTHDAY=-1, the first or last workday as
// BYDAY=MO,TU,WE,TH,FR;BYSETPOS=1 (-1), monthly or yearly (BYMONTH) with
// INTERVAL. The four flags: each year as FREQ=YEARLY on the first date's
// month and day (29 February: leap years only, as both count it), each
// month as FREQ=MONTHLY;BYMONTHDAY=d (months without day d skipped, as both
// count it), every N days as FREQ=DAILY;INTERVAL=N, and the first date alone
// (only once, or every 0 days) without a rule, left out when another rule
// of the event covers the first date already. An end is UNTIL and each
// skipped day the rule falls on an EXDATE, of DTSTART's kind (a date, or a
// local date-time at the event's time). The UID is a hash of the event line,
// the kind of rule and, for a line stored more than once, its number: the
// same on every run. Each reminder is a VALARM (ACTION:DISPLAY, the name as
// DESCRIPTION) whose TRIGGER, relative to DTSTART, falls at its moment: a
// day event's DTSTART is 00:00 and its notice 09:00, so its reminder of one
// day is TRIGGER:-PT15H. The event's own notice is no alarm.
//
// Reading: dates and times are taken as written, whatever their TZID or a
// final "Z" say: the event file holds local dates without a zone, and a day
// is what the program marks. A rule is taken only where every calendar
// marks the same days by it; COUNT becomes the end, EXDATE skipped days,
// each RDATE and each changed occurrence (RECURRENCE-ID) an event of its
// own, the occurrence it changes a skipped day. A DISPLAY, AUDIO or EMAIL
// alarm becomes a reminder, its TRIGGER counted as written (RELATED=END from
// DTEND or DURATION, an absolute one from DTSTART); an alarm at the event's
// notice is the notice, and an alarm the line cannot hold (after the
// notice, more than 4 weeks ahead, beyond 20, another action, a trigger not
// understood) is dropped with a note, as are an alarm's repetitions.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/datetime.h"
#include "events/eventrecord.h"

namespace redoviri {

// A content line ended by CR LF, folded so that no line is longer than 75
// octets; a fold never splits a UTF-8 sequence.
std::string FoldIcsLine(std::string_view line);
// TEXT value: "\", ";" and "," escaped, a line break as "\n".
std::string EscapeIcsText(std::string_view text);
// The escapes of a TEXT value undone.
std::string UnescapeIcsText(std::string_view text);
// 16 hex digits from the event line (padded to 110 characters).
std::string IcsLineHash(std::string_view line);

struct IcsLeftOut {
  std::string line;
  std::string reason;
};

struct IcsExport {
  std::string text;                 // the whole file
  std::vector<IcsLeftOut> leftOut;  // events not written, in the order given
};

// The calendar of the event lines; `stamp` (UTC) goes into every DTSTAMP.
IcsExport ExportIcs(std::span<const std::string_view> lines, const CivilDate& stampDate, const CivilTime& stampTime);

// One VEVENT read, or one more event of it (an RDATE's, with the same
// number).
struct IcsImported {
  int vevent = 0;           // its number in the file, from 1
  std::string uid;          // as written
  std::string summary;      // UTF-8, as written
  std::string line;         // the event line; empty when refused or joined
  std::string refusal;      // why it was not taken; empty when taken
  std::vector<std::string> notes;  // what was cut or replaced
  // The VEVENT whose event this rule was joined to, or whose day this
  // cancelled occurrence skips.
  int joined = 0;
};

struct IcsImport {
  std::vector<IcsImported> events;
  std::string error;  // the file is not an iCalendar file
};

// The VEVENTs of an iCalendar file. A VEVENT written by ExportIcs for a
// rule of an event with several rules is joined to the first rule's event,
// so an exported file reads back as the same event lines.
IcsImport ImportIcs(std::string_view bytes, EventCategory fallback);

// The category a CATEGORIES word names: one of the six words or a clear
// synonym ("BIRTHDAY", "Work", "holiday" ...), letter case ignored.
std::optional<EventCategory> CategoryOfIcsWord(std::string_view word);

}  // namespace redoviri
