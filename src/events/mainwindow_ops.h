// What the event list window and the date chooser ask of the main window:
// its operations by what they mean. The main window implements
// them; the application hands it to the two windows, which know nothing
// else of it.
#pragma once

#include <string>

#include "base/datetime.h"

namespace redoviri {

class MainWindowOps {
 public:
  // The event list window goes back to the calendar: the main window does
  // not bring it back after a hide of its own.
  virtual void ListWindowClosing() = 0;
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
