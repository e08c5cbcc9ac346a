// The editor panel of the event list window, without its widgets: the
// mode (add, view, delete), the category it works on, the event a viewed
// row stands for, and the rules of its Save and its Delete. The window
// shows the mode's title and colour, puts the fields into its widgets and
// hands what was typed back.
#pragma once

#include <string>
#include <string_view>

#include "base/colours.h"
#include "events/dayrows.h"
#include "events/eventrecord.h"

namespace redoviri {

enum class EditorMode { Add, View, Delete, Change };

// "Add a birthday", "View a Feest event", "Delete a Working vent" ...
std::string_view EditorTitle(EditorMode mode, EventCategory category);

// The recurrence check boxes 1..4: Each Year, Each Month, Each (N days),
// Only one time.
inline constexpr int kOnlyOnceBox = 4;
bool& RecurrenceBox(RecurrenceKind& recurrence, int box);
// Box `box` was just checked: "Only one time" excludes the three others.
void CheckRecurrenceBox(RecurrenceKind& recurrence, int box);

struct EditorSave {
  std::string error;  // for the user; nothing is saved
  std::string line;   // the event line to save
  DayRow row;         // the grid row as typed
  bool ok() const { return error.empty(); }
};

struct EditorDelete {
  std::string error;
  std::string line;  // the stored line to remove
  bool ok() const { return error.empty(); }
};

class EventEditor {
 public:
  // Add mode for a new event of `category`.
  void Add(EventCategory category);
  // View or delete mode on a grid row and the line it was listed from
  // (empty when it has none). A category word outside the six shows as an
  // Other event. An empty row (no whole date) holds no event: false, and
  // nothing changes.
  bool ShowRow(EditorMode mode, const DayRow& row, std::string storedLine, bool monthFirst);

  EditorMode Mode() const { return mode_; }
  EventCategory Category() const { return category_; }
  // The viewed event's fields made writable, to be saved in its place;
  // false without a stored line to replace.
  bool StartChange();
  // Another kind for the event being added or changed.
  void SetCategory(EventCategory category) { category_ = category; }
  // Add and change mode let the fields be typed into.
  bool Writable() const { return mode_ == EditorMode::Add || mode_ == EditorMode::Change; }
  // The stored line shown (view, delete) or being changed; empty in add
  // mode.
  const std::string& StoredLine() const { return storedLine_; }
  std::string_view Title() const { return EditorTitle(mode_, category_); }
  Colour PanelColour() const;
  // What ShowRow put into the fields (the category is the editor's).
  const EventRecord& Fields() const { return fields_; }

  // Save of the fields as typed: the line, or the message of a day count
  // that is not a number, of a date that is not on the calendar, or of a
  // time that is neither blank nor a time of day (IsEventTime).
  EditorSave Save(EventRecord typed, bool monthFirst) const;
  // Delete of the event shown: the line as stored, or rebuilt from the
  // fields when the row had none.
  EditorDelete Delete(EventRecord shown) const;

 private:
  EditorMode mode_ = EditorMode::Add;
  EventCategory category_ = EventCategory::kOther;
  EventRecord fields_;
  std::string storedLine_;
};

}  // namespace redoviri
