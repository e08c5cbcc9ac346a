// The notices in the assembled program, its clock a stand-in the tests move:
// the notice window and the tray's balloon at an event's time, Snooze and
// Dismiss, the keyboard left where the user types; and 400 days of notices
// at high speed with real timers and windows, everything the program holds
// staying flat.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <map>
#include <tuple>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "reminders/todayreminder.h"
#include "support/app_fixture.h"
#include "support/event_store.h"
#include "support/keys.h"
#include "support/win32_test_support.h"
#include "support/window_access.h"

namespace redoviri {
namespace {

using test::PumpUntil;
using test::TypeKey;
using testing::AtTime;
using testing::EventLine;
using Access = test::WindowAccess;

// The stand-in clock starts on Friday 14 February 2003, 10:42:07.
LocalDateTime At(int hour, int minute, int second = 0) { return {{2003, 2, 14}, {hour, minute, second}}; }

class NoticesTest : public test::AppTest {
 protected:
  NoticesTest() { noticeLookMs = 20; }

  TNotice& notice() { return app->Notice(); }
  // The clock moved, and the program looked at it since.
  void MoveClockTo(const LocalDateTime& now) {
    clock->Set(now);
    const std::size_t looks = app->Model().Notices().LookCount();
    ASSERT_TRUE(PumpUntil([&] { return app->Model().Notices().LookCount() > looks; }));
  }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const Notice& n : notice().Board().Notices()) names.push_back(ReadName(n.line));
    return names;
  }

  const std::string dentist = AtTime(EventLine("02142003", EventCategory::kOther, "NNYN", "Dentist"), "10:43");
  const std::string call = AtTime(EventLine("02142003", EventCategory::kWorkBusiness, "NNYN", "Call Bob", "0", "about the van"), "10:43");
  const std::string lunch = AtTime(EventLine("02142003", EventCategory::kLovely, "NNYN", "Lunch"), "12:30");
  const std::string past = AtTime(EventLine("02142003", EventCategory::kBirthday, "NNYN", "Breakfast"), "08:00");
  const std::string allDay = AtTime(EventLine("02142003", EventCategory::kFeest, "NNYN", "Carnival"), "  :  ");
};

TEST_F(NoticesTest, ADueEventShowsTheWindowAndTheBalloonAndTheKeyboardStaysWhereTheUserTypes) {
  Start({dentist, lunch, past});
  TForm1& main = app->Form1();
  main.TrayClick();
  const HWND grid = Access::Widgets(main).calp->Handle();
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == main.Handle() && GetFocus() == grid; }));
  MoveClockTo(At(10, 42, 50));
  EXPECT_FALSE(notice().Visible()) << "what was past at the start and later ones wait";

  MoveClockTo(At(10, 43, 5));
  ASSERT_TRUE(notice().Visible());
  EXPECT_EQ(Names(), std::vector<std::string>{"Dentist"});
  EXPECT_FALSE(notice().Board().Notices()[0].late);
  ASSERT_EQ(shell.balloons.size(), 1u);
  EXPECT_EQ(shell.balloons[0].title, "Redoviri by DUZOVU");
  EXPECT_EQ(shell.balloons[0].text, "10:43 Dentist");
  EXPECT_EQ(shell.balloons[0].infoFlags, static_cast<DWORD>(NIIF_INFO));
  // Always on top, at the work area's bottom right corner, and the
  // calendar keeps the keyboard: typed keys still move its selection.
  EXPECT_TRUE(GetWindowLongA(notice().Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  RECT work, place;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(notice().Handle(), &place);
  EXPECT_EQ(place.right, work.right - 8);
  EXPECT_EQ(place.bottom, work.bottom - 8);
  EXPECT_EQ(GetForegroundWindow(), main.Handle());
  EXPECT_EQ(GetFocus(), grid);
  const CalendarPresenter& calendar = main.Calendar1();
  const std::optional<CivilDate> before = calendar.SelectedDate();
  TypeKey(VK_RIGHT);
  ASSERT_TRUE(before && calendar.SelectedDate());
  EXPECT_EQ(calendar.SelectedDate()->day, before->day + 1);

  MoveClockTo(At(10, 50));
  EXPECT_EQ(shell.balloons.size(), 1u) << "nothing twice";
}

TEST_F(NoticesTest, EventsDueTogetherOrWhileTheWindowShowsJoinItInTimeOrder) {
  Start({dentist, call, lunch});
  MoveClockTo(At(10, 43, 1));
  EXPECT_EQ(Names(), (std::vector<std::string>{"Call Bob", "Dentist"}));
  ASSERT_EQ(shell.balloons.size(), 1u);
  EXPECT_EQ(shell.balloons[0].text, "10:43 Call Bob\n+1 more");
  // Asleep from 10:45 to 12:40: lunch comes late, into the same window.
  MoveClockTo(At(10, 45));
  clock->Set(ClockReading{At(12, 40), clock->Read().utcSeconds + (12 * 60 + 40 - (10 * 60 + 45)) * 60});
  SendMessageA(app->Clock().Handle(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
  EXPECT_EQ(Names(), (std::vector<std::string>{"Call Bob", "Dentist", "Lunch"}));
  EXPECT_TRUE(notice().Board().Notices()[2].late);
  EXPECT_EQ(shell.balloons.back().text, "12:30 Lunch");
}

TEST_F(NoticesTest, SnoozeBringsANoticeBackAfterTheChosenTimeAndDismissNever) {
  Start({dentist, call});
  MoveClockTo(At(10, 43, 1));
  ASSERT_EQ(Names(), (std::vector<std::string>{"Call Bob", "Dentist"}));
  EXPECT_EQ(notice().SnoozeMinutes(), 10) << "the default";
  notice().SnoozeChoiceClick(0);
  notice().SnoozeClick(1);  // Dentist, 5 minutes
  notice().DismissClick(0);  // Call Bob
  EXPECT_FALSE(notice().Visible()) << "nothing left to show";
  MoveClockTo(At(10, 47, 59));
  EXPECT_FALSE(notice().Visible());
  MoveClockTo(At(10, 48, 2));
  ASSERT_EQ(Names(), std::vector<std::string>{"Dentist"});
  EXPECT_TRUE(notice().Board().Notices()[0].snoozed);
  EXPECT_TRUE(notice().Visible());
  notice().DismissAllClick();
  MoveClockTo(At(11, 30));
  EXPECT_FALSE(notice().Visible());
  EXPECT_TRUE(notice().Board().Empty());
}

// A window manager that focuses the notice as it maps it again, once it
// has had the keyboard: a snoozed notice that comes back leaves the
// keyboard with the calendar all the same.
TEST_F(NoticesTest, ASnoozedNoticeComesBackWithoutTakingTheKeyboard) {
  Start({dentist});
  TForm1& main = app->Form1();
  main.TrayClick();
  MoveClockTo(At(10, 43, 1));
  SetForegroundWindow(notice().Handle());  // the user at the notice
  notice().SnoozeChoiceClick(0);
  notice().SnoozeClick(0);
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == main.Handle(); }));
  MoveClockTo(At(10, 48, 2));
  ASSERT_TRUE(notice().Visible());
  SetForegroundWindow(notice().Handle());  // the manager's focus on the map
  EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == main.Handle(); }));
}

TEST_F(NoticesTest, TheWindowWorksFromTheKeyboardAndALineOpensItsDay) {
  Start({dentist, call});
  MoveClockTo(At(10, 43, 1));
  ASSERT_TRUE(notice().Visible());
  // The user comes to the window: the list takes the keys.
  SetForegroundWindow(notice().Handle());
  SetFocus(Access::NoticeList(notice()));
  ASSERT_EQ(GetFocus(), Access::NoticeList(notice()));
  TypeKey(VK_DOWN);
  TypeKey(VK_DELETE);  // Dentist dismissed
  EXPECT_EQ(Names(), std::vector<std::string>{"Call Bob"});
  TypeKey(VK_RETURN);  // its day in the list window
  ASSERT_TRUE(PumpUntil([&] { return app->Form2().Visible(); }));
  auto& list = Access::Widgets(app->Form2());
  EXPECT_EQ(list.StringGrid1->Cell(0, 1), "Call Bob");
  EXPECT_EQ(app->Form1().SelectedDayText(), "14");
  SetFocus(Access::NoticeList(notice()));
  TypeKey(VK_SPACE);  // snoozed, the default 10 minutes
  EXPECT_TRUE(notice().Board().Empty());
  MoveClockTo(At(10, 53, 2));
  EXPECT_EQ(Names(), std::vector<std::string>{"Call Bob"});
}

// A click of the mouse on the list, at a point of its client area.
void ClickAt(HWND list, int x, int y) {
  SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

TEST_F(NoticesTest, TheMouseDismissesSnoozesAndOpensALine) {
  Start({dentist, call});
  MoveClockTo(At(10, 43, 1));
  const HWND list = Access::NoticeList(notice());
  RECT client;
  GetClientRect(list, &client);
  // Each line 36 high: its Dismiss button at the right edge, Snooze beside it.
  const int dismissX = client.right - 4 - 26, snoozeX = client.right - 4 - 52 - 4 - 26;
  ClickAt(list, dismissX, 36 + 18);
  EXPECT_EQ(Names(), std::vector<std::string>{"Call Bob"});
  ClickAt(list, snoozeX, 18);
  EXPECT_TRUE(notice().Board().Empty());
  EXPECT_FALSE(notice().Visible());
  MoveClockTo(At(10, 53, 2));
  ClickAt(list, 100, 18);
  ASSERT_TRUE(PumpUntil([&] { return app->Form2().Visible(); })) << "the line opens its day";
  EXPECT_EQ(Names(), std::vector<std::string>{"Call Bob"}) << "and stays";
}

TEST_F(NoticesTest, SeveralHundredAtOneMinuteShowFiftyAndTheRestCounted) {
  std::vector<std::string> lines;
  for (int i = 0; i < 300; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "Event %03d", i);
    lines.push_back(AtTime(EventLine("02142003", EventCategory::kWorkBusiness, "NNYN", name), "10:43"));
  }
  Start(lines);
  MoveClockTo(At(10, 43, 1));
  EXPECT_EQ(notice().Board().Notices().size(), 300u);
  EXPECT_EQ(notice().Board().RowsShown(), 50u);
  EXPECT_EQ(notice().Board().MoreText(), "\x85 250 more");
  EXPECT_EQ(shell.balloons.back().text, "10:43 Event 000\n+299 more");
}

// ---------------------------------------------------------------- 400 days

// The program's private memory, in bytes (Wine tells it as the committed
// memory).
SIZE_T PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
  return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

// The events of the long run, and the days each is due on.
TEST_F(NoticesTest, ABirthdayIsRemindedTheDayBeforeAndADayEventComesAtNineNotAtMidnight) {
  // Anna's birthday on 16 February, reminded a day ahead; a fair on the
  // 15th at the editor's first time.
  std::string anna = AtTime(EventLine("02161990", EventCategory::kBirthday, "YNNN", "Anna"), "  :  ");
  anna.append(110 - anna.size(), ' ').append(";REMIND=1440");
  const std::string fair = AtTime(EventLine("02152003", EventCategory::kFeest, "NNYN", "Fair"), "00:00");
  Start({anna, fair});
  MoveClockTo({{2003, 2, 15}, {0, 0, 30}});
  EXPECT_FALSE(notice().Visible()) << "nothing at midnight";
  EXPECT_EQ(sounds, 0);
  MoveClockTo({{2003, 2, 15}, {9, 0, 10}});
  ASSERT_TRUE(notice().Visible());
  ASSERT_EQ(Names(), (std::vector<std::string>{"Fair", "Anna"}));
  EXPECT_EQ(AheadText(notice().Board().Notices()[1]), "tomorrow");
  ASSERT_FALSE(shell.balloons.empty());
  EXPECT_EQ(shell.balloons.back().text, "Fair, today\n+1 more");
  EXPECT_EQ(sounds, 1) << "one sound for the lines that came together";
}

// An event's notice, or one of its reminders (`before` minutes ahead), and
// the days the event falls on.
struct SoakEvent {
  std::string line;
  int minute;
  bool (*dueOn)(const CivilDate& day, std::int32_t dayNumber);
  int before = 0;
};

TEST_F(NoticesTest, FourHundredDaysBringEveryNoticeOnceAndTheProgramHoldsNoMore) {
  const CivilDate first{2027, 3, 1};
  const std::int32_t firstNumber = *DayNumber(first);
  std::vector<SoakEvent> events = {
      {AtTime(EventLine("03012027", EventCategory::kWorkBusiness, "NNNY", "Standup", "1"), "09:30"), 9 * 60 + 30,
       [](const CivilDate&, std::int32_t) { return true; }},
      {AtTime(EventLine("03012027", EventCategory::kOther, "NNNY", "Plants", "3"), "09:30"), 9 * 60 + 30,
       [](const CivilDate&, std::int32_t n) { return (n - *DayNumber(2027, 3, 1)) % 3 == 0; }},
      {AtTime(EventLine("01312027", EventCategory::kFeest, "NYNN", "Month end"), "08:00"), 8 * 60,
       [](const CivilDate& d, std::int32_t) { return d.day == 31; }},
      {AtTime(EventLine("02292024", EventCategory::kBirthday, "YNNN", "Leap"), "12:00"), 12 * 60,
       [](const CivilDate& d, std::int32_t) { return d.month == 2 && d.day == 29; }},
      {AtTime(EventLine("09152027", EventCategory::kLovely, "NNYN", "Once"), "18:00"), 18 * 60,
       [](const CivilDate& d, std::int32_t) { return d == CivilDate{2027, 9, 15}; }},
      {AtTime(EventLine("03012027", EventCategory::kReligionLegal, "NNNY", "Late night", "1"), "23:59"), 23 * 60 + 59,
       [](const CivilDate&, std::int32_t) { return true; }},
      {AtTime(EventLine("03012027", EventCategory::kOther, "NNNY", "All day", "1"), "  :  "), 9 * 60,
       [](const CivilDate&, std::int32_t) { return true; }},
  };
  // A third of them with reminders: minutes, a day and a week ahead.
  const auto withReminders = [](SoakEvent e, std::string_view tail, const std::vector<int>& befores) {
    std::vector<SoakEvent> all{e};
    all[0].line.append(110 - all[0].line.size(), ' ').append(tail);
    for (const int before : befores) all.push_back({all[0].line, e.minute, e.dueOn, before});
    return all;
  };
  const std::vector<std::tuple<int, std::string_view, std::vector<int>>> reminders = {
      {0, ";REMIND=15", {15}}, {2, ";REMIND=1440,10080", {1440, 10080}}};
  for (const auto& [k, tail, befores] : reminders) {
    const std::vector<SoakEvent> reminded = withReminders(events[static_cast<std::size_t>(k)], tail, befores);
    events[static_cast<std::size_t>(k)] = reminded[0];
    events.insert(events.end(), reminded.begin() + 1, reminded.end());
  }
  std::vector<std::string> lines;
  for (const SoakEvent& e : events)
    if (e.before == 0) lines.push_back(e.line);
  Start(lines);
  const testing::TestStore store(lines);
  const std::int64_t offset = 3600;  // the zone: an hour ahead of universal time
  auto reading = [&](std::int32_t dayNumber, int minute, int second) {
    const LocalDateTime local{DateOfDayNumber(dayNumber), {minute / 60, minute % 60, second}};
    return ClockReading{local, SecondsSince1970(local) - offset};
  };
  TForm1& main = app->Form1();
  TTrayIconF& tray = Access::Tray(main);
  const std::size_t daysRun = 400;
  // The notices of one day, by event and day (kept a day at a time: the
  // test's own memory must not grow either).
  std::map<std::tuple<std::string, std::int32_t, int>, int> seen;
  // When an item is due on day n: its minute of that day, and the event's day.
  const auto dueAt = [](const SoakEvent& e, std::int32_t n) {
    const int shift = (e.minute - e.before) >= 0 ? 0 : ((e.before - e.minute) + 1439) / 1440;
    return std::pair{e.minute - e.before + shift * 1440, n + shift};
  };
  std::size_t expected = 0, shownInAll = 0, late = 0;
  widgets::Holdings atDay100{}, atEnd{};
  SIZE_T memoryAtDay100 = 0;
  auto moveTo = [&](const ClockReading& now) {
    clock->Set(now);
    const std::size_t looks = app->Model().Notices().LookCount();
    return PumpUntil([&] { return app->Model().Notices().LookCount() > looks; });
  };
  // An hour before the first day.
  ASSERT_TRUE(moveTo(reading(firstNumber - 1, 23 * 60, 0)));
  for (std::size_t i = 0; i < daysRun; ++i) {
    const std::int32_t n = firstNumber + static_cast<std::int32_t>(i);
    const CivilDate day = DateOfDayNumber(n);
    // Half a minute after midnight: the tray shows the new day.
    ASSERT_TRUE(moveTo(reading(n, 0, 30)));
    ASSERT_EQ(Access::TodayStamp(main), DayKey(day)) << "day " << i;
    const TodayCounts counts = CountToday(store.list(), day);
    ASSERT_EQ(tray.ToolTip(), TodayTooltip(counts)) << "day " << i;
    // Half a minute after each time due that day.
    std::set<int> minutes;
    for (const SoakEvent& e : events)
      if (const auto [minute, eventDay] = dueAt(e, n); e.dueOn(DateOfDayNumber(eventDay), eventDay))
        minutes.insert(minute);
    for (const int minute : minutes) {
      ASSERT_TRUE(moveTo(reading(n, minute, 30)));
      for (const Notice& shown : notice().Board().Notices()) {
        ++seen[{shown.line, *DayNumber(shown.day), shown.before}];
        if (shown.late) ++late;
      }
      notice().DismissAllClick();
    }
    for (const SoakEvent& e : events)
      if (const auto [minute, eventDay] = dueAt(e, n); e.dueOn(DateOfDayNumber(eventDay), eventDay)) {
        ++expected;
        EXPECT_EQ((seen[{e.line, eventDay, e.before}]), 1) << ReadName(e.line) << " -" << e.before << " on day " << i;
      }
    shownInAll += seen.size();
    seen.clear();
    // By day 100 every window has been shown and every font drawn with;
    // the splash and the first blinks are over.
    // The stand-in shell's records are the test's, not the program's.
    shell.calls.clear();
    shell.calls.shrink_to_fit();
    shell.balloons.clear();
    shell.balloons.shrink_to_fit();
    if (i == 100) {
      atDay100 = widgets::Held();
      memoryAtDay100 = PrivateBytes();
    }
  }
  atEnd = widgets::Held();
  const SIZE_T memoryAtEnd = PrivateBytes();
  EXPECT_EQ(shownInAll, expected) << "nothing that was not due";
  EXPECT_EQ(late, 0u);
  EXPECT_EQ(atEnd, atDay100);
  EXPECT_LE(app->Model().Notices().Scheduler().ShownCount(), 3 * events.size());
  // Memory: room for the allocator's slack, not for growth with the days
  // (300 days of a notice or two a day would take more).
  EXPECT_LT(static_cast<long long>(memoryAtEnd) - static_cast<long long>(memoryAtDay100), 64 << 10);
  std::printf("400 days: %zu notices, looks %zu; windows %ld, GDI objects %ld, icons %ld, timers %ld; "
              "private memory %lu KiB at day 100, %lu KiB at day 400\n",
              expected, app->Model().Notices().LookCount(), atEnd.windows, atEnd.gdiObjects, atEnd.icons, atEnd.timers,
              static_cast<unsigned long>(memoryAtDay100 / 1024), static_cast<unsigned long>(memoryAtEnd / 1024));
}

}  // namespace
}  // namespace redoviri
