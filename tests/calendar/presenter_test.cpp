#include "calendar/presenter.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/event_store.h"

namespace redoviri {
namespace {

using redoviri::testing::EventLine;
using redoviri::testing::TestStore;

// Wednesday 9 December 2026; the 1st is a Tuesday, so day d is in cell d + 1.
constexpr CivilDate kToday{2026, 12, 9};

struct Shown {
  int year, month;
  const char* fieldNumber;
  const char* fieldYear;
  const char* dayText;
  std::optional<int> cell;  // the selected cell of the shown month
  const char* details;
  std::optional<int> picked = std::nullopt;  // the cell whose picture shows selected
};

void ExpectShown(const CalendarPresenter& p, const Shown& want) {
  EXPECT_EQ(p.Year(), want.year);
  EXPECT_EQ(p.Month(), want.month);
  EXPECT_EQ(p.Fields().number, want.fieldNumber);
  EXPECT_EQ(p.Fields().year, want.fieldYear);
  EXPECT_EQ(p.SelectedDayText(), want.dayText);
  EXPECT_EQ(p.SelectedCell(), want.cell);
  EXPECT_EQ(p.DetailsText(), want.details);
}

using Command = std::function<CalendarRedraw(CalendarPresenter&)>;

TEST(CalendarPresenter, CommandsMoveTheMonthAndTheSelection) {
  const auto select = [](int k) { return [k](CalendarPresenter& p) { return p.SelectCell(k); }; };
  const auto move = [](int days) { return [days](CalendarPresenter& p) { return p.MoveSelection(days); }; };
  const auto month = [](int y, int m) { return [y, m](CalendarPresenter& p) { return p.GoToMonth(y, m); }; };
  const auto typed = [](const char* t) { return [t](CalendarPresenter& p) { return p.YearTyped(t); }; };
  const Command today = [](CalendarPresenter& p) { return p.Today(); };
  const Command pageDown = [](CalendarPresenter& p) { return p.StepMonthByKey(+1); };
  const Command ctrlPageDown = [](CalendarPresenter& p) { return p.StepYearByKey(+1); };
  const auto keyTyped = [](const char* t) { return [t](CalendarPresenter& p) { return p.YearTypedByKey(t); }; };
  const CalendarRedraw monthMoved{.fields = true, .grid = true, .marks = true, .looks = true};
  const CalendarRedraw daySelected{.looks = true, .selectedDate = true, .details = true, .dayList = true};
  CalendarRedraw movedAndSelected = monthMoved;
  movedAndSelected |= daySelected;
  struct Case {
    const char* what;
    std::vector<Command> steps;
    CalendarRedraw last;  // what the last step shows afresh
    Shown want;
  };
  const Case cases[] = {
      {"created: today's month, today in the details, nothing selected", {}, {},
       {2026, 12, "12", "2026", "", std::nullopt, "Wednesday, December 9 2026"}},
      {"a click on a day", {select(25)}, daySelected,
       {2026, 12, "12", "2026", "24", 25, "Thursday, December 24 2026 (Full Moon)", 25}},
      {"a click on an empty cell: no day, no list", {select(1)},
       {.looks = true, .selectedDate = true, .details = true}, {2026, 12, "12", "2026", "", std::nullopt, "", 1}},
      {"Right from the 31st into January", {select(32), move(+1)}, movedAndSelected,
       {2027, 1, "01", "2027", "1", 5, "Friday, January 1 2027", 5}},
      {"Up from the 3rd into November", {select(4), move(-7)}, movedAndSelected,
       {2026, 11, "11", "2026", "26", 32, "Thursday, November 26 2026", 32}},
      {"Down within the month", {select(10), move(+7)}, daySelected,
       {2026, 12, "12", "2026", "16", 17, "Wednesday, December 16 2026", 17}},
      {"the first key without a selection selects today", {move(+1)}, daySelected,
       {2026, 12, "12", "2026", "9", 10, "Wednesday, December 9 2026", 10}},
      {"... and the shown month's 1st elsewhere", {month(2027, 2), move(-7)}, daySelected,
       {2027, 2, "02", "2027", "1", 1, "Monday, February 1 2027", 1}},
      {"February 29th of 2100 does not exist: the 28th, then March", {month(2100, 2), move(0), move(27), move(1)},
       movedAndSelected, {2100, 3, "03", "2100", "1", 1, "Monday, March 1 2100", 1}},
      {"1900 is no leap year either", {month(1900, 3), move(0), move(-1)}, movedAndSelected,
       {1900, 2, "02", "1900", "28", 31, "Wednesday, February 28 1900", 31}},
      {"Page Down across the year", {[](CalendarPresenter& p) { return p.StepMonth(+1); }}, monthMoved,
       {2027, 1, "01", "2027", "", std::nullopt, "Wednesday, December 9 2026"}},
      {"Page Up twelve times is Ctrl+Page Up",
       {[](CalendarPresenter& p) {
          for (int i = 0; i < 11; ++i) p.StepMonth(-1);
          return p.StepMonth(-1);
        },
        [](CalendarPresenter& p) { return p.StepYear(+1); }},
       monthMoved, {2026, 12, "12", "2026", "", std::nullopt, "Wednesday, December 9 2026"}},
      {"no month before January of year 1", {month(1, 1), [](CalendarPresenter& p) { return p.StepMonth(-1); }},
       {}, {1, 1, "01", "0001", "", std::nullopt, "Wednesday, December 9 2026"}},
      {"no year after 9999", {month(9999, 5), [](CalendarPresenter& p) { return p.StepYear(+1); }}, {},
       {9999, 5, "05", "9999", "", std::nullopt, "Wednesday, December 9 2026"}},
      {"a selected day stays through a month change; its cell follows", {select(25), month(2027, 3)}, monthMoved,
       {2027, 3, "03", "2027", "24", 24, "Thursday, December 24 2026 (Full Moon)"}},
      {"the present month selects today", {month(2030, 6), select(3), today},
       {.fields = true, .grid = true, .marks = true, .looks = true, .selectedDate = true, .details = true,
        .dayList = true, .clock = true},
       {2026, 12, "12", "2026", "9", 10, "Wednesday, December 9 2026", 10}},
      {"a year typed as it is typed", {typed("12")}, {.grid = true, .marks = true, .looks = true},
       {12, 12, "12", "12", "", std::nullopt, "Wednesday, December 9 2026"}},
      {"a year 0 is 1900, the field written", {typed("0")}, monthMoved,
       {1900, 12, "12", "1900", "", std::nullopt, "Wednesday, December 9 2026"}},
      {"a year that is no number is this year", {month(2030, 12), typed("x")}, monthMoved,
       {2026, 12, "12", "2026", "", std::nullopt, "Wednesday, December 9 2026"}},
      {"the year field's +1", {[](CalendarPresenter& p) { return p.StepYearField(+1); }}, monthMoved,
       {2027, 12, "12", "2027", "", std::nullopt, "Wednesday, December 9 2026"}},
      {"the month chooser", {[](CalendarPresenter& p) { return p.MonthNumberChanged("04"); }}, monthMoved, {2026, 4, "04", "2026", "", std::nullopt,
                                                      "Wednesday, December 9 2026"}},
      {"a cleared month field is this month", {month(2026, 4), [](CalendarPresenter& p) {
                                                  return p.MonthNumberChanged("  ");
                                                }},
       monthMoved, {2026, 12, "12", "2026", "", std::nullopt, "Wednesday, December 9 2026"}},
      {"keys carry the 31st through February", {select(32), pageDown, pageDown, pageDown}, movedAndSelected,
       {2027, 3, "03", "2027", "31", 31, "Wednesday, March 31 2027", 31}},
      {"Ctrl+Page Down from 29 February", {month(2004, 2), select(35), ctrlPageDown}, movedAndSelected,
       {2005, 2, "02", "2005", "28", 29, "Monday, February 28 2005", 29}},
      {"a year typed keeps 29 February",
       {month(2024, 2), select(32), keyTyped("2"), keyTyped("20"), keyTyped("202"), keyTyped("2028")},
       {.grid = true, .marks = true, .looks = true, .selectedDate = true, .details = true, .dayList = true},
       {2028, 2, "02", "2028", "29", 30, "Tuesday, February 29 2028", 30}},
      {"a day the shown month lacks is carried", {select(32), month(2027, 2), pageDown}, movedAndSelected,
       {2027, 3, "03", "2027", "31", 31, "Wednesday, March 31 2027", 31}},
      {"Up in the year field: today's day", {[](CalendarPresenter& p) { return p.StepYearFieldByKey(+1); }},
       movedAndSelected, {2027, 12, "12", "2027", "9", 11, "Thursday, December 9 2027", 11}},
      {"year 1: no month before", {month(1, 1), [](CalendarPresenter& p) { return p.StepMonthByKey(-1); }}, {},
       {1, 1, "01", "0001", "", std::nullopt, "Wednesday, December 9 2026"}},
      {"the +1 button leaves the selection be", {select(32), [](CalendarPresenter& p) { return p.StepYearField(+1); }},
       monthMoved, {2027, 12, "12", "2027", "31", 33, "Thursday, December 31 2026"}},
      {"a chosen date: its month, no cell highlighted, the year as a plain number",
       {[](CalendarPresenter& p) { return p.JumpToDay("05", {812, 1, 5}); }},
       {.fields = true, .grid = true, .marks = true, .looks = true, .selectedDate = true, .details = true,
        .dayList = true},
       {812, 1, "01", "812", "05", 11, "Thursday, January 5 0812"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CalendarPresenter p(kToday, EnglishDateLocale(true));
    CalendarRedraw last;
    for (const Command& step : c.steps) last = step(p);
    EXPECT_EQ(last, c.last);
    ExpectShown(p, c.want);
    for (int k = 1; k <= kDayCellCount; ++k) EXPECT_EQ(p.PictureSelected(k), c.want.picked == k) << k;
  }
}

TEST(CalendarPresenter, StoreAndDayChangesShowTheDayAndTodayAfresh) {
  TestStore store({
      EventLine("12092026", EventCategory::kLovely, "NNYN", "Lunch"),
      EventLine("12202020", EventCategory::kBirthday, "YNNN", "Ann"),
      EventLine("12102026", EventCategory::kOther, "NNYN", "Tomorrow"),
  });
  CalendarPresenter p(kToday, EnglishDateLocale(true));
  EXPECT_EQ(p.TodayEventCounts().total, 0);
  EXPECT_FALSE(p.Blinking());
  EXPECT_EQ(p.AccessibleText(), "December 2026");

  p.SetEvents(&store.list());
  // Loaded with nothing selected: the details keep today, the list waits.
  EXPECT_EQ(p.StoreChanged(), (CalendarRedraw{.grid = true, .marks = true, .looks = true, .today = true}));
  EXPECT_EQ(p.TodayEventCounts().total, 1);
  EXPECT_TRUE(p.Blinking());
  EXPECT_EQ(p.View().Cell(21).dayMark, CodeOf(EventCategory::kBirthday));

  // With a day selected a store change lists it again and unselects the
  // first three rows' pictures.
  p.SelectCell(10);
  EXPECT_EQ(p.Listing().rows.size(), 1u);
  EXPECT_EQ(p.AccessibleText(), "Wednesday, December 9 2026, today, 1 event");
  EXPECT_TRUE(p.PictureSelected(10));
  EXPECT_EQ(p.StoreChanged(), (CalendarRedraw{.grid = true, .marks = true, .looks = true, .selectedDate = true,
                                              .details = true, .dayList = true, .today = true}));
  EXPECT_FALSE(p.PictureSelected(10));
  EXPECT_EQ(p.Listing().rows.size(), 1u);
  EXPECT_EQ(p.DetailsText(), "Wednesday, December 9 2026");

  // The blinking: the day number, then the category, and so on.
  EXPECT_EQ(p.BlinkTick(), kDayNumberIcon);
  EXPECT_EQ(p.BlinkTick(), CodeOf(EventCategory::kLovely));
  EXPECT_EQ(p.BlinkTick(), kDayNumberIcon);
  EXPECT_EQ(p.SetBlinking(false), (CalendarRedraw{.today = true}));
  EXPECT_FALSE(p.Blinking());

  // The same day seen again changes nothing; the next day moves the
  // calendar back to today's month and counts tomorrow's event.
  p.GoToMonth(2027, 5);
  EXPECT_EQ(p.DayMaybeChanged(kToday), CalendarRedraw{});
  EXPECT_EQ(p.Month(), 5);
  EXPECT_EQ(p.DayMaybeChanged({2026, 12, 10}),
            (CalendarRedraw{.fields = true, .grid = true, .marks = true, .looks = true, .today = true}));
  EXPECT_EQ(p.Year(), 2026);
  EXPECT_EQ(p.Month(), 12);
  EXPECT_EQ(p.View().TodayCell(), 11);
  EXPECT_EQ(p.TodayEventCounts().total, 1);
  EXPECT_EQ(p.TodayEventCounts().perCategory[static_cast<std::size_t>(CodeOf(EventCategory::kOther) - 1)], 1);
  p.SelectCell(10);
  EXPECT_EQ(p.AccessibleText(), "Wednesday, December 9 2026, 1 event");
  p.SelectCell(12);
  EXPECT_EQ(p.AccessibleText(), "Friday, December 11 2026, no events");

  // Other names: the fields and the details in them.
  EXPECT_EQ(p.LocaleChanged(EnglishDateLocale(false)),
            (CalendarRedraw{.fields = true, .grid = true, .details = true, .clock = true}));
  EXPECT_EQ(p.DetailsText(), "Friday, 11 December 2026");
  EXPECT_EQ(p.Fields().name, "DECEMBER");
}

}  // namespace
}  // namespace redoviri
