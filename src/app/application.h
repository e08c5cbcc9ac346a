// The application object: owns the application model (the event store, the
// clock's readings, the presenters), the seven windows of the program, the
// one clock that looks every 15 seconds, the shared options and the
// locale, and runs the message loop.
//
// The model comes first: its start is the start of the watch for due
// events. The windows are created in a fixed order, each one's creation
// running before the next exists: the splash Form3, the main window Form1,
// the event list window Form2, the date chooser Form4, the about window
// ABOU, the help window help and the notice window. Then the event file is
// read, today is selected and the clock is looked at for the first time.
// The windows live until the program ends; in between they are only shown
// and hidden. Every change of the model reaches every window through one
// call (Present), in that order.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/about.h"
#include "app/helpf.h"
#include "app/oslpash.h"
#include "base/clock.h"
#include "base/locale.h"
#include "app/clockwatch.h"
#include "calendar/appmodel.h"
#include "calendar/maincal.h"
#include "app/options.h"
#include "components/PopupMenus97.h"
#include "components/TrayIconF.h"
#include "events/editday.h"
#include "events/eventfile.h"
#include "events/reminderwindow.h"
#include "events/rulewindow.h"
#include "events/seriesquestion.h"
#include "events/unit4.h"
#include "reminders/noticewindow.h"
#include "widgets/hint.h"

namespace redoviri {

inline constexpr const char* kApplicationTitle = "Redoviri by DUZOVU";
inline constexpr const char* kEventFilePath = "c:\\program files\\Redoviri by DUZOVU\\Redoviri.ini";
inline constexpr const char* kQuitCaption = "Terminate Redoviri and Quit";
inline constexpr const char* kAboutCaption = "About Redoviri by DUZOVU";
inline constexpr const char* kAnimatedCaption = "Animated window";
inline constexpr const char* kBlinkingCaption = "Blincking icons";

// What the program runs on: the system's clock, locale, files and shell,
// or stand-ins.
struct ApplicationSetup {
  std::unique_ptr<Clock> clock;
  DateLocale locale;
  // Reads the locale again when the user changes the regional settings.
  std::function<DateLocale()> readLocale = UserDateLocale;
  std::unique_ptr<FileSystem> files;
  std::string eventFilePath = kEventFilePath;
  ShellNotify* shell = nullptr;  // null: the real notification area
  // Shows the message of a failed operation; null: a message box.
  std::function<void(const std::string& message)> showError{};
  // Shows an information message; null: a message box.
  std::function<void(const std::string& message)> showInfo{};
  // Asks a Yes/No question; null: a message box.
  std::function<bool(const std::string& question)> confirm{};
  // Plays the reminder sound of a notice; null: the system's.
  std::function<void()> playSound{};
  // Stands in for the question window of a day of a series (tests).
  std::function<std::optional<SeriesScope>(const SeriesQuestion& question)> askSeries{};
  // The about window's chance; null: seeded from the clock.
  RandomBelow random{};
  // Milliseconds between the steps of the windows' show and hide
  // animations; none: the animation's own pace.
  std::optional<std::uint16_t> animationDelayMs{};
  // Milliseconds between two looks at the clock for due events.
  UINT noticeLookMs = kLookIntervalMs;

  static ApplicationSetup System();
};

class Application {
 public:
  // Creates the windows; only the splash is visible afterwards.
  explicit Application(ApplicationSetup setup);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // The message loop, until Quit1Click; returns the process's exit code.
  int Run();

  // "Terminate Redoviri and Quit": stops the timers, hides every window,
  // takes the tray icon away and ends the message loop. The windows are
  // destroyed when the application object goes, help first and the main
  // window last.
  void Quit1Click();

  // The other commands of the shared popup menu.
  void card4Click();    // "Show Calendar"
  void hidecClick();    // "Hide calendar": both windows go for good
  void card5Click();    // "Edit new event": the date chooser
  void animClick();     // "Animated window" on and off
  void blinkicClick();  // "Blincking icons" on and off
  void helpeClick();    // "Help"
  void aboutClick();    // "About Redoviri by DUZOVU"

  // The menu every window and the tray icon share.
  widgets::TPopupMenu& PopupMenu() { return popupMenu_; }
  TForm3& Form3() { return *form3_; }
  TForm1& Form1() { return *form1_; }
  TForm2& Form2() { return *form2_; }
  TForm4& Form4() { return *form4_; }
  TABOU& ABOU() { return *abou_; }
  Thelp& help() { return *help_; }
  TNotice& Notice() { return *notice_; }
  AppModel& Model() { return model_; }
  ClockWatch& Clock() { return *clock_; }
  AppOptions& Options() { return options_; }

 private:
  void ShowError(const std::string& message) const;
  void ShowInfo(const std::string& message) const;
  bool Confirm(const std::string& question) const;
  // A message through its stand-in, or in a message box with an OK button.
  void Tell(const std::function<void(const std::string&)>& standIn, const std::string& message, UINT icon) const;
  // A message box owned by the program's window in front; returns the
  // button pressed.
  int Ask(const std::string& text, UINT buttons) const;
  // The program's visible window highest in the z-order, else the main
  // window.
  HWND FrontWindow() const;
  void BuildPopupMenu();
  // Clears both window-switch flags, then hides the main and list windows.
  void HideMainAndList();
  // The hooks by which the main window reaches the others.
  void ConnectWindows();
  // The regional settings changed: every window takes the locale read anew.
  void RegionalSettingsChanged();
  // Every window shows what a change of the model changed.
  void Present(const ModelUpdate& update);
  // A notice's line clicked: its day in the event list window, its event's
  // row selected.
  void OpenNotice(std::size_t row);
  // A window of the program was minimised: the program goes to the tray.
  void Minimized();
  // Every window hides, none comes back.
  void HideEveryWindow();
  // Switches the windows' animations off, or back to what the options say.
  void SetAnimations(bool on);
  // "Animated window": the option, its check mark and the animations.
  void SetAnimatedWindow(bool on);

  ApplicationSetup setup_;
  AppOptions options_;
  int animItem_ = -1, blinkItem_ = -1;  // their places in the shared menu
  // The program's on-minimise handler (every window goes, at once); the
  // tray icon chains its own in.
  std::function<void()> onMinimize_;
  widgets::HintManager hints_;
  // The model and the shared menu outlive every window.
  AppModel model_;
  widgets::TPopupMenu popupMenu_;
  TPopupMenus97 PopupMenunew;  // draws popupMenu_, with its banner
  // Declared in the order of creation; destroyed the other way round.
  std::unique_ptr<TForm3> form3_;
  std::unique_ptr<TForm1> form1_;
  std::unique_ptr<TForm2> form2_;
  std::unique_ptr<TForm4> form4_;
  std::unique_ptr<TRuleWindow> ruleWindow_;
  std::unique_ptr<TReminderWindow> reminderWindow_;
  std::unique_ptr<TSeriesQuestion> seriesQuestion_;
  std::unique_ptr<TABOU> abou_;
  std::unique_ptr<Thelp> help_;
  std::unique_ptr<TNotice> notice_;
  std::unique_ptr<ClockWatch> clock_;
};

}  // namespace redoviri
