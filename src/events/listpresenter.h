// The event list window as a portable model: the listed day and its
// heading, the rows of its events, the selected row, and the editor panel
// (its mode, its category, its fields, which buttons it shows). The window
// turns clicks and keys into the presenter's commands through the
// application model (ListModel) and shows what the presenter says; it
// decides nothing from a cell, a widget's text or a tag.
//
//   model.ListCommand([&](ListPresenter& p) { return p.View(row); });
//   const ListOutcome saved = model.SaveEvent(typedFields);
//   if (!saved.message.empty()) ... tell the user
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/colours.h"
#include "base/dateformat.h"
#include "base/datetime.h"
#include "base/locale.h"
#include "events/dayrows.h"
#include "events/eventeditor.h"
#include "events/eventrecord.h"

namespace redoviri {

class EventList;

inline constexpr const char* kListHeading = "Here are the events for ";
inline constexpr const char* kListFirstHeading = "Here are the event for ";
inline constexpr const char* kDeleteQuestion = "Do you realy want to delete that event?";
// An undo or redo of an event another program changed or removed since;
// %s is the event's name.
inline constexpr std::string_view kChangedSince = "%s was changed by an other program since: nothing was changed..";
// Where the editor's "Exit" stands beside "Save" or "Delete", and alone.
inline constexpr int kExitLeftWithSave = 212, kExitLeftAlone = 148;

// The parts of the list window a command changed; the window shows them in
// the order they are declared.
struct ListRedraw {
  bool heading = false;     // the heading line (and the window's text)
  bool rows = false;        // the grid's rows
  bool selection = false;   // which row is selected
  bool editor = false;      // the panel shown or hidden, its title, colour, buttons, writability
  bool fields = false;      // every field of the editor, as the presenter holds them
  bool dateFields = false;  // the month, day and year fields only
  bool nameFocus = false;   // the keyboard into the name field

  ListRedraw& operator|=(const ListRedraw& other);
  bool Any() const { return heading || rows || selection || editor || fields || dateFields || nameFocus; }
  friend bool operator==(const ListRedraw&, const ListRedraw&) = default;
};

// The question when a day of a series is changed or deleted: its title,
// what it asks (naming the day) and what each choice does, in the order of
// SeriesScope.
struct SeriesQuestion {
  std::string title;
  std::string lead;
  std::array<std::string, 3> choices;
  std::array<std::string, 3> effects;
};
SeriesQuestion SeriesQuestionOf(const CivilDate& day, bool deleting);

// What became of a save or a delete.
struct ListOutcome {
  enum class Kind {
    Nothing,     // no event in the editor, nothing done
    InputError,  // a field the user must mend: `message` says which; the panel stays open
    Ask,         // a delete waits for the user's Yes to `message`
    AskSeries,   // a day of a series: which days, see SeriesQuestionOf
    Refused,     // the same event is saved already, or the event is gone: `message` tells
    Failed,      // the file could not be written: `message` is the system's
    Written,     // the file holds the change
  };
  Kind kind = Kind::Nothing;
  std::string message{};
  bool written() const { return kind == Kind::Written; }
};

class ListPresenter {
 public:
  explicit ListPresenter(DateLocale locale) : locale_(std::move(locale)) {}

  // ---- From the rest of the program
  // The store rows are checked against (a saved row stays listed while its
  // event is stored).
  void SetEvents(const EventList* events) { events_ = events; }
  // At the start: the date the calendar stands on, in the short heading and
  // the date fields.
  ListRedraw Start(const CivilDate& shown);
  // The selected day changed: the heading and the date fields follow (none:
  // the heading loses its date, the fields keep theirs).
  ListRedraw ShowDate(const std::optional<CivilDate>& date);
  // The listed day's events, as the calendar lists them; rows saved while
  // the window showed stay below them.
  ListRedraw ShowListing(const DayListing& listing);
  ListRedraw LocaleChanged(DateLocale locale);
  // The date chooser's year into the editor.
  ListRedraw SetEditorYear(const std::string& year);

  // ---- The user's commands
  // Row `row` (0-based) of the listed events selected.
  ListRedraw SelectRow(int row);
  // The row of this stored line selected, when it is listed.
  ListRedraw SelectLine(const std::string& line);
  // Add mode for a kind (code 1..6); the fields keep what they hold (as
  // typed). While an event is being changed, the event takes that kind.
  ListRedraw Add(int code, const EventRecord& typed);
  // The viewed event's fields made writable ("Change", F2), to be saved in
  // its place. Nothing outside view mode.
  ListRedraw Change();
  // The selected row in the editor, read-only: view or delete mode. Nothing
  // without a listed row.
  ListRedraw View(EditorMode mode);
  // A recurrence box clicked (after the box changed): "Only one time"
  // excludes the three others, and a checked box takes the place of a rule
  // of the rule window (its end, skipped days and reminders stay).
  ListRedraw CheckBox(int box, const EventRecord& typed);
  // The rule window's choice for the event being added: a repeating rule
  // clears the four boxes; the event's reminders stay.
  ListRedraw SetRule(const RepeatRule& rule, const EventRecord& typed);
  // The reminder window's choice (minutes ahead) for the event being added
  // or changed, kept in order, none twice; nothing outside those modes.
  ListRedraw SetReminders(std::vector<int> reminders, const EventRecord& typed);
  ListRedraw HideEditor();
  // The window went back to the calendar: the rows saved meanwhile are
  // listed at their places from now on.
  ListRedraw Closed();

  // ---- A save and a delete, in two steps: what to write, then what was
  // written. The application model writes in between.
  // The line to save of the fields as typed, or the message of a field the
  // user must mend.
  EditorSave PrepareSave(const EventRecord& typed) const;
  // The line was saved: the editor closes and the new row stands at the
  // bottom of the list, whichever day it falls on.
  ListRedraw Saved(const EditorSave& save);
  // The changed event was written in place of the old line: the editor
  // closes and the new line's row is selected once the rows come again.
  ListRedraw Changed(const EditorSave& save, const std::string& old);
  // The row of this line selected once the rows come again.
  ListRedraw SelectNext(const std::string& line);
  // The line being changed (change mode) or shown; empty in add mode.
  const std::string& EditedLine() const { return editor_.StoredLine(); }
  // The line a delete removes (as stored), or the message of fields that
  // name no event.
  EditorDelete PrepareDelete(const EventRecord& shown) const;

  // ---- What the window shows
  const DateLocale& Locale() const { return locale_; }
  std::string HeadingText() const;
  const std::optional<CivilDate>& ListedDate() const { return heading_.date; }
  // The rows in the order shown; the window shows one empty row when none.
  const std::vector<DayRow>& Rows() const { return rows_; }
  const std::vector<std::string>& RowLines() const { return lines_; }
  // The selected row, 0-based; -1 without rows.
  int SelectedRow() const { return rows_.empty() ? -1 : selected_; }

  bool EditorShown() const { return editorShown_; }
  EditorMode Mode() const { return editor_.Mode(); }
  EventCategory Category() const { return editor_.Category(); }
  std::string_view Title() const { return editor_.Title(); }
  Colour PanelColour() const { return editor_.PanelColour(); }
  bool Writable() const { return editor_.Writable(); }
  bool SaveShown() const { return editor_.Writable(); }
  bool DeleteShown() const { return editor_.Mode() == EditorMode::Delete; }
  bool ChangeShown() const { return editor_.Mode() == EditorMode::View && !editor_.StoredLine().empty(); }
  bool DateChooserShown() const { return editor_.Writable(); }
  int ExitLeft() const { return editor_.Mode() == EditorMode::View ? kExitLeftAlone : kExitLeftWithSave; }
  const EventRecord& Fields() const { return fields_; }
  // The rule in words for the panel: the stored event's in view and delete
  // mode, the rule chosen for the typed first date in add mode; empty when
  // the boxes say it all. Reminders are not a rule.
  std::string RuleWords() const;
  // The event's reminders in words ("reminders: 1 week and 1 day before");
  // empty for none.
  std::string ReminderWords() const;
  // The first date of typed fields, for the rule window; none when the
  // fields hold no calendar date.
  std::optional<CivilDate> TypedFirstDate(const EventRecord& typed) const;

 private:
  struct Heading {
    std::string lead = kListFirstHeading;
    DateForm form = DateForm::ShortHeading;
    std::optional<CivilDate> date;
  };
  // The date's fields, the rest as they are.
  void WriteDateFields(const CivilDate& date);
  bool Stored(const std::string& line) const;
  // The rows again: the listing's, then the saved ones still stored.
  void BuildRows();

  DateLocale locale_;
  const EventList* events_ = nullptr;
  Heading heading_;
  DayListing listing_;
  // Rows saved since the window last went back to the calendar, shown
  // below the listing in the order saved.
  std::vector<std::pair<DayRow, std::string>> saved_;
  std::vector<DayRow> rows_;
  std::vector<std::string> lines_;
  int selected_ = 0;
  // The line whose row the next rows select (a changed event's).
  std::string selectNext_;
  bool editorShown_ = false;
  EventEditor editor_;
  EventRecord fields_;
};

// What the list window asks of the application model. Every command ends
// with every window showing its presenter's new state.
class ListModel {
 public:
  virtual const ListPresenter& List() const = 0;
  virtual const EventList& Events() const = 0;
  // A command of the list presenter alone.
  virtual void ListCommand(const std::function<ListRedraw(ListPresenter&)>& command) = 0;
  // The editor's Save of the fields as typed.
  virtual ListOutcome SaveEvent(const EventRecord& typed) = 0;
  // The editor's Delete: Ask with the question, or why not.
  virtual ListOutcome AskDelete(const EventRecord& shown) = 0;
  // The user said Yes: the event asked about goes.
  virtual ListOutcome DeleteAsked() = 0;
  // A whole event line saved, and the first stored event equal to a line
  // removed, as the editor's Save and Delete do.
  virtual ListOutcome SaveLine(const std::string& line) = 0;
  virtual ListOutcome DeleteLine(const std::string& line) = 0;
  // Ctrl+Z and Ctrl+Y: the last save, change or delete of this run taken
  // back, and done again; each in one write, refused (nothing written)
  // when another program changed that event since.
  // The answer to AskSeries: the change or delete asked about, for those
  // days; none: nothing is done.
  virtual ListOutcome SeriesChosen(std::optional<SeriesScope> scope) = 0;
  virtual const SeriesQuestion& AskedSeries() const = 0;
  virtual ListOutcome Undo() = 0;
  virtual ListOutcome Redo() = 0;
  virtual std::string UndoText() const = 0;
  virtual std::string RedoText() const = 0;

 protected:
  ~ListModel() = default;
};

}  // namespace redoviri
