// The application model: the event store, the clock's readings, today,
// and the presenters of the calendar, the list window and the notice
// window. Every change takes one path: a save, a delete, another program's
// change of the event file (seen at a look), a new day, a clock or time-zone
// change and a wake-up each become one Change that the model applies once;
// then every window shows what its presenter says (onUpdate).
//
//   AppModel model(clock, locale, EventFile(path, files));
//   model.onUpdate = [&](const ModelUpdate& u) { form1.Present(u.calendar); ... };
//   model.Load();
//   model.Look();   // every 15 s, and at once on a wake-up or a time change
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "base/clock.h"
#include "base/locale.h"
#include "calendar/presenter.h"
#include "events/eventlist.h"
#include "events/listpresenter.h"
#include "reminders/noticepresenter.h"

namespace redoviri {

// What each window shows afresh after a change.
struct ModelUpdate {
  CalendarRedraw calendar;
  ListRedraw list;
  NoticeRedraw notices;
  // The store wrote the event file: its stamp is to be confirmed off the
  // user's way (ConfirmStamp).
  bool written = false;
};

// One change, as the model applies it: what a command changed itself,
// whether the store's events changed (the program wrote the file, or read
// it again after another program changed it), and the clock's reading when
// the clock was looked at (the timer, a wake-up, a time change).
struct Change {
  ModelUpdate shown{};
  bool storeChanged = false;
  // Instead: one event added at this index of the store, nothing else.
  std::optional<std::size_t> added{};
  std::optional<ClockReading> reading{};
};

class AppModel final : public ListModel, public NoticeModel {
 public:
  // The start: the clock is read now, so that what falls due from here on
  // alerts, however long the rest of the start takes.
  AppModel(const Clock& clock, DateLocale locale, EventFile file);
  AppModel(const AppModel&) = delete;
  AppModel& operator=(const AppModel&) = delete;

  // Reads the event file; every presenter shows its events. A failure
  // leaves the store empty, refusing to write; its message is returned.
  StoreResult Load();
  // The one look at the clock: another program's change of the event file
  // (its stamp first; nothing is written), a new day, the notices due.
  void Look();
  // After a write: the store confirms the file's stamp; how long to wait
  // before asking again (zero: done).
  std::chrono::milliseconds ConfirmStamp() { return store_.ConfirmStamp(); }

  // ---- The calendar
  const CalendarPresenter& Calendar() const { return calendar_; }
  void CalendarCommand(const std::function<CalendarRedraw(CalendarPresenter&)>& command);
  // The Home key and the present-month button: today as the clock says.
  void GoToToday();
  // One blink of the tray (see CalendarPresenter::BlinkTick).
  std::optional<int> BlinkTick() { return calendar_.BlinkTick(); }
  void LocaleChanged(DateLocale locale);
  // A notice's line clicked: its day selected (as the date chooser selects
  // a day) and its event's row in the list. Its day, when the row holds one.
  std::optional<CivilDate> OpenNotice(std::size_t row);

  // ---- ListModel
  const ListPresenter& List() const override { return list_; }
  void ListCommand(const std::function<ListRedraw(ListPresenter&)>& command) override;
  ListOutcome SaveEvent(const EventRecord& typed) override;
  ListOutcome AskDelete(const EventRecord& shown) override;
  ListOutcome DeleteAsked() override;
  ListOutcome SaveLine(const std::string& line) override;
  ListOutcome DeleteLine(const std::string& line) override;
  const EventList& Events() const override { return store_; }
  ListOutcome SeriesChosen(std::optional<SeriesScope> scope) override;
  const SeriesQuestion& AskedSeries() const override { return seriesAsked_.question; }
  ListOutcome Undo() override;
  ListOutcome Redo() override;
  // "Undo delete of Anna", "Redo change of Anna"; empty when there is
  // nothing to take back or to do again.
  std::string UndoText() const override;
  std::string RedoText() const override;

  // ---- NoticeModel
  const NoticePresenter& Notices() const override { return notices_; }
  void NoticeCommand(const std::function<NoticeRedraw(NoticePresenter&, const ClockReading&)>& command) override;

  const EventList& Store() const { return store_; }
  ClockReading ReadClock() const { return clock_.Read(); }
  // The reading of the last look.
  const ClockReading& LastLook() const { return lastLook_; }

  // Every window shows its part of each change.
  std::function<void(const ModelUpdate&)> onUpdate;

 private:
  // The one path: the change applied to every presenter it concerns, then
  // shown.
  void Apply(Change change);
  ListOutcome Save(const EditorSave& save);
  // Saved lines `from` rewritten as `to` in one write: `from` empty adds
  // `to`, `to` empty removes `from`, else `to` replaces `from`.
  StoreResult Rewrite(const std::vector<std::string>& from, const std::vector<std::string>& to);
  // A save, change or delete of this run, to take back or do again: the
  // lines before (none for a save) and after (none for a delete; a series
  // split leaves the series and its day).
  struct Edit {
    std::vector<std::string> before;
    std::vector<std::string> after;
  };
  void Done(Edit edit);
  ListOutcome Step(std::vector<Edit>& from, std::vector<Edit>& to, bool undo);
  static std::string EditText(const Edit& edit, bool undo);
  // A store result as the list window tells it.
  static ListOutcome OutcomeOf(const StoreResult& result);

  const Clock& clock_;
  EventList store_;
  ClockReading lastLook_;
  CalendarPresenter calendar_;
  ListPresenter list_;
  NoticePresenter notices_;
  std::string deleteAsked_;  // the line a delete asks about
  std::vector<Edit> undo_, redo_;
  // A change or delete of a day of a series, waiting for its answer.
  struct SeriesAsked {
    std::string line;                  // the series' line
    CivilDate day;                     // the listed day
    std::optional<EventRecord> typed;  // the change; none for a delete
    std::string changed;               // the change's line, for every day
    SeriesQuestion question;
  };
  SeriesAsked seriesAsked_;
  // AskSeries when `line` is a series and the listed day is one of its days.
  std::optional<ListOutcome> AskForSeries(const std::string& line, std::optional<EventRecord> typed,
                                          const std::string& changed);
};

}  // namespace redoviri
