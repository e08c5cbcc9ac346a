// The event list window and its editor in the assembled program: the grid
// of the selected day, the six add buttons, view and delete, save with its
// refusals, the recurrence boxes and the way back to the calendar, in both
// date orders. The event file is a stand-in whose bytes are checked after
// every save and delete.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/colours.h"
#include "support/event_store.h"
#include "support/app_fixture.h"
#include "support/window_access.h"

namespace redoviri {
namespace {

using test::kPath;
using testing::EventLine;
using Access = test::WindowAccess;

const std::string kAnna = EventLine("02141990", EventCategory::kBirthday, "YNNN", "Anna");
const std::string kBob = EventLine("02141995", EventCategory::kBirthday, "YNNN", "Bob");
const std::string kAudit = EventLine("02142003", EventCategory::kWorkBusiness, "NNYN", "Audit", "0", "yearly");

std::string FileOf(const std::vector<std::string>& lines) {
  std::string bytes = "Redoviri by DUZOVU event file\r\n";
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

class ListWindow : public test::AppTest {
 protected:
  void Open(const std::vector<std::string>& lines) {
    Start(lines);
    Access::FormOf(app->Form1()).SetVisible(true);
  }
  TForm1& main() { return app->Form1(); }
  TForm2& list() { return app->Form2(); }
  TForm2Widgets& w() { return Access::Widgets(app->Form2()); }
  int Cell(int day) const { return MonthPlacement(2003, 2).CellOfDay(day); }

  // The grid's rows below the heading: the visible cells and the hidden
  // comment, joined by "|".
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    for (int r = 1; r < w().StringGrid1->RowCount(); ++r) {
      std::string row;
      for (int c = 0; c < kDayColumnCount; ++c) {
        if (c) row += '|';
        row += w().StringGrid1->Cell(c, r);
      }
      rows.push_back(row);
    }
    return rows;
  }

  // What a user types into the editor.
  void Type(const std::string& name, const std::string& time, bool onlyOnce = true) {
    w().namee->SetText(name);
    w().timee->SetText(time);
    w().CheckBox[onlyOnce ? 4 : 1]->SetChecked(true);
    list().CheckBoxClick(onlyOnce ? 4 : 1);
  }
};

TEST_F(ListWindow, CreationLaysTheGridTheButtonsAndTheHiddenEditor) {
  Open({});
  // Today is the selected day from the start, so the heading names it as
  // any selection does.
  EXPECT_EQ(w().Label1->Caption(), "Here are the events for February 14 2003");
  widgets::StringGrid& grid = *w().StringGrid1;
  EXPECT_EQ(grid.RowCount(), 2);
  EXPECT_EQ(grid.RowHeight(), 18);
  const int widths[] = {177, 65, 48, 71, 0, 0, 0, 0, 0, 0};
  for (int c = 0; c < kDayColumnCount; ++c) EXPECT_EQ(grid.ColWidth(c), widths[c]) << "column " << c;
  EXPECT_EQ(grid.Cell(7, 0), "only Ones");
  EXPECT_EQ(grid.Colour(), RGB(255, 255, 221));
  EXPECT_FALSE(GetWindowLongA(grid.Handle(), GWL_STYLE) & WS_HSCROLL) << "no horizontal scroll bar";

  const struct {
    int index;
    const char* caption;
    const char* hint;
  } buttons[] = {
      {1, "  Lovely", "Click to add a new love event, wedding jubilee, engagement, appointment,.."},
      {2, "Birthday", "Click to add a new birthday."},
      {3, "", "Click to add a new working event. busyness, financial,...."},
      {6, "  Other", "Click to add a new other event, menstruation, personnal,..."},
      {7, "   Choose an other event date", "Click to choose an other event...."},
      {8, "Back to Calendar", "Click here to come back to calendar"},
      {10, "Delete", "Click here to delete the selected event"},
  };
  for (const auto& b : buttons) {
    EXPECT_EQ(w().SpeedButton[b.index]->Caption(), b.caption) << b.index;
    EXPECT_EQ(w().SpeedButton[b.index]->Hint(), b.hint) << b.index;
  }

  EXPECT_FALSE(w().panedit->Visible());
  EXPECT_EQ(w().panedit->GetBounds(), (widgets::Bounds{17, 52, 370, 324}));
  EXPECT_EQ(w().monthe->EditText(), "02");
  EXPECT_EQ(w().daye->EditText(), "14");
  EXPECT_EQ(w().yeare->EditText(), "2003");
  EXPECT_EQ(w().timee->EditText(), "00:00");
  EXPECT_EQ(w().enfreq->EditText(), "0  ");
  EXPECT_TRUE(w().CheckBox[1]->Checked());
}

TEST_F(ListWindow, TheSelectedDaysEventsFillTheGridInStoreOrder) {
  for (const bool first : {true, false}) {
    SCOPED_TRACE(first ? "month first" : "day first");
    monthFirst = first;
    ownedFiles = std::make_unique<testing::FakeFileSystem>();
    files = ownedFiles.get();
    Open({kAnna, kAudit, kBob});
    main().ldClick(Cell(14));
    EXPECT_EQ(w().Label1->Caption(), first ? "Here are the events for February 14 2003"
                                           : "Here are the events for 14 February 2003");
    const std::string anna = first ? "Anna|02/14/1990|10:00|birthday||Y|N|N|N|000"
                                   : "Anna|14/02/1990|10:00|birthday||Y|N|N|N|000";
    ASSERT_EQ(Rows().size(), 3u);
    EXPECT_EQ(Rows()[0], anna);
    EXPECT_EQ(Rows()[1].substr(0, 4), "Bob|") << "the store keeps its lines sorted";
    EXPECT_EQ(Rows()[2].substr(0, 6), "Audit|");

    main().ldClick(Cell(15));  // no events: one empty row
    EXPECT_EQ(w().StringGrid1->RowCount(), 2);
    for (int c = 0; c <= kEachMonthColumn; ++c) EXPECT_EQ(w().StringGrid1->Cell(c, 1), "") << c;
    app.reset();
  }
}

TEST_F(ListWindow, EachAddButtonOpensTheEditorInItsColourAndTitle) {
  Open({});
  const char* titles[] = {"Add a lovely day", "Add a birthday", "Add a working or a business day",
                          "Add a religion or official day", "Add a feest day", "Add a other event"};
  for (int code = 1; code <= kCategoryCount; ++code) {
    list().SpeedButtonClick(code);
    EXPECT_TRUE(w().panedit->Visible());
    EXPECT_EQ(w().Label14->Caption(), titles[code - 1]);
    EXPECT_EQ(w().panedit->Colour(), static_cast<COLORREF>(InfoOf(*CategoryFromCode(code)).colour));
    EXPECT_EQ(w().savee->Tag(), code);
    EXPECT_TRUE(w().savee->Visible());
    EXPECT_FALSE(w().deletee->Visible());
    EXPECT_FALSE(w().namee->ReadOnly());
    EXPECT_TRUE(w().CheckBox[2]->Enabled());
    EXPECT_EQ(w().BitBtn17->GetBounds().left, 212);
    EXPECT_EQ(GetFocus(), w().namee->Handle()) << "typed letters go to the name";
  }
  list().BitBtn17Click();
  EXPECT_FALSE(w().panedit->Visible());
}

TEST_F(ListWindow, SaveWritesTheLineAddsTheRowAndCountsToday) {
  Open({kAnna});
  main().ldClick(Cell(14));
  list().SpeedButtonClick(3);
  Type("Audit", "10:00");
  w().commente->SetText("yearly   ");
  list().saveeClick();
  EXPECT_TRUE(errors.empty());
  EXPECT_FALSE(w().panedit->Visible());
  EXPECT_EQ(files->files[kPath], FileOf({kAnna, kAudit}));
  ASSERT_EQ(Rows().size(), 2u);
  EXPECT_EQ(Rows()[1], "Audit|02/14/2003|10:00|work/business|yearly|N|N|Y|N|0  ");
  EXPECT_EQ(Access::Tray(main()).ToolTip(), "Today : 1 birth. 1 work. ");

  // The same record again is refused and the editor stays open.
  list().SpeedButtonClick(3);
  list().saveeClick();
  EXPECT_EQ(infos, std::vector<std::string>{"There is the same event already saved.."});
  EXPECT_TRUE(w().panedit->Visible());
  EXPECT_EQ(files->files[kPath], FileOf({kAnna, kAudit}));
  // Only the comment changed: another event.
  w().commente->SetText("once more");
  list().saveeClick();
  EXPECT_EQ(app->Form2().Events().EventCount(), 3);
}

TEST_F(ListWindow, SaveRefusesWhatCouldNeverBeShownAndKeepsTheEditorOpen) {
  Open({});
  const struct {
    const char* month;
    const char* day;
    const char* dayCount;
    const char* message;
  } cases[] = {
      {"02", "30", "0  ", "'02/30/2003' is not a valid date"},
      {"13", "01", "0  ", "'13/01/2003' is not a valid date"},
      {"04", "00", "0  ", "'04/00/2003' is not a valid date"},
      {"02", "14", "   ", "'' is not a valid integer value"},
  };
  for (const auto& c : cases) {
    list().SpeedButtonClick(2);
    Type("Zed", "08:00");
    w().monthe->SetText(c.month);
    w().daye->SetText(c.day);
    w().enfreq->SetText(c.dayCount);
    errors.clear();
    list().saveeClick();
    EXPECT_EQ(errors, std::vector<std::string>{c.message});
    EXPECT_TRUE(w().panedit->Visible());
    EXPECT_EQ(w().namee->Text(), "Zed") << "what was typed stays";
  }
  EXPECT_FALSE(files->files.count(kPath)) << "nothing was written";

  // A write that fails leaves the grid, the calendar and the tray as the
  // store is, and the editor open with what was typed.
  main().ldClick(Cell(14));
  w().monthe->SetText("02");
  w().daye->SetText("14");
  w().enfreq->SetText("0  ");
  files->folders.insert("c:\\program files\\Redoviri by DUZOVU");
  files->freeBytes = 0;
  errors.clear();
  list().saveeClick();
  EXPECT_EQ(errors, std::vector<std::string>{"Disk full"});
  EXPECT_TRUE(w().panedit->Visible());
  EXPECT_EQ(w().StringGrid1->Cell(kNameColumn, 1), "");
  EXPECT_EQ(Access::Widgets(main()).id[Cell(14)]->Tag(), 0);
  EXPECT_EQ(Access::Tray(main()).ToolTip(), "Well, no event for today...");
}

TEST_F(ListWindow, ViewAndDeleteShowTheRowAndDeleteAsksFirst) {
  for (const bool first : {true, false}) {
    SCOPED_TRACE(first ? "month first" : "day first");
    monthFirst = first;
    ownedFiles = std::make_unique<testing::FakeFileSystem>();
    files = ownedFiles.get();
    questions.clear();
    Open({kAnna, kAudit});
    main().ldClick(Cell(14));
    w().StringGrid1->SetRow(2);
    list().StringGrid1DblClick();
    EXPECT_EQ(w().Label14->Caption(), "View of a Working event");
    EXPECT_EQ(w().namee->Text(), "Audit");
    EXPECT_EQ(w().monthe->Text(), "02");
    EXPECT_EQ(w().daye->Text(), "14");
    EXPECT_EQ(w().yeare->Text(), "2003");
    EXPECT_EQ(w().commente->Text(), "yearly");
    EXPECT_TRUE(w().CheckBox[4]->Checked());
    EXPECT_FALSE(w().CheckBox[1]->Checked());
    EXPECT_TRUE(w().namee->ReadOnly());
    EXPECT_FALSE(w().CheckBox[1]->Enabled());
    EXPECT_FALSE(w().savee->Visible());
    EXPECT_FALSE(w().deletee->Visible());
    EXPECT_EQ(w().BitBtn17->GetBounds().left, 148);

    list().SpeedButton10Click();
    EXPECT_EQ(w().Label14->Caption(), "Delete a Working vent");
    EXPECT_TRUE(w().deletee->Visible());
    answer = false;
    list().deleteeClick();
    EXPECT_FALSE(w().panedit->Visible());
    EXPECT_EQ(files->files[kPath], FileOf({kAnna, kAudit}));

    answer = true;
    list().SpeedButton10Click();
    list().deleteeClick();
    EXPECT_EQ(questions, std::vector<std::string>(2, "Do you realy want to delete that event?"));
    EXPECT_EQ(files->files[kPath], FileOf({kAnna}));
    ASSERT_EQ(Rows().size(), 1u) << "the day is listed again";
    EXPECT_EQ(Rows()[0].substr(0, 5), "Anna|");
    EXPECT_EQ(Access::Tray(main()).ToolTip(), "Today : 1 birth. ");
    app.reset();
  }
}

TEST_F(ListWindow, ARowAddedBySaveCanBeDeletedAtOnce) {
  Open({});
  main().ldClick(Cell(14));
  list().SpeedButtonClick(5);
  Type("Carnival", "12:00");
  list().saveeClick();
  ASSERT_EQ(app->Form2().Events().EventCount(), 1);
  ASSERT_NE(files->files[kPath].find("Carnival"), std::string::npos);
  w().StringGrid1->SetRow(1);
  list().SpeedButton10Click();
  list().deleteeClick();
  EXPECT_EQ(files->files[kPath], FileOf({}));
  EXPECT_EQ(app->Form2().Events().EventCount(), 0);
}

TEST_F(ListWindow, ASaveAfterAnOutsideChangeAddsOneRowWhicheverDayItFallsOn) {
  // The file changes outside the program before the save, so the store loads
  // it again and the day is listed afresh: the saved event has one row,
  // and deleting that row deletes it.
  struct Case {
    const char* what;
    int day;            // the day of the event saved
    std::size_t rows;   // the grid's rows after the save
  };
  const Case cases[] = {{"on the listed day", 14, 2}, {"on another day", 20, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ownedFiles = std::make_unique<testing::FakeFileSystem>();
    files = ownedFiles.get();
    Open({kAnna});
    main().ldClick(Cell(14));
    files->nowNs = 1'000'000'000'000;
    files->Edit(kPath, FileOf({kAnna, kBob}));  // Bob added elsewhere
    list().SpeedButtonClick(5);
    Type("Carnival", "12:00");
    w().daye->SetText(c.day < 10 ? "0" + std::to_string(c.day) : std::to_string(c.day));
    list().saveeClick();
    EXPECT_TRUE(errors.empty());
    std::vector<std::string> rows = Rows();
    const auto carnival = [](const std::string& r) { return r.starts_with("Carnival|"); };
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(), carnival), 1) << ::testing::PrintToString(rows);
    EXPECT_EQ(rows.size(), c.rows + 1) << "Anna, Bob (listed afresh) and the saved event";
    const int row = static_cast<int>(std::find_if(rows.begin(), rows.end(), carnival) - rows.begin()) + 1;
    w().StringGrid1->SetRow(row);
    list().SpeedButton10Click();
    list().deleteeClick();
    EXPECT_EQ(files->files[kPath], FileOf({kAnna, kBob}));
    rows = Rows();
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(), carnival), 0);
    app.reset();
  }
}

TEST_F(ListWindow, DeleteRemovesAHandEditedLineAsStored) {
  // Lines an editor can make that the editor panel's fields cannot rebuild:
  // delete still removes the selected one, and only it.
  const auto edited = [](std::size_t at, std::string_view with) {
    std::string line = kAnna;
    line.replace(at, with.size(), with);
    return line;
  };
  const struct {
    const char* what;
    std::string line;
    const char* title;
  } cases[] = {
      {"category 0", edited(15, "0"), "Delete a Other event"},
      {"category 9", edited(15, "9"), "Delete a Other event"},
      {"blanks before the name", edited(29, "   Anna"), "Delete a Birthday"},
      {"a NUL in the name", edited(29, std::string_view("An\0na", 5)), "Delete a Birthday"},
      {"day count \" 5 \"", edited(25, " 5 "), "Delete a Birthday"},
      {"text past the 110th character", kAnna + "  more", "Delete a Birthday"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ownedFiles = std::make_unique<testing::FakeFileSystem>();
    files = ownedFiles.get();
    questions.clear();
    Open({kBob, c.line, kAudit});
    main().ldClick(Cell(14));
    ASSERT_EQ(Rows().size(), 3u);
    w().StringGrid1->SetRow(1);  // the store keeps its lines in order: 1990 first
    list().SpeedButton10Click();
    EXPECT_EQ(w().Label14->Caption(), c.title);
    list().deleteeClick();
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_TRUE(infos.empty()) << infos.front();
    EXPECT_EQ(files->files[kPath], FileOf({kBob, kAudit}));
    EXPECT_FALSE(w().panedit->Visible());
    EXPECT_EQ(Rows().size(), 2u);
    app.reset();
  }
}

TEST_F(ListWindow, OnlyOneTimeExcludesTheOtherRecurrences) {
  Open({});
  auto& box = w().CheckBox;
  box[1]->SetChecked(true);
  box[3]->SetChecked(true);
  box[4]->SetChecked(true);
  list().CheckBoxClick(4);
  EXPECT_FALSE(box[1]->Checked());
  EXPECT_FALSE(box[2]->Checked());
  EXPECT_FALSE(box[3]->Checked());
  box[2]->SetChecked(true);
  list().CheckBoxClick(2);
  EXPECT_FALSE(box[4]->Checked());
  EXPECT_FALSE(box[1]->Checked()) << "the others stay as they are";
  box[2]->SetChecked(false);
  list().CheckBoxClick(2);  // unchecking changes nothing else
  EXPECT_FALSE(box[4]->Checked());
}

TEST_F(ListWindow, BackToCalendarHidesTheListAndRefreshesTheSelectedDay) {
  Open({kAnna});
  main().ldClick(Cell(14));
  main().Hide();
  list().Show();
  list().SpeedButtonClick(2);
  Type("Bob", "10:00", false);
  w().yeare->SetText("1995");
  list().saveeClick();
  list().SpeedButton8Click();
  EXPECT_FALSE(list().Visible());
  EXPECT_TRUE(test::PumpUntil([&] { return main().Visible(); })) << "once the list's frame has shrunk away";
  EXPECT_EQ(Access::Widgets(main()).CountLabel[2]->Caption(), "2") << "the day's counts follow";
  EXPECT_EQ(Access::Widgets(main()).id[Cell(14)]->Tag(), kSeveralTodayMark);
}

}  // namespace
}  // namespace redoviri
