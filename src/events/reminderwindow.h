// The reminder window: where the user chooses when the event being added or
// changed in the list window's editor is reminded of ahead of its time. One
// check box for each usual time (5 minutes to 2 weeks before), one for each
// other reminder the event has, and "At the time", checked and disabled:
// the notice at the event's time always comes. It shows over the window
// that asks (Choose), takes the keyboard, and hands the chosen reminders
// back on OK only; Cancel, Escape and the corner boxes hand back nothing.
// Either way the asking window gets the keyboard back. What the boxes mean
// is ReminderChoice's (reminderchoice.h).
//
// The keys: Tab and Shift+Tab go through the boxes and the buttons; Up and
// Down go to the box above or below, Left and Right to the other column;
// Space checks or unchecks; Alt with the underlined letter checks or
// unchecks its box; Enter is OK, Escape Cancel.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "events/reminderchoice.h"
#include "widgets/widgets.h"

namespace redoviri {

class TReminderWindow : public widgets::FormWindow {
 public:
  explicit TReminderWindow(widgets::HintManager* hints);
  ~TReminderWindow();

  // Shows the window over `owner` for an event with these reminders
  // (minutes ahead), with the keyboard in its first box; `chosen` runs on
  // OK only, after the window went.
  void Choose(HWND owner, const std::vector<int>& current, std::function<void(const std::vector<int>&)> chosen);

  // ---- Handlers
  void OkClick();
  void CancelClick();

 private:
  friend struct test::WindowAccess;
  struct Controls;

  // The boxes' places (two columns, top to bottom), and the window's height.
  void Layout();
  void ShowPreview();
  void BoxClicked(std::size_t box);
  // The keyboard to the box `by` places away from `from` (Up, Down, Left,
  // Right), when there is one.
  void MoveFrom(std::size_t from, int by);
  bool Accelerator(char key);
  void Close();

  std::vector<ReminderBox> boxes_;
  std::function<void(const std::vector<int>&)> chosen_;
  HWND owner_ = nullptr;
  std::unique_ptr<Controls> c_;  // where the form's widgets are
};

}  // namespace redoviri
