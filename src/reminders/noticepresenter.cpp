#include "reminders/noticepresenter.h"

namespace redoviri {

NoticeRedraw& NoticeRedraw::operator|=(const NoticeRedraw& o) {
  list |= o.list;
  choice |= o.choice;
  show |= o.show;
  hide |= o.hide;
  if (!o.balloon.empty()) balloon = o.balloon;
  sound |= o.sound;
  return *this;
}

void NoticePresenter::Start(const ClockReading& start) {
  scheduler_ = NoticeScheduler();
  scheduler_.Start(start);
}

NoticeRedraw NoticePresenter::BoardChanged(bool wasEmpty) {
  NoticeRedraw r{.list = true};
  if (board_.Empty()) r.hide = true;
  else if (wasEmpty) r.show = true;
  return r;
}

NoticeRedraw NoticePresenter::Look(const EventList& events, const ClockReading& now) {
  ++looks_;
  std::vector<Notice> due = scheduler_.Look(events, now);
  if (due.empty()) return {};
  const bool wasEmpty = board_.Empty();
  std::string balloon = BalloonText(due);
  board_.Add(std::move(due));
  NoticeRedraw r = BoardChanged(wasEmpty);
  r.balloon = std::move(balloon);
  r.sound = true;
  return r;
}

NoticeRedraw NoticePresenter::Dismiss(std::size_t row) {
  if (row >= board_.Notices().size()) return {};
  board_.Take(row);
  return BoardChanged(false);
}

NoticeRedraw NoticePresenter::DismissAll() {
  board_.Clear();
  return BoardChanged(false);
}

NoticeRedraw NoticePresenter::Snooze(std::size_t row, const ClockReading& now) {
  if (row >= board_.Notices().size()) return {};
  scheduler_.Snooze(board_.Take(row), SnoozeMinutes(), now);
  return BoardChanged(false);
}

NoticeRedraw NoticePresenter::ChooseSnooze(int k) {
  if (k < 0 || k >= static_cast<int>(kSnoozeMinutes.size())) return {};
  snoozeChoice_ = k;
  return {.choice = true};
}

std::string ReminderSoundAlias(const std::function<std::optional<std::string>(const std::string& alias)>& chosen) {
  for (const char* alias : {"Notification.Reminder", "Notification.Default"}) {
    if (const std::optional<std::string> file = chosen(alias)) return file->empty() ? std::string() : alias;
  }
  return {};
}

std::optional<Notice> NoticePresenter::At(std::size_t row) const {
  if (row >= board_.Notices().size()) return std::nullopt;
  return board_.Notices()[row];
}

}  // namespace redoviri
