// The application shell assembled with stand-ins for the clock, the event
// file and the notification area: the windows it creates and in which
// state, the event list window's creation sequence (loading, handing the
// store over, the main window's refresh), a load failure, the close boxes
// of the event list window, the clock line, the shared menu and Quit.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/application.h"
#include "base/colours.h"
#include "base/monthgrid.h"
#include "components/fake_shell.h"
#include "events/fake_filesystem.h"
#include "support/event_store.h"
#include "resources/resource_ids.h"
#include "support/accessible.h"
#include "support/app_fixture.h"
#include "support/keys.h"
#include "support/win32_test_support.h"
#include "support/window_access.h"

namespace redoviri {
namespace {

using testing::EventLine;
using testing::FakeFileSystem;
using Access = test::WindowAccess;

constexpr COLORREF kToday = RGB(128, 255, 255);
using test::QuitPosted;
using test::TypeKey;
using test::PumpUntil;

using test::ClientSizeOf;

using AppShellTest = test::AppTest;
using test::kPath;

TEST_F(AppShellTest, AfterStartOnlyTheSplashIsVisibleAndEveryWindowHasItsSize) {
  Start({});
  EXPECT_TRUE(IsWindowVisible(app->Form3().Handle()));
  EXPECT_FALSE(IsWindowVisible(app->Form1().Handle()));
  EXPECT_FALSE(IsWindowVisible(app->Form2().Handle()));
  EXPECT_FALSE(IsWindowVisible(app->Form4().Handle()));
  EXPECT_FALSE(IsWindowVisible(app->ABOU().Handle()));
  EXPECT_FALSE(IsWindowVisible(app->help().Handle()));

  struct Expected {
    HWND window;
    int width, height;
    bool topmost;
  };
  const Expected windows[] = {{app->Form3().Handle(), 238, 178, true}, {app->Form2().Handle(), 405, 394, true},
                              {app->Form4().Handle(), 301, 149, true}, {app->ABOU().Handle(), 416, 362, true},
                              // the calendar's dialog, above it as the calendar is above the rest
                              {app->help().Handle(), 273, 194, true}};
  for (const Expected& e : windows) {
    const SIZE client = ClientSizeOf(e.window);
    EXPECT_EQ(client.cx, e.width);
    EXPECT_EQ(client.cy, e.height);
    EXPECT_EQ((GetWindowLongA(e.window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, e.topmost) << e.width;
    // Centred on the screen.
    POINT origin{0, 0};
    ClientToScreen(e.window, &origin);
    EXPECT_NEAR(origin.x, (GetSystemMetrics(SM_CXSCREEN) - e.width) / 2, 1) << e.width;
  }
  char caption[64] = {};
  GetWindowTextA(app->help().Handle(), caption, sizeof caption);
  EXPECT_STREQ(caption, "                  Help for Redoviri");
  // No window of the program has a taskbar button.
  EXPECT_TRUE(GetWindowLongA(app->Form3().Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
}

TEST_F(AppShellTest, SplashShowsItsPictureForThreeSecondsThenGoesForGood) {
  Start({});
  TForm3& splash = app->Form3();
  EXPECT_EQ(Access::Image1(splash).GetBounds(), (widgets::Bounds{-2, 50, 241, 127}));
  ASSERT_TRUE(Access::Image1(splash).Picture());
  EXPECT_EQ(Access::Image1(splash).Picture().Width(), 241);
  EXPECT_EQ(Access::Timer1(splash).Interval(), 3000u);
  EXPECT_TRUE(Access::Timer1(splash).Enabled());

  // Its outline is the picture's shape: a card with the moon over it.
  const HWND window = splash.Handle();
  HRGN outline = CreateRectRgn(0, 0, 0, 0);
  ASSERT_EQ(GetWindowRgn(window, outline), COMPLEXREGION);
  RECT box{};
  GetRgnBox(outline, &box);
  EXPECT_EQ(box.left, 3);
  EXPECT_EQ(box.top, 53);
  EXPECT_EQ(box.right, 239);
  EXPECT_EQ(box.bottom, 171);
  EXPECT_FALSE(PtInRegion(outline, 120, 20)) << "nothing above the picture";
  EXPECT_FALSE(PtInRegion(outline, 4, 54)) << "a round corner";
  EXPECT_TRUE(PtInRegion(outline, 120, 120));
  DeleteObject(outline);

  splash.Timer1Timer();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(Access::Timer1(splash).Enabled());
  // The rest of the program goes on: the tray icon stays.
  EXPECT_TRUE(Access::Tray(app->Form1()).Active());
}

TEST_F(AppShellTest, CreationLoadsTheEventsAndRefreshesTheCalendarAndTheTray) {
  Start({EventLine("02142000", EventCategory::kBirthday, "YNNN", "Anna"),
         EventLine("03011999", EventCategory::kLovely, "YNNN", "Wedding")});
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(app->Form2().Events().EventCount(), 2);
  // The clock line runs from the event list window's creation on.
  EXPECT_TRUE(Access::Widgets(app->Form1()).Timer1->Enabled());

  TForm1& main = app->Form1();
  const int k = TodayCell();
  EXPECT_EQ(Access::Widgets(main).pd[k]->Colour(), kToday);
  EXPECT_NE(Access::Widgets(main).id[k]->Tag(), 0) << "today's birthday marks its cell";
  EXPECT_EQ(Access::Widgets(main).id[k + 1]->Tag(), 0);
  EXPECT_EQ(Access::Tray(main).ToolTip(), "Today : 1 birth. ");

  // Today's number and tooltip reached the icon in its place: never taken
  // out of the tray after its first add.
  EXPECT_EQ(shell.Count(NIM_ADD), 1);
  EXPECT_EQ(shell.Count(NIM_DELETE), 0);
  EXPECT_EQ(shell.Last().Tip(), "Today : 1 birth. ");
  EXPECT_TRUE(Access::Tray(main).Active());
}

TEST_F(AppShellTest, WithoutAnEventFileTheProgramStartsEmptyAndSilent) {
  Start({});
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(app->Form2().Events().EventCount(), 0);
  EXPECT_EQ(Access::Tray(app->Form1()).ToolTip(), "Well, no event for today...");
  EXPECT_TRUE(files->appended.empty());
  EXPECT_EQ(files->replaceCount, 0) << "starting writes nothing";
}

// A file the store cannot load at the start: the message is shown once, the
// calendar, the tray and the clock go on, and the next look reads it again.
TEST_F(AppShellTest, ALoadFailureIsShownAndTheCalendarAndTrayStillShowToday) {
  const struct {
    const char* what;
    std::function<void(FakeFileSystem&)> fault;
    std::string error;
  } kCases[] = {
      {"file held elsewhere", [](FakeFileSystem& fs) { fs.FailNext(FakeFileSystem::Op::kRead, "I/O error 32"); },
       "I/O error 32"},
      {"no memory for the file", [](FakeFileSystem& fs) { fs.readsWithoutMemory = 1; },
       std::string(EventList::kOutOfMemory)},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    TearDown();  // the program of the case before
    ownedFiles = std::make_unique<FakeFileSystem>();
    files = ownedFiles.get();
    errors.clear();
    files->nowNs = 1'000'000'000'000;  // the file has held still a while
    c.fault(*files);
    Start({EventLine("02142000", EventCategory::kBirthday, "YNNN", "Anna")});
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], c.error);
    // The first look at the clock reads the file again, without a word.
    EXPECT_EQ(app->Form2().Events().EventCount(), 1);
    TForm1& main = app->Form1();
    EXPECT_EQ(Access::Widgets(main).pd[TodayCell()]->Colour(), kToday);
    EXPECT_EQ(Access::Tray(main).ToolTip(), "Today : 1 birth. ");
    EXPECT_TRUE(Access::Tray(main).Active());
    EXPECT_TRUE(Access::Widgets(main).Timer1->Enabled());
  }
}

// ---------------------------------------------------------------- the store

const std::string kAnna = EventLine("02142000", EventCategory::kBirthday, "YNNN", "Anna");
const std::string kBob = EventLine("02141990", EventCategory::kLovely, "YNNN", "Bob");
const std::string kCarl = EventLine("02142003", EventCategory::kWorkBusiness, "NNYN", "Carl");

std::string FileOf(const std::vector<std::string>& lines) {
  std::string bytes = "Redoviri by DUZOVU event file\r\n";
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

TEST_F(AppShellTest, ASaveKeepsWhatAnotherProgramAddedAndTheTrayCountsBoth) {
  Start({kAnna});
  files->nowNs = 1'000'000'000'000;  // the other program writes later
  files->Edit(kPath, FileOf({kAnna, kBob}));
  ASSERT_TRUE(app->Form2().SaveEventLine(kCarl));
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(files->files[kPath], FileOf({kAnna, kBob, kCarl}));
  EXPECT_EQ(app->Form2().Events().EventCount(), 3);
  EXPECT_EQ(Access::Tray(app->Form1()).ToolTip(), "Today : 1 lovely. 1 birth. 1 work. ");
}

TEST_F(AppShellTest, AnEventSavedAlreadyOrAFailedWriteChangesNothing) {
  Start({kAnna});
  EXPECT_FALSE(app->Form2().SaveEventLine(kAnna));
  EXPECT_EQ(infos, std::vector<std::string>{"There is the same event already saved.."});

  files->freeBytes = 10;
  EXPECT_FALSE(app->Form2().SaveEventLine(kCarl));
  EXPECT_EQ(errors, std::vector<std::string>{"Disk full"});
  EXPECT_EQ(files->files[kPath], FileOf({kAnna}));
  EXPECT_EQ(app->Form2().Events().EventCount(), 1);
  EXPECT_EQ(Access::Tray(app->Form1()).ToolTip(), "Today : 1 birth. ");
}

TEST_F(AppShellTest, ARefusedDuplicateStillCountsTodaysEventsAfresh) {
  Start({kAnna});
  EXPECT_EQ(Access::Tray(app->Form1()).ToolTip(), "Today : 1 birth. ");
  clock->Set({{2003, 2, 15}, {0, 0, 5}});  // midnight passed, the minute check not yet
  EXPECT_FALSE(app->Form2().SaveEventLine(kAnna));
  EXPECT_EQ(infos, std::vector<std::string>{"There is the same event already saved.."});
  EXPECT_EQ(Access::Tray(app->Form1()).ToolTip(), "Well, no event for today...");
}

TEST_F(AppShellTest, TheDetailsCountsAndListAlwaysBelongToTheDateShown) {
  Start({kAnna, kCarl});
  TForm1& main = app->Form1();
  auto& w = Access::Widgets(main);
  const auto listed = [&] {
    std::vector<std::string> names;
    auto& grid = *Access::Widgets(app->Form2()).StringGrid1;
    for (int r = 1; r < grid.RowCount(); ++r)
      if (!grid.Cell(kNameColumn, r).empty()) names.push_back(grid.Cell(kNameColumn, r));
    return names;
  };
  const std::vector<std::string> today{"Anna", "Carl"};  // in store order
  // Right after the start the details show today, with today's counts,
  // and a click on them lists today's events.
  EXPECT_EQ(w.Label1->Caption(), "Friday, February 14 2003");
  EXPECT_EQ(main.SelectedDayText(), "14");
  EXPECT_TRUE(w.CountLabel[2]->Visible());
  EXPECT_TRUE(w.CountLabel[3]->Visible());
  EXPECT_EQ(listed(), today);

  // Another day of another month, then the present month: today again,
  // its cell the only one selected, its counts and its list.
  main.SpeedButton3Click();  // a year on
  main.ldClick(MonthPlacement(2004, 2).CellOfDay(3));
  EXPECT_EQ(main.SelectedDayText(), "3");
  EXPECT_FALSE(w.CountLabel[2]->Visible());
  main.SpeedButton1Click();
  EXPECT_EQ(main.Calendar1().ShownDate().year, 2003);
  EXPECT_EQ(w.Label1->Caption(), "Friday, February 14 2003");
  EXPECT_EQ(main.SelectedDayText(), "14");
  EXPECT_TRUE(w.CountLabel[2]->Visible());
  EXPECT_TRUE(w.CountLabel[3]->Visible());
  EXPECT_EQ(listed(), today);
  for (int k = 1; k <= kDayCellCount; ++k)
    EXPECT_NE(w.pd[k]->Colour(), static_cast<COLORREF>(SelectedColour)) << "cell " << k << ": only today's cell is selected";
}

// Answers the message boxes of this thread with a button, recording each
// as it stood when it came: its text, its owner, and whether it lay above
// the owner with the keyboard in it.
class MessageBoxAnswers {
 public:
  struct Seen {
    std::string text;
    HWND owner;
    bool aboveOwner, foreground, focusInBox;
  };

  explicit MessageBoxAnswers(int button) : button_(button) {
    self_ = this;
    timer_ = SetTimer(nullptr, 0, 20, &Tick);
  }
  ~MessageBoxAnswers() {
    KillTimer(nullptr, timer_);
    self_ = nullptr;
  }
  MessageBoxAnswers(const MessageBoxAnswers&) = delete;
  MessageBoxAnswers& operator=(const MessageBoxAnswers&) = delete;

  std::vector<Seen> seen;

 private:
  static BOOL CALLBACK Find(HWND w, LPARAM out) {
    char cls[16] = "";
    GetClassNameA(w, cls, sizeof cls);
    if (IsWindowVisible(w) && std::string(cls) == "#32770") *reinterpret_cast<HWND*>(out) = w;
    return TRUE;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &Find, reinterpret_cast<LPARAM>(&box));
    if (!self_ || !box || box == self_->answered_) return;
    Seen s{};
    char text[512] = "";
    // The text's control: 0xFFFF on Windows, 100 under Wine.
    if (!GetDlgItemTextA(box, 0xFFFF, text, sizeof text)) GetDlgItemTextA(box, 100, text, sizeof text);
    s.text = text;
    s.owner = GetWindow(box, GW_OWNER);
    for (HWND below = GetWindow(box, GW_HWNDNEXT); below; below = GetWindow(below, GW_HWNDNEXT))
      if (below == s.owner) s.aboveOwner = true;
    s.foreground = GetForegroundWindow() == box;
    s.focusInBox = IsChild(box, GetFocus());
    self_->seen.push_back(s);
    self_->answered_ = box;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(self_->button_, BN_CLICKED), 0);
  }

  static inline MessageBoxAnswers* self_ = nullptr;
  int button_;
  UINT_PTR timer_ = 0;
  HWND answered_ = nullptr;
};

TEST_F(AppShellTest, MessageBoxesOpenAboveTheWindowInFrontWithTheKeyboard) {
  messageBoxes = true;
  Start({kCarl});
  TForm2& list = app->Form2();
  app->Form1().Show();
  list.Show();  // always on top, like the calendar
  ASSERT_TRUE(test::AnimationsOver());
  const auto expectInFront = [&](const MessageBoxAnswers::Seen& s, HWND owner) {
    EXPECT_EQ(s.owner, owner) << s.text;
    EXPECT_TRUE(s.aboveOwner) << s.text;
    EXPECT_TRUE(s.foreground) << s.text;
    EXPECT_TRUE(s.focusInBox) << s.text;
  };
  {
    MessageBoxAnswers ok(IDOK);
    EXPECT_FALSE(list.SaveEventLine(kCarl));
    ASSERT_EQ(ok.seen.size(), 1u);
    EXPECT_EQ(ok.seen[0].text, "There is the same event already saved..");
    expectInFront(ok.seen[0], list.Handle());
  }
  {
    // No keeps the event; the list window stays in front.
    MessageBoxAnswers no(IDNO);
    Access::Widgets(list).StringGrid1->SetRow(1);
    app->Form1().ldClick(TodayCell());
    list.SpeedButton10Click();
    list.deleteeClick();
    ASSERT_EQ(no.seen.size(), 1u);
    EXPECT_EQ(no.seen[0].text, "Do you realy want to delete that event?");
    expectInFront(no.seen[0], list.Handle());
    EXPECT_EQ(files->files[kPath], FileOf({kCarl}));
  }
  {
    // With the list window gone, the calendar is in front.
    list.Hide();
    ASSERT_TRUE(test::AnimationsOver());
    files->freeBytes = 10;
    MessageBoxAnswers ok(IDOK);
    EXPECT_FALSE(list.SaveEventLine(kAnna));
    ASSERT_EQ(ok.seen.size(), 1u);
    EXPECT_EQ(ok.seen[0].text, "Disk full");
    expectInFront(ok.seen[0], app->Form1().Handle());
  }
}

TEST_F(AppShellTest, AStoreThatCouldNotReadItsFileNeverWritesIt) {
  files->FailNext(FakeFileSystem::Op::kRead, "I/O error 32");
  Start({kAnna});
  files->FailNext(FakeFileSystem::Op::kRead, "I/O error 32");  // still locked elsewhere
  EXPECT_FALSE(app->Form2().SaveEventLine(kCarl));
  EXPECT_EQ(errors, (std::vector<std::string>{"I/O error 32", "I/O error 32"}));
  EXPECT_EQ(files->files[kPath], FileOf({kAnna}));

  // Once the file can be read, the save goes into the file as it is.
  ASSERT_TRUE(app->Form2().SaveEventLine(kCarl));
  EXPECT_EQ(files->files[kPath], FileOf({kAnna, kCarl}));
  EXPECT_EQ(Access::Tray(app->Form1()).ToolTip(), "Today : 1 birth. 1 work. ");
}

TEST_F(AppShellTest, DeletingRefreshesTheCalendarAndRefusesAnEventDeletedElsewhere) {
  Start({kAnna, kCarl});
  TForm1& main = app->Form1();
  const int k = TodayCell();
  main.ldClick(k);
  EXPECT_TRUE(Access::Widgets(main).CountLabel[3]->Visible());

  ASSERT_TRUE(app->Form2().DeleteEventLine(kCarl));
  EXPECT_EQ(files->files[kPath], FileOf({kAnna}));
  EXPECT_FALSE(Access::Widgets(main).CountLabel[3]->Visible()) << "the day's list follows";
  EXPECT_EQ(Access::Tray(main).ToolTip(), "Today : 1 birth. ");

  files->nowNs = 1'000'000'000'000;
  files->Edit(kPath, FileOf({}));  // deleted by another program
  EXPECT_FALSE(app->Form2().DeleteEventLine(kAnna));
  EXPECT_EQ(infos, std::vector<std::string>{"That event is no longer in the event file.."});
  EXPECT_EQ(files->files[kPath], FileOf({}));
  EXPECT_EQ(app->Form2().Events().EventCount(), 0);
  EXPECT_EQ(Access::Widgets(main).id[k]->Tag(), 0) << "the calendar follows the fresh store";
  EXPECT_EQ(Access::Tray(main).ToolTip(), "Well, no event for today...");
}

// Runs a program beside this test's executable and waits for it; its exit code.
DWORD RunBeside(const std::string& program, const std::string& arguments) {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string folder = self;
  folder.erase(folder.find_last_of('\\') + 1);
  std::string command = "\"" + folder + program + "\" " + arguments;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return ~0u;
  WaitForSingleObject(pi.hProcess, 60000);
  DWORD code = ~0u;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code;
}

TEST_F(AppShellTest, TheToolAddsWhileTheProgramRunsAndTheProgramsSaveKeepsIt) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "redoviri-shell-" + std::to_string(GetCurrentProcessId());
  const std::string path = folder + "\\Redoviri.ini";
  CreateDirectoryA(folder.c_str(), nullptr);
  {
    std::unique_ptr<FileSystem> disk = MakeSystemFileSystem();
    std::string none;
    ASSERT_FALSE(disk->ReadAll(path, none).ok()) << "a fresh folder";
  }
  noticeLookMs = 3'600'000;  // the clock's own looks come too late to tell
  StartWith(MakeSystemFileSystem(), path);
  EXPECT_TRUE(errors.empty());

  // Another program adds today's work event while this one runs, which
  // the tray tells at once: the folder's change brings a look ...
  ASSERT_EQ(RunBeside("redoviri-cli.exe", "add --file \"" + path +
                                              "\" --category 3 --date 2003-02-14 --time 10:00 --name Carl --once"),
            0u);
  EXPECT_TRUE(PumpUntil([&] { return Access::Tray(app->Form1()).ToolTip() == "Today : 1 work. "; }));
  // ... and the program saves a birthday through its store.
  ASSERT_TRUE(app->Form2().SaveEventLine(kAnna));
  EXPECT_TRUE(errors.empty());

  std::string bytes;
  ASSERT_TRUE(MakeSystemFileSystem()->ReadAll(path, bytes).ok());
  EXPECT_EQ(bytes, FileOf({kCarl, kAnna}));
  EXPECT_EQ(app->Form2().Events().EventCount(), 2);
  EXPECT_EQ(Access::Tray(app->Form1()).ToolTip(), "Today : 1 birth. 1 work. ");

  app.reset();
  for (const char* name : {"\\Redoviri.ini", "\\Redoviri.ini.lock"}) DeleteFileA((folder + name).c_str());
  RemoveDirectoryA(folder.c_str());
}

// A close box of the list window, with "Animated window" as given: the
// calendar comes back at once, or once the list window's frame has shrunk.
void CloseBoxBringsTheMainWindowBack(Application& app, bool animated) {
  widgets::TPopupMenu& menu = app.Form2().PopupMenu();
  if (!animated) menu.Click(menu.Find("Animated window"));
  ASSERT_EQ(menu.Checked(menu.Find("Animated window")), animated);
  TForm2& list = app.Form2();
  list.Show();
  ASSERT_TRUE(IsWindowVisible(list.Handle()));
  ASSERT_TRUE(test::PumpUntil([&] {
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    const bool plain = GetWindowRgn(list.Handle(), r) == ERROR;
    DeleteObject(r);
    return plain;
  })) << "the list window's outline comes back once it has grown";
  app.Form1().SetShowListAfterHide(true);

  list.Panel2Click();
  EXPECT_FALSE(IsWindowVisible(list.Handle()));
  EXPECT_EQ(IsWindowVisible(app.Form1().Handle()) != 0, !animated) << "at once only without the animation";
  EXPECT_TRUE(test::PumpUntil([&] { return IsWindowVisible(app.Form1().Handle()) != 0; }));
  EXPECT_EQ(Access::ShowListAfterHide(app.Form1()), 0) << "the calendar must not send the list back";
  EXPECT_EQ(Access::ShowGridAfterHide(list), 0);
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
  app->Form2().Show();
  app->Form2().Hide();
  EXPECT_FALSE(IsWindowVisible(app->Form1().Handle()));
}

TEST_F(AppShellTest, TheListWindowAppearsCentredUnlessTheUserMovedIt) {
  Start({});
  const HWND list = app->Form2().Handle();
  const auto place = [&] {
    RECT r{};
    GetWindowRect(list, &r);
    return POINT{r.left, r.top};
  };
  const auto shown = [&] { return IsWindowVisible(list) && test::AnimationFrames().empty(); };
  ASSERT_TRUE(test::AnimationsOver());
  RECT r{};
  GetWindowRect(list, &r);
  const POINT centre{(GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2,
                     (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2};
  struct Case {
    const char* how;
    std::function<void()> show;
  };
  const Case cases[] = {
      {"the first show, from a day of the calendar", [&] { app->Form1().ld1DblClick(); }},
      {"after the date chooser", [&] {
         app->hidecClick();
         app->card5Click();
         ASSERT_TRUE(test::AnimationsOver());
         app->Form4().Button1Click();
       }},
      {"after minimising", [&] {
         app->Form2().Show();
         ASSERT_TRUE(test::AnimationsOver());
         ShowWindow(list, SW_MINIMIZE);
         ASSERT_TRUE(test::PumpUntil([&] { return !IsWindowVisible(list); }));
         app->Form2().Show();
       }},
  };
  app->Form1().Show();
  app->Form1().ldClick(TodayCell());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    // Something other than the user (a window manager) had put it at the
    // corner of the screen while it was hidden.
    SetWindowPos(list, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    c.show();
    ASSERT_TRUE(test::PumpUntil(shown));
    // A window manager's placement may still come after the show: the
    // form goes back to its place.
    const auto centred = [&] { return place().x == centre.x && place().y == centre.y; };
    EXPECT_TRUE(test::PumpUntil(centred, 5000)) << place().x << "," << place().y;
    EXPECT_FALSE(IsIconic(list));
    app->Form2().Hide();
    ASSERT_TRUE(test::AnimationsOver());
  }
  // Where the user drags it, it stays.
  app->Form2().Show();
  ASSERT_TRUE(test::PumpUntil(shown));
  SendMessageA(list, WM_ENTERSIZEMOVE, 0, 0);
  SetWindowPos(list, nullptr, 40, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageA(list, WM_EXITSIZEMOVE, 0, 0);
  app->Form2().Hide();
  ASSERT_TRUE(test::AnimationsOver());
  app->Form2().Show();
  ASSERT_TRUE(test::PumpUntil(shown));
  EXPECT_EQ(place().x, 40);
  EXPECT_EQ(place().y, 50);
}

TEST_F(AppShellTest, TheClockLineReachesTheEventListOnlyWhileItIsVisible) {
  Start({});
  TForm1& main = app->Form1();
  TForm2& list = app->Form2();
  Access::Label10(list).SetCaption("");
  main.Timer1Timer();
  EXPECT_EQ(Access::Label10(list).Caption(), "");
  list.Show();
  main.Timer1Timer();
  EXPECT_EQ(Access::Label10(list).Caption(), "Today Friday, February 14 2003 10:42:07");
  EXPECT_EQ(Access::Label10(list).Caption(), Access::Widgets(main).Label2->Caption());
}

TEST_F(AppShellTest, TheTrayAndTheWindowsShareTheEventListWindowsMenu) {
  Start({});
  widgets::TPopupMenu& menu = app->Form2().PopupMenu();
  EXPECT_EQ(Access::Tray(app->Form1()).PopupMenu.menu, menu.Handle());
  EXPECT_EQ(Access::Tray(app->Form1()).PopupMenu.owner, menu.Owner());
  EXPECT_EQ(Access::Tray(app->Form1()).PopupMenu.alignment, widgets::MenuAlignment::Center) << "centred on the click";
  EXPECT_EQ(menu.Alignment(), widgets::MenuAlignment::Center);
}

// The items of a menu as the system holds them: caption ("-" for a line),
// "*" after a checked one, the items of a submenu in brackets.
std::string MenuText(HMENU menu) {
  std::string out;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    if (i) out += " | ";
    const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
    if (state & MF_SEPARATOR) {
      out += "-";
      continue;
    }
    char text[64] = {};
    GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    out += text;
    if (state & MF_CHECKED) out += "*";
    if (HMENU sub = GetSubMenu(menu, i)) out += " [" + MenuText(sub) + "]";
  }
  return out;
}

TEST_F(AppShellTest, TheMenuHoldsEveryCommandInOrderWithTheOptionsCheckedAtEveryStart) {
  const std::string atStart =
      "Show Calendar | Hide calendar | Edit new event | - | Looks [Colored borders* | Silver borders | "
      "Animated window* | Blincking icons*] | - | Help | About Redoviri by DUZOVU | - | "
      "Terminate Redoviri and Quit | - | OK, close the menu...";
  Start({});
  widgets::TPopupMenu& menu = app->Form2().PopupMenu();
  EXPECT_EQ(MenuText(menu.Handle()), atStart);
  // The looks of the borders are shown, not chosen; "OK" only closes.
  for (const char* inert : {"Colored borders", "Silver borders", "OK, close the menu..."}) menu.Click(menu.Find(inert));
  menu.Click(menu.Find("Animated window"));
  menu.Click(menu.Find("Blincking icons"));
  EXPECT_FALSE(app->Options().animatedWindow);
  EXPECT_FALSE(app->Options().blinkingIcons);
  EXPECT_NE(MenuText(menu.Handle()), atStart);

  // Nothing is stored: the next start has every mark again.
  app.reset();
  ownedFiles = std::make_unique<testing::FakeFileSystem>();
  files = ownedFiles.get();
  Start({});
  EXPECT_EQ(MenuText(app->Form2().PopupMenu().Handle()), atStart);
  EXPECT_TRUE(app->Options().animatedWindow);
  EXPECT_TRUE(app->Options().blinkingIcons);
}

TEST_F(AppShellTest, MenuCommandsShowAndHideTheWindows) {
  Start({});
  widgets::TPopupMenu& menu = app->Form2().PopupMenu();
  const auto choose = [&](const char* caption) { menu.Click(menu.Find(caption)); };
  const auto visible = [&] {
    std::string v;
    for (HWND w : {app->Form1().Handle(), app->Form2().Handle(), app->Form4().Handle(), app->ABOU().Handle(),
                   app->help().Handle()})
      v += IsWindowVisible(w) ? "1" : "0";
    return v;
  };
  choose("Show Calendar");
  EXPECT_EQ(visible(), "10000");
  // With the animation on, hiding both brings neither back.
  app->Form1().SetShowListAfterHide(true);
  app->Form2().Show();
  app->Form2().SetShowGridAfterHide(true);
  choose("Hide calendar");
  EXPECT_EQ(visible(), "00000");
  choose("Edit new event");
  EXPECT_EQ(visible(), "00100");
  app->Form4().Hide();

  app->Form1().Show();
  choose("Help");
  EXPECT_EQ(visible(), "00001");
  app->help().Hide();
  app->Form2().Show();
  choose("About Redoviri by DUZOVU");
  EXPECT_EQ(visible(), "00010");
  RECT r{};
  GetWindowRect(app->ABOU().Handle(), &r);
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2) << "at the centre of the screen";
}

TEST_F(AppShellTest, AnimatedWindowSwitchesTheAnimationsAtOnceAndTheAboutWindowAlwaysAnimates) {
  Start({});
  widgets::TPopupMenu& menu = app->Form2().PopupMenu();
  const int anim = menu.Find("Animated window");
  // Whether showing or hiding a window starts a frame.
  const auto animates = [&](const std::function<void()>& change) {
    EXPECT_TRUE(test::AnimationsOver());
    change();
    const bool framed = !test::AnimationFrames().empty();
    EXPECT_TRUE(test::AnimationsOver());
    return framed;
  };
  app->Form1().Show();
  for (const bool on : {true, false, true}) {
    SCOPED_TRACE(on);
    ASSERT_EQ(menu.Checked(anim), on);
    EXPECT_EQ(animates([&] { app->Form1().Hide(); }), on) << "main window hides";
    EXPECT_FALSE(animates([&] { app->Form1().Show(); })) << "it shows at once always";
    EXPECT_EQ(animates([&] { app->Form2().Show(); }), on) << "list window shows";
    EXPECT_EQ(animates([&] { app->Form2().Hide(); }), on) << "list window hides";
    app->Form4().Show();
    EXPECT_EQ(animates([&] { app->Form4().Hide(); }), on) << "date chooser hides";
    EXPECT_EQ(animates([&] { app->help().Show(); }), on) << "help shows";
    EXPECT_EQ(animates([&] { app->help().Hide(); }), on) << "help hides";
    EXPECT_TRUE(animates([&] { app->aboutClick(); })) << "the about window always";
    EXPECT_TRUE(animates([&] { app->ABOU().Close(); }));
    app->Form1().Show();
    menu.Click(anim);
  }
}

TEST_F(AppShellTest, HelpReadsItsSevenLinesAndOkBringsTheCalendarBack) {
  Start({});
  const struct {
    int left, top;
    const char* text;
  } lines[] = {
      {29, 10, "Use your right mouse button to see the menu."},
      {8, 26, "You may right click on the tray icon or on the calendar."},
      {15, 56, "When you click with the left button on the trayicon, "},
      {92, 73, "it show the calenar"},
      {25, 102, "Select then a date for the begining of the event,"},
      {87, 117, "then a type of event."},
      {31, 142, "< Click on the square-corner to hide the calendar."},
  };
  widgets::Form& form = Access::FormOf(app->help());
  std::vector<const widgets::Widget*> labels;
  for (const auto& child : form.Children())
    if (dynamic_cast<const widgets::Label*>(child.get())) labels.push_back(child.get());
  ASSERT_EQ(labels.size(), std::size(lines));
  for (std::size_t i = 0; i < labels.size(); ++i) {
    EXPECT_EQ(labels[i]->Caption(), lines[i].text);
    EXPECT_EQ(labels[i]->GetBounds().left, lines[i].left) << lines[i].text;
    EXPECT_EQ(labels[i]->GetBounds().top, lines[i].top) << lines[i].text;
  }

  widgets::TPopupMenu& menu = app->Form2().PopupMenu();
  menu.Click(menu.Find("Help"));
  ASSERT_TRUE(app->help().Visible());
  // The close box beside the last line is a picture: a click leaves the help open.
  widgets::Widget* box = form.ChildAt({18, 149});
  ASSERT_NE(box, nullptr);
  if (box->onClick) box->onClick();
  EXPECT_TRUE(app->help().Visible());
  EXPECT_EQ(box->Hint(), "Click to hide the panel, right click show the menu...");

  app->help().Button1Click();
  EXPECT_FALSE(app->help().Visible());
  EXPECT_TRUE(app->Form1().Visible()) << "OK brings the calendar back";
}

// Each window the user opens comes in front with the keyboard in its first
// control, and its keys do what its buttons do.
TEST_F(AppShellTest, EveryWindowHasATextAScreenReaderReads) {
  Start({kAnna});
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  const struct {
    const char* window;
    HWND handle;
    std::string name;
  } windows[] = {
      {"splash", app->Form3().Handle(), "Redoviri by DUZOVU"},
      {"calendar", app->Form1().Handle(), "Redoviri"},
      {"list window (its heading)", app->Form2().Handle(), "Here are the events for February 14 2003"},
      {"date chooser", app->Form4().Handle(), "Choose your new event date"},
      {"about", app->ABOU().Handle(), "About Redoviri by DUZOVU"},
      {"help", app->help().Handle(), "                  Help for Redoviri"},
      {"notices", app->Notice().Handle(), "Redoviri by DUZOVU"},
  };
  for (const auto& w : windows) EXPECT_EQ(test::AccessibleName(w.handle), w.name) << w.window;
  CoUninitialize();
}

TEST_F(AppShellTest, EveryWindowShownForTheUserTakesTheKeyboard) {
  Start({kAnna});
  TForm1& main = app->Form1();
  TForm2& list = app->Form2();
  TForm4& chooser = app->Form4();
  auto& listWidgets = Access::Widgets(list);
  const auto keyboardIn = [](const widgets::FormWindow& window, HWND control) {
    return PumpUntil([&] { return GetForegroundWindow() == window.Handle() && GetFocus() == control; });
  };
  main.TrayClick();
  ASSERT_TRUE(keyboardIn(main, Access::Widgets(main).calp->Handle())) << "a tray click";

  TypeKey(VK_RETURN);  // today's events
  ASSERT_TRUE(keyboardIn(list, listWidgets.StringGrid1->Handle())) << "the list of the day";
  EXPECT_FALSE(main.Visible());
  EXPECT_EQ(listWidgets.StringGrid1->Cell(0, 1), "Anna");
  answer = false;
  TypeKey(VK_DELETE);
  EXPECT_EQ(questions, std::vector<std::string>{"The event repeats. Delete it on Friday 14 February 2003:"});
  EXPECT_FALSE(listWidgets.panedit->Visible());
  EXPECT_EQ(GetFocus(), listWidgets.StringGrid1->Handle());
  TypeKey(VK_RETURN);  // the row in view mode
  EXPECT_TRUE(listWidgets.panedit->Visible());
  for (int i = 0; i < 12; ++i) {
    TypeKey(VK_TAB);
    EXPECT_TRUE(IsChild(listWidgets.panedit->Handle(), GetFocus())) << "Tab " << i << " left the editor";
  }
  listWidgets.BitBtn17->SetFocus();
  TypeKey(VK_ESCAPE);  // "Exit"
  EXPECT_FALSE(listWidgets.panedit->Visible());
  EXPECT_EQ(GetFocus(), listWidgets.StringGrid1->Handle()) << "not on the hidden Exit button";
  // Tab: the rows, the six add buttons, "Delete", "Choose an other event
  // date", "Back to Calendar", the rows again; Enter on a button presses it.
  const HWND buttons = listWidgets.Panel9->Handle();
  const auto keyboardOn = [&] {
    auto* panel = dynamic_cast<widgets::Container*>(widgets::MessageWindow::FromHandle(GetFocus()));
    return panel ? panel->KeyFocusChild() : nullptr;
  };
  const int order[] = {1, 2, 3, 4, 5, 6, 10, 7, 8};
  for (const int k : order) {
    TypeKey(VK_TAB);
    EXPECT_EQ(GetFocus(), buttons) << "button " << k;
    EXPECT_EQ(keyboardOn(), listWidgets.SpeedButton[k]) << "button " << k;
  }
  TypeKey(VK_TAB);
  EXPECT_EQ(GetFocus(), listWidgets.StringGrid1->Handle());
  TypeKey(VK_TAB);
  TypeKey(VK_TAB);  // the "Birthday" button
  TypeKey(VK_SPACE);
  EXPECT_TRUE(listWidgets.panedit->Visible()) << "Space adds a birthday";
  // A date field left half typed is told in the program's own box.
  widgets::MaskEdit& month = *listWidgets.monthe;
  const std::string monthWas = month.Text();
  month.SetFocus();
  SendMessageA(month.Handle(), EM_SETSEL, 0, -1);
  for (const char c : {'\b', '1'}) SendMessageA(month.Handle(), WM_CHAR, static_cast<WPARAM>(c), 0);
  TypeKey(VK_TAB);
  EXPECT_TRUE(PumpUntil([&] { return !errors.empty(); }));
  EXPECT_EQ(errors, std::vector<std::string>{widgets::MaskEdit::kInvalidMessage});
  errors.clear();
  month.SetText(monthWas);
  TypeKey(VK_ESCAPE);
  EXPECT_FALSE(listWidgets.panedit->Visible());
  listWidgets.StringGrid1->SetFocus();
  for (int i = 0; i < 9; ++i) TypeKey(VK_TAB);  // "Back to Calendar"
  EXPECT_EQ(keyboardOn(), listWidgets.SpeedButton[8]);
  TypeKey(VK_RETURN);
  ASSERT_TRUE(keyboardIn(main, Access::Widgets(main).calp->Handle())) << "back to the calendar";
  EXPECT_FALSE(list.Visible());

  // The date chooser: its field has the keyboard, Tab reaches its buttons;
  // Space on "Cancel" or Escape cancels, Enter takes the date.
  const HWND field = Access::Widgets(chooser).MaskEdit1.Handle();
  main.SpeedButton2Click();
  ASSERT_TRUE(keyboardIn(chooser, field)) << "the calendar's add button";
  TypeKey(VK_TAB);
  EXPECT_EQ(keyboardOn(), &Access::Widgets(chooser).Button1);
  TypeKey(VK_TAB);
  EXPECT_EQ(keyboardOn(), &Access::Widgets(chooser).Button2);
  TypeKey(VK_SPACE);  // "Cancel"
  EXPECT_FALSE(chooser.Visible());
  app->card5Click();
  ASSERT_TRUE(keyboardIn(chooser, field)) << "Edit new event";
  TypeKey(VK_ESCAPE);
  EXPECT_FALSE(chooser.Visible());
  app->card5Click();
  ASSERT_TRUE(keyboardIn(chooser, field));
  TypeKey(VK_RETURN);
  EXPECT_FALSE(chooser.Visible());
  ASSERT_TRUE(keyboardIn(list, listWidgets.StringGrid1->Handle())) << "the chosen day's list";
  EXPECT_TRUE(errors.empty());

  // About: Enter closes it, and the calendar comes back with the keyboard.
  app->aboutClick();
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == app->ABOU().Handle(); }));
  TypeKey(VK_RETURN);
  ASSERT_TRUE(keyboardIn(main, Access::Widgets(main).calp->Handle())) << "after about";
}

TEST_F(AppShellTest, HelpIsAnActiveDialogThatEnterAndEscapeClose) {
  Start({});
  const HWND help = app->help().Handle();
  const LONG style = GetWindowLongA(help, GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_FALSE(style & WS_MINIMIZEBOX) << "a fixed dialog";
  EXPECT_EQ(GetWindow(help, GW_OWNER), app->Form1().Handle()) << "a window manager keeps it as the calendar's dialog";
  widgets::TPopupMenu& menu = app->Form2().PopupMenu();
  for (const WPARAM key : {VK_RETURN, VK_ESCAPE}) {
    SCOPED_TRACE(key == VK_RETURN ? "Enter" : "Escape");
    menu.Click(menu.Find("Help"));
    ASSERT_TRUE(test::AnimationsOver());
    EXPECT_EQ(GetForegroundWindow(), help);
    EXPECT_TRUE(IsChild(help, GetFocus())) << "the keyboard is in the help";
    // The key as the message loop meets it, in whatever has the focus.
    MSG msg{GetFocus(), WM_KEYDOWN, key, 0, 0, {}};
    EXPECT_TRUE(widgets::IsFormDialogMessage(msg));
    EXPECT_FALSE(app->help().Visible());
    EXPECT_TRUE(app->Form1().Visible());
    ASSERT_TRUE(test::AnimationsOver());
  }
}

TEST_F(AppShellTest, BlinkingIconsOffStopsTheBlinkAtOnceOnTodaysNumber) {
  Start({EventLine("02142000", EventCategory::kBirthday, "YNNN", "Anna")});
  TForm1& main = app->Form1();
  EXPECT_TRUE(Access::Widgets(main).Timer3->Enabled()) << "today has an event: the icon blinks";
  const int size = GetSystemMetrics(SM_CXSMICON);
  const widgets::OwnedIcon today = test::GeneratorIcon("d14", size);
  const auto shown = [&] { return test::IconPixels(Access::Tray(main).Icon(), size); };
  main.Timer3Timer();  // the day's number, then
  main.Timer3Timer();  // the birthday icon
  EXPECT_NE(shown(), test::IconPixels(today.get(), size)) << "a category icon now";
  widgets::TPopupMenu& menu = app->Form2().PopupMenu();
  menu.Click(menu.Find("Blincking icons"));
  EXPECT_FALSE(Access::Widgets(main).Timer3->Enabled());
  EXPECT_EQ(shown(), test::IconPixels(today.get(), size)) << "back on today's number";
  menu.Click(menu.Find("Blincking icons"));
  EXPECT_TRUE(Access::Widgets(main).Timer3->Enabled());
}

TEST_F(AppShellTest, QuitHidesEverythingStopsTheTimersTakesTheIconAwayAndEndsTheLoop) {
  Start({});
  TForm1& main = app->Form1();
  main.Show();
  app->Form2().Show();
  app->ABOU().Show();
  app->help().Show();
  app->Form2().SetShowGridAfterHide(true);  // as while the list hides to bring the calendar back
  Access::Widgets(main).Timer3->SetEnabled(true);
  ASSERT_TRUE(test::AnimationsOver());

  // Chosen in the menu: the command reaches the menu's window.
  widgets::TPopupMenu& menu = app->Form2().PopupMenu();
  const int quit = menu.Find(kQuitCaption);
  PostMessageA(menu.Owner(), WM_COMMAND, menu.CommandOf(quit), 0);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT) {
    PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
    DispatchMessageA(&msg);
  }

  EXPECT_TRUE(QuitPosted());
  for (HWND w : {main.Handle(), app->Form2().Handle(), app->Form4().Handle(), app->ABOU().Handle(),
                 app->help().Handle()})
    EXPECT_FALSE(IsWindowVisible(w));
  EXPECT_TRUE(test::AnimationFrames().empty()) << "nothing animates on the way out";
  EXPECT_FALSE(Access::Widgets(main).Timer1->Enabled());
  for (const widgets::Timer* timer : Access::Timers(app->Clock())) EXPECT_FALSE(timer->Enabled());
  EXPECT_FALSE(Access::Widgets(main).Timer3->Enabled());
  EXPECT_FALSE(app->Options().animatedWindow);
  EXPECT_FALSE(Access::Tray(main).Active());
  EXPECT_EQ(shell.Last().message, static_cast<DWORD>(NIM_DELETE));
}

TEST_F(AppShellTest, RunEndsWithTheQuitCommand) {
  Start({});
  PostMessageA(app->Form2().PopupMenu().Owner(), WM_COMMAND,
               app->Form2().PopupMenu().CommandOf(app->Form2().PopupMenu().Find(kQuitCaption)), 0);
  EXPECT_EQ(app->Run(), 0);
  EXPECT_FALSE(Access::Tray(app->Form1()).Active());
}

TEST_F(AppShellTest, ARuleChosenByKeysIsSavedMarkedAndViewedInWords) {
  Start({});
  TForm2& list = app->Form2();
  TForm2Widgets& w = Access::Widgets(list);
  list.ShowActive();
  list.SpeedButtonClick(3);
  w.namee->SetText("Review");
  w.daye->SetText("01");  // Saturday 1 February 2003
  w.rulee->SetFocus();
  TypeKey(VK_RETURN);
  const auto ruleWindowActive = [&] {
    char title[64] = "";
    GetWindowTextA(GetForegroundWindow(), title, sizeof title);
    return std::string(title).rfind("Repeat the event", 0) == 0;
  };
  ASSERT_TRUE(PumpUntil(ruleWindowActive));
  // Monthly, on a weekday: the second (not the first) Friday (not Saturday).
  for (const UINT key : {VK_DOWN, VK_DOWN, VK_TAB, VK_TAB, VK_DOWN, VK_TAB, VK_DOWN, VK_TAB, VK_UP}) TypeKey(key);
  TypeKey(VK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return w.rulewords->Caption() == "the second Friday of each month"; }));
  EXPECT_TRUE(IsChild(list.Handle(), GetFocus()) || GetFocus() == list.Handle());
  list.saveeClick();
  // Today, 14 February, is its first day: counted and marked.
  EXPECT_EQ(Access::Tray(app->Form1()).ToolTip(), "Today : 1 work. ");
  const CalendarPresenter& calendar = app->Model().Calendar();
  EXPECT_NE(calendar.View().Cell(*calendar.View().TodayCell()).dayMark, 0);
  list.StringGrid1DblClick();
  EXPECT_EQ(w.rulewords->Caption(), "the second Friday of each month");
}

TEST_F(AppShellTest, OneDayOfASeriesChangedByKeysFromTheDaysListAndTakenBackByCtrlZ) {
  // Fridays from 7 February at 11:00; today is Friday 14 February, 10:42.
  std::string fridays = EventLine("02072003", EventCategory::kOther, "NNNY", "Gym").replace(25, 3, "007");
  fridays.replace(9, 5, "11:00");
  messageBoxes = true;  // the question window itself
  noticeLookMs = 20;
  Start({fridays});
  TForm2& list = app->Form2();
  TForm2Widgets& w = Access::Widgets(list);
  list.ShowActive();
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == w.StringGrid1->Handle(); }));
  TypeKey(VK_F2);
  ASSERT_EQ(app->Model().List().Title(), "Change a other event");
  w.timee->SetText("10:50");
  list.saveeClick();
  ASSERT_TRUE(PumpUntil([&] {
    char title[80] = "";
    GetWindowTextA(GetForegroundWindow(), title, sizeof title);
    return std::string(title).rfind("Change a day of a repeating event", 0) == 0;
  }));
  TypeKey(VK_RETURN);  // "Only that day": the lines are the model's to test
  ASSERT_TRUE(PumpUntil([&] { return app->Model().Store().EventCount() == 2; }));
  // The notice follows the changed time, and Ctrl+Z brings the series'
  // day back at its own.
  const auto noticedAt = [&](int hour, int minute) {
    clock->Set({{2003, 2, 14}, {hour, minute, 10}});
    const auto& notices = app->Notice().Board().Notices();
    return PumpUntil([&] { return !notices.empty() && notices.back().minute == hour * 60 + minute; });
  };
  EXPECT_TRUE(noticedAt(10, 50));
  ASSERT_TRUE(PumpUntil([&] { return IsChild(list.Handle(), GetFocus()) != 0; }));  // the notice took nothing
  TypeKey('Z', true);
  ASSERT_TRUE(PumpUntil([&] { return app->Model().Store().EventCount() == 1; }));
  EXPECT_EQ(app->Model().Store().EventLineAt(0), fridays);
  EXPECT_TRUE(noticedAt(11, 0));
}

TEST_F(AppShellTest, TheDayNumberIsDrawnAgainInTheColoursOfTheTaskbarsTheme) {
  const char* key = "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
  const auto useTheme = [&](DWORD light) {
    RegSetKeyValueA(HKEY_CURRENT_USER, key, "SystemUsesLightTheme", REG_DWORD, &light, sizeof light);
    SendMessageA(app->Form1().Handle(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("ImmersiveColorSet"));
    return shell.calls.back().iconColour;
  };
  Start({});
  const COLORREF light = useTheme(1);
  const COLORREF dark = useTheme(0);
  EXPECT_NE(dark, light);
  EXPECT_EQ(useTheme(1), light);
  RegDeleteKeyValueA(HKEY_CURRENT_USER, key, "SystemUsesLightTheme");
}

TEST_F(AppShellTest, TheListWindowsMenuNamesWhatItTakesBackOnlyWhenThereIsSomething) {
  Start({kAnna});
  TForm2& list = app->Form2();
  EXPECT_TRUE(list.UndoItems().empty());
  ASSERT_TRUE(list.SaveEventLine(kCarl));
  std::vector<widgets::MenuItem> items = list.UndoItems();
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].caption, "Undo save of Carl");
  items[0].onClick();
  EXPECT_EQ(files->files[kPath], FileOf({kAnna}));
  items = list.UndoItems();
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].caption, "Redo save of Carl");
}

}  // namespace
}  // namespace redoviri
