// The notices at each event's time of day and its reminders ahead: when one
// falls due (the scheduler), and what the notice window lists (the board).
//
// An event is due at its stored time ("hh:nn") on each day it falls on, by
// the rule of today's count in the tray: FallsOn, categories 1..6 only. A
// day event (no time, "  :  ", or "00:00") is due at 09:00 of its day. Each
// reminder of the line's tail is due that many minutes before.
// The program looks at the clock now and then (a timer, a wake-up, a clock
// change); each look returns what fell due since the look before:
//
//   NoticeScheduler scheduler;
//   scheduler.Look(store, clock.Read());        // at start: nothing past alerts
//   ...
//   for (Notice& n : scheduler.Look(store, clock.Read())) board.Add(n);
//   scheduler.Snooze(board.Take(0), 10, clock.Read());   // back in 10 minutes
//
// What was shown and the snoozes live in memory only. An event is known by
// its stored line, so a reload that keeps a line keeps its state, and an
// edited line is a new event.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "base/clock.h"
#include "events/eventrecord.h"
#include "base/datetime.h"

namespace redoviri {

class EventList;

// A due time passed by more than this when the program looks is late.
inline constexpr std::int64_t kLateAfterSeconds = 120;
// A look covers at most the last day: after a longer sleep only the last
// 24 hours' notices come, late.
inline constexpr std::int64_t kLookBackSeconds = 86400;
struct Notice {
  std::string line;  // the event's stored line: who it is
  CivilDate day;     // the day of the event
  int minute = 0;    // its time, minutes of the day (kDayEventMinute for a day event)
  bool late = false;     // shown more than 2 minutes after its time
  bool snoozed = false;  // back from a snooze
  int before = 0;        // a reminder: minutes ahead of the event; 0: the event's own notice
  bool dayEvent = false;  // the event has no time of its own
  // A day item comes at the first look of its day from 09:00 on, also at a
  // start later that day: a day event's notice, or its reminder of whole days.
  bool DayItem() const { return dayEvent && before % 1440 == 0; }
  friend bool operator==(const Notice&, const Notice&) = default;
};

// Whether two notices are the same line of the board: event, day and
// reminder.
bool SameNotice(const Notice& a, const Notice& b);
// When the notice is due: minutes since 1970 of the local clock.
std::int64_t DueMinute(const Notice& notice);

// Each notice and reminder the events make due in (from, to] of the local
// clock (seconds since 1970), in time order (then the store's order);
// `dayItemsFrom`, when given, lets day items due in (dayItemsFrom, to] come
// too. The matching of the calendar, without the scheduler's memory.
struct DueItem {
  Notice notice;
  std::int64_t due = 0;  // local seconds since 1970
  std::size_t storeIndex = 0;
};
std::vector<DueItem> DueBetween(const EventList& events, std::int64_t from, std::int64_t to,
                                std::optional<std::int64_t> dayItemsFrom = std::nullopt);

class NoticeScheduler {
 public:
  // What fell due since the last look, in time order (day, time, then the
  // store's order); snoozes that ran out come first among their time.
  //
  // The first look only starts the watch: times up to it do not alert,
  // except today's day items (a day event's notice and whole-day reminders)
  // due since 00:00, which come at the first look of the day from 09:00.
  // A due time in (last look, now] of the local clock alerts once per
  // event and day, never again in this run. It is late when both its time
  // and the last look lie more than 2 minutes back (sleep, a clock set
  // forward, a long block); a time the clock jumped over by daylight saving
  // comes at once and in time. When the local clock goes back, what was
  // shown stays shown: the times it passes again alert only the events not
  // shown yet (one added meanwhile).
  std::vector<Notice> Look(const EventList& events, const ClockReading& now);
  // The watch starts at `start` (the program's start): the first look
  // alerts what fell due since, however long the start took.
  void Start(const ClockReading& start) {
    last_ = start;
    firstLook_ = true;
  }

  // The notice comes back `minutes` after `now` (universal time), as a
  // fresh notice, unless its event is gone by then.
  void Snooze(const Notice& notice, int minutes, const ClockReading& now);

  // What it keeps, for the memory checks: the events and days shown (only
  // those of the last days are kept), and the snoozes.
  std::size_t ShownCount() const { return shown_.size(); }
  std::size_t SnoozeCount() const { return snoozes_.size(); }

 private:
  struct Snoozed {
    Notice notice;
    std::int64_t backAtUtc = 0;
  };
  std::optional<ClockReading> last_;
  bool firstLook_ = true;
  // What was shown: line, the event's day number, minutes ahead; with the
  // day it was due, for forgetting.
  struct Shown {
    std::string line;
    std::int32_t day = 0;
    int before = 0;
    std::int32_t dueDay = 0;
    auto operator<=>(const Shown& o) const { return std::tie(line, day, before) <=> std::tie(o.line, o.day, o.before); }
    bool operator==(const Shown& o) const { return std::tie(line, day, before) == std::tie(o.line, o.day, o.before); }
  };
  std::set<Shown> shown_;
  std::vector<Snoozed> snoozes_;
};

// The notices the window lists: in time order, each once.
inline constexpr std::size_t kNoticeRowsShown = 50;

class NoticeBoard {
 public:
  // Adds each notice at its place in time order (after those of the same
  // time); one already listed (the same line and day) is replaced.
  void Add(std::vector<Notice> notices);
  // Takes notice i off the board (Dismiss, or Snooze with the scheduler).
  Notice Take(std::size_t i);
  void Clear() { notices_.clear(); }

  const std::vector<Notice>& Notices() const { return notices_; }
  bool Empty() const { return notices_.empty(); }
  // The rows the window shows: the first kNoticeRowsShown.
  std::size_t RowsShown() const;
  // "… N more" for the notices past the rows shown; "" when none.
  std::string MoreText() const;

 private:
  std::vector<Notice> notices_;
};

// "09:30" of a minute of the day.
std::string MinuteText(int minute);
// How far away the event is, for a reminder: "in 15 min (10:30)",
// "tomorrow", "in 7 days (Tuesday, March 9)", "tomorrow (10:30)"; "today"
// for a day event's own notice; empty for a timed event's own.
std::string AheadText(const Notice& notice);
// The notice's first column: the event's time, empty for a day event.
std::string NoticeTimeText(const Notice& notice);
// What a screen reader says of a notice: its time and name, then its
// comment and "late" where it has them ("09:30 Dentist, bring the card,
// late").
std::string NoticeSpokenText(const Notice& notice);
// The balloon's text: the first notice's time and name ("09:30 Dentist"),
// and on a line of its own "+N more" when there are more.
std::string BalloonText(const std::vector<Notice>& notices);

}  // namespace redoviri
