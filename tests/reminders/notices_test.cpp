#include "reminders/notices.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <stdexcept>

#include "reminders/noticepresenter.h"
#include "support/event_store.h"

namespace redoviri {
namespace {

using testing::TestStore;

// An event line at a time of day; `flags` as EventLine takes them.
std::string Event(std::string_view name, std::string_view time, std::string_view mmddyyyy = "05102003",
                  std::string_view flags = "NNYN", std::string_view dayCount = "0",
                  EventCategory category = EventCategory::kOther, std::string_view comment = "") {
  return testing::AtTime(testing::EventLine(mmddyyyy, category, flags, name, dayCount, comment), time);
}

// The line with reminders (minutes ahead) or other items after column 110.
std::string Tail(std::string line, std::string_view items) { return line.append(110 - line.size(), ' ').append(items); }

// An event every day from 1 May 2003.
std::string Daily(std::string_view name, std::string_view time) { return Event(name, time, "05012003", "NNNY", "1"); }

// A local time in May 2003.
LocalDateTime May(int day, int hour, int minute, int second = 0) { return {{2003, 5, day}, {hour, minute, second}}; }

LocalDateTime LocalAt(std::int64_t seconds) {
  const std::int64_t days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
  const auto rest = static_cast<int>(seconds - days * 86400);
  return {DateOfDayNumber(static_cast<std::int32_t>(*DayNumber(1970, 1, 1) + days)),
          {rest / 3600, rest / 60 % 60, rest % 60}};
}

// "name dd.mm hh:nn", and whether it is late or back from a snooze.
std::string Describe(const std::vector<Notice>& notices) {
  std::string text;
  for (const Notice& n : notices) {
    char when[32];
    std::snprintf(when, sizeof when, " %02d.%02d %02d:%02d", n.day.day, n.day.month, n.minute / 60, n.minute % 60);
    if (!text.empty()) text += ", ";
    text += ReadName(n.line) + when + (n.before ? " -" + std::to_string(n.before) : "") + (n.late ? " late" : "") +
            (n.snoozed ? " snoozed" : "");
  }
  return text;
}

// The scheduler and the clock it is shown.
struct Watch {
  NoticeScheduler scheduler;
  std::optional<ClockReading> now;

  // Looks at `local`; the universal clock moves by `utcStep`, or with the
  // local one when none is given.
  std::vector<Notice> LookAt(const EventList& events, const LocalDateTime& local,
                             std::optional<std::int64_t> utcStep = std::nullopt) {
    ClockReading reading = FixedClock::WithUtcOf(local);
    if (now) {
      reading.utcSeconds =
          now->utcSeconds + utcStep.value_or(SecondsSince1970(local) - SecondsSince1970(now->local));
    }
    now = reading;
    return scheduler.Look(events, reading);
  }
  // Looks every `tick` seconds up to and at `local`, both clocks running.
  std::vector<Notice> RunTo(const EventList& events, const LocalDateTime& local, int tick = 15) {
    std::vector<Notice> all;
    const std::int64_t end = SecondsSince1970(local);
    for (std::int64_t t = SecondsSince1970(now->local) + tick; t < end + tick; t += tick) {
      for (Notice& n : LookAt(events, LocalAt(std::min(t, end)))) all.push_back(std::move(n));
    }
    return all;
  }
};

TEST(AlertMinuteTest, ReadsHoursAndMinutesAroundTheColon) {
  const struct {
    std::string_view time;
    std::optional<int> minute;
  } cases[] = {
      {"10:00", 600},         {"00:00", 0},           {"23:59", 1439},        {" 9:30", 570},
      {"9:30", 570},          {"09:5 ", 545},         {" 9: 5", 545},         {"10:0", 600},
      {"  :  ", std::nullopt}, {"9.30", std::nullopt}, {"25:00", std::nullopt}, {"24:00", std::nullopt},
      {"12:60", std::nullopt}, {"ab:cd", std::nullopt}, {"1a:00", std::nullopt}, {"1 2:00", std::nullopt},
      {"123:0", std::nullopt}, {"-1:00", std::nullopt}, {"9:", std::nullopt},    {":30", std::nullopt},
      {"10:00:00", std::nullopt}, {"009:30", std::nullopt}, {"9:030", std::nullopt}, {"", std::nullopt},
      {"9", std::nullopt},     {"10:", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(AlertMinute(c.time), c.minute) << '"' << c.time << '"';
}

TEST(NoticeSchedulerTest, AlertsOnTheDaysTheEventFallsOn) {
  std::string seven = Event("x", "10:00");
  seven[15] = '7';
  std::string zero = seven;
  zero[15] = '0';
  const std::string leapDay = Event("x", "10:00", "02292000", "YNNN");
  const std::string the31st = Event("x", "10:00", "01312003", "NYNN");
  const std::string once = Event("x", "10:00");
  const std::string every5 = Event("x", "10:00", "05102003", "NNNY", "5");
  const struct {
    std::string line;
    CivilDate day;
    bool alerts;
  } cases[] = {
      {leapDay, {2000, 2, 29}, true},  {leapDay, {2004, 2, 29}, true},  {leapDay, {2400, 2, 29}, true},
      {leapDay, {2003, 2, 28}, false}, {leapDay, {2003, 3, 1}, false},  {leapDay, {2100, 2, 28}, false},
      {leapDay, {2100, 3, 1}, false},  {leapDay, {1996, 2, 29}, false}, {the31st, {2003, 1, 31}, true},
      {the31st, {2003, 3, 31}, true},  {the31st, {2003, 12, 31}, true}, {the31st, {2003, 4, 30}, false},
      {the31st, {2003, 5, 1}, false},  {the31st, {2003, 2, 28}, false}, {the31st, {2002, 12, 31}, false},
      {once, {2003, 5, 10}, true},     {once, {2004, 5, 10}, false},    {once, {2003, 5, 11}, false},
      {every5, {2003, 5, 10}, true},   {every5, {2003, 5, 15}, true},   {every5, {2003, 6, 9}, true},
      {every5, {2003, 5, 14}, false},  {every5, {2003, 5, 5}, false},   {seven, {2003, 5, 10}, false},
      {zero, {2003, 5, 10}, false},
      {Event("x", "  :  "), {2003, 5, 10}, false},
      {Event("x", "10:00", "05102003", "NNYN", "0", EventCategory::kLovely), {2003, 5, 10}, true},
  };
  for (const auto& c : cases) {
    TestStore store({c.line});
    Watch watch;
    watch.LookAt(store.list(), {c.day, {9, 59, 0}});
    const std::vector<Notice> notices = watch.LookAt(store.list(), {c.day, {10, 1, 0}});
    ASSERT_EQ(notices.size(), c.alerts ? 1u : 0u) << c.line << " on " << c.day.year << "-" << c.day.month << "-"
                                                  << c.day.day;
    if (c.alerts) {
      EXPECT_EQ(notices[0], (Notice{c.line, c.day, 600, false, false}));
    }
  }
}

// A look, or looks every `tick` seconds up to it, and what they bring.
struct Step {
  LocalDateTime local;
  std::string_view brings;
  int tick = 0;
  std::optional<std::int64_t> utcStep = std::nullopt;  // the universal clock's own move
  std::size_t store = 0;
};

struct Scenario {
  std::string_view what;
  std::vector<std::vector<std::string>> stores;
  std::vector<Step> steps;
};

TEST(NoticeSchedulerTest, LooksBringWhatFellDueSinceTheLastOne) {
  const std::vector<std::string> ab{Event("a", "10:00"), Event("b", "10:30")};
  const Scenario scenarios[] = {
      {"the first look starts the watch", {ab},
       {{May(10, 10, 0), ""}, {May(10, 10, 0, 15), ""}, {May(10, 10, 30), "b 10.05 10:30"}}},
      {"due exactly at a look, and then never again", {ab},
       {{May(10, 9, 59), ""}, {May(10, 10, 0), "a 10.05 10:00"}, {May(10, 10, 0), ""}, {May(10, 10, 0, 15), ""}}},
      {"just after its time", {ab}, {{May(10, 9, 59, 50), ""}, {May(10, 10, 0, 5), "a 10.05 10:00"}}},
      {"across midnight, in day order before the store's",
       {{Event("y", "00:01", "05112003"), Event("x", "23:59", "12012002", "NNNY", "1")}},
       {{May(10, 23, 58, 50), ""}, {May(11, 0, 1, 5), "x 10.05 23:59, y 11.05 00:01", 15}}},
      {"time order over the store's, then the store's",
       {{Event("z", "10:05", "05101999", "YNNN"), Event("a", "10:05"), Event("m", "10:02")}},
       {{May(10, 9, 50), ""}, {May(10, 10, 10), "m 10.05 10:02 late, z 10.05 10:05 late, a 10.05 10:05 late"}}},
      {"a 15 s tick is never late", {ab}, {{May(10, 9, 55), ""}, {May(10, 10, 5), "a 10.05 10:00", 15}}},
      {"late past 2 minutes after a long gap", {{Event("a", "10:00"), Event("b", "10:01")}},
       {{May(10, 9, 50), ""}, {May(10, 10, 3), "a 10.05 10:00 late, b 10.05 10:01"}}},
      {"30 s after its time, 10 minutes of universal time between", {ab},
       {{May(10, 9, 59, 30), ""}, {May(10, 10, 0, 30), "a 10.05 10:00", 0, 600}}},
      {"clock set forward 3 hours",
       {{Event("a", "10:00"), Event("b", "11:00"), Event("c", "12:30"), Event("d", "14:00")}},
       {{May(10, 9, 55), ""},
        {May(10, 10, 5), "a 10.05 10:00", 15},
        {May(10, 13, 5), "b 10.05 11:00 late, c 10.05 12:30 late"},
        {May(10, 14, 5), "d 10.05 14:00", 15}}},
      {"time zone moved on 2 hours", {{Event("a", "10:00"), Event("b", "11:30")}},
       {{May(10, 9, 55), ""}, {May(10, 10, 5), "a 10.05 10:00", 15}, {May(10, 12, 5, 15), "b 10.05 11:30", 0, 15}}},
      {"daylight saving skips 02:00..03:00", {{Event("e", "02:30"), Event("f", "03:00")}},
       {{May(10, 1, 59, 35), ""},
        {May(10, 1, 59, 50), ""},
        {May(10, 3, 0, 5), "e 10.05 02:30, f 10.05 03:00", 0, 15},
        {May(10, 3, 10), "", 15}}},
      {"daylight saving repeats 02:00..03:00", {{Event("e", "02:30")}},
       {{May(10, 2, 0), ""},
        {May(10, 2, 59, 55), "e 10.05 02:30", 15},
        {May(10, 2, 0, 10), "", 0, 15},
        {May(10, 3, 5), "", 15}}},
      {"clock set back an hour", {ab, {ab[0], ab[1], Event("c", "10:15")}},
       {{May(10, 9, 55), ""},
        {May(10, 10, 45), "a 10.05 10:00, b 10.05 10:30", 15},
        {May(10, 9, 45), "", 0, -3600},
        {May(10, 10, 50), "c 10.05 10:15", 15, std::nullopt, 1}}},
      {"after 3 days asleep, the last 24 hours", {{Daily("a", "10:00"), Daily("b", "16:00")}},
       {{May(10, 11, 0), ""}, {May(13, 15, 0), "b 12.05 16:00 late, a 13.05 10:00 late"}}},
      {"an edited line is a new event",
       {{Event("a", "10:00"), Event("b", "10:00"), Event("c", "10:00")},
        {Event("a", "11:00"), Event("b", "10:00", "05102003", "NNYN", "0", EventCategory::kOther, "edited"),
         Event("c", "09:30")}},
       {{May(10, 9, 55), ""},
        {May(10, 10, 5), "a 10.05 10:00, b 10.05 10:00, c 10.05 10:00", 15},
        {May(10, 11, 5), "a 10.05 11:00", 15, std::nullopt, 1}}},
      {"deleted before its time", {ab, {ab[0]}},
       {{May(10, 9, 50), ""}, {May(10, 10, 45), "a 10.05 10:00", 15, std::nullopt, 1}}},
      {"a reload that keeps the lines", {ab, ab},
       {{May(10, 9, 55), ""},
        {May(10, 10, 5), "a 10.05 10:00", 15},
        {May(10, 10, 35), "b 10.05 10:30", 15, std::nullopt, 1}}},
      {"an event added for later today", {{ab[0]}, {ab[0], Event("n", "15:00")}},
       {{May(10, 9, 0), ""},
        {May(10, 10, 5), "a 10.05 10:00", 15},
        {May(10, 12, 0), ""},
        {May(10, 15, 5), "n 10.05 15:00", 15, std::nullopt, 1}}},
      // Reminders ahead, and day events (no time, or 00:00) at 09:00.
      {"15 minutes ahead, then the event", {{Tail(Event("a", "10:00"), ";REMIND=15")}},
       {{May(10, 9, 40), ""}, {May(10, 9, 45, 5), "a 10.05 10:00 -15", 15}, {May(10, 10, 0, 5), "a 10.05 10:00", 15}}},
      {"a day and an hour ahead, across midnight and the month's end",
       {{Tail(Event("b", "00:30", "06012003"), ";REMIND=60,1440")}},
       {{May(30, 23, 0), ""}, {May(31, 0, 30, 5), "b 01.06 00:30 -1440", 15}, {May(31, 23, 30, 5), "b 01.06 00:30 -60", 15}}},
      {"4 weeks ahead", {{Tail(Event("f", "10:00", "06072003"), ";REMIND=40320")}},
       {{May(10, 9, 0), ""}, {May(10, 10, 0, 5), "f 07.06 10:00 -40320", 15}}},
      {"a day event and 00:00 at 09:00, never at midnight",
       {{Tail(Event("d", "  :  ", "05122003"), ";REMIND=1440"), Event("m", "00:00", "05122003")}},
       {{May(11, 8, 0), ""},
        {May(11, 9, 0, 5), "d 12.05 09:00 -1440", 15},
        {May(12, 0, 5), "", 15},
        {May(12, 9, 0, 5), "d 12.05 09:00, m 12.05 09:00", 15}}},
      {"a start later that day: today's day items come, passed minute ones do not",
       {{Tail(Event("a", "10:00"), ";REMIND=15"), Event("d", "  :  "), Tail(Event("e", "  :  ", "05112003"), ";REMIND=15,1440")}},
       {{May(10, 14, 0), "d 10.05 09:00, e 11.05 09:00 -1440"}, {May(10, 14, 5), "", 15}}},
      {"a reminder and its event in one look after sleep", {{Tail(Event("a", "10:00"), ";REMIND=30")}},
       {{May(10, 9, 0), ""}, {May(10, 10, 5), "a 10.05 10:00 -30 late, a 10.05 10:00 late"}}},
      {"a repetition rule's reminder the day before",
       {{Tail(Event("w", "10:00", "05022003", "NNNY", "7"), ";EVERY=1W;ON=FR;REMIND=1440")}},
       {{May(8, 9, 0), ""}, {May(8, 10, 0, 5), "w 09.05 10:00 -1440", 15}, {May(9, 10, 0, 5), "w 09.05 10:00", 15}}},
      {"daylight saving skips the reminder's time", {{Tail(Event("e", "02:45"), ";REMIND=15")}},
       {{May(10, 1, 59, 50), ""}, {May(10, 3, 0, 5), "e 10.05 02:45 -15, e 10.05 02:45", 0, 15}}},
      {"daylight saving repeats the reminder's time", {{Tail(Event("e", "02:45"), ";REMIND=15")}},
       {{May(10, 2, 0), ""},
        {May(10, 2, 59, 55), "e 10.05 02:45 -15, e 10.05 02:45", 15},
        {May(10, 2, 0, 10), "", 0, 15},
        {May(10, 3, 5), "", 15}}},
  };
  for (const Scenario& s : scenarios) {
    std::vector<std::unique_ptr<TestStore>> stores;
    for (const auto& lines : s.stores) stores.push_back(std::make_unique<TestStore>(lines));
    Watch watch;
    for (std::size_t i = 0; i < s.steps.size(); ++i) {
      const Step& step = s.steps[i];
      const EventList& events = stores[step.store]->list();
      const std::vector<Notice> notices =
          step.tick > 0 ? watch.RunTo(events, step.local, step.tick) : watch.LookAt(events, step.local, step.utcStep);
      EXPECT_EQ(Describe(notices), step.brings) << s.what << ", step " << i;
    }
  }
}

TEST(NoticeSchedulerTest, ShownStaysBoundedOverAMonth) {
  TestStore store({Daily("a", "10:00"), Daily("b", "14:00"), Daily("c", "20:00")});
  Watch watch;
  watch.LookAt(store.list(), May(20, 0, 0));
  int count = 0;
  for (int day = 0; day < 30; ++day) {
    const std::vector<Notice> notices =
        watch.RunTo(store.list(), LocalAt(SecondsSince1970(May(21, 0, 0)) + day * 86400), 60);
    count += static_cast<int>(notices.size());
    for (const Notice& n : notices) EXPECT_FALSE(n.late) << Describe({n});
    // Three events on each of the days a look can still reach.
    EXPECT_LE(watch.scheduler.ShownCount(), 9u) << day;
  }
  EXPECT_EQ(count, 90);
}

TEST(NoticeSchedulerTest, SnoozeComesBackOnceAfterItsMinutes) {
  TestStore store({Event("a", "10:00")});
  Watch watch;
  watch.LookAt(store.list(), May(10, 9, 59, 50));
  std::vector<Notice> notices = watch.LookAt(store.list(), May(10, 10, 0, 5));
  ASSERT_EQ(notices.size(), 1u);
  watch.scheduler.Snooze(notices[0], 10, *watch.now);
  EXPECT_EQ(watch.scheduler.SnoozeCount(), 1u);
  EXPECT_EQ(Describe(watch.RunTo(store.list(), May(10, 10, 10, 4), 1)), "");
  notices = watch.LookAt(store.list(), May(10, 10, 10, 5));
  EXPECT_EQ(notices, (std::vector<Notice>{{store.list().EventLineAt(0), {2003, 5, 10}, 600, false, true}}));
  EXPECT_EQ(watch.scheduler.SnoozeCount(), 0u);
  EXPECT_EQ(Describe(watch.RunTo(store.list(), May(10, 11, 0))), "");
}

TEST(NoticeSchedulerTest, SnoozeKeepsToUniversalTime) {
  TestStore store({Event("a", "10:00")});
  Watch watch;
  watch.LookAt(store.list(), May(10, 9, 59, 50));
  const std::vector<Notice> notices = watch.LookAt(store.list(), May(10, 10, 0, 5));
  ASSERT_EQ(notices.size(), 1u);
  watch.scheduler.Snooze(notices[0], 10, *watch.now);
  // A second snooze of the same notice replaces the first.
  watch.scheduler.Snooze(notices[0], 20, *watch.now);
  EXPECT_EQ(watch.scheduler.SnoozeCount(), 1u);
  // The zone moves the local clock on 2 hours: not back yet.
  EXPECT_EQ(Describe(watch.LookAt(store.list(), May(10, 12, 0, 5), 15)), "");
  EXPECT_EQ(Describe(watch.LookAt(store.list(), May(10, 12, 15, 5))), "");
  // Back at 20 minutes, seen 10 minutes after, with the look before 15 back.
  EXPECT_EQ(Describe(watch.LookAt(store.list(), May(10, 12, 30, 5))), "a 10.05 10:00 late snoozed");
  EXPECT_EQ(watch.scheduler.SnoozeCount(), 0u);
}

TEST(NoticeSchedulerTest, SnoozeComesFirstAmongItsTime) {
  // "apple" sorts before "zoo" in the store.
  TestStore before({Event("zoo", "10:00")});
  TestStore after({Event("zoo", "10:00"), Event("apple", "10:00")});
  Watch watch;
  watch.LookAt(before.list(), May(10, 9, 59, 30));
  const std::vector<Notice> notices = watch.LookAt(before.list(), May(10, 10, 0));
  ASSERT_EQ(notices.size(), 1u);
  watch.scheduler.Snooze(notices[0], 0, *watch.now);
  // The clock goes back 30 s before the snooze is seen, then on past 10:00.
  EXPECT_EQ(Describe(watch.LookAt(before.list(), May(10, 9, 59, 30))), "");
  EXPECT_EQ(Describe(watch.LookAt(after.list(), May(10, 10, 0, 30))), "zoo 10.05 10:00 snoozed, apple 10.05 10:00");
}

TEST(NoticeSchedulerTest, SnoozedEventDeletedNeverComesBack) {
  TestStore store({Event("a", "10:00"), Event("b", "10:00")});
  TestStore without({Event("b", "10:00")});
  Watch watch;
  watch.LookAt(store.list(), May(10, 9, 59, 50));
  const std::vector<Notice> notices = watch.LookAt(store.list(), May(10, 10, 0, 5));
  ASSERT_EQ(notices.size(), 2u);
  for (const Notice& n : notices) watch.scheduler.Snooze(n, 5, *watch.now);
  EXPECT_EQ(Describe(watch.RunTo(without.list(), May(10, 10, 30))), "b 10.05 10:00 snoozed");
  EXPECT_EQ(watch.scheduler.SnoozeCount(), 0u);
  EXPECT_EQ(Describe(watch.RunTo(store.list(), May(10, 11, 0))), "");
}

Notice At(std::string_view name, int day, int minute, bool snoozed = false) {
  return {Event(name, "10:00"), {2003, 5, day}, minute, false, snoozed};
}

TEST(NoticeBoardTest, ListsInTimeOrderEachOnce) {
  const struct {
    std::string_view what;
    std::vector<std::vector<Notice>> adds;
    std::string_view board;
  } cases[] = {
      {"one batch out of order", {{At("b", 10, 630), At("a", 10, 600), At("c", 9, 1380)}},
       "c 09.05 23:00, a 10.05 10:00, b 10.05 10:30"},
      {"after those of the same time", {{At("a", 10, 600)}, {At("b", 10, 600)}, {At("c", 10, 600), At("d", 10, 599)}},
       "d 10.05 09:59, a 10.05 10:00, b 10.05 10:00, c 10.05 10:00"},
      {"the same event and day replaced at its new place",
       {{At("a", 10, 600), At("b", 10, 600)}, {At("a", 10, 600, true)}},
       "b 10.05 10:00, a 10.05 10:00 snoozed"},
      {"the same event on another day", {{At("a", 11, 600)}, {At("a", 10, 600)}}, "a 10.05 10:00, a 11.05 10:00"},
  };
  for (const auto& c : cases) {
    NoticeBoard board;
    for (const auto& add : c.adds) board.Add(add);
    EXPECT_EQ(Describe(board.Notices()), c.board) << c.what;
  }
}

TEST(NoticeBoardTest, TakeRemovesOne) {
  NoticeBoard board;
  board.Add({At("a", 10, 600), At("b", 10, 610), At("c", 10, 620)});
  EXPECT_EQ(board.Take(1), At("b", 10, 610));
  EXPECT_EQ(Describe(board.Notices()), "a 10.05 10:00, c 10.05 10:20");
  EXPECT_THROW(board.Take(2), std::out_of_range);
  board.Take(0);
  board.Take(0);
  EXPECT_TRUE(board.Empty());
}

TEST(NoticeBoardTest, RowsShownAndTheRest) {
  const struct {
    int count;
    std::size_t rows;
    std::string_view more;
  } cases[] = {{0, 0, ""}, {1, 1, ""}, {50, 50, ""}, {51, 50, "\x85 1 more"}, {300, 50, "\x85 250 more"}};
  for (const auto& c : cases) {
    NoticeBoard board;
    std::vector<Notice> notices;
    for (int i = 0; i < c.count; ++i) notices.push_back(At(std::to_string(i), 10, i % 1440));
    board.Add(notices);
    EXPECT_EQ(board.Notices().size(), static_cast<std::size_t>(c.count));
    EXPECT_EQ(board.RowsShown(), c.rows) << c.count;
    EXPECT_EQ(board.MoreText(), c.more) << c.count;
  }
}

TEST(NoticeTextTest, MinuteAndBalloonTexts) {
  const struct {
    int minute;
    std::string_view text;
  } minutes[] = {{0, "00:00"}, {61, "01:01"}, {570, "09:30"}, {1439, "23:59"}};
  for (const auto& m : minutes) EXPECT_EQ(MinuteText(m.minute), m.text);

  const Notice dentist = At("Dentist", 10, 570);
  EXPECT_EQ(BalloonText({}), "");
  EXPECT_EQ(BalloonText({dentist}), "09:30 Dentist");
  EXPECT_EQ(BalloonText({dentist, At("b", 10, 600), At("c", 10, 610)}), "09:30 Dentist\n+2 more");

  EXPECT_EQ(NoticeSpokenText(dentist), "09:30 Dentist");
  Notice late{Event("Van", "10:00", "05102003", "NNYN", "0", EventCategory::kWorkBusiness, "  bring the keys "), {2003, 5, 10}, 600, true, false};
  EXPECT_EQ(NoticeSpokenText(late), "10:00 Van, bring the keys, late");

  // A reminder says how far away its event is (Tuesday 9 March 2027).
  const struct {
    int minute, before;
    bool dayEvent;
    std::string_view ahead, spoken;
  } reminders[] = {
      {630, 15, false, "in 15 min (10:30)", "Anna, in 15 min (10:30)"},
      {630, 90, false, "in 1 h 30 min (10:30)", "Anna, in 1 h 30 min (10:30)"},
      {60, 120, false, "in 2 h (01:00)", "Anna, in 2 h (01:00)"},
      {kDayEventMinute, 1440, true, "tomorrow", "Anna, tomorrow"},
      {kDayEventMinute, 7 * 1440, true, "in 7 days (Tuesday, March 9)", "Anna, in 7 days (Tuesday, March 9)"},
      {630, 1440, false, "tomorrow (10:30)", "Anna, tomorrow (10:30)"},
      {30, 1440 + 60, false, "in 2 days (Tuesday, March 9, 00:30)", "Anna, in 2 days (Tuesday, March 9, 00:30)"},
      {kDayEventMinute, 0, true, "today", "Anna, today"},
      {kDayEventMinute, 30, true, "today", "Anna, today"},
  };
  for (const auto& r : reminders) {
    const Notice n{Event("Anna", "10:30"), {2027, 3, 9}, r.minute, false, false, r.before, r.dayEvent};
    EXPECT_EQ(AheadText(n), r.ahead);
    EXPECT_EQ(NoticeSpokenText(n), r.spoken);
  }

  // The user's reminder sound, else the default one where the system has
  // none; nothing where the user chose none.
  const auto soundOf = [](std::optional<std::string> reminder, std::optional<std::string> standard) {
    return ReminderSoundAlias([&](const std::string& alias) {
      return alias == "Notification.Reminder" ? reminder : standard;
    });
  };
  EXPECT_EQ(soundOf("r.wav", "d.wav"), "Notification.Reminder");
  EXPECT_EQ(soundOf("", "d.wav"), "");
  EXPECT_EQ(soundOf(std::nullopt, "d.wav"), "Notification.Default");
  EXPECT_EQ(soundOf(std::nullopt, ""), "");
}

}  // namespace
}  // namespace redoviri
