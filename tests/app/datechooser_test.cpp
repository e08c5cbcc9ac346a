// The date chooser TForm4 with a real main window beside it: the dates it
// takes in both orders (day first, month first) and what they do to the
// calendar, its fields, the selected day's list and the editor's year; the
// dates it refuses; Cancel and the corner boxes; the field's text from one
// opening to the next; the window's looks. Clicks go to the windows as
// mouse messages. "Today" is a fixed clock, Thursday 14 March 2002.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/application.h"
#include "base/monthgrid.h"
#include "components/window_frame.h"
#include "components/fake_shell.h"
#include "events/fake_filesystem.h"
#include "events/unit4.h"
#include "support/event_store.h"
#include "support/win32_test_support.h"
#include "support/window_access.h"

namespace redoviri {
namespace {

using redoviri::testing::EventLine;
using redoviri::testing::TestStore;
using Access = test::WindowAccess;

constexpr LocalDateTime kNow{{2002, 3, 14}, {10, 0, 0}};
constexpr COLORREF kWhite = RGB(255, 255, 255);

// A left click at a point of a window's client area.
void ClickAt(HWND window, int x, int y) {
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

// What the main window shows of the selected day and the month.
struct MainState {
  std::string selectedDay;
  int year = 0, month = 0;
  std::string edit1, edit2, upDown2, details;
  std::vector<std::string> counts;  // the captions of the count labels shown

  friend bool operator==(const MainState&, const MainState&) = default;
  friend std::ostream& operator<<(std::ostream& os, const MainState& s) {
    os << "day '" << s.selectedDay << "' " << s.year << "-" << s.month << " [" << s.edit1 << "|" << s.edit2 << "|"
       << s.upDown2 << "] '" << s.details << "' counts";
    for (const std::string& c : s.counts) os << " " << c;
    return os;
  }
};

class DateChooser : public ::testing::Test {
 protected:
  // Each year on 25 December, and once on 5 January 1999.
  TestStore store{{EventLine("12252003", EventCategory::kBirthday, "YNNN", "Anna"),
                   EventLine("01051999", EventCategory::kLovely, "NNYN", "Kiss")}};
  FixedClock clock{kNow};
  test::FakeShell shell;
  testing::FakeFileSystem files;
  std::unique_ptr<AppModel> model;
  std::unique_ptr<TForm1> main;
  std::unique_ptr<TForm4> chooser;
  std::vector<std::string> errors, editorYears;
  std::vector<DayListing> listings;
  int listShown = 0;
  bool monthFirst_ = true;

  // Both windows, dates typed in the order given (made again only when the
  // order changes: under Wine every hide of an active window takes about
  // two seconds, which is also why the chooser is shown inactive here);
  // the calendar shown on March 2002 with the 20th selected, nothing
  // recorded yet.
  void Use(bool monthFirst) {
    if (!main || monthFirst != monthFirst_) Create(monthFirst);
    main->TrayClick();
    main->SpeedButton1Click();
    main->ldClick(MonthPlacement(2002, 3).CellOfDay(20));
    errors.clear();
    editorYears.clear();
    listings.clear();
    listShown = 0;
  }

  void Create(bool monthFirst) {
    monthFirst_ = monthFirst;
    chooser.reset();
    main.reset();
    files.files["Redoviri.ini"] = store.bytes();
    model = std::make_unique<AppModel>(clock, EnglishDateLocale(monthFirst), EventFile{"Redoviri.ini", files});
    main = std::make_unique<TForm1>(TForm1Deps{.model = *model, .shell = &shell});
    model->onUpdate = [this](const ModelUpdate& u) {
      main->Present(u.calendar);
      if (u.calendar.dayList) listings.push_back(model->Calendar().Listing());
    };
    ASSERT_TRUE(model->Load().ok());
    main->showEventList = [this] { ++listShown; };
    main->showDateChooser = [this] { Access::FormOf(*chooser).ShowInactive(); };
    chooser = std::make_unique<TForm4>(
        TForm4Deps{.form1 = *main,
                   .clock = clock,
                   .locale = EnglishDateLocale(monthFirst),
                   .showError = [this](const std::string& m) { errors.push_back(m); },
                   .setEditorYear = [this](const std::string& y) { editorYears.push_back(y); }});
  }

  void TearDown() override {
    chooser.reset();
    main.reset();
  }

  Access::ChooserWidgets w() const { return Access::Widgets(*chooser); }
  TForm1Widgets& mw() const { return Access::Widgets(*main); }

  // The chooser shown from the main window, the date typed into it.
  void Open(const std::string& typed) {
    main->SpeedButton2Click();
    ASSERT_TRUE(chooser->Visible());
    w().MaskEdit1.SetText(typed);
  }
  // Mouse clicks on the two buttons.
  void ClickOk() { ClickAt(chooser->Handle(), 28 + 69, 95 + 14); }
  void ClickCancel() { ClickAt(chooser->Handle(), 180 + 35, 95 + 14); }

  MainState Main() const {
    MainState s{main->SelectedDayText(), main->Calendar1().Year(), main->Calendar1().Month(), mw().Edit1->Text(),
                mw().Edit2->Text(),       mw().UpDown2->Text(),     mw().Label1->Caption(),   {}};
    for (int c = 1; c <= kCategoryCount; ++c)
      if (mw().CountLabel[c]->Visible()) s.counts.push_back(std::to_string(c) + ":" + mw().CountLabel[c]->Caption());
    return s;
  }
};

// ------------------------------------------------------------- Creation

TEST_F(DateChooser, IsFramedAndLaidOutAsDesigned) {
  Create(true);
  const HWND window = chooser->Handle();
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 301);
  EXPECT_EQ(client.bottom, 149);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_FALSE(GetWindowLongA(window, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME));
  EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(Access::FormOf(*chooser).Colour(), RGB(192, 192, 192));

  const std::string legend =
      "LEGEND  Red=Lovelyday Blue=Birthday Olive=Workingday Purple=Religionday Green=Feestday Teal=Other";
  const std::string move = "Click here and drag to move the mixer...";
  const std::string hide = "Click to hide the panel...";
  const std::string hideOrMenu = "Click to hide the panel, right click show the menu...";
  struct Expected {
    const widgets::Widget& widget;
    widgets::Bounds bounds;
    std::string caption, hint;
  };
  const Access::ChooserWidgets c = w();
  const Expected table[] = {
      {c.Label10, {2, 2, 301, 18}, "Choose your new event date", move},
      {c.Label1, {69, 25, 172, 14}, "New Event Date in your date-format", ""},
      {c.MaskEdit1, {97, 41, 104, 30}, "", ""},
      {c.Button1, {28, 95, 138, 29}, "OK for that Date", ""},
      {c.Button2, {180, 95, 70, 29}, "Cancel", ""},
      {c.FieldLegend, {15, 22, 271, 66}, "", legend},
      {c.ButtonLegend, {16, 87, 269, 46}, "", legend},
      {c.TopBar, {0, 0, 301, 22}, "", move},
      {c.BottomBar, {0, 134, 301, 15}, "", move},
      {*c.CloseBoxes[kTopLeft], {0, 0, 20, 22}, "X", hideOrMenu},
      {*c.CloseBoxes[kTopRight], {281, 0, 20, 22}, "X", hideOrMenu},
      {*c.CloseBoxes[kBottomLeft], {0, 129, 20, 20}, "X", hide},
      {*c.CloseBoxes[kBottomRight], {281, 129, 20, 20}, "X", hide},
  };
  for (const Expected& e : table) {
    EXPECT_EQ(e.widget.GetBounds(), e.bounds) << e.caption << e.hint;
    if (&e.widget != &c.MaskEdit1) {
      EXPECT_EQ(e.widget.Caption(), e.caption);
    }
    EXPECT_EQ(e.widget.EffectiveHint(), e.hint) << e.caption;
  }
  EXPECT_EQ(c.Label10.GetFont().pixels, 13);
  EXPECT_EQ(c.Label10.FontColour(), kWhite);
  EXPECT_EQ(c.Label1.GetFont().pixels, 11);
  EXPECT_EQ(c.Label1.FontColour(), kWhite);
  EXPECT_EQ(c.MaskEdit1.GetFont().pixels, 19);
  EXPECT_EQ(c.MaskEdit1.Mask().Length(), 10u);
  EXPECT_EQ(c.MaskEdit1.EditText(), "03/14/2002");

  // The surface drags the window; the field, the buttons and the boxes
  // work as themselves.
  const widgets::Form& form = Access::FormOf(*chooser);
  struct Hit {
    POINT at;
    LRESULT want;
  };
  const Hit hits[] = {{{150, 10}, HTCAPTION},   // title line on the top bar
                      {{150, 30}, HTCAPTION},   // Label1 on the field's strip
                      {{40, 60}, HTCAPTION},    // the field's strip
                      {{7, 70}, HTCAPTION},     // left bar
                      {{200, 128}, HTCAPTION},  // the buttons' strip below them
                      {{150, 142}, HTCAPTION},  // bottom bar
                      {{150, 55}, HTCLIENT},    // the field
                      {{50, 110}, HTCLIENT},    // OK
                      {{200, 110}, HTCLIENT},   // Cancel
                      {{290, 10}, HTCLIENT},    // a corner box
                      {{10, 140}, HTCLIENT}};
  for (const Hit& h : hits) EXPECT_EQ(form.HitTest(h.at), h.want) << h.at.x << "," << h.at.y;

  // Drawn: the white title over the bar, the legend's colours at the foot
  // of the field's strip.
  const std::vector<COLORREF> pixels = Access::RenderedPixels(*chooser, {301, 149});
  auto any = [&](int left, int top, int right, int bottom, auto pred) {
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x)
        if (pred(pixels[static_cast<std::size_t>(y * 301 + x)])) return true;
    return false;
  };
  EXPECT_TRUE(any(40, 4, 260, 20, [](COLORREF p) { return p == kWhite; }));
  EXPECT_TRUE(any(15, 80, 286, 88, [](COLORREF p) { return GetRValue(p) > 200 && GetGValue(p) < 60; }));
}

TEST_F(DateChooser, FieldHoldsTodayInTheUsersOrderAtCreation) {
  for (const bool monthFirst : {true, false}) {
    Create(monthFirst);
    EXPECT_EQ(w().MaskEdit1.Text(), monthFirst ? "03/14/2002" : "14/03/2002");
    EXPECT_TRUE(w().MaskEdit1.IsComplete());
  }
}

// ------------------------------------------------------------- OK

struct Jump {
  bool monthFirst;
  const char* typed;
  int year, month;
  const char* day;  // SelectedDay: two digits as typed
  const char* monthName;
  const char* monthNumber;
  const char* yearField;
  const char* details;
  const char* editorYear;
  std::vector<std::string> counts;
};

// Day first, then month first (the windows are made once per order).
const Jump kJumps[] = {
    {false, "25/12/2003", 2003, 12, "25", "DECEMBER", "12", "2003", "Thursday, 25 December 2003", "2003", {"2:1"}},
    // Day and month both fit either way: the order decides.
    {false, "05/01/1999", 1999, 1, "05", "JANUARY", "01", "1999", "Tuesday, 5 January 1999", "1999", {"1:1"}},
    // The mask shows digits typed without their zeros with blanks.
    {false, " 5/ 1/1999", 1999, 1, " 5", "JANUARY", "01", "1999", "Tuesday, 5 January 1999", "1999", {"1:1"}},
    // The year field holds the year as a number; the editor's as typed.
    {false, "15/06/0999", 999, 6, "15", "JUNE", "06", "999", "Saturday, 15 June 0999", "0999", {}},
    {true, "12/25/2003", 2003, 12, "25", "DECEMBER", "12", "2003", "Thursday, December 25 2003", "2003", {"2:1"}},
    {true, "01/05/1999", 1999, 1, "05", "JANUARY", "01", "1999", "Tuesday, January 5 1999", "1999", {"1:1"}},
    {true, " 1/ 5/1999", 1999, 1, " 5", "JANUARY", "01", "1999", "Tuesday, January 5 1999", "1999", {"1:1"}},
    // The month shown already: the calendar and its fields stay.
    {true, "03/02/2002", 2002, 3, "02", "MARCH", "03", "2002", "Saturday, March 2 2002", "2002", {}},
};

TEST_F(DateChooser, OkMovesTheCalendarSelectsTheDayAndOpensTheList) {
  for (const Jump& j : kJumps) {
    SCOPED_TRACE(j.typed);
    Use(j.monthFirst);
    Open(j.typed);
    ClickOk();

    EXPECT_FALSE(chooser->Visible());
    const MainState want{j.day, j.year, j.month, j.monthName, j.monthNumber, j.yearField, j.details, j.counts};
    EXPECT_EQ(Main(), want);
    // The day's events went to the list window.
    ASSERT_EQ(listings.size(), 1u);
    EXPECT_EQ(listings.back().rows.size(), j.counts.size());
    EXPECT_EQ(editorYears, std::vector<std::string>{j.editorYear});
    EXPECT_FALSE(main->Visible());
    // The list comes once the calendar's frame has shrunk away.
    EXPECT_TRUE(test::PumpUntil([&] { return listShown == 1; }));
    EXPECT_EQ(Access::ShowListAfterHide(*main), 0);
    EXPECT_TRUE(errors.empty());

    // The month shown is the date's, filled and marked.
    const MonthPlacement month(j.year, j.month);
    EXPECT_EQ(mw().ld[month.CellOfDay(1)]->Caption(), "1");

    // The field keeps the date for the next opening.
    main->SpeedButton2Click();
    EXPECT_EQ(w().MaskEdit1.Text(), j.typed);
  }
}

TEST_F(DateChooser, TheListOpensWhetherTheCalendarWasShownOrNot) {
  for (const bool animated : {true, false}) {
    for (const bool calendarShown : {true, false}) {
      SCOPED_TRACE(::testing::Message() << "animated " << animated << ", calendar shown " << calendarShown);
      Use(false);
      main->SetAnimated(animated);
      // Opened from the list window's date button or from the menu, the
      // calendar is hidden already.
      if (!calendarShown) main->Panel2Click();
      Open("25/12/2003");
      chooser->Button1Click();
      // At once, or once a shown calendar's frame has shrunk away.
      EXPECT_EQ(listShown, animated && calendarShown ? 0 : 1);
      EXPECT_TRUE(test::PumpUntil([&] { return listShown == 1; }));
      EXPECT_FALSE(main->Visible());
      EXPECT_EQ(Access::ShowListAfterHide(*main), 0);
    }
  }
}

// ------------------------------------------------------------- Refused dates

struct Refused {
  bool monthFirst;
  const char* typed;  // as the field's text: blanks are spaces
  const char* day;    // SelectedDay afterwards
};

const Refused kRefused[] = {
    {false, "31/02/2002", "31"}, {false, "29/02/2003", "29"}, {false, "00/01/2003", "00"},
    {false, "05/01/0000", "05"},
    // A field left all blank.
    {false, "  /12/2003", "  "}, {true, "  /25/2003", "25"},
    {true, "02/31/2002", "31"},  {true, "13/01/2003", "01"},
    {true, "12/25/    ", "25"},
};

TEST_F(DateChooser, ADateThatDoesNotExistIsRefusedAndOnlyTheDayIsTaken) {
  for (const Refused& r : kRefused) {
    SCOPED_TRACE(r.typed);
    Use(r.monthFirst);
    MainState before = Main();
    Open(r.typed);
    ClickOk();

    EXPECT_EQ(errors, std::vector<std::string>{"'" + std::string(r.typed) + "' is not a valid date and time"});
    EXPECT_FALSE(chooser->Visible());
    before.selectedDay = r.day;
    EXPECT_EQ(Main(), before);
    EXPECT_TRUE(listings.empty());
    EXPECT_TRUE(editorYears.empty());
    EXPECT_EQ(listShown, 0);
    EXPECT_TRUE(main->Visible());
    // What was typed stays, blanks shown as blanks.
    main->SpeedButton2Click();
    EXPECT_EQ(w().MaskEdit1.Text(), r.typed);
  }
}

// ------------------------------------------------------------- Cancel

TEST_F(DateChooser, CancelAndCornerBoxesChangeNothingButKeepTheText) {
  struct Way {
    const char* name;
    int corner;  // the corner box clicked; -1: Cancel
    bool monthFirst;
  };
  const Way ways[] = {{"Cancel", -1, true},
                      {"top left box", kTopLeft, true},
                      {"bottom left box", kBottomLeft, true},
                      {"Cancel", -1, false},
                      {"top right box", kTopRight, false},
                      {"bottom right box", kBottomRight, false}};
  for (const Way& way : ways) {
    SCOPED_TRACE(::testing::Message() << way.name << (way.monthFirst ? ", month first" : ", day first"));
    Use(way.monthFirst);
    const MainState before = Main();
    const std::string typed = way.monthFirst ? "12/25/2003" : "25/12/2003";
    Open(typed);
    if (way.corner < 0) {
      ClickCancel();
    } else {
      ClickAt(w().CloseBoxes[static_cast<std::size_t>(way.corner)]->Handle(), 10, 10);
    }
    EXPECT_FALSE(chooser->Visible());
    EXPECT_EQ(Main(), before);
    EXPECT_TRUE(listings.empty());
    EXPECT_TRUE(editorYears.empty());
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(listShown, 0);
    EXPECT_TRUE(main->Visible());

    // Not today's date again, even on another day: the text typed last.
    clock.Set({{2002, 3, 15}, {9, 0, 0}});
    main->SpeedButton2Click();
    EXPECT_EQ(w().MaskEdit1.Text(), typed);
    clock.Set(kNow);
  }
}

// ------------------------------------------------------------- In the program

TEST(DateChooserInTheProgram, MainWindowButtonOpensItAndItOpensTheListWindow) {
  std::vector<std::string> errors;
  ApplicationSetup setup;
  setup.clock = std::make_unique<FixedClock>(kNow);
  setup.locale = EnglishDateLocale(true);
  setup.files = std::make_unique<testing::FakeFileSystem>();
  test::FakeShell shell;
  setup.shell = &shell;
  setup.showError = [&](const std::string& m) { errors.push_back(m); };
  setup.showInfo = [](const std::string&) {};
  auto app = std::make_unique<Application>(std::move(setup));
  TForm1& main = app->Form1();
  TForm4& chooser = app->Form4();

  main.TrayClick();
  main.SpeedButton2Click();
  EXPECT_TRUE(IsWindowVisible(chooser.Handle()));
  EXPECT_EQ(Access::Widgets(chooser).MaskEdit1.Text(), "03/14/2002");

  // A date that does not exist: the application's message, nothing opens.
  Access::Widgets(chooser).MaskEdit1.SetText("02/30/2004");
  chooser.Button1Click();
  EXPECT_EQ(errors, std::vector<std::string>{"'02/30/2004' is not a valid date and time"});
  EXPECT_TRUE(IsWindowVisible(main.Handle()));
  EXPECT_FALSE(IsWindowVisible(app->Form2().Handle()));

  main.SpeedButton2Click();
  Access::Widgets(chooser).MaskEdit1.SetText("02/29/2004");
  chooser.Button1Click();
  EXPECT_FALSE(IsWindowVisible(chooser.Handle()));
  EXPECT_FALSE(IsWindowVisible(main.Handle()));
  EXPECT_TRUE(test::PumpUntil([&] { return IsWindowVisible(app->Form2().Handle()) != 0; }));
  EXPECT_EQ(main.SelectedDayText(), "29");
  EXPECT_EQ(main.Calendar1().Year(), 2004);
  EXPECT_EQ(main.Calendar1().Month(), 2);
  EXPECT_EQ(errors.size(), 1u);

  app.reset();
  test::PumpPending();
  MSG msg;
  PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

}  // namespace
}  // namespace redoviri
