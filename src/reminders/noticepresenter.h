// The notice window as a portable model: the board of notices shown, the
// snooze time chosen, and the sequence of a look at the clock (what fell
// due joins the board, the tray's balloon tells the first, the window
// shows) and of the user's Snooze and Dismiss.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "base/clock.h"
#include "reminders/notices.h"

namespace redoviri {

class EventList;

// The snooze times to choose from, and the one chosen at first.
inline constexpr std::array<int, 4> kSnoozeMinutes{5, 10, 30, 60};
inline constexpr int kDefaultSnoozeChoice = 1;

// What a command of the notice presenter changed, shown in this order.
struct NoticeRedraw {
  bool list = false;    // the lines of the board
  bool choice = false;  // which snooze time stands out
  bool show = false;    // the window comes (without the keyboard)
  bool hide = false;    // the window goes: the board is empty
  std::string balloon{};  // the tray's balloon tells this, when not empty
  bool sound = false;     // the board gained lines: the reminder sound plays once

  NoticeRedraw& operator|=(const NoticeRedraw& other);
  friend bool operator==(const NoticeRedraw&, const NoticeRedraw&) = default;
};

class NoticePresenter {
 public:
  // The watch starts at the program's start (see NoticeScheduler::Start).
  void Start(const ClockReading& start);
  // A look at the clock: what fell due since the last look joins the board.
  NoticeRedraw Look(const EventList& events, const ClockReading& now);
  NoticeRedraw Dismiss(std::size_t row);
  NoticeRedraw DismissAll();
  // Row `row` comes back after the chosen snooze time.
  NoticeRedraw Snooze(std::size_t row, const ClockReading& now);
  // Snooze time k of kSnoozeMinutes chosen for the next snoozes.
  NoticeRedraw ChooseSnooze(int k);

  const NoticeBoard& Board() const { return board_; }
  const NoticeScheduler& Scheduler() const { return scheduler_; }
  int SnoozeChoice() const { return snoozeChoice_; }
  int SnoozeMinutes() const { return kSnoozeMinutes.at(static_cast<std::size_t>(snoozeChoice_)); }
  // The notice on row `row`, if there is one.
  std::optional<Notice> At(std::size_t row) const;
  // How many times the clock has been looked at.
  std::size_t LookCount() const { return looks_; }

 private:
  // The board changed: the window lists it, shows or goes.
  NoticeRedraw BoardChanged(bool wasEmpty);

  NoticeScheduler scheduler_;
  NoticeBoard board_;
  int snoozeChoice_ = kDefaultSnoozeChoice;
  std::size_t looks_ = 0;
};

// Which of the system's sounds a notice plays: the reminder sound the user
// chose ("Notification.Reminder"), else the default notification sound
// ("Notification.Default") where the system has no reminder sound; empty
// when the user chose none. `chosen(alias)` tells the file chosen for a
// sound event: none when the system has no such event, "" for no sound.
std::string ReminderSoundAlias(const std::function<std::optional<std::string>(const std::string& alias)>& chosen);

// What the notice window asks of the application model.
class NoticeModel {
 public:
  virtual const NoticePresenter& Notices() const = 0;
  // A command of the notice presenter, given the clock's reading now.
  virtual void NoticeCommand(const std::function<NoticeRedraw(NoticePresenter&, const ClockReading&)>& command) = 0;

 protected:
  ~NoticeModel() = default;
};

}  // namespace redoviri
