// What the event list window and the date chooser ask of the main window:
// its operations by the names of its design. The main window implements
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
  // After the store changed: the month, its marks, today's events in the
  // tray and the first rows in the unselected look, shown afresh.
  virtual void RefreshAfterStoreChange() = 0;
  virtual void Button1Click() = 0;  // the month fill
  virtual void Button2Click() = 0;  // the selected date into the details
  virtual void Button3Click() = 0;  // the selected day's events
  virtual void Button4Click() = 0;  // the marking pass
  virtual void checktodayClick() = 0;  // today's events in the tray
  virtual void UnselectFirstRows() = 0;
  // Whether the event list window comes once the main window has hidden.
  virtual void SetShowListAfterHide(bool on) = 0;
  // The main window comes back on the screen.
  virtual void ShowCalendar() = 0;
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
