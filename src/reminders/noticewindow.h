// TNotice, the notice window: a small always-on-top window at the corner of
// the work area next to the notification area that lists the events due
// now, each with its time, its kind's picture and colour, name and comment,
// and "late" where it came late. It shows without taking the keyboard from
// the window the user is typing in.
//
// What it lists, and when it shows and goes, the application model's
// NoticePresenter says; the window hands its clicks and keys to the model:
//
//   redoviri::TNotice notice({.model = model, .caption = "Redoviri by DUZOVU"});
//   notice.openDay = [&](std::size_t row) { ... };   // a click on a line
//   model.onUpdate = [&](const ModelUpdate& u) { notice.Present(u.notices); ... };
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <functional>
#include <string>

#include "events/eventrecord.h"
#include "reminders/noticepresenter.h"
#include "widgets/widgets.h"

namespace redoviri {

inline constexpr const char* kSnoozeCaption = "Snooze";
inline constexpr const char* kDismissCaption = "Dismiss";
inline constexpr const char* kDismissAllCaption = "Dismiss all";
inline constexpr const char* kLateText = "late";
inline constexpr std::array<const char*, 4> kSnoozeCaptions{"5 min", "10 min", "30 min", "1 hour"};
// Between two looks at the clock for due events.
inline constexpr UINT kLookIntervalMs = 15000;

struct TNoticeDeps {
  NoticeModel& model;
  std::string caption;  // the window's text and title line
  widgets::HintManager* hints = nullptr;
};

// Plays the system's reminder sound once, without waiting for it
// (ReminderSoundAlias picks it from the user's sound settings).
void PlayReminderSound();

class TNotice : public widgets::FormWindow {
 public:
  explicit TNotice(TNoticeDeps deps);
  ~TNotice();

  // Shows what a change of the model changed: the lines, the snooze time
  // chosen, the window shown (without the keyboard) or gone.
  void Present(const NoticeRedraw& changed);

  // ---- The window's buttons and lines
  void DismissClick(std::size_t row);
  void DismissAllClick();
  // Row `row` comes back after the chosen snooze time.
  void SnoozeClick(std::size_t row);
  // Snooze time k of kSnoozeMinutes chosen for the next snoozes.
  void SnoozeChoiceClick(int k);
  // A click on a line: its day in the event list window.
  void RowClick(std::size_t row);

  // ---- Hooks (may stay empty)
  std::function<void(std::size_t row)> openDay;

  // ---- State
  const NoticeBoard& Board() const { return model_.Notices().Board(); }
  int SnoozeMinutes() const { return model_.Notices().SnoozeMinutes(); }

 private:
  friend struct test::WindowAccess;

  HWND ListHandle() const;
  // The board's lines into the list, the first kNoticeRowsShown.
  void ShowLines();
  void Command(const std::function<NoticeRedraw(NoticePresenter&, const ClockReading&)>& command);
  void KeyboardBackAfterClick();
  void KeyboardBackAfterShow();
  // The window's place: the work area's corner nearest the taskbar's
  // notification area.
  void PlaceAtCorner();

  NoticeModel& model_;
  widgets::ActionList* list_ = nullptr;
  // The window that had the keyboard when the notice came: a click on the
  // notice gives it back there.
  HWND keyboardOwner_ = nullptr;
  ULONGLONG shownAt_ = 0;  // GetTickCount64() when the notice came
  bool hadKeyboard_ = false;
  std::array<widgets::Bitmap, kCategoryCount> pictures_{};  // the kinds' pictures, by code 1..6
  std::array<widgets::SpeedButton*, kSnoozeMinutes.size()> snoozeChoices_{};
  widgets::SpeedButton* dismissAll_ = nullptr;
};

}  // namespace redoviri
