// Timing of the windows as the program runs them, in the Windows build under
// Wine: the whole application on an event file of 1,000, 10,000 and 100,000
// events on the disk. For each size: a change of month in the main window
// (the fill with its moon marks, the marking pass, the day numbers' hints
// and the repaint of the grid), a day's list (the selected day's events
// into the details and the list window's grid), and at the largest size a
// save and a delete through the list window. Mean wall-clock and thread CPU
// time per operation. "memory": the committed memory after every window
// has been shown once at the screen's resolution.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>

#include "app/application.h"
#include "support/generated_events.h"
#include "support/win_timing.h"
#include "support/window_access.h"

namespace {

using namespace redoviri;
namespace fsys = std::filesystem;

// Runs the posted messages (the paint of what changed) until none is left.
void Drain() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

template <typename F, typename B>
void Time(const char* what, int events, int repeats, F&& f, B&& between) {
  f(-1);  // once before, for what a first run fills in
  between();
  const test::RunTime t = test::MeasureRuns(repeats, f, between);
  std::printf("%-34s %7d events %9.2f ms wall %9.2f ms cpu  (%d runs)\n", what, events, t.wallSeconds * 1e3,
              t.cpuSeconds * 1e3, repeats);
  std::fflush(stdout);
}

template <typename F>
void Time(const char* what, int events, int repeats, F&& f) {
  Time(what, events, repeats, std::forward<F>(f), [] {});
}

// Runs the messages until the store trusts its file's stamp again: what
// the list window does in the user's pause after a save or a delete.
void SettleStore(const TForm2& list) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!list.Events().StampConfirmed() && std::chrono::steady_clock::now() < until) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    Drain();
  }
  if (!list.Events().StampConfirmed()) std::printf("the store did not confirm its stamp\n");
}

// A new event that falls on the 20th of December.
std::string NewEventLine(int i) { return testing::NumberedEventLine(i, "12", "20", "2026"); }

void TimeWindows(const fsys::path& folder, int events) {
  const fsys::path file = folder / ("Redoviri_" + std::to_string(events) + ".ini");
  testing::WriteEventFile(file.string(), events);

  ApplicationSetup setup = ApplicationSetup::System();
  setup.locale = EnglishDateLocale(true);
  setup.eventFilePath = file.string();
  setup.showError = [](const std::string& m) { std::printf("error: %s\n", m.c_str()); };
  setup.showInfo = [](const std::string& m) { std::printf("info: %s\n", m.c_str()); };
  setup.confirm = [](const std::string&) { return true; };
  setup.animationDelayMs = 0;
  Application app(std::move(setup));
  TForm1& main = app.Form1();
  TForm2& list = app.Form2();
  app.card4Click();  // the calendar on the screen
  Drain();

  // The pointer where a user's is: on the year's +1 button (over a day,
  // the hint of a busy day would come up in the middle of the timing).
  const POINT onButton = test::WindowAccess::Widgets(main).SpeedButton3->ToScreen({9, 6});
  SetCursorPos(onButton.x, onButton.y);

  const int months = events >= 100000 ? 20 : 60;
  Time("month change (+1 year, -1 year)", events, months, [&](int i) {
    if (i % 2 == 0) {
      main.SpeedButton3Click();
    } else {
      main.SpeedButton4Click();
    }
    UpdateWindow(main.Handle());
    Drain();
  });

  Time("  of it the marking pass", events, months, [&](int) { main.Button4Click(); });
  widgets::Panel& grid = *test::WindowAccess::Widgets(main).calp;
  Time("  of it the day cells' repaint", events, months, [&](int) {
    RedrawWindow(grid.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  });
  Time("whole window's repaint", events, months, [&](int) {
    RedrawWindow(main.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  });

  main.SpeedButton1Click();  // today's month, today selected
  Drain();
  Time("day's list (details and grid)", events, months, [&](int) {
    main.Button3Click();
    Drain();
  });

  if (events < 100000) return;
  constexpr int kChanges = 10;
  Time("save through the list window", events, kChanges, [&](int i) {
    if (!list.SaveEventLine(NewEventLine(i + 1))) std::printf("save %d failed\n", i);
    Drain();
  }, [&] { SettleStore(list); });
  Time("delete through the list window", events, kChanges, [&](int i) {
    if (!list.DeleteEventLine(NewEventLine(i + 1))) std::printf("delete %d failed\n", i);
    Drain();
  }, [&] { SettleStore(list); });
}

// Several hundred events due at one minute beside 100,000 others: the
// look that finds them, the notice window shown with its list and the
// tray's balloon.
void TimeNotices(const fsys::path& folder) {
  const fsys::path file = folder / "Redoviri_notices.ini";
  testing::WriteEventFile(file.string(), 100000);
  {
    std::ofstream out(file, std::ios::binary | std::ios::app);
    for (int i = 0; i < 300; ++i) {
      std::string line = testing::NumberedEventLine(i, "12", "20", "2026");
      line.replace(9, 5, "10:43");
      out << line << "\r\n";
    }
  }
  ApplicationSetup setup = ApplicationSetup::System();
  auto ownClock = std::make_unique<FixedClock>(LocalDateTime{{2026, 12, 20}, {10, 42, 0}});
  FixedClock& clock = *ownClock;
  setup.clock = std::move(ownClock);
  setup.locale = EnglishDateLocale(true);
  setup.eventFilePath = file.string();
  setup.animationDelayMs = 0;
  Application app(std::move(setup));
  TNotice& notice = app.Notice();
  std::size_t listed = 300;
  Time("notice of 300 due at once", 100300, 20, [&](int) {
    clock.Set(LocalDateTime{{2026, 12, 20}, {10, 43, 5}});
    app.Model().Look();
    UpdateWindow(notice.Handle());
    Drain();
    listed = std::min(listed, notice.Board().Notices().size());
  }, [&] {
    notice.DismissAllClick();
    clock.Set(LocalDateTime{{2026, 12, 20}, {10, 42, 0}});
    // The watch starts anew: the same 300 fall due at the next look.
    app.Model().NoticeCommand([](NoticePresenter& p, const ClockReading& now) {
      p.Start(now);
      return NoticeRedraw{};
    });
    Drain();
  });
  if (listed != 300) std::printf("a notice listed only %zu\n", listed);
}

// The program's committed memory in KiB (Wine tells it as the private
// usage or the page file usage).
std::size_t CommittedKiB() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
  return (counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage) / 1024;
}

// Every window shown and painted once, then all of them again: what the
// pictures drawn for the resolution and the windows hold.
void MeasureMemory(const fsys::path& folder) {
  const fsys::path file = folder / "Redoviri_memory.ini";
  testing::WriteEventFile(file.string(), 200);
  ApplicationSetup setup = ApplicationSetup::System();
  setup.locale = EnglishDateLocale(true);
  setup.eventFilePath = file.string();
  setup.animationDelayMs = 0;
  Application app(std::move(setup));
  app.card4Click();
  Drain();
  std::printf("committed at %d dpi: the calendar shown %zu KiB\n", widgets::DpiOf(nullptr), CommittedKiB());
  for (int pass = 1; pass <= 2; ++pass) {
    for (widgets::FormWindow* window : std::initializer_list<widgets::FormWindow*>{
             &app.Form3(), &app.Form1(), &app.Form2(), &app.Form4(), &app.ABOU(), &app.help(), &app.Notice()}) {
      widgets::Form& form = test::WindowAccess::FormOf(*window);
      form.Show();
      UpdateWindow(form.Handle());
      Drain();
      form.Hide();
      Drain();
    }
    std::printf("committed after every window, pass %d: %zu KiB\n", pass, CommittedKiB());
  }
}

}  // namespace

// "notices": only the notice's timing; "memory": only the memory.
int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "memory") {
    const fsys::path folder = fsys::temp_directory_path() / "redoviri_window_memory";
    fsys::create_directories(folder);
    MeasureMemory(folder);
    fsys::remove_all(folder);
    return 0;
  }
  const bool noticesOnly = argc > 1 && std::string(argv[1]) == "notices";
  const fsys::path folder = fsys::temp_directory_path() / "redoviri_window_timing";
  fsys::create_directories(folder);
  if (!noticesOnly)
    for (const int events : {1000, 10000, 100000}) TimeWindows(folder, events);
  TimeNotices(folder);
  fsys::remove_all(folder);
  return 0;
}
