// TNotice, the notice window: a small always-on-top window at the corner of
// the work area next to the notification area that lists the events due
// now, each with its time, its kind's picture and colour, name and comment,
// and "late" where it came late. It shows without taking the keyboard from
// the window the user is typing in.
//
// Usage (the application creates it with the other windows):
//
//   redoviri::TNotice notice({.clock = clock, .caption = "Redoviri by DUZOVU"});
//   notice.openDay = [&](const CivilDate& day) { ... };      // a click on a line
//   notice.showBalloon = [&](const std::string& text) { ... };  // the tray's balloon
//   notice.SetEventList(&store);
//   notice.StartWatch();     // once the event file is loaded: what is due from now on
//
// The window looks at the clock every 15 seconds, at once after a wake-up
// from sleep and after a change of the system time or zone.
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <functional>
#include <string>

#include "base/clock.h"
#include "reminders/notices.h"
#include "widgets/widgets.h"

namespace redoviri {

class EventList;
class NoticeList;

inline constexpr const char* kSnoozeCaption = "Snooze";
inline constexpr const char* kDismissCaption = "Dismiss";
inline constexpr const char* kDismissAllCaption = "Dismiss all";
inline constexpr const char* kLateText = "late";
// The snooze times to choose from, and the one chosen at first.
inline constexpr std::array<int, 4> kSnoozeMinutes{5, 10, 30, 60};
inline constexpr std::array<const char*, 4> kSnoozeCaptions{"5 min", "10 min", "30 min", "1 hour"};
inline constexpr int kDefaultSnoozeChoice = 1;
inline constexpr UINT kLookIntervalMs = 15000;

struct TNoticeDeps {
  const Clock& clock;
  std::string caption;  // the window's text and title line
  widgets::HintManager* hints = nullptr;
  UINT lookIntervalMs = kLookIntervalMs;
};

class TNotice : public widgets::FormWindow {
 public:
  explicit TNotice(TNoticeDeps deps);
  ~TNotice();

  // The store whose events are watched; none: nothing is due.
  void SetEventList(const EventList* events) { events_ = events; }
  // From now on due times alert (times already past today do not), and
  // the clock is looked at regularly.
  void StartWatch();
  // No more looks (the program is going).
  void StopWatch();
  // Looks at the clock: what fell due since the last look joins the
  // window, which shows, and the tray's balloon tells the first of them.
  void Look();

  // ---- The window's buttons and lines
  void DismissClick(std::size_t row);
  void DismissAllClick();
  // Row `row` comes back after the chosen snooze time.
  void SnoozeClick(std::size_t row);
  // Snooze time k of kSnoozeMinutes chosen for the next snoozes.
  void SnoozeChoiceClick(int k);
  // A click on a line: its day in the event list window.
  void RowClick(std::size_t row);

  // ---- Hooks (any may stay empty)
  std::function<void(const CivilDate& day)> openDay;
  std::function<void(const std::string& text)> showBalloon;
  // After every look: the day may have changed.
  std::function<void()> looked;

  // ---- State
  const NoticeBoard& Board() const { return board_; }
  const NoticeScheduler& Scheduler() const { return scheduler_; }
  int SnoozeMinutes() const { return kSnoozeMinutes.at(static_cast<std::size_t>(snoozeChoice_)); }
  // How many times the window has looked at the clock.
  std::size_t LookCount() const { return looks_; }

 private:
  friend struct test::WindowAccess;

  HWND ListHandle() const;
  // The board changed: the list shows it, the window hides when empty.
  void BoardChanged();
  // The window's place: the work area's corner nearest the taskbar's
  // notification area.
  void PlaceAtCorner();

  const Clock& clock_;
  const EventList* events_ = nullptr;
  NoticeScheduler scheduler_;
  NoticeBoard board_;
  int snoozeChoice_ = kDefaultSnoozeChoice;
  bool watching_ = false;
  std::size_t looks_ = 0;
  NoticeList* list_ = nullptr;
  std::array<widgets::SpeedButton*, kSnoozeMinutes.size()> snoozeChoices_{};
  widgets::SpeedButton* dismissAll_ = nullptr;
  widgets::Timer* lookTimer_ = nullptr;
};

}  // namespace redoviri
