#include "events/eventeditor.h"

#include <array>
#include <utility>

#include "base/dateformat.h"

namespace redoviri {
namespace {

constexpr std::array<std::string_view, kCategoryCount> kAddTitles = {
    "Add a lovely day", "Add a birthday", "Add a working or a business day", "Add a religion or official day",
    "Add a feest day", "Add a other event"};
constexpr std::array<std::string_view, kCategoryCount> kViewTitles = {
    "View of Lovely day", "View of a Birthday", "View of a Working event", "View a Religion/Official event",
    "View a Feest event", "View a Other event"};
constexpr std::array<std::string_view, kCategoryCount> kChangeTitles = {
    "Change a lovely day", "Change a birthday", "Change a working or a business day",
    "Change a religion or official day", "Change a feest day", "Change a other event"};
constexpr std::array<std::string_view, kCategoryCount> kDeleteTitles = {
    "Delete a Lovely day", "Delete a Birthday", "Delete a Working vent", "Delete a Religion/Official event",
    "Delete a Feest event", "Delete a Other event"};

std::string YesNo(bool on) { return on ? "Y" : "N"; }

}  // namespace

std::string_view EditorTitle(EditorMode mode, EventCategory category) {
  const auto& titles = mode == EditorMode::Add      ? kAddTitles
                       : mode == EditorMode::View   ? kViewTitles
                       : mode == EditorMode::Change ? kChangeTitles
                                                    : kDeleteTitles;
  return titles[static_cast<std::size_t>(CodeOf(category) - 1)];
}

bool& RecurrenceBox(RecurrenceKind& recurrence, int box) {
  switch (box) {
    case 1: return recurrence.eachYear;
    case 2: return recurrence.eachMonth;
    case 3: return recurrence.eachNDays;
    default: return recurrence.onlyOnce;
  }
}

void CheckRecurrenceBox(RecurrenceKind& recurrence, int box) {
  if (!RecurrenceBox(recurrence, box)) return;
  if (box == kOnlyOnceBox) {
    recurrence.eachYear = recurrence.eachMonth = recurrence.eachNDays = false;
  } else {
    recurrence.onlyOnce = false;
  }
}

void EventEditor::Add(EventCategory category) {
  mode_ = EditorMode::Add;
  category_ = category;
  storedLine_.clear();
}

bool EventEditor::ShowRow(EditorMode mode, const DayRow& row, std::string storedLine, bool monthFirst) {
  if (row[kDateColumn].size() < 10) return false;
  mode_ = mode;
  category_ = CategoryFromWord(row[kCategoryColumn]).value_or(EventCategory::kOther);
  storedLine_ = std::move(storedLine);
  const NumericDateParts date = SplitNumericDate(row[kDateColumn], monthFirst);
  fields_ = {};
  fields_.name = row[kNameColumn];
  fields_.month = date.month;
  fields_.day = date.day;
  fields_.year = date.year;
  fields_.time = row[kTimeColumn];
  fields_.category = category_;
  fields_.recurrence = {row[kEachYearColumn] == "Y", row[kEachMonthColumn] == "Y", row[kOnlyOnceColumn] == "Y",
                        row[kEachNDaysColumn] == "Y"};
  fields_.dayCount = row[kDayCountColumn];
  fields_.comment = row[kCommentColumn];
  if (TailReading tail = ReadRuleTail(storedLine_); tail.ok()) fields_.rule = std::move(tail.rule);
  return true;
}

bool EventEditor::StartChange() {
  if (mode_ != EditorMode::View || storedLine_.empty()) return false;
  mode_ = EditorMode::Change;
  return true;
}

Colour EventEditor::PanelColour() const { return InfoOf(category_).colour; }

EditorSave EventEditor::Save(EventRecord typed, bool monthFirst) const {
  typed.category = category_;
  EditorSave save;
  BuiltLine built = BuildEventLine(typed);
  if (!built.ok()) {
    save.error = std::move(built.error);
    return save;
  }
  const std::string date = JoinNumericDate({.day = typed.day, .month = typed.month, .year = typed.year}, monthFirst);
  // An event on a day that does not exist could never be shown.
  const auto month = ReadInteger(typed.month), day = ReadInteger(typed.day), year = ReadInteger(typed.year);
  if (!month || !day || !year || !IsValidDate(*year, *month, *day)) {
    save.error = NotADateMessage(date);
    return save;
  }
  if (!IsNoTime(typed.time) && !IsEventTime(typed.time)) {
    save.error = NotATimeMessage(typed.time);
    return save;
  }
  save.line = std::move(built.line);
  DayRow& row = save.row;
  row[kNameColumn] = typed.name;
  row[kDateColumn] = date;
  row[kTimeColumn] = typed.time;
  row[kCategoryColumn] = std::string(InfoOf(category_).word);
  row[kCommentColumn] = std::string(TrimBlanks(typed.comment));
  row[kEachYearColumn] = YesNo(typed.recurrence.eachYear);
  row[kEachMonthColumn] = YesNo(typed.recurrence.eachMonth);
  row[kOnlyOnceColumn] = YesNo(typed.recurrence.onlyOnce);
  row[kEachNDaysColumn] = YesNo(typed.recurrence.eachNDays);
  row[kDayCountColumn] = typed.dayCount;
  // A rule moves the first date to its first day.
  if (!typed.rule.Empty()) row = MakeDayRow(save.line, monthFirst);
  return save;
}

EditorDelete EventEditor::Delete(EventRecord shown) const {
  EditorDelete target;
  if (!storedLine_.empty()) {
    target.line = storedLine_;
    return target;
  }
  shown.category = category_;
  BuiltLine built = BuildEventLine(shown);
  if (built.ok()) {
    target.line = std::move(built.line);
  } else {
    target.error = std::move(built.error);
  }
  return target;
}

}  // namespace redoviri
