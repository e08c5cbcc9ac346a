// TForm1, the main window: the month calendar with its frame and clock
// line, the details panel, the month and year fields, the tray icon and the
// three timers. Borderless, always on top, no taskbar button; created
// hidden.
//
// Usage (the application object creates it right after the splash):
//
//   redoviri::TForm1 form1({.model = model, .hints = &hintManager, .trayApp = trayApp});
//   form1.showEventList = [&] { form2.Show(); };       // after the hide, when asked for
//   form1.showDateChooser = [&] { form4.Show(); };     // SpeedButton2
//   form1.clockTextChanged = [&](const std::string& text) { ... };  // every second
//   form1.AttachPopupMenu(menu);                       // right click on the window or the tray
//
//   model.onUpdate = [&](const ModelUpdate& u) { form1.Present(u.calendar); ... };
//   form1.StartClock();
//
// What the window shows comes from the application model's
// CalendarPresenter: the handlers of the window's design (Button1Click,
// ldClick, SpeedButton3Click ...) and the keys each give the presenter a
// command through the model, and the window shows what the model says
// changed (Present).
// Other windows reach it through its named operations (MainWindowOps). The
// widgets, the timers and the tray icon are the window's own. Executables
// that create a TForm1 link redoviri_resources too: the window's pictures
// and icons are resources of the executable.
#pragma once

#include <cstdint>

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "astro/moonmarks.h"
#include "base/clock.h"
#include "base/locale.h"
#include "base/monthgrid.h"
#include "calendar/appmodel.h"
#include "calendar/presenter.h"
#include "components/BalloonHint.h"
#include "components/SmoothShow.h"
#include "components/TrayIconF.h"
#include "events/mainwindow_ops.h"
#include "reminders/daylisting.h"
#include "reminders/marking.h"
#include "reminders/todayreminder.h"
#include "widgets/popup_menu.h"
#include "widgets/widgets.h"

namespace redoviri {

class EventList;

// The widgets of the main window, by the names of its design.
struct TForm1Widgets {
  static constexpr int kCellPanels = 42;  // pd38..pd42 stay empty

  widgets::Image* TopBar = nullptr;
  widgets::Image* BottomBar = nullptr;
  widgets::Image* LeftBar = nullptr;
  widgets::Image* RightBar = nullptr;
  std::array<widgets::Panel*, 4> CloseBoxes{};  // top left, top right, bottom left, bottom right
  widgets::Label* Label2 = nullptr;             // the clock line
  widgets::Image* LegendStrip = nullptr;

  widgets::Panel* paicon = nullptr;  // details panel
  widgets::Label* Label1 = nullptr;  // details label
  // Count labels llov, lbir, lwor, lrel, lfee, loth and icons iclov,
  // icbir, icwor, icrel, icfee, icoth, by category 1..6 (index 0 unused).
  std::array<widgets::Label*, kCategoryCount + 1> CountLabel{};
  std::array<widgets::Image*, kCategoryCount + 1> CategoryIcon{};

  widgets::Edit* Edit2 = nullptr;    // month number
  widgets::Edit* Edit1 = nullptr;    // month name
  widgets::Edit* UpDown2 = nullptr;  // year
  widgets::SpeedButton* SpeedButton1 = nullptr;
  widgets::SpeedButton* SpeedButton2 = nullptr;
  widgets::SpeedButton* SpeedButton3 = nullptr;
  widgets::SpeedButton* SpeedButton4 = nullptr;
  widgets::SpeedButton* SpeedButton5 = nullptr;
  widgets::StringGrid* StringGrid1 = nullptr;  // month chooser

  widgets::Panel* calp = nullptr;  // grid panel: takes the keyboard for the days
  // Column headers dim1 .. sam1 and their labels dim12 .. sam12, Monday
  // first (columns 0..6).
  std::array<widgets::Panel*, 7> HeaderPanel{};
  std::array<widgets::Label*, 7> HeaderLabel{};
  // Day cells by number (index 0 unused): the cell's framed box pd, the
  // event picture id, the moon picture moon and the day number ld. All of
  // them are drawn by the grid panel in one pass: a month change repaints
  // one window, not one per cell.
  std::array<widgets::Shape*, kCellPanels + 1> pd{};
  std::array<widgets::Image*, kDayCellCount + 1> id{};
  std::array<widgets::Image*, kDayCellCount + 1> moon{};
  std::array<widgets::Label*, kDayCellCount + 1> ld{};

  widgets::Timer* Timer1 = nullptr;  // clock, 1000 ms
  widgets::Timer* Timer3 = nullptr;  // blink, 2000 ms
};

struct TForm1Deps {
  AppModel& model;
  widgets::HintManager* hints = nullptr;  // the program's hint manager, if any
  ShellNotify* shell = nullptr;           // null: the real shell
  TrayApplication trayApp = {};
};

class TForm1 : public widgets::FormWindow, public MainWindowOps, private TForm1Widgets {
 public:
  explicit TForm1(TForm1Deps deps);
  ~TForm1();

  // Shows what a change of the model changed, part by part.
  void Present(const CalendarRedraw& changed);

  // ---- What the other windows ask of this one
  // The clock line runs from now on.
  void StartClock();
  // Stops the clock, the day-change check and the blinking.
  void StopTimers();
  // The first three rows of cells in the unselected look (rows 3, 2, 1).
  void UnselectFirstRows();
  // ShowListAfterHide: show the event list window once this one has
  // finished hiding.
  void SetShowListAfterHide(bool on);
  void ListWindowClosing() override { SetShowListAfterHide(false); }
  // The menu of a right click on the window and on the tray icon.
  void AttachPopupMenu(widgets::TPopupMenu& menu);
  // Takes the icon out of the notification area.
  void RemoveTrayIcon();
  // The day and month names and the date order are now those of the
  // model: the month chooser is written again with them (the rest follows
  // the model's change).
  void LocaleChanged();

  // ---- Month grid
  // Fills the grid for Calendar1's month: day numbers, header names,
  // colours, moon marks. Leaves the event pictures alone.
  void Button1Click();
  // The marking pass: each event of the store in its order, on each cell
  // it falls on; then every cell shows its mark (checkClick).
  void Button4Click();
  // Cell k shows what the marking pass gave it: its event picture and the
  // hint of its day number.
  void checkClick(int k);
  // Cell k's event picture in the selected or the normal look, after its
  // DayMark (the Tag of id[k]).
  void selClick(int k);
  void noselClick(int k);

  // ---- Day selection and details
  // Selects cell k: highlights it, shows the day's date (and moon) in the
  // details panel and lists the day's events.
  void ldClick(int k);
  // A double click on any day: the event list window on the selected day.
  void ld1DblClick();
  // The selected date into the details label, the list window's heading
  // and the editor's date fields; hides the counts.
  void Button2Click();
  // The selected day's events: a count and icon per category here, the
  // rows in the list window. Lists nothing while no day is selected.
  void Button3Click();
  // Today's cell selected as a click on it would, when the view shows
  // today's month: the details, their counts and the list all belong to
  // today.
  void SelectToday();
  // A click on the details: the event list window on the selected day.
  void Label1Click();
  // The selected day as the day cell shows it ("" for none).
  const std::string& SelectedDayText() const { return presenter_.SelectedDayText(); }
  // A date chosen elsewhere (the date chooser): `dayText` becomes the
  // selected day, the calendar and the month fields move to the date's
  // month and year, the details show the day and, when there is a day,
  // its events are listed. No cell is highlighted.
  void JumpToDay(const std::string& dayText, const CivilDate& date) override;
  // The selected day alone, with nothing shown afresh (a chosen date that
  // turned out not to exist).
  void SetSelectedDayText(const std::string& dayText) override;
  // The event list window on the selected day: this window hides and the
  // list comes once the hide is over.
  void OpenEventList() override;

  // ---- Navigation
  void Edit2Change();      // month number field
  void UpDown2Change();    // year field, typed in
  void UpDown2Step(int step);  // year field, its Up (+1) and Down (-1) keys
  void SpeedButton1Click();  // present month
  void SpeedButton2Click();  // add an event: the date chooser
  void SpeedButton3Click();  // year + 1
  void SpeedButton4Click();  // year - 1
  void SpeedButton5Click();  // month chooser
  void StringGrid1MouseUp();

  // ---- Frame, showing and hiding
  void Timer1Timer();  // clock line
  void TrayClick();
  void Panel2Click();  // a close box
  void FormShow();
  void FormHide();
  void SmoothShow1Finish();  // the hide animation has ended
  // "Animated window": whether hiding animates (at first it does).
  void SetAnimated(bool on);
  // "Blincking icons": whether the tray blinks on a day with events (at
  // first it does).
  void SetBlinking(bool on);
  // The main window back on the screen, in front with the keyboard.
  void ShowCalendar() override;
  // In front with the keyboard in the day grid (a window shown for the
  // user's action); `shownAlready`: it was on the screen before.
  void Activate(bool shownAlready = false);
  void KeyboardBack() override { Activate(true); }
  // Milliseconds between the animation's steps.
  void SetAnimationDelay(std::uint16_t ms);

  // ---- Today's events in the tray
  // Today's events counted again for the tray.
  void checktodayClick();
  // Today's day number in the tray (today as the model's last look saw it).
  void datetrayClick();
  void Timer3Timer();  // blink
  void TrayDblClick();
  // A balloon notice from the tray icon.
  void ShowTrayBalloon(const std::string& title, const std::string& text) { Tray.ShowBalloon(title, text); }

  // ---- Hooks to the other windows (any may stay empty)
  std::function<void()> showEventList;
  std::function<void()> showDateChooser;
  // The clock line's new text, at every tick of Timer1 (the event list
  // window shows it while visible).
  std::function<void(const std::string&)> clockTextChanged;
  // The user changed the regional settings (names of days and months, the
  // date order); the application reads them and hands them round.
  std::function<void()> regionalSettingsChanged;
  // Ctrl+Z (false) and Ctrl+Y or Ctrl+Shift+Z (true): the last change of
  // the event file taken back, or done again.
  std::function<void(bool redo)> undoKey;

  // ---- State
  // The calendar the window shows: its month, selection and today.
  const CalendarPresenter& Calendar1() const { return presenter_; }
  CivilDate ShownDate() const { return presenter_.ShownDate(); }

 private:
  friend struct test::WindowAccess;
  struct Pictures;

  void FormCreate();
  // Cell k's moon picture and its MoonMark code.
  void MarkMoon(int k, astro::MoonMark mark);
  // Cell k's panel in the colour of its look.
  void ShowCellLook(int k);
  void BuildFrame();
  void BuildDetailsPanel();
  void BuildMonthFields();
  void BuildGrid();
  void LoadTrayIcons();
  void SetupTray();
  void SetupBalloonHint();
  void FollowSystemChanges();
  void FillMonthChooser();

  // A command of the calendar presenter, through the model.
  void Command(const std::function<CalendarRedraw(CalendarPresenter&)>& command);
  void ShowMonthFields();
  void ShowLooks();
  // Cell k's event picture in the look the presenter says.
  void ShowPicture(int k);
  void ShowCounts(bool shown);
  void ShowTodayInTray();
  // The day grid's text for screen readers, and the events that tell them.
  void ShowAccessibleText();
  // A key on the day grid; true when it was used.
  bool DayGridKey(UINT key);
  // "Today " and the long date with the time: the clock line.
  std::string ClockLineText() const;

  AppModel& model_;
  const CalendarPresenter& presenter_;
  std::unique_ptr<Pictures> pictures_;
  std::array<widgets::OwnedIcon, 31> dayIcons_;
  std::array<widgets::OwnedIcon, kCategoryCount> categoryIcons_;

  bool animated_ = true;
  int showListAfterHide_ = 0;  // ShowListAfterHide, the window's tag
  // While the window writes the month fields, their change handlers wait.
  bool writingFields_ = false;
  widgets::TPopupMenu* popupMenu_ = nullptr;

  TSmoothShow SmoothShow1;
  TBalloonHint BalloonHint1;
  TTrayIconF Tray;  // last: it goes first, while the window still exists
};

}  // namespace redoviri
