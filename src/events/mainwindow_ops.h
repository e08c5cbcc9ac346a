// What the event list window and the date chooser ask of the main window:
// its operations by what they mean. The main window implements
// them; the application hands it to the two windows, which know nothing
// else of it.
#pragma once

#include <string>

#include "base/datetime.h"

namespace redoviri {

class EventList;

class MainWindowOps {
 public:
  // The clock line runs from now on.
  virtual void StartClock() = 0;
  // The store the marking pass and the tray read.
  virtual void SetEventList(const EventList* events) = 0;
  // The date the month view stands on.
  virtual CivilDate ShownDate() const = 0;
  // After the store was loaded or changed: the month, its marks, today's
  // events in the tray and, with a day selected, its details and events,
  // shown afresh.
  virtual void StoreChanged() = 0;
  // Today's events counted again for the tray (after a save: the list
  // window shows its new row itself).
  virtual void RecountToday() = 0;
  // Whether the event list window comes once the main window has hidden.
  virtual void SetShowListAfterHide(bool on) = 0;
  // The main window comes back on the screen.
  virtual void ShowCalendar() = 0;
  // A window over the main window went: the main window, when it shows,
  // takes the keyboard back.
  virtual void KeyboardBack() = 0;
  // A date chosen in the date chooser, and the day of one that turned out
  // not to exist.
  virtual void JumpToDay(const std::string& dayText, const CivilDate& date) = 0;
  virtual void SetSelectedDayText(const std::string& dayText) = 0;
  // The event list window on the selected day, once the main window hid.
  virtual void OpenEventList() = 0;

 protected:
  ~MainWindowOps() = default;
};

}  // namespace redoviri
