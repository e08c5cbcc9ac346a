// One event: its categories, its recurrence flags, and the fixed-column
// 110-character line that stores it in the event file.
//
// Line layout (positions counted from 1, ";" between the fields):
//   1-2 month  3-4 day  5-8 year  10-14 time  16 category
//   18 each year  20 each month  22 only once  24 each N days
//   26-28 day count (3 digits)  30-59 name  61-110 comment
// The date is always stored month first. Fields are read by position only,
// never by splitting on ";", because a name or comment may hold ";".
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/colours.h"
#include "base/datetime.h"
#include "base/text.h"
#include "events/eventrule.h"

namespace redoviri {

enum class EventCategory : int {
  kLovely = 1,
  kBirthday = 2,
  kWorkBusiness = 3,
  kReligionLegal = 4,
  kFeest = 5,
  kOther = 6,
};
inline constexpr int kCategoryCount = 6;

struct CategoryInfo {
  EventCategory category;
  std::string_view word;         // list window's type column: "lovely"
  Colour colour;                 // editor panel and legend colour
  std::string_view legendName;   // "Lovelyday"
  std::string_view hintLabel;    // day-cell hint: " lovely : "
  std::string_view tooltipWord;  // tray tooltip: " lovely. "
};

constexpr int CodeOf(EventCategory c) { return static_cast<int>(c); }
const CategoryInfo& InfoOf(EventCategory c);
// The category of a code 1..6; nullopt for any other code.
std::optional<EventCategory> CategoryFromCode(int code);

// Events per category; index c - 1 for category c.
using CategoryCounts = std::array<int, kCategoryCount>;

// Adds one to the count of a category code 1..6; false (and nothing
// counted) for any other code.
bool CountCategory(CategoryCounts& counts, int code);

// The category whose word equals `word` once its blanks are trimmed.
std::optional<EventCategory> CategoryFromWord(std::string_view word);

// The four independent recurrence flags; the file admits any combination.
struct RecurrenceKind {
  bool eachYear = false;
  bool eachMonth = false;
  bool onlyOnce = false;
  bool eachNDays = false;
  friend bool operator==(const RecurrenceKind&, const RecurrenceKind&) = default;
};

// An event as the editor's fields hold it: texts as typed.
struct EventRecord {
  std::string month{};  // "01".."12"
  std::string day{};    // "01".."31"
  std::string year{};   // four digits
  std::string time{};   // "hh:nn", or "  :  " for none (see IsEventTime)
  EventCategory category = EventCategory::kOther;
  RecurrenceKind recurrence{};
  std::string dayCount = "0";  // text of the day-count field, e.g. "0  " or "5"
  std::string name{};
  std::string comment{};
  // A rule beyond the four flags, an end or skipped days, kept after
  // column 110. With a repeating rule the flags are written as its nearest
  // old rule and the first date moves to the rule's first day on or after
  // it.
  RepeatRule rule{};
};

// The record's month, day and year fields of a date, as the editor's
// fields hold them ("03", "09", "2027").
void SetRecordDate(EventRecord& record, const CivilDate& date);

inline constexpr int kEventLineLength = 110;

// A field of the event line: first position (from 1) and length.
struct LineField {
  int position;
  int length;
};
inline constexpr LineField kMonthField{1, 2};
inline constexpr LineField kDayField{3, 2};
inline constexpr LineField kYearField{5, 4};
inline constexpr LineField kTimeField{10, 5};
inline constexpr LineField kCategoryField{16, 1};
inline constexpr LineField kEachYearField{18, 1};
inline constexpr LineField kEachMonthField{20, 1};
inline constexpr LineField kOnlyOnceField{22, 1};
inline constexpr LineField kEachNDaysField{24, 1};
inline constexpr LineField kDayCountField{26, 3};
// The longest repetition "every N days" a line holds.
inline constexpr int kMaxDayCount = 999;
inline constexpr LineField kNameField{30, 30};
inline constexpr LineField kCommentField{61, 50};
inline constexpr LineField kHintNameField{30, 25};  // the part of the name a day-cell hint shows

// A byte below 0x20, or DEL: no field of an event line holds one.
inline bool IsControlCharacter(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }

// "'%s' is not a valid integer value" with the given text in place of %s.
std::string NotAnIntegerMessage(std::string_view text);
// "'%s' is not a valid date", and the same of a date with its time.
std::string NotADateMessage(std::string_view text);
std::string NotADateTimeMessage(std::string_view text);
// "'%s' is not a valid time".
std::string NotATimeMessage(std::string_view text);

// A time an event is saved with: "hh:nn" from 00:00 to 23:59, two digits
// on each side of the colon. " 9:30" and the half-typed "1 :3 " are none.
bool IsEventTime(std::string_view text);
// No time at all: blanks around the colon, as the editor's cleared field
// "  :  " gives it, or blanks alone.
bool IsNoTime(std::string_view text);

// A rule whose end comes before its first day.
inline constexpr std::string_view kRuleOnNoDay = "The event would fall on no day: its end is before its first day";

struct BuiltLine {
  std::string line;   // 110 characters when ok()
  std::string error;  // message for the user otherwise
  bool ok() const { return error.empty(); }
};

// The event line of a record. Fails on a day count that is not an integer
// from 0 to 999, and on a rule that cannot be kept or falls on no day.
BuiltLine BuildEventLine(const EventRecord& typed);

// Field readers. Characters past the end of a short line read as blanks.
std::string ReadField(std::string_view line, LineField field);
// Flag set only when its character is exactly 'Y'.
RecurrenceKind ReadRecurrence(std::string_view line);
// Category digit as an integer; 0 when the character is not a digit.
int ReadCategoryCode(std::string_view line);
std::optional<int> ReadDayCount(std::string_view line);
// The stored first date when it is a calendar date.
std::optional<CivilDate> ReadFirstDate(std::string_view line);
// Name, comment and hint name with their blanks trimmed (the hint name a
// part of `line`).
std::string ReadName(std::string_view line);
std::string ReadComment(std::string_view line);
std::string_view ReadHintName(std::string_view line);

// The event a line stands for, to compare lines by: a line shorter than 110
// columns padded with blanks (an editor stripped them), one longer kept
// whole but for blanks after column 110. Two lines are the same event only
// when their keys are equal, tails included.
std::string EventKey(std::string_view line);
bool SameEventLine(std::string_view a, std::string_view b);

// What becomes of a repeating event when one of its days is changed or
// deleted.
enum class SeriesScope {
  kOnlyThatDay,  // the series skips the day; a change is a single event on it
  kThatDayOn,    // the series ends the day before; a change starts a new one
  kEveryDay,     // the line itself
};
struct SeriesEdit {
  std::vector<std::string> lines;  // what takes the stored line's place
  std::string error;               // for the user; nothing is written
  bool ok() const { return error.empty(); }
};
// The lines in place of `stored` when its `day` is changed to `changed`
// (the editor's fields; none for a delete) for `scope`. A changed date
// field moves the day; left as it was, the change falls on `day`.
SeriesEdit EditSeries(std::string_view stored, const CivilDate& day, SeriesScope scope,
                      const EventRecord* changed);
// Whether the line falls on more than its first date: a series.
bool IsSeries(std::string_view line);

// What matching needs of a line, read once when the line enters the store.
struct ParsedEvent {
  std::int32_t firstDayNumber = 0;  // days since 1899-12-30 of the first date
  std::int16_t year = 0;            // of the first date
  std::uint8_t month = 0;
  std::uint8_t day = 0;
  std::int16_t dayCount = 0;
  std::int8_t category = 0;  // category digit; 0 when not a digit
  RecurrenceKind recurrence;
  // The rule after column 110; null when the line has no tail or one that
  // cannot be read (such a line falls on the days of its 110 columns). Only
  // lines with a tail pay for it.
  std::shared_ptr<const RuleCode> rule;
  // False when the first date is not a calendar date or the day count is
  // not an integer (blanks past the end of a short line are not): such a
  // line never falls on any day, though it stays in the store to be listed
  // and deleted.
  bool readable = false;
};
ParsedEvent ParseEventLine(std::string_view line);

// The whole rule of a line: the flags and day count of its 110 columns and
// the rule of its tail (empty when the tail cannot be read).
struct LineRule {
  RecurrenceKind recurrence;
  int dayCount = 0;
  RepeatRule rule;
  std::optional<CivilDate> first;
};
LineRule ReadLineRule(std::string_view line);
// "the second Tuesday of each month, until 30 June 2027", "each year on
// 14 February", "every 5 days", "once"; empty for a line without a first
// date.
std::string DescribeLineRule(std::string_view line);

// The minute of the day (0..1439) a stored time "hh:nn" names: two parts
// around a colon, each one or two digits with blanks around them ("9:30",
// " 9:30", "09:5 "), hours 0..23, minutes 0..59. None for anything else:
// the "  :  " of an all-day event, "9.30", "25:00", a blank part.
std::optional<int> AlertMinute(std::string_view time);

// A day event alerts at this minute of its day.
inline constexpr int kDayEventMinute = 9 * 60;

// Whether a stored time makes a day event: blanks around the colon, or
// "00:00" (the editor's first time).
bool IsDayEventTime(std::string_view time);

// The minute of the day a stored time gives its notice at: its own, 09:00
// for a day event; none for a time that gives no notice ("9.30").
std::optional<int> NoticeMinute(std::string_view time);

}  // namespace redoviri
