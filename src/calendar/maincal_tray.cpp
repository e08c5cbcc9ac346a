// The main window's tray reminders: today's events in the tooltip, the
// day-number icon, the blinking, and the check for a new day: once a minute
// and whenever the system's clock moves or the machine wakes.
// The counts, texts and blink order come from reminders/todayreminder.h.
#include "calendar/maincal.h"

namespace redoviri {

void TForm1::checktodayClick() {
  BlinkPhase = 0;
  Timer3->SetEnabled(false);
  todayCounts_ = {};
  const CivilDate today = clock_.Now().date;
  if (events_) todayCounts_ = CountToday(*events_, today);

  // Switched off and on again as one change: the icon keeps its place.
  const TTrayIconF::Update trayUpdate(Tray);
  Tray.SetActive(false);
  Tray.SetAnimate(false);
  datetrayClick();
  if (todayCounts_.total != 0) {
    if (blinking_) Timer3->SetEnabled(true);
    Tray.Tag = 0;
  }
  // The tray keeps the first kTrayMaxToolTip characters.
  Tray.SetToolTip(TodayTooltip(todayCounts_));
  Tray.SetActive(true);
}

void TForm1::datetrayClick() {
  const int day = clock_.Now().date.day;
  Tray.SetIcon(dayIcons_.at(static_cast<std::size_t>(day - 1)).get());
}

void TForm1::Timer3Timer() {
  const BlinkState state{Tray.Tag, BlinkPhase};
  const BlinkTick tick = NextBlinkTick(todayCounts_.perCategory, state);
  if (state.toggle == 0) {
    datetrayClick();
  } else if (tick.icon != kDayNumberIcon) {
    // A tick that finds no category left keeps the day number.
    Tray.SetIcon(categoryIcons_.at(static_cast<std::size_t>(tick.icon - 1)).get());
  }
  Tray.Tag = tick.next.toggle;
  BlinkPhase = tick.next.phase;
}

void TForm1::Timer2Timer() { CheckDayChange(); }

void TForm1::CheckDayChange() {
  const CivilDate today = clock_.Now().date;
  const DayChange change = redoviri::CheckDayChange(TodayStamp, today);
  if (!change.changed) return;
  TodayStamp = change.key;
  SetMonthFields(today);
  Button1Click();
  Button4Click();
  checktodayClick();
}

void TForm1::TrayDblClick() { datetrayClick(); }

}  // namespace redoviri
