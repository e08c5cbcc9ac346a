// The main window on its own, to look at: mainwindow_demo.exe [seconds]
// [yyyy-mm-dd] (closes after that many seconds, 0: never; the date stands
// for today, else the system clock). A few sample events mark the grid and
// the tray; the clock line runs.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "calendar/maincal.h"
#include "events/eventlist.h"
#include "events/fake_filesystem.h"
#include "support/window_access.h"

using namespace redoviri;

namespace {

std::string Line(const CivilDate& d, EventCategory category, const char* name) {
  EventRecord r;
  char text[8];
  std::snprintf(text, sizeof text, "%02d", d.month);
  r.month = text;
  std::snprintf(text, sizeof text, "%02d", d.day);
  r.day = text;
  r.year = std::to_string(d.year);
  r.time = "09:00";
  r.category = category;
  r.recurrence.eachYear = true;
  r.name = name;
  return BuildEventLine(r).line;
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 0;
  std::unique_ptr<Clock> clock = std::make_unique<SystemClock>();
  if (argc > 2) {
    CivilDate d{};
    if (std::sscanf(argv[2], "%d-%d-%d", &d.year, &d.month, &d.day) == 3 && IsValidDate(d))
      clock = std::make_unique<FixedClock>(LocalDateTime{d, {10, 42, 7}});
  }
  const CivilDate today = clock->Now().date;
  auto inMonth = [&](int day) { return CivilDate{today.year, today.month, day}; };

  testing::FakeFileSystem fs;
  std::string file = "reserved\r\n";
  file += Line(inMonth(today.day), EventCategory::kBirthday, "Anna") + "\r\n";
  file += Line(inMonth(3), EventCategory::kLovely, "Wedding day") + "\r\n";
  file += Line(inMonth(12), EventCategory::kWorkBusiness, "Tax return") + "\r\n";
  file += Line(inMonth(12), EventCategory::kFeest, "Party") + "\r\n";
  file += Line(inMonth(17), EventCategory::kReligionLegal, "Feast") + "\r\n";
  file += Line(inMonth(25), EventCategory::kOther, "Dentist") + "\r\n";
  fs.files["Redoviri.ini"] = file;
  EventList events(EventFile("Redoviri.ini", fs));
  if (!events.LoadEvents().ok()) return 1;

  widgets::HintManager hints;
  TForm1 form1({.clock = *clock, .locale = UserDateLocale(), .hints = &hints});
  // What the event list window does once it has loaded the events.
  form1.StartClock();
  form1.SetEventList(&events);
  form1.StoreChanged();
  test::WindowAccess::FormOf(form1).onHide = [] { PostQuitMessage(0); };

  form1.TrayClick();
  if (seconds > 0)
    test::WindowAccess::FormOf(form1).AddTimer(
        {.interval = static_cast<UINT>(seconds) * 1000, .onTimer = [] { PostQuitMessage(0); }});
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (widgets::IsFormDialogMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
