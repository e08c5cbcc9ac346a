#include "app/application.h"

#include <algorithm>

#include "resources/resource_ids.h"
#include "widgets/activation.h"
#include "widgets/gdi.h"

namespace redoviri {

ApplicationSetup ApplicationSetup::System() {
  ApplicationSetup s;
  s.clock = std::make_unique<SystemClock>();
  s.locale = UserDateLocale();
  s.files = MakeSystemFileSystem();
  return s;
}

Application::Application(ApplicationSetup setup)
    : setup_(std::move(setup)),
      model_(*setup_.clock, setup_.locale, EventFile(setup_.eventFilePath, *setup_.files)) {
  // What a handler lets out is shown as any failure is, and the program
  // goes on.
  widgets::SetFailureReporter([this](const std::string& message) { ShowError(message); });
  form3_ = std::make_unique<TForm3>();
  // The splash shows while the other windows are built and the event file
  // is read.
  form3_->Show();
  UpdateWindow(form3_->Handle());

  onMinimize_ = [this] {
    // A minimised window has no place on the screen to shrink from: every
    // window goes at once.
    SetAnimations(false);
    HideEveryWindow();
    SetAnimations(true);
  };
  TrayApplication trayApp;
  // The application's icon: the tray loads it itself, at the small-icon size of the screen's DPI.
  trayApp.iconResource = MAKEINTRESOURCEA(IDI_REDOVIRI);
  trayApp.mainWindow = [this] { return form1_ ? form1_->Handle() : nullptr; };
  // The program has no taskbar button: its windows live in the tray.
  trayApp.taskbarWindow = [] { return HWND{}; };
  trayApp.onMinimize = &onMinimize_;
  form1_ = std::make_unique<TForm1>(TForm1Deps{.model = model_,
                                               .hints = &hints_,
                                               .shell = setup_.shell,
                                               .trayApp = std::move(trayApp)});

  form2_ = std::make_unique<TForm2>(TForm2Deps{.form1 = *form1_,
                                               .model = model_,
                                               .popupMenu = popupMenu_,
                                               .showError = [this](const std::string& m) { ShowError(m); },
                                               .showInfo = [this](const std::string& m) { ShowInfo(m); },
                                               .confirm = [this](const std::string& q) { return Confirm(q); },
                                               .showDateChooser = [this] { form4_->ShowActive(); },
                                               .chooseRule =
                                                   [this](const CivilDate& first, const RepeatRule& current,
                                                          std::function<void(const RepeatRule&)> chosen) {
                                                     ruleWindow_->Choose(form2_->Handle(), first, current,
                                                                         std::move(chosen));
                                                   },
                                               .chooseReminders =
                                                   [this](const std::vector<int>& current,
                                                          std::function<void(const std::vector<int>&)> chosen) {
                                                     reminderWindow_->Choose(form2_->Handle(), current,
                                                                             std::move(chosen));
                                                   },
                                               .askSeries =
                                                   [this](const SeriesQuestion& q,
                                                          std::function<void(std::optional<SeriesScope>)> answered) {
                                                     if (setup_.askSeries) return answered(setup_.askSeries(q));
                                                     seriesQuestion_->Ask(form2_->Handle(), q, std::move(answered));
                                                   },
                                               .hints = &hints_});
  seriesQuestion_ = std::make_unique<TSeriesQuestion>(&hints_);
  ruleWindow_ = std::make_unique<TRuleWindow>(TRuleWindowDeps{.locale = setup_.locale, .hints = &hints_});
  reminderWindow_ = std::make_unique<TReminderWindow>(&hints_);
  BuildPopupMenu();

  form4_ = std::make_unique<TForm4>(
      TForm4Deps{.form1 = *form1_,
                 .clock = *setup_.clock,
                 .locale = setup_.locale,
                 .showError = [this](const std::string& m) { ShowError(m); },
                 .setEditorYear =
                     [this](const std::string& y) {
                       model_.ListCommand([&](ListPresenter& p) { return p.SetEditorYear(y); });
                     },
                 .hints = &hints_,
                 .owner = form1_->Handle()});
  abou_ = std::make_unique<TABOU>(&hints_, setup_.random ? setup_.random : ClockSeededRandom());
  abou_->showMainWindow = [this] { form1_->ShowCalendar(); };
  help_ = std::make_unique<Thelp>(&hints_, options_, form1_->Handle());
  help_->showMainWindow = [this] { form1_->ShowCalendar(); };
  notice_ = std::make_unique<TNotice>(TNoticeDeps{.model = model_, .caption = kApplicationTitle, .hints = &hints_});
  clock_ = std::make_unique<ClockWatch>(
      setup_.noticeLookMs, [this] { model_.Look(); }, [this] { return model_.ConfirmStamp(); });
  ConnectWindows();
  SetAnimations(true);
  if (setup_.animationDelayMs) {
    const std::uint16_t ms = *setup_.animationDelayMs;
    form1_->SetAnimationDelay(ms);
    form2_->SetAnimationDelay(ms);
    form4_->SetAnimationDelay(ms);
    abou_->SetAnimationDelay(ms);
    help_->SetAnimationDelay(ms);
  }
  form1_->StartClock();
  if (const StoreResult loaded = model_.Load(); !loaded.ok()) {
    // The store stays empty and refuses to write; the calendar still shows
    // today and the tray its day number.
    ShowError(loaded.error);
  }
  // The details show today from the start: today is the selected day, so
  // its counts show and a click on the details lists its events.
  form1_->SelectToday();
  // The first look alerts what fell due since the start.
  model_.Look();
  clock_->Start();
  // Another program's change of the event file is seen at once.
  const std::string& path = setup_.eventFilePath;
  if (const std::size_t slash = path.find_last_of("\\/"); slash != std::string::npos)
    clock_->WatchFolder(path.substr(0, slash));
}

void Application::Present(const ModelUpdate& u) {
  form1_->Present(u.calendar);
  form2_->Present(u.list);
  notice_->Present(u.notices);
  if (!u.notices.balloon.empty()) form1_->ShowTrayBalloon(kApplicationTitle, u.notices.balloon);
  if (u.notices.sound) setup_.playSound ? setup_.playSound() : PlayReminderSound();
  if (u.written) clock_->ConfirmStampLater();
}

void Application::ConnectWindows() {
  TForm1& main = *form1_;
  main.showEventList = [this] { form2_->ShowActive(); };
  main.showDateChooser = [this] { form4_->ShowActive(); };
  main.clockTextChanged = [this](const std::string& text) { form2_->ShowClockText(text); };
  main.regionalSettingsChanged = [this] { RegionalSettingsChanged(); };
  main.undoKey = [this](bool redo) { form2_->UndoRedo(redo); };
  notice_->openDay = [this](std::size_t row) { OpenNotice(row); };
  model_.onUpdate = [this](const ModelUpdate& u) { Present(u); };
  for (widgets::FormWindow* window : std::initializer_list<widgets::FormWindow*>{
           form1_.get(), form2_.get(), form4_.get(), ruleWindow_.get(), reminderWindow_.get(), seriesQuestion_.get(),
           abou_.get(), help_.get(), notice_.get()})
    window->WhenMinimized([this] { Minimized(); });
}

void Application::OpenNotice(std::size_t row) {
  form4_->Hide();
  ruleWindow_->Hide();
  reminderWindow_->Hide();
  if (model_.OpenNotice(row)) form1_->OpenEventList();
}

void Application::Minimized() {
  if (onMinimize_) onMinimize_();
}

void Application::HideEveryWindow() {
  HideMainAndList();
  form4_->Hide();
  ruleWindow_->Hide();
  reminderWindow_->Hide();
  seriesQuestion_->Answer(std::nullopt);
  abou_->Close();
  help_->Hide();
}

void Application::SetAnimations(bool on) {
  // The option switches the main window's, the list window's and the date
  // chooser's; the about window always animates, the help window asks the
  // option itself.
  const bool windows = on && options_.animatedWindow;
  form1_->SetAnimated(windows);
  form2_->SetAnimated(windows);
  form4_->SetAnimated(windows);
  abou_->SetAnimated(on);
  help_->SetAnimated(on);
}

void Application::RegionalSettingsChanged() {
  if (!setup_.readLocale) return;
  setup_.locale = setup_.readLocale();
  model_.LocaleChanged(setup_.locale);
  form1_->LocaleChanged();
  form4_->LocaleChanged(setup_.locale);
  ruleWindow_->LocaleChanged(setup_.locale);
}

Application::~Application() {
  widgets::SetFailureReporter(nullptr);
  // No window reaches another, nor the model or the menu, while any goes.
  model_.onUpdate = nullptr;
  for (widgets::FormWindow* window : std::initializer_list<widgets::FormWindow*>{
           clock_.get(), notice_.get(), help_.get(), abou_.get(), seriesQuestion_.get(), ruleWindow_.get(),
           reminderWindow_.get(), form4_.get(), form2_.get(),
           form1_.get(), form3_.get()})
    if (window) window->Detach();
}

void Application::BuildPopupMenu() {
  widgets::TPopupMenu& menu = popupMenu_;
  // Drawn with the program's banner.
  PopupMenunew.SetBannerJustification(bjCenter);
  PopupMenunew.SetBannerWidth(20);
  PopupMenunew.SetBannerText("DUZOVU");
  PopupMenunew.SetBannerFont(TMenuFont::Make("Arial", -16, GetSysColor(COLOR_WINDOWTEXT)));
  PopupMenunew.SetBannerColor(widgets::colours::Green);
  PopupMenunew.SetBannerEndColor(widgets::colours::Lime);
  PopupMenunew.SetBanner(true);
  PopupMenunew.SetPopupMenu(&menu);
  // Centred on the point it is opened at.
  menu.SetAlignment(widgets::MenuAlignment::Center);
  menu.Add({.caption = "Show Calendar", .onClick = [this] { card4Click(); }});
  menu.Add({.caption = "Hide calendar", .onClick = [this] { hidecClick(); }});
  menu.Add({.caption = "Edit new event", .onClick = [this] { card5Click(); }});
  menu.Add({.caption = "-"});
  const int looks = menu.Add({.caption = "Looks", .submenu = true});
  // The border looks are shown, not chosen: they do nothing.
  menu.Add({.caption = "Colored borders", .checked = true}, looks);
  menu.Add({.caption = "Silver borders"}, looks);
  animItem_ = menu.Add({.caption = kAnimatedCaption, .checked = true, .onClick = [this] { animClick(); }}, looks);
  blinkItem_ = menu.Add({.caption = kBlinkingCaption, .checked = true, .onClick = [this] { blinkicClick(); }}, looks);
  menu.Add({.caption = "-"});
  menu.Add({.caption = "Help", .onClick = [this] { helpeClick(); }});
  menu.Add({.caption = kAboutCaption, .onClick = [this] { aboutClick(); }});
  menu.Add({.caption = "-"});
  menu.Add({.caption = kQuitCaption, .onClick = [this] { Quit1Click(); }});
  menu.Add({.caption = "-"});
  menu.Add({.caption = "OK, close the menu..."});  // choosing it only closes the menu
  form1_->AttachPopupMenu(menu);
}

// ------------------------------------------------------------- Menu commands

void Application::card4Click() { form1_->ShowCalendar(); }

void Application::HideMainAndList() {
  // Neither window may bring the other back while they go.
  form1_->SetShowListAfterHide(false);
  form2_->SetShowGridAfterHide(false);
  form1_->Hide();
  form2_->Hide();
}

void Application::hidecClick() { HideMainAndList(); }

void Application::card5Click() { form4_->ShowActive(); }

void Application::animClick() { SetAnimatedWindow(!options_.animatedWindow); }

void Application::SetAnimatedWindow(bool on) {
  options_.animatedWindow = on;
  popupMenu_.SetChecked(animItem_, on);
  SetAnimations(true);
}

void Application::blinkicClick() {
  options_.blinkingIcons = !options_.blinkingIcons;
  popupMenu_.SetChecked(blinkItem_, options_.blinkingIcons);
  form1_->SetBlinking(options_.blinkingIcons);
}

void Application::helpeClick() {
  HideMainAndList();
  help_->ShowActive();
}

void Application::aboutClick() {
  HideMainAndList();
  abou_->ShowCentred();
}

void Application::ShowInfo(const std::string& message) const { Tell(setup_.showInfo, message, MB_ICONINFORMATION); }

bool Application::Confirm(const std::string& question) const {
  if (setup_.confirm) return setup_.confirm(question);
  return Ask(question, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void Application::ShowError(const std::string& message) const { Tell(setup_.showError, message, MB_ICONERROR); }

void Application::Tell(const std::function<void(const std::string&)>& standIn, const std::string& message,
                       UINT icon) const {
  if (standIn) {
    standIn(message);
  } else {
    Ask(message, MB_OK | icon);
  }
}

HWND Application::FrontWindow() const {
  const std::initializer_list<HWND> ours{form3_ ? form3_->Handle() : nullptr, form1_ ? form1_->Handle() : nullptr,
                                         form2_ ? form2_->Handle() : nullptr, form4_ ? form4_->Handle() : nullptr,
                                         ruleWindow_ ? ruleWindow_->Handle() : nullptr,
                                         reminderWindow_ ? reminderWindow_->Handle() : nullptr,
                                         seriesQuestion_ ? seriesQuestion_->Handle() : nullptr,
                                         abou_ ? abou_->Handle() : nullptr,   help_ ? help_->Handle() : nullptr};
  // The top-level windows from the top of the z-order down.
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (!IsWindowVisible(w)) continue;
    if (std::find(ours.begin(), ours.end(), w) != ours.end()) return w;
  }
  return form1_ ? form1_->Handle() : nullptr;
}

int Application::Ask(const std::string& text, UINT buttons) const {
  // The box belongs to the window in front, so it opens above it (also
  // above an always-on-top one) and takes the keyboard; a box without an
  // owner would open behind the program's own windows.
  const HWND owner = FrontWindow();
  const int answer = MessageBoxA(owner, text.c_str(), kApplicationTitle, buttons | MB_TOPMOST | MB_SETFOREGROUND);
  // The system gives the owner back its activation, and the owner its
  // focused control; a window manager that focuses only what it maps needs
  // the owner mapped anew for it.
  if (widgets::FocusComesOnlyWithAMap()) widgets::GiveKeyboardBack(owner);
  return answer;
}

int Application::Run() {
  MSG msg{};
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (widgets::IsFormDialogMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

void Application::Quit1Click() {
  // Nothing animates on the way out.
  SetAnimatedWindow(false);
  SetAnimations(false);
  form1_->StopTimers();
  clock_->Stop();
  HideEveryWindow();
  notice_->Hide();
  form1_->RemoveTrayIcon();
  PostQuitMessage(0);
}

}  // namespace redoviri
