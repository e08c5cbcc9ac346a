// The main window's tray reminders: today's events in the tooltip, the
// day-number icon, the blinking, and the check for a new day: once a minute
// and whenever the system's clock moves or the machine wakes.
// The counts, texts and blink order come from reminders/todayreminder.h.
#include "calendar/maincal.h"

namespace redoviri {

void TForm1::checktodayClick() { Command([](CalendarPresenter& p) { return p.RecountToday(); }); }

void TForm1::ShowTodayInTray() {
  Timer3->SetEnabled(false);
  // Switched off and on again as one change: the icon keeps its place.
  const TTrayIconF::Update trayUpdate(Tray);
  Tray.SetActive(false);
  Tray.SetAnimate(false);
  datetrayClick();
  if (presenter_.Blinking()) Timer3->SetEnabled(true);
  // The tray keeps the first kTrayMaxToolTip characters.
  Tray.SetToolTip(TodayTooltip(presenter_.TodayEventCounts()));
  Tray.SetActive(true);
}

void TForm1::datetrayClick() {
  const int day = presenter_.TodayDate().day;
  Tray.SetIcon(dayIcons_.at(static_cast<std::size_t>(day - 1)).get());
}

void TForm1::Timer3Timer() {
  const std::optional<int> icon = model_.BlinkTick();
  if (!icon) return;
  if (*icon == kDayNumberIcon) {
    datetrayClick();
  } else {
    Tray.SetIcon(categoryIcons_.at(static_cast<std::size_t>(*icon - 1)).get());
  }
}

void TForm1::TrayDblClick() { datetrayClick(); }

}  // namespace redoviri
