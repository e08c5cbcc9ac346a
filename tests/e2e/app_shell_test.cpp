// The application shell assembled with stand-ins for the clock, the event
// file and the notification area: the windows it creates and in which
// state, the event list window's creation sequence (loading, handing the
// store over, the main window's refresh), a load failure, the close boxes
// of the event list window, the clock line, the shared menu and Quit.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/application.h"
#include "calendar/monthgrid.h"
#include "components/fake_shell.h"
#include "events/fake_filesystem.h"
#include "reminders/event_store.h"

namespace redoviri {
namespace {

using testing::EventLine;
using testing::FakeFileSystem;

constexpr COLORREF kToday = RGB(128, 255, 255);
constexpr const char* kPath = "c:\\program files\\Redoviri by DUZOVU\\Redoviri.ini";
// A Friday.
constexpr LocalDateTime kNow{{2003, 2, 14}, {10, 42, 7}};

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

bool QuitPosted() {
  MSG msg;
  return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

SIZE ClientSize(HWND w) {
  RECT r{};
  GetClientRect(w, &r);
  return {r.right, r.bottom};
}

class AppShellTest : public ::testing::Test {
 protected:
  // The event file holds these lines (none: there is no file).
  void Start(const std::vector<std::string>& lines) {
    if (!lines.empty()) {
      std::string bytes = "Redoviri by DUZOVU event file\r\n";
      for (const std::string& line : lines) bytes += line + "\r\n";
      files->files[kPath] = bytes;
      files->folders.insert("c:\\program files\\Redoviri by DUZOVU");
    }
    ApplicationSetup setup;
    setup.clock = std::make_unique<FixedClock>(kNow);
    setup.locale = EnglishDateLocale(true);
    setup.files = std::move(ownedFiles);
    setup.shell = &shell;
    setup.showError = [this](const std::string& m) { errors.push_back(m); };
    app = std::make_unique<Application>(std::move(setup));
  }

  void TearDown() override {
    app.reset();
    Pump();
    QuitPosted();  // a Quit of the test must not end the next one
  }

  int TodayCell() const { return MonthPlacement(2003, 2).CellOfDay(14); }

  std::unique_ptr<FakeFileSystem> ownedFiles = std::make_unique<FakeFileSystem>();
  FakeFileSystem* files = ownedFiles.get();
  test::FakeShell shell;
  std::vector<std::string> errors;
  std::unique_ptr<Application> app;
};

TEST_F(AppShellTest, AfterStartOnlyTheSplashIsVisibleAndEveryWindowHasItsSize) {
  Start({});
  EXPECT_TRUE(IsWindowVisible(app->Form3().handle()));
  EXPECT_FALSE(IsWindowVisible(app->Form1().Handle()));
  EXPECT_FALSE(IsWindowVisible(app->Form2().handle()));
  EXPECT_FALSE(IsWindowVisible(app->Form4().handle()));
  EXPECT_FALSE(IsWindowVisible(app->ABOU().handle()));
  EXPECT_FALSE(IsWindowVisible(app->help().handle()));

  struct Expected {
    HWND window;
    int width, height;
    bool topmost;
  };
  const Expected windows[] = {{app->Form3().handle(), 238, 178, true}, {app->Form2().handle(), 405, 394, true},
                              {app->Form4().handle(), 301, 149, true}, {app->ABOU().handle(), 416, 362, true},
                              {app->help().handle(), 273, 194, false}};
  for (const Expected& e : windows) {
    const SIZE client = ClientSize(e.window);
    EXPECT_EQ(client.cx, e.width);
    EXPECT_EQ(client.cy, e.height);
    EXPECT_EQ((GetWindowLongA(e.window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, e.topmost) << e.width;
    // Centred on the screen.
    POINT origin{0, 0};
    ClientToScreen(e.window, &origin);
    EXPECT_NEAR(origin.x, (GetSystemMetrics(SM_CXSCREEN) - e.width) / 2, 1) << e.width;
  }
  char caption[64] = {};
  GetWindowTextA(app->help().handle(), caption, sizeof caption);
  EXPECT_STREQ(caption, "                  Help for Redoviri");
  // No window of the program has a taskbar button.
  EXPECT_TRUE(GetWindowLongA(app->Form3().handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
}

TEST_F(AppShellTest, SplashShowsItsPictureForThreeSecondsThenGoesForGood) {
  Start({});
  TForm3& splash = app->Form3();
  EXPECT_EQ(splash.Image1.bounds(), (widgets::Bounds{-2, 50, 241, 127}));
  ASSERT_TRUE(splash.Image1.picture());
  EXPECT_EQ(splash.Image1.picture().width(), 241);
  EXPECT_EQ(splash.Timer1.interval(), 3000u);
  EXPECT_TRUE(splash.Timer1.enabled());

  const HWND window = splash.handle();
  splash.Timer1Timer();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(splash.Timer1.enabled());
  // The rest of the program goes on: the tray icon stays.
  EXPECT_TRUE(app->Form1().Tray.Active());
}

TEST_F(AppShellTest, CreationLoadsTheEventsAndRefreshesTheCalendarAndTheTray) {
  Start({EventLine("02142000", EventCategory::kBirthday, "YNNN", "Anna"),
         EventLine("03011999", EventCategory::kLovely, "YNNN", "Wedding")});
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(app->Form2().eventlist.EventCount(), 2);
  // The clock line runs from the event list window's creation on.
  EXPECT_TRUE(app->Form1().Timer1->enabled());

  const TForm1& main = app->Form1();
  const int k = TodayCell();
  EXPECT_EQ(main.pd[k]->color(), kToday);
  EXPECT_NE(main.id[k]->tag(), 0) << "today's birthday marks its cell";
  EXPECT_EQ(main.id[k + 1]->tag(), 0);
  EXPECT_EQ(main.Tray.ToolTip(), "Today : 1 birth. ");

  // The tray icon was switched off and on again around today's number.
  ASSERT_GE(shell.calls.size(), 2u);
  EXPECT_EQ(shell.calls[shell.calls.size() - 2].message, static_cast<DWORD>(NIM_DELETE));
  EXPECT_EQ(shell.Last().message, static_cast<DWORD>(NIM_ADD));
  EXPECT_TRUE(main.Tray.Active());
}

TEST_F(AppShellTest, WithoutAnEventFileTheProgramStartsEmptyAndSilent) {
  Start({});
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(app->Form2().eventlist.EventCount(), 0);
  EXPECT_EQ(app->Form1().Tray.ToolTip(), "Well, no event for today...");
  EXPECT_TRUE(files->appended.empty());
  EXPECT_EQ(files->replaceCount, 0) << "starting writes nothing";
}

TEST_F(AppShellTest, ALoadFailureIsShownAndTheCalendarAndTrayStillShowToday) {
  files->FailNext(FakeFileSystem::Op::kRead, "I/O error 32");
  Start({EventLine("02142000", EventCategory::kBirthday, "YNNN", "Anna")});
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "I/O error 32");
  EXPECT_EQ(app->Form2().eventlist.EventCount(), 0);
  const TForm1& main = app->Form1();
  EXPECT_EQ(main.pd[TodayCell()]->color(), kToday);
  EXPECT_EQ(main.Tray.ToolTip(), "Well, no event for today...");
  EXPECT_TRUE(main.Tray.Active());
  EXPECT_TRUE(main.Timer1->enabled());
}

// A close box of the list window, with "Animated window" as given.
void CloseBoxBringsTheMainWindowBack(Application& app, bool animated) {
  app.Options().animatedWindow = animated;
  TForm2& list = app.Form2();
  list.show();
  ASSERT_TRUE(IsWindowVisible(list.handle()));
  app.Form1().Tag = 1;

  list.Panel2Click();
  EXPECT_FALSE(IsWindowVisible(list.handle()));
  EXPECT_TRUE(IsWindowVisible(app.Form1().Handle()));
  EXPECT_EQ(app.Form1().Tag, 0) << "the calendar must not send the list back";
  EXPECT_EQ(list.ShowGridAfterHide(), 0);
}

TEST_F(AppShellTest, CloseBoxOfTheEventListBringsTheMainWindowBackAtOnce) {
  Start({});
  CloseBoxBringsTheMainWindowBack(*app, false);
}

TEST_F(AppShellTest, CloseBoxOfTheEventListBringsTheMainWindowBackWhenAnimated) {
  Start({});
  CloseBoxBringsTheMainWindowBack(*app, true);
}

TEST_F(AppShellTest, HidingTheEventListOtherwiseLeavesTheMainWindowHidden) {
  Start({});
  app->Form2().show();
  app->Form2().hide();
  EXPECT_FALSE(IsWindowVisible(app->Form1().Handle()));
}

TEST_F(AppShellTest, TheClockLineReachesTheEventListOnlyWhileItIsVisible) {
  Start({});
  TForm1& main = app->Form1();
  TForm2& list = app->Form2();
  list.Label10.setCaption("");
  main.Timer1Timer();
  EXPECT_EQ(list.Label10.caption(), "");
  list.show();
  main.Timer1Timer();
  EXPECT_EQ(list.Label10.caption(), "Today Friday, February 14 2003 10:42:07");
  EXPECT_EQ(list.Label10.caption(), main.Label2->caption());
}

TEST_F(AppShellTest, TheTrayAndTheWindowsShareTheEventListWindowsMenu) {
  Start({});
  TPopupMenu& menu = app->Form2().PopupMenu;
  EXPECT_EQ(app->Form1().Tray.PopupMenu.menu, menu.Handle());
  EXPECT_EQ(app->Form1().Tray.PopupMenu.owner, menu.Owner());
  const int quit = menu.Find("Terminate Redoviri and Quit");
  ASSERT_GE(quit, 0);
  char text[64] = {};
  GetMenuStringA(menu.Handle(), static_cast<UINT>(quit), text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "Terminate Redoviri and Quit");
}

TEST_F(AppShellTest, QuitHidesEverythingStopsTheTimersTakesTheIconAwayAndEndsTheLoop) {
  Start({});
  TForm1& main = app->Form1();
  main.window().show();
  app->Form2().show();
  app->ABOU().show();
  app->help().show();
  app->Form2().setTag(1);  // as while the list hides to bring the calendar back
  main.Timer3->setEnabled(true);

  // Chosen in the menu: the command reaches the menu's window.
  TPopupMenu& menu = app->Form2().PopupMenu;
  const int quit = menu.Find(kQuitCaption);
  PostMessageA(menu.Owner(), WM_COMMAND, GetMenuItemID(menu.Handle(), quit), 0);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT) {
    PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
    DispatchMessageA(&msg);
  }

  EXPECT_TRUE(QuitPosted());
  for (HWND w : {main.Handle(), app->Form2().handle(), app->Form4().handle(), app->ABOU().handle(),
                 app->help().handle()})
    EXPECT_FALSE(IsWindowVisible(w));
  EXPECT_FALSE(main.Timer1->enabled());
  EXPECT_FALSE(main.Timer2->enabled());
  EXPECT_FALSE(main.Timer3->enabled());
  EXPECT_FALSE(app->Options().animatedWindow);
  EXPECT_FALSE(main.Tray.Active());
  EXPECT_EQ(shell.Last().message, static_cast<DWORD>(NIM_DELETE));
}

TEST_F(AppShellTest, RunEndsWithTheQuitCommand) {
  Start({});
  PostMessageA(app->Form2().PopupMenu.Owner(), WM_COMMAND,
               GetMenuItemID(app->Form2().PopupMenu.Handle(), app->Form2().PopupMenu.Find(kQuitCaption)), 0);
  EXPECT_EQ(app->Run(), 0);
  EXPECT_FALSE(app->Form1().Tray.Active());
}

// ---------------------------------------------------------------- menu

TEST(PopupMenuTest, ItemsKeepTheirOrderChecksAndSeparators) {
  TPopupMenu menu;
  int runs = 0;
  const int first = menu.Add({.caption = "Animated window", .checked = true, .onClick = [&] { ++runs; }});
  const int line = menu.Add({.caption = "-"});
  const int last = menu.Add({.caption = "OK, close the menu..."});
  EXPECT_EQ(menu.Count(), 3);
  EXPECT_EQ(GetMenuItemCount(menu.Handle()), 3);
  EXPECT_TRUE(GetMenuState(menu.Handle(), static_cast<UINT>(first), MF_BYPOSITION) & MF_CHECKED);
  EXPECT_TRUE(GetMenuState(menu.Handle(), static_cast<UINT>(line), MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_FALSE(GetMenuState(menu.Handle(), static_cast<UINT>(last), MF_BYPOSITION) & MF_CHECKED);

  menu.SetChecked(first, false);
  EXPECT_FALSE(menu.Checked(first));
  EXPECT_FALSE(GetMenuState(menu.Handle(), static_cast<UINT>(first), MF_BYPOSITION) & MF_CHECKED);
  menu.SetChecked(last, true);
  EXPECT_TRUE(GetMenuState(menu.Handle(), static_cast<UINT>(last), MF_BYPOSITION) & MF_CHECKED);

  EXPECT_EQ(menu.Find("OK, close the menu..."), last);
  EXPECT_EQ(menu.Find("Help"), -1);
  menu.Click(last);  // no handler: nothing happens
  menu.Click(first);
  EXPECT_EQ(runs, 1);
}

TEST(PopupMenuTest, ACommandRunsItsItemsHandlerFromTheMessageLoop) {
  TPopupMenu menu;
  std::vector<int> ran;
  menu.Add({.caption = "one", .onClick = [&] { ran.push_back(0); }});
  menu.Add({.caption = "two", .onClick = [&] { ran.push_back(1); }});
  PostMessageA(menu.Owner(), WM_COMMAND, GetMenuItemID(menu.Handle(), 1), 0);
  // A command of an id the menu never gave out is not an item's.
  PostMessageA(menu.Owner(), WM_COMMAND, GetMenuItemID(menu.Handle(), 1) + 7, 0);
  EXPECT_TRUE(ran.empty()) << "not before the loop runs";
  Pump();
  EXPECT_EQ(ran, std::vector<int>{1});
}

}  // namespace
}  // namespace redoviri
