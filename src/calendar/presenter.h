// The main window's calendar as a portable model: the shown month and its
// month and year fields, the month view, the selected day and its details,
// today's events and the tray's blinking. The window turns the mouse and the
// keys into its commands and shows what it says; each command tells which
// parts of the window are to be shown afresh.
//
//   CalendarPresenter calendar(clock.Now().date, locale);
//   calendar.SetEvents(&store);
//   const CalendarRedraw r = calendar.MoveSelection(+7);   // the Down key
//   if (r.looks) ... for each cell: calendar.View().Cell(k).look,
//                    calendar.PictureSelected(k)
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "base/datetime.h"
#include "base/locale.h"
#include "base/monthgrid.h"
#include "calendar/monthview.h"
#include "calendar/navigation.h"
#include "calendar/selection.h"
#include "reminders/daylisting.h"
#include "reminders/todayreminder.h"

namespace redoviri {

class EventList;

// The parts of the window a command changed. The window shows them in the
// order they are declared.
struct CalendarRedraw {
  bool fields = false;        // the month number, month name and year fields
  bool grid = false;          // the fill: day numbers, column headers, colours, moon marks
  bool marks = false;         // each cell's event picture and the hint of its day number
  bool looks = false;         // the cells' colours, which cell shows its picture selected
  bool selectedDate = false;  // the selected date handed on (list heading, editor); counts hidden
  bool details = false;       // the details line
  bool dayList = false;       // the selected day's counts and rows
  bool today = false;         // today's events in the tray, the blinking started afresh
  bool clock = false;         // the clock line

  CalendarRedraw& operator|=(const CalendarRedraw& other);
  friend bool operator==(const CalendarRedraw&, const CalendarRedraw&) = default;
};

// The texts of the month fields.
struct MonthFieldTexts {
  std::string number;  // "mm"
  std::string name;    // the month's name in capitals
  std::string year;    // as typed, or "yyyy" when the calendar wrote it
  friend bool operator==(const MonthFieldTexts&, const MonthFieldTexts&) = default;
};

class CalendarPresenter {
 public:
  // The calendar on today's month, today in the details, no day selected.
  CalendarPresenter(const CivilDate& today, DateLocale locale);

  // ---- Commands
  // The store the marking pass, the day's list and today's counts read;
  // none: no marks, no counts.
  void SetEvents(const EventList* events) {
    events_ = events;
    listedDate_.reset();
  }
  // A month of years 1..9999 (else nothing happens), the fields written.
  CalendarRedraw GoToMonth(int year, int month);
  // One month or one year on (positive) or back, within 1..9999.
  CalendarRedraw StepMonth(int step);
  CalendarRedraw StepYear(int step);
  // The year field's +1 and -1 buttons: the field's number stepped, and
  // the calendar follows the field as after typing.
  CalendarRedraw StepYearField(int step);
  // The year field's text changed (its whole text now). The field may be
  // written back (see YearFieldText).
  CalendarRedraw YearTyped(std::string_view text);
  // The same from the keyboard: Page Down/Up, Ctrl+Page Down/Up, the Up
  // and Down keys in the year field and typing in it. When the shown
  // month changes, the day carried selects the same day of the new month,
  // or its last day when it has fewer, and the details and the day's list
  // follow, as after MoveSelection into that day. The day carried is the
  // selected day's number, even one the shown month lacks; without a
  // selected day, today in today's month, else the 1st (MoveSelection's
  // start). A day cut short stays the one carried while its date remains
  // selected: 31 January, Page Down, Page Down gives 28 February, then
  // 31 March, and typing 2028 over 2024 keeps 29 February through the
  // years 2, 20 and 202 on the way. A month that does not change selects
  // nothing.
  CalendarRedraw StepMonthByKey(int step);
  CalendarRedraw StepYearByKey(int step);
  CalendarRedraw StepYearFieldByKey(int step);
  CalendarRedraw YearTypedByKey(std::string_view text);
  // The month number field's text changed (the month chooser, or cleared):
  // a blank field shows the current month.
  CalendarRedraw MonthNumberChanged(std::string_view text);
  // The present month: today's month shown, today selected.
  CalendarRedraw Today();
  // Cell k (1..37) clicked: selected, even when it holds no day.
  CalendarRedraw SelectCell(int k);
  // Today's cell selected when the view shows today's month.
  CalendarRedraw SelectToday();
  // The selection moved by `days` (the arrow keys), into the next or the
  // previous month when it leaves the shown one; without a selected day it
  // starts from today in today's month, else from the shown month's 1st.
  CalendarRedraw MoveSelection(int days);
  // A date chosen elsewhere: `dayText` becomes the selected day, the
  // calendar moves to the date's month; no cell is highlighted.
  CalendarRedraw JumpToDay(const std::string& dayText, const CivilDate& date);
  // The selected day alone, nothing shown afresh (a chosen date that does
  // not exist).
  void SetSelectedDayText(const std::string& dayText) { selection_.SelectDayText(dayText); }
  // The store changed: marks, today's counts and, with a day selected,
  // its details and list afresh; the first three rows' pictures unselected.
  CalendarRedraw StoreChanged();
  // One event was added to the store at `index`, nothing else changed: its
  // marks, today's count and the listed day take it in, as StoreChanged
  // would show them, without a pass over the store.
  CalendarRedraw EventAdded(std::size_t index);
  // Once a minute and when the clock moves: a new day moves the calendar
  // to today's month, its fill, marks and today's counts.
  CalendarRedraw DayMaybeChanged(const CivilDate& today);
  // The names of days and months and the date order are now these.
  CalendarRedraw LocaleChanged(DateLocale locale);
  // Whether the tray blinks on a day with events.
  CalendarRedraw SetBlinking(bool on);
  // One blink: the icon the tray shows now (0 the day number, 1..6 a
  // category), or none when it keeps the one it has.
  std::optional<int> BlinkTick();

  // ---- The window's own steps, by what they show afresh
  // The shown month laid out again (day numbers, headers, looks, moons).
  CalendarRedraw Refill();
  // The marking pass: every cell's event picture and hint, unselected.
  CalendarRedraw Remark();
  // The selected day's date into the details (none without a day).
  CalendarRedraw ShowSelectedDay();
  // The selected day's events listed.
  CalendarRedraw ListSelectedDay();
  // Today's events counted again, the blinking from its start.
  CalendarRedraw RecountToday();
  // The pictures of the first three rows of cells unselected.
  CalendarRedraw UnselectFirstRows();

  // ---- What the window shows
  const DateLocale& Locale() const { return locale_; }
  const MonthView& View() const { return view_; }
  int Year() const { return calendar_.Year(); }
  int Month() const { return calendar_.Month(); }
  // The date the month view stands on (the day it was created on, within
  // the month).
  CivilDate ShownDate() const { return calendar_.Date(); }
  const CivilDate& TodayDate() const { return today_; }
  MonthFieldTexts Fields() const;
  // Whether cell k shows its event picture in the selected look.
  bool PictureSelected(int k) const { return pictureSelected_.at(static_cast<std::size_t>(k - 1)); }
  const std::string& SelectedDayText() const { return selection_.DayText(); }
  std::optional<CivilDate> SelectedDate() const { return selection_.DateIn(Year(), Month()); }
  // The selected cell, when a day of the shown month is selected.
  std::optional<int> SelectedCell() const;
  std::string DetailsText() const { return selection_.DetailsText(locale_); }
  // The selected day's events; empty while no day is selected.
  const DayListing& Listing() const { return listing_; }
  const TodayCounts& TodayEventCounts() const { return todayCounts_; }
  // The tray blinks (today has events and blinking is on).
  bool Blinking() const { return blinking_ && todayCounts_.total != 0; }
  // What a screen reader says of the day grid: the selected day (else the
  // shown month), today's, and its events.
  std::string AccessibleText() const;

 private:
  // The shown month refilled after it changed: fill, marks, the first
  // rows' pictures unselected.
  CalendarRedraw MonthChanged();
  CalendarRedraw SetMonthAndYear(int year, int month);
  // A keyboard month change: `change` moves the shown month, then the
  // day carried is selected in it (see StepMonthByKey).
  template <typename Change>
  CalendarRedraw ChangeMonthByKey(Change change);
  // The fields' texts written from the shown month.
  void WriteFields();
  void Fill();
  void Mark();
  void UnselectPicturesOfFirstRows();

  DateLocale locale_;
  CivilDate today_;
  ViewCalendar calendar_;
  MonthView view_;
  DaySelection selection_;
  std::string yearText_;  // the year field as typed
  const EventList* events_ = nullptr;
  std::array<bool, kDayCellCount> pictureSelected_{};
  DayListing listing_;
  std::optional<CivilDate> listedDate_;  // the day listing_ is of
  // The day the last keyboard month change aimed for, and the date it
  // selected (the day cut short to the month's last).
  struct CarriedDay {
    int day;
    CivilDate selected;
  };
  std::optional<CarriedDay> carried_;
  TodayCounts todayCounts_;
  bool blinking_ = true;
  BlinkState blink_;
  std::string todayKey_;  // "ddmmyyyy" of the day last seen
};

}  // namespace redoviri
