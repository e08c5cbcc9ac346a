#include "calendar/appmodel.h"

#include "reminders/matching.h"

#include <algorithm>
#include <utility>

namespace redoviri {

AppModel::AppModel(const Clock& clock, DateLocale locale, EventFile file)
    : clock_(clock),
      store_(std::move(file)),
      lastLook_(clock.Read()),
      calendar_(lastLook_.local.date, locale),
      list_(std::move(locale)) {
  calendar_.SetEvents(&store_);
  list_.SetEvents(&store_);
  (void)list_.Start(calendar_.ShownDate());
  notices_.Start(lastLook_);
}

StoreResult AppModel::Load() {
  StoreResult result = store_.LoadEvents();
  // Also after a failure: the calendar shows today, the tray its number.
  Change change;
  change.storeChanged = true;
  Apply(std::move(change));
  return result;
}

void AppModel::Apply(Change change) {
  ModelUpdate u = std::move(change.shown);
  if (change.storeChanged || change.added) {
    const CalendarRedraw newDay = calendar_.DayMaybeChanged(clock_.Now().date);
    u.calendar |= newDay;
    // A new day has marked the store afresh already.
    u.calendar |= change.storeChanged ? calendar_.StoreChanged()
                  : newDay.grid       ? CalendarRedraw{}
                                      : calendar_.EventAdded(*change.added);
  }
  if (change.reading) {
    lastLook_ = *change.reading;
    u.calendar |= calendar_.DayMaybeChanged(lastLook_.local.date);
    u.notices |= notices_.Look(store_, lastLook_);
  }
  // The list window lists the calendar's selected day.
  if (u.calendar.selectedDate) u.list |= list_.ShowDate(calendar_.SelectedDate());
  if (u.calendar.dayList) u.list |= list_.ShowListing(calendar_.Listing());
  if (onUpdate) onUpdate(u);
}

void AppModel::Look() {
  // A file that cannot be read now keeps what is shown; the next look
  // reads it again.
  bool changed = false;
  (void)store_.LookForChange(changed);
  Change change;
  change.storeChanged = changed;
  change.reading = clock_.Read();
  Apply(std::move(change));
}

void AppModel::CalendarCommand(const std::function<CalendarRedraw(CalendarPresenter&)>& command) {
  Change change;
  change.shown.calendar = command(calendar_);
  Apply(std::move(change));
}

void AppModel::GoToToday() {
  Look();
  CalendarCommand([](CalendarPresenter& p) { return p.Today(); });
}

void AppModel::LocaleChanged(DateLocale locale) {
  Change change;
  change.shown.calendar = calendar_.LocaleChanged(locale);
  change.shown.list = list_.LocaleChanged(std::move(locale));
  Apply(std::move(change));
}

std::optional<CivilDate> AppModel::OpenNotice(std::size_t row) {
  const std::optional<Notice> notice = notices_.At(row);
  if (!notice) return std::nullopt;
  const CivilDate day = notice->day;
  Change change;
  change.shown.calendar = calendar_.JumpToDay(std::to_string(day.day), day);
  change.shown.list = list_.ShowDate(calendar_.SelectedDate());
  change.shown.list |= list_.ShowListing(calendar_.Listing());
  change.shown.list |= list_.SelectLine(notice->line);
  Apply(std::move(change));
  return day;
}

void AppModel::ListCommand(const std::function<ListRedraw(ListPresenter&)>& command) {
  Change change;
  change.shown.list = command(list_);
  Apply(std::move(change));
}

ListOutcome AppModel::OutcomeOf(const StoreResult& result) {
  if (result.ok()) return {.kind = ListOutcome::Kind::Written};
  return {.kind = result.refused ? ListOutcome::Kind::Refused : ListOutcome::Kind::Failed, .message = result.error};
}

ListOutcome AppModel::SaveEvent(const EventRecord& typed) {
  const EditorSave save = list_.PrepareSave(typed);
  if (!save.ok()) return {.kind = ListOutcome::Kind::InputError, .message = save.error};
  if (list_.Mode() != EditorMode::Change) return Save(save);
  // A change: the new line in the old one's place.
  const std::string old = list_.EditedLine();
  Change change;
  if (SameEventLine(old, save.line)) {
    change.shown.list = list_.HideEditor();
    Apply(std::move(change));
    return {};
  }
  EventRecord withRule = typed;
  withRule.rule = list_.Fields().rule;
  withRule.category = list_.Category();
  if (auto asked = AskForSeries(old, withRule, save.line)) return *asked;
  const StoreResult result = Rewrite({old}, {save.line});
  change.storeChanged = result.ok() || result.reloaded || result.refused;
  change.shown.written = result.ok();
  if (result.ok()) {
    change.shown.list = list_.Changed(save, old);
    Done({{old}, {save.line}});
  }
  Apply(std::move(change));
  return OutcomeOf(result);
}

std::optional<ListOutcome> AppModel::AskForSeries(const std::string& line, std::optional<EventRecord> typed,
                                                  const std::string& changed) {
  const std::optional<CivilDate>& day = list_.ListedDate();
  if (!day || !IsSeries(line)) return std::nullopt;
  const std::optional<MatchDay> match = MakeMatchDay(day->year, day->month, day->day);
  if (!match || !FallsOn(ParseEventLine(line), *match)) return std::nullopt;
  seriesAsked_ = {line, *day, std::move(typed), changed, SeriesQuestionOf(*day, !typed)};
  return ListOutcome{.kind = ListOutcome::Kind::AskSeries, .message = seriesAsked_.question.lead};
}

ListOutcome AppModel::SeriesChosen(std::optional<SeriesScope> scope) {
  SeriesAsked asked = std::exchange(seriesAsked_, {});
  if (!scope || asked.line.empty()) return {};
  const bool deleting = !asked.typed;
  std::vector<std::string> lines;
  if (*scope == SeriesScope::kEveryDay) {
    if (!deleting) lines.push_back(asked.changed);
  } else {
    SeriesEdit edit = EditSeries(asked.line, asked.day, *scope, deleting ? nullptr : &*asked.typed);
    if (!edit.ok()) return {.kind = ListOutcome::Kind::InputError, .message = edit.error};
    lines = std::move(edit.lines);
  }
  const StoreResult result = store_.ReplaceEvents({asked.line}, lines);
  Change change;
  change.storeChanged = true;
  change.shown.written = result.ok();
  if (result.ok()) {
    change.shown.list = list_.HideEditor();
    if (!lines.empty()) change.shown.list |= list_.SelectNext(lines.back());
    Done({{asked.line}, std::move(lines)});
  }
  Apply(std::move(change));
  return OutcomeOf(result);
}

StoreResult AppModel::Rewrite(const std::vector<std::string>& from, const std::vector<std::string>& to) {
  if (from.empty()) return store_.AppendEvent(to.front());
  return store_.ReplaceEvents(from, to);
}

void AppModel::Done(Edit edit) {
  undo_.push_back(std::move(edit));
  redo_.clear();
}

std::string AppModel::EditText(const Edit& e, bool undo) {
  const char* what = e.before.empty() ? "save" : e.after.empty() ? "delete" : "change";
  return std::string(undo ? "Undo " : "Redo ") + what + " of " + ReadName(e.after.empty() ? e.before.front() : e.after.front());
}

std::string AppModel::UndoText() const { return undo_.empty() ? std::string() : EditText(undo_.back(), true); }
std::string AppModel::RedoText() const { return redo_.empty() ? std::string() : EditText(redo_.back(), false); }

ListOutcome AppModel::Undo() { return Step(undo_, redo_, true); }
ListOutcome AppModel::Redo() { return Step(redo_, undo_, false); }

ListOutcome AppModel::Step(std::vector<Edit>& from, std::vector<Edit>& to, bool undo) {
  if (from.empty()) return {};
  const Edit edit = from.back();
  const std::vector<std::string>& now = undo ? edit.after : edit.before;
  const std::vector<std::string>& back = undo ? edit.before : edit.after;
  // The events as this run left them must still be there; a line to bring
  // back must not be there already.
  StoreResult result;
  bool changed = false;
  if (const StoreResult looked = store_.LookForChange(changed); !looked.ok()) result = looked;
  const auto gone = std::find_if(now.begin(), now.end(), [&](const std::string& l) { return store_.FindEventLine(l) < 0; });
  if (result.ok() && gone != now.end()) {
    std::string message(kChangedSince);
    message.replace(message.find("%s"), 2, ReadName(*gone));
    result.error = message;
    result.refused = true;
  } else if (result.ok()) {
    result = Rewrite(now, back);
  }
  Change change;
  change.storeChanged = result.ok() || result.reloaded || changed;
  change.shown.written = result.ok();
  if (result.ok()) {
    to.push_back(edit);
    from.pop_back();
    change.shown.list = list_.HideEditor();
    if (!back.empty()) change.shown.list |= list_.SelectNext(back.back());
  }
  Apply(std::move(change));
  return OutcomeOf(result);
}

ListOutcome AppModel::SaveLine(const std::string& line) {
  EditorSave save;
  save.line = line;
  save.row = MakeDayRow(line, list_.Locale().IsMonthFirst());
  return Save(save);
}

ListOutcome AppModel::DeleteLine(const std::string& line) {
  deleteAsked_ = line;
  return DeleteAsked();
}

ListOutcome AppModel::Save(const EditorSave& save) {
  const StoreResult result = store_.AppendEvent(save.line);
  if (result.ok()) Done({{}, {save.line}});
  // A refusal counts today's events afresh too: the file may have been
  // read again, and the day may have changed since the last look.
  Change change;
  if (result.ok() && !result.reloaded) {
    change.added = store_.IndexOfAdded(save.line);
  } else {
    change.storeChanged = result.ok() || result.reloaded || result.refused;
  }
  change.shown.written = result.ok();
  if (result.ok()) change.shown.list = list_.Saved(save);
  Apply(std::move(change));
  return OutcomeOf(result);
}

ListOutcome AppModel::AskDelete(const EventRecord& shown) {
  const EditorDelete target = list_.PrepareDelete(shown);
  if (!target.ok()) return {.kind = ListOutcome::Kind::InputError, .message = target.error};
  if (store_.FindEventLine(target.line) < 0) {
    ListCommand([](ListPresenter& p) { return p.HideEditor(); });
    return {.kind = ListOutcome::Kind::Refused, .message = std::string(EventList::kEventGone)};
  }
  if (auto asked = AskForSeries(target.line, std::nullopt, {})) return *asked;
  deleteAsked_ = target.line;
  return {.kind = ListOutcome::Kind::Ask, .message = kDeleteQuestion};
}

ListOutcome AppModel::DeleteAsked() {
  const std::string line = std::exchange(deleteAsked_, {});
  const int index = store_.FindEventLine(line);
  if (line.empty() || index < 0)
    return {.kind = ListOutcome::Kind::Refused, .message = std::string(EventList::kEventGone)};
  const StoreResult result = store_.RemoveEvent(index);
  if (result.ok()) Done({{line}, {}});
  Change change;
  change.storeChanged = result.ok() || result.reloaded;
  change.shown.written = result.ok();
  if (result.ok()) change.shown.list = list_.HideEditor();
  Apply(std::move(change));
  return OutcomeOf(result);
}

void AppModel::NoticeCommand(const std::function<NoticeRedraw(NoticePresenter&, const ClockReading&)>& command) {
  Change change;
  change.shown.notices = command(notices_, clock_.Read());
  Apply(std::move(change));
}

}  // namespace redoviri
