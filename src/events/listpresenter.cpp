#include "events/listpresenter.h"

#include <algorithm>
#include <utility>

#include "events/eventlist.h"

namespace redoviri {

SeriesQuestion SeriesQuestionOf(const CivilDate& day, bool deleting) {
  const std::string date = std::string(WeekdayName(WeekdayOf(day))) + " " + DateInWords(day);
  SeriesQuestion q;
  q.title = deleting ? "Delete a day of a repeating event" : "Change a day of a repeating event";
  q.lead = std::string("The event repeats. ") + (deleting ? "Delete it on " : "Change it on ") + date + ":";
  q.choices = {"Only that day", "That day and the following ones", "Every day"};
  q.effects = {deleting ? "the other days stay" : "a single event on that day; the other days stay",
               deleting ? "the event ends the day before" : "the event ends the day before; the change repeats from it",
               deleting ? "the whole event goes" : "the whole event changes"};
  return q;
}

ListRedraw& ListRedraw::operator|=(const ListRedraw& o) {
  heading |= o.heading;
  rows |= o.rows;
  selection |= o.selection;
  editor |= o.editor;
  fields |= o.fields;
  dateFields |= o.dateFields;
  nameFocus |= o.nameFocus;
  return *this;
}

void ListPresenter::WriteDateFields(const CivilDate& date) {
  fields_.month = FormatDate("mm", locale_, date);
  fields_.day = FormatDate("dd", locale_, date);
  fields_.year = std::to_string(date.year);
}

ListRedraw ListPresenter::Start(const CivilDate& shown) {
  heading_ = {kListFirstHeading, DateForm::ShortHeading, shown};
  WriteDateFields(shown);
  return {.heading = true, .dateFields = true};
}

ListRedraw ListPresenter::ShowDate(const std::optional<CivilDate>& date) {
  if (heading_.date != date) saved_.clear();
  heading_ = {kListHeading, DateForm::Heading, date};
  if (!date) return {.heading = true};
  WriteDateFields(*date);
  return {.heading = true, .dateFields = true};
}

std::string ListPresenter::HeadingText() const {
  return heading_.lead + (heading_.date ? FormatDate(heading_.form, locale_, *heading_.date) : "");
}

ListRedraw ListPresenter::LocaleChanged(DateLocale locale) {
  locale_ = std::move(locale);
  return {.heading = true};
}

ListRedraw ListPresenter::SetEditorYear(const std::string& year) {
  fields_.year = year;
  return {.dateFields = true};
}

bool ListPresenter::Stored(const std::string& line) const {
  return events_ && events_->Holds(line);
}

void ListPresenter::BuildRows() {
  const std::string selectedLine =
      !selectNext_.empty() ? std::exchange(selectNext_, {})
      : selected_ >= 0 && static_cast<std::size_t>(selected_) < lines_.size() ? lines_[static_cast<std::size_t>(selected_)]
                                                                              : std::string();
  std::erase_if(saved_, [&](const auto& s) { return !Stored(s.second); });
  rows_.clear();
  lines_.clear();
  const auto isSaved = [&](const std::string& line) {
    return std::any_of(saved_.begin(), saved_.end(), [&](const auto& s) { return s.second == line; });
  };
  for (std::size_t i = 0; i < listing_.rows.size(); ++i) {
    const std::string line = i < listing_.lines.size() ? listing_.lines[i] : std::string();
    if (isSaved(line)) continue;
    rows_.push_back(listing_.rows[i]);
    lines_.push_back(line);
  }
  for (const auto& [row, line] : saved_) {
    rows_.push_back(row);
    lines_.push_back(line);
  }
  // The selection stays on its event while it is listed.
  const auto at = std::find(lines_.begin(), lines_.end(), selectedLine);
  if (!selectedLine.empty() && at != lines_.end()) selected_ = static_cast<int>(at - lines_.begin());
  selected_ = std::clamp(selected_, 0, std::max(static_cast<int>(rows_.size()) - 1, 0));
}

ListRedraw ListPresenter::ShowListing(const DayListing& listing) {
  listing_ = listing;
  BuildRows();
  return {.rows = true, .selection = true};
}

ListRedraw ListPresenter::SelectRow(int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size()) || row == selected_) return {};
  selected_ = row;
  return {.selection = true};
}

ListRedraw ListPresenter::SelectLine(const std::string& line) {
  const auto at = std::find(lines_.begin(), lines_.end(), line);
  if (at == lines_.end()) return {};
  selected_ = static_cast<int>(at - lines_.begin());
  return {.selection = true};
}

ListRedraw ListPresenter::Add(int code, const EventRecord& typed) {
  const std::optional<EventCategory> category = CategoryFromCode(code);
  if (!category) return {};
  // A viewed event's rule is not the new one's.
  const bool changing = editorShown_ && editor_.Mode() == EditorMode::Change;
  RepeatRule rule = editor_.Writable() ? std::move(fields_.rule) : RepeatRule{};
  fields_ = typed;
  fields_.rule = std::move(rule);
  if (changing) {
    editor_.SetCategory(*category);
    return {.editor = true, .nameFocus = true};
  }
  editor_.Add(*category);
  editorShown_ = true;
  return {.editor = true, .nameFocus = true};
}

ListRedraw ListPresenter::View(EditorMode mode) {
  const int row = SelectedRow();
  if (row < 0) return {};
  const auto r = static_cast<std::size_t>(row);
  if (!editor_.ShowRow(mode, rows_[r], lines_[r], locale_.IsMonthFirst())) return {};
  fields_ = editor_.Fields();
  editorShown_ = true;
  return {.editor = true, .fields = true};
}

ListRedraw ListPresenter::Change() {
  if (!editorShown_ || !editor_.StartChange()) return {};
  return {.editor = true, .nameFocus = true};
}

ListRedraw ListPresenter::CheckBox(int box, const EventRecord& typed) {
  RepeatRule rule = std::move(fields_.rule);
  fields_ = typed;
  CheckRecurrenceBox(fields_.recurrence, box);
  if (RecurrenceBox(fields_.recurrence, box))
    rule = {.until = rule.until, .skips = std::move(rule.skips), .reminders = std::move(rule.reminders)};
  fields_.rule = std::move(rule);
  return {.fields = true};
}

ListRedraw ListPresenter::SetRule(const RepeatRule& rule, const EventRecord& typed) {
  std::vector<int> reminders = std::move(fields_.rule.reminders);
  fields_ = typed;
  fields_.rule = rule;
  fields_.rule.reminders = std::move(reminders);
  if (rule.Repeats()) fields_.recurrence = {};
  return {.fields = true};
}

ListRedraw ListPresenter::SetReminders(std::vector<int> reminders, const EventRecord& typed) {
  if (!editorShown_ || !editor_.Writable()) return {};
  RepeatRule rule = std::move(fields_.rule);
  std::erase_if(reminders, [](int minutes) { return minutes < 1 || minutes > kMaxRemindMinutes; });
  rule.reminders = SortedReminders(std::move(reminders));
  if (static_cast<int>(rule.reminders.size()) > kMaxReminders) rule.reminders.resize(kMaxReminders);
  fields_ = typed;
  fields_.rule = std::move(rule);
  return {.fields = true};
}

std::string ListPresenter::ReminderWords() const {
  return editorShown_ ? RemindersInWords(fields_.rule.reminders) : std::string();
}

std::string ListPresenter::RuleWords() const {
  if (!editorShown_) return {};
  if (!editor_.Writable()) {
    const int row = SelectedRow();
    const std::string line = row >= 0 ? lines_[static_cast<std::size_t>(row)] : std::string();
    RepeatRule rule = ReadRuleTail(line).rule;
    rule.reminders.clear();
    return rule.Empty() ? std::string() : DescribeLineRule(line);
  }
  const RepeatRule& rule = fields_.rule;
  const std::optional<CivilDate> first = TypedFirstDate(fields_);
  if (rule.Repeats() && first) return DescribePattern(rule, *first) + DescribeLimits(rule);
  const std::string limits = DescribeLimits(rule);
  return limits.empty() ? limits : limits.substr(2);
}

std::optional<CivilDate> ListPresenter::TypedFirstDate(const EventRecord& typed) const {
  const auto month = ReadInteger(typed.month), day = ReadInteger(typed.day), year = ReadInteger(typed.year);
  if (!month || !day || !year || !IsValidDate(*year, *month, *day)) return std::nullopt;
  return CivilDate{*year, *month, *day};
}

ListRedraw ListPresenter::HideEditor() {
  if (!editorShown_) return {};
  editorShown_ = false;
  return {.editor = true};
}

ListRedraw ListPresenter::Closed() {
  if (saved_.empty()) return {};
  saved_.clear();
  BuildRows();
  return {.rows = true, .selection = true};
}

EditorSave ListPresenter::PrepareSave(const EventRecord& typed) const {
  EventRecord withRule = typed;
  withRule.rule = fields_.rule;
  return editor_.Save(std::move(withRule), locale_.IsMonthFirst());
}

ListRedraw ListPresenter::Saved(const EditorSave& save) {
  editorShown_ = false;
  if (std::none_of(saved_.begin(), saved_.end(), [&](const auto& s) { return s.second == save.line; }))
    saved_.emplace_back(save.row, save.line);
  BuildRows();
  return {.rows = true, .selection = true, .editor = true};
}

ListRedraw ListPresenter::Changed(const EditorSave& save, const std::string& old) {
  editorShown_ = false;
  for (auto& [row, line] : saved_) {
    if (line != old) continue;
    row = save.row;
    line = save.line;
  }
  selectNext_ = save.line;
  return {.editor = true};
}

ListRedraw ListPresenter::SelectNext(const std::string& line) {
  selectNext_ = line;
  return {};
}

EditorDelete ListPresenter::PrepareDelete(const EventRecord& shown) const { return editor_.Delete(shown); }

}  // namespace redoviri
