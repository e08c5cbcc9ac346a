// The notices at each event's time of day: when one falls due (the
// scheduler), and what the notice window lists (the board).
//
// An event is due at its stored time ("hh:nn") on each day it falls on, by
// the rule of today's count in the tray: FallsOn, categories 1..6 only.
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
#include <utility>
#include <vector>

#include "base/clock.h"
#include "base/datetime.h"

namespace redoviri {

class EventList;

// The minute of the day (0..1439) a stored time "hh:nn" names: two parts
// around a colon, each one or two digits with blanks around them ("9:30",
// " 9:30", "09:5 "), hours 0..23, minutes 0..59. None for anything else:
// the "  :  " of an all-day event, "9.30", "25:00", a blank part.
std::optional<int> AlertMinute(std::string_view time);

// A due time passed by more than this when the program looks is late.
inline constexpr std::int64_t kLateAfterSeconds = 120;
// A look covers at most the last day: after a longer sleep only the last
// 24 hours' notices come, late.
inline constexpr std::int64_t kLookBackSeconds = 86400;

struct Notice {
  std::string line;  // the event's stored line: who it is
  CivilDate day;     // the day it is due on
  int minute = 0;    // its time, minutes of the day
  bool late = false;     // shown more than 2 minutes after its time
  bool snoozed = false;  // back from a snooze
  friend bool operator==(const Notice&, const Notice&) = default;
};

class NoticeScheduler {
 public:
  // What fell due since the last look, in time order (day, time, then the
  // store's order); snoozes that ran out come first among their time.
  //
  // The first look only starts the watch: times up to it do not alert.
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
  void Start(const ClockReading& start) { last_ = start; }

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
  std::set<std::pair<std::string, std::int32_t>> shown_;  // line, day number
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
// What a screen reader says of a notice: its time and name, then its
// comment and "late" where it has them ("09:30 Dentist, bring the card,
// late").
std::string NoticeSpokenText(const Notice& notice);
// The balloon's text: the first notice's time and name ("09:30 Dentist"),
// and on a line of its own "+N more" when there are more.
std::string BalloonText(const std::vector<Notice>& notices);

}  // namespace redoviri
