#include "calendar/presenter.h"

#include <algorithm>

#include <algorithm>

#include "base/dateformat.h"
#include "base/text.h"

namespace redoviri {

namespace {

constexpr int kFirstRowsCells = 21;  // rows 1 to 3

bool IsBlank(std::string_view text) { return TrimBlanks(text).empty(); }

}  // namespace

CalendarRedraw& CalendarRedraw::operator|=(const CalendarRedraw& o) {
  fields |= o.fields;
  grid |= o.grid;
  marks |= o.marks;
  looks |= o.looks;
  selectedDate |= o.selectedDate;
  details |= o.details;
  dayList |= o.dayList;
  today |= o.today;
  clock |= o.clock;
  return *this;
}

CalendarPresenter::CalendarPresenter(const CivilDate& today, DateLocale locale)
    : locale_(std::move(locale)), today_(today), calendar_(today), todayKey_(DayKey(today)) {
  selection_.ShowDate(today);
  WriteFields();
  Fill();
}

// ------------------------------------------------------------- The shown month

void CalendarPresenter::Fill() { view_.Fill(Year(), Month(), today_); }

void CalendarPresenter::Mark() {
  view_.Mark(events_);
  pictureSelected_.fill(false);
}

void CalendarPresenter::UnselectPicturesOfFirstRows() {
  for (int k = 1; k <= kFirstRowsCells; ++k) pictureSelected_[static_cast<std::size_t>(k - 1)] = false;
}

CalendarRedraw CalendarPresenter::Refill() {
  Fill();
  return {.grid = true};
}

CalendarRedraw CalendarPresenter::Remark() {
  Mark();
  return {.marks = true};
}

CalendarRedraw CalendarPresenter::UnselectFirstRows() {
  UnselectPicturesOfFirstRows();
  return {.looks = true};
}

CalendarRedraw CalendarPresenter::ShowSelectedDay() {
  selection_.ShowSelectedDate(SelectedDate());
  return {.selectedDate = true, .details = true};
}

CalendarRedraw CalendarPresenter::MonthChanged() {
  Fill();
  Mark();
  UnselectPicturesOfFirstRows();
  return {.grid = true, .marks = true, .looks = true};
}

CalendarRedraw CalendarPresenter::SetMonthAndYear(int year, int month) {
  const bool monthMoved = calendar_.SetMonth(month);
  const bool yearMoved = calendar_.SetYear(year);
  return monthMoved || yearMoved ? MonthChanged() : CalendarRedraw{};
}

void CalendarPresenter::WriteFields() { yearText_ = YearText(Year()); }

MonthFieldTexts CalendarPresenter::Fields() const {
  const CivilDate shown = ShownDate();
  return {FormatDate("mm", locale_, shown), UpperCaseAscii(FormatDate("mmmm", locale_, shown)), yearText_};
}

CalendarRedraw CalendarPresenter::GoToMonth(int year, int month) {
  if (year < kMinYear || year > kMaxYear || month < 1 || month > 12) return {};
  CalendarRedraw r = SetMonthAndYear(year, month);
  WriteFields();
  r.fields = true;
  return r;
}

CalendarRedraw CalendarPresenter::StepMonth(int step) {
  const int months = Year() * 12 + (Month() - 1) + step;
  return GoToMonth(months / 12, months % 12 + 1);
}

CalendarRedraw CalendarPresenter::StepYear(int step) { return GoToMonth(Year() + step, Month()); }

CalendarRedraw CalendarPresenter::StepYearField(int step) {
  const std::optional<std::string> text = SteppedYearText(yearText_, step);
  if (!text) return {};
  CalendarRedraw r = YearTyped(*text);
  r.fields = true;
  return r;
}

CalendarRedraw CalendarPresenter::YearTyped(std::string_view text) {
  yearText_ = std::string(text);
  const YearFieldChange change = ReadYearField(text, today_.year);
  CalendarRedraw r;
  if (change.fieldText) {
    yearText_ = *change.fieldText;
    r.fields = true;
  }
  if (calendar_.SetYear(change.year)) r |= MonthChanged();
  return r;
}

template <typename Change>
CalendarRedraw CalendarPresenter::ChangeMonthByKey(Change change) {
  const std::optional<CivilDate> selected = SelectedDate();
  int day = selected ? selected->day : ReadInteger(SelectedDayText()).value_or(0);
  if (carried_ && carried_->selected == selected) day = carried_->day;
  if (day < 1 || day > 31) day = view_.TodayCell() ? today_.day : 1;
  const int year = Year(), month = Month();
  CalendarRedraw r = change();
  if (Year() == year && Month() == month) return r;
  const CivilDate to{Year(), Month(), std::min(day, DaysInMonth(Year(), Month()))};
  r |= SelectCell(MonthPlacement(to.year, to.month).CellOfDay(to.day));
  carried_ = CarriedDay{day, to};
  return r;
}

CalendarRedraw CalendarPresenter::StepMonthByKey(int step) {
  return ChangeMonthByKey([&] { return StepMonth(step); });
}

CalendarRedraw CalendarPresenter::StepYearByKey(int step) {
  return ChangeMonthByKey([&] { return StepYear(step); });
}

CalendarRedraw CalendarPresenter::StepYearFieldByKey(int step) {
  return ChangeMonthByKey([&] { return StepYearField(step); });
}

CalendarRedraw CalendarPresenter::YearTypedByKey(std::string_view text) {
  return ChangeMonthByKey([&] { return YearTyped(text); });
}

CalendarRedraw CalendarPresenter::MonthNumberChanged(std::string_view text) {
  // The fields show the month it leads to (a blank field: this month).
  CalendarRedraw r{.fields = true};
  std::optional<int> month = ReadInteger(text);
  if (IsBlank(text)) month = today_.month;
  if (month && calendar_.SetMonth(*month)) r |= MonthChanged();
  if (const std::optional<int> year = ReadInteger(yearText_); year && calendar_.SetYear(*year)) r |= MonthChanged();
  return r;
}

CalendarRedraw CalendarPresenter::Today() {
  CalendarRedraw r = SetMonthAndYear(today_.year, today_.month);
  WriteFields();
  selection_.ShowDate(today_);
  r |= {.fields = true, .details = true, .clock = true};
  // The details show today: the counts beside them and the list they open
  // are today's too, not those of the day selected before.
  r |= SelectToday();
  return r;
}

// ------------------------------------------------------------- The selected day

CalendarRedraw CalendarPresenter::ListSelectedDay() {
  const std::optional<CivilDate> date = SelectedDate();
  listing_ = date && events_ ? ListDay(*events_, *date, locale_.IsMonthFirst()) : DayListing{};
  listedDate_ = date;
  return {.dayList = true};
}

CalendarRedraw CalendarPresenter::SelectCell(int k) {
  if (k < 1 || k > kDayCellCount) return {};
  selection_.SelectCell(view_, k);
  view_.Select(k);
  pictureSelected_.fill(false);
  pictureSelected_[static_cast<std::size_t>(k - 1)] = true;
  selection_.ShowSelectedDate(SelectedDate());
  selection_.ShowCellMoon();
  CalendarRedraw r{.looks = true, .selectedDate = true, .details = true};
  if (!selection_.Empty()) r |= ListSelectedDay();
  return r;
}

CalendarRedraw CalendarPresenter::SelectToday() {
  if (const std::optional<int> k = view_.TodayCell()) return SelectCell(*k);
  return {};
}

std::optional<int> CalendarPresenter::SelectedCell() const {
  const std::optional<CivilDate> date = SelectedDate();
  if (!date) return std::nullopt;
  return MonthPlacement(Year(), Month()).CellOfDay(date->day);
}

CalendarRedraw CalendarPresenter::MoveSelection(int days) {
  std::optional<CivilDate> from = SelectedDate();
  if (!from) {
    // Nothing selected yet: the first key selects where the eye starts.
    from = view_.TodayCell() ? today_ : CivilDate{Year(), Month(), 1};
    days = 0;
  }
  const std::optional<std::int32_t> number = DayNumber(*from);
  if (!number) return {};
  const CivilDate to = DateOfDayNumber(*number + days);
  if (to.year < kMinYear || to.year > kMaxYear || !IsValidDate(to)) return {};
  CalendarRedraw r;
  if (to.year != Year() || to.month != Month()) r = GoToMonth(to.year, to.month);
  return r |= SelectCell(MonthPlacement(to.year, to.month).CellOfDay(to.day));
}

CalendarRedraw CalendarPresenter::JumpToDay(const std::string& dayText, const CivilDate& date) {
  selection_.SelectDayText(dayText);
  CalendarRedraw r = SetMonthAndYear(date.year, date.month);
  // The year as a plain number, as the date chooser read it.
  yearText_ = std::to_string(Year());
  r |= ShowSelectedDay();
  r.fields = true;
  if (!selection_.Empty()) r |= ListSelectedDay();
  return r;
}

// ------------------------------------------------------------- Store, day and settings

CalendarRedraw CalendarPresenter::RecountToday() {
  blink_ = {};
  todayCounts_ = events_ ? CountToday(*events_, today_) : TodayCounts{};
  return {.today = true};
}

CalendarRedraw CalendarPresenter::StoreChanged() {
  Fill();
  Mark();
  CalendarRedraw r = RecountToday();
  UnselectPicturesOfFirstRows();
  r |= {.grid = true, .marks = true, .looks = true};
  if (selection_.Empty()) return r;
  r |= ShowSelectedDay();
  return r |= ListSelectedDay();
}

CalendarRedraw CalendarPresenter::EventAdded(std::size_t index) {
  if (!events_) return {};
  CalendarRedraw r;
  if (view_.MarkAdded(*events_, index)) r |= {.marks = true, .looks = true};
  const EventList::Entry entry = events_->EntryAt(static_cast<int>(index));
  if (const std::optional<MatchDay> day = MakeMatchDay(today_.year, today_.month, today_.day);
      day && FallsOn(entry.parsed, *day) && CountCategory(todayCounts_.perCategory, entry.parsed.category)) {
    ++todayCounts_.total;
    blink_ = {};
    r.today = true;
  }
  if (listedDate_ && listedDate_ == SelectedDate()) {
    const std::optional<MatchDay> day = MakeMatchDay(listedDate_->year, listedDate_->month, listedDate_->day);
    if (day && FallsOn(entry.parsed, *day)) {
      // The listing keeps the store's order.
      const auto place = std::upper_bound(listing_.lines.begin(), listing_.lines.end(), entry.line,
                                          [](std::string_view a, const std::string& b) { return LessIgnoringCase(a, b); });
      const auto at = place - listing_.lines.begin();
      listing_.lines.insert(place, std::string(entry.line));
      listing_.rows.insert(listing_.rows.begin() + at, MakeDayRow(entry.line, locale_.IsMonthFirst()));
      CountCategory(listing_.counts, entry.parsed.category);
      r.dayList = true;
    }
  }
  return r;
}

CalendarRedraw CalendarPresenter::DayMaybeChanged(const CivilDate& today) {
  const DayChange change = CheckDayChange(todayKey_, today);
  if (!change.changed) return {};
  todayKey_ = change.key;
  today_ = today;
  (void)calendar_.SetMonth(today.month);
  (void)calendar_.SetYear(today.year);
  WriteFields();
  Fill();
  Mark();
  CalendarRedraw r = RecountToday();
  return r |= {.fields = true, .grid = true, .marks = true, .looks = true};
}

CalendarRedraw CalendarPresenter::LocaleChanged(DateLocale locale) {
  locale_ = std::move(locale);
  Fill();  // the column headers
  return {.fields = true, .grid = true, .details = true, .clock = true};
}

CalendarRedraw CalendarPresenter::SetBlinking(bool on) {
  blinking_ = on;
  // Recounting stops the blinking first and starts it again only when it
  // is on and today has events.
  return RecountToday();
}

std::optional<int> CalendarPresenter::BlinkTick() {
  const BlinkState state = blink_;
  const redoviri::BlinkTick tick = NextBlinkTick(todayCounts_.perCategory, state);
  blink_ = tick.next;
  if (state.toggle == 0) return kDayNumberIcon;
  // A tick that finds no category left keeps the day number.
  if (tick.icon != kDayNumberIcon) return tick.icon;
  return std::nullopt;
}

std::string CalendarPresenter::AccessibleText() const {
  const std::optional<CivilDate> date = SelectedDate();
  if (!date) return FormatDate("mmmm yyyy", locale_, ShownDate());
  std::string text = FormatDate(DateForm::Long, locale_, *date);
  if (*date == today_) text += ", today";
  // The day's list when it is the one shown, else the store once more.
  const std::size_t count = listedDate_ == date ? listing_.rows.size()
                            : events_           ? ListDay(*events_, *date, locale_.IsMonthFirst()).rows.size()
                                                : 0;
  if (count == 0) return text + ", no events";
  return text + ", " + std::to_string(count) + (count == 1 ? " event" : " events");
}

}  // namespace redoviri
