// The main window TForm1 driven through its operations: month fill and
// colours, the month and year fields, moon marks, the marking pass, today's
// events in the tray (through a recording shell), showing and hiding, and
// the hit-test rule. "Today" is a fixed clock; the day names come from an
// English locale, except in the test that reads the user's locale (run once
// per LANG by ctest).
#include <windows.h>
#include <oleacc.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/colours.h"
#include "base/dateformat.h"
#include "calendar/maincal.h"
#include "components/fake_shell.h"
#include "support/accessible.h"
#include "support/event_store.h"
#include "support/keys.h"
#include "resources/resource_ids.h"
#include "support/win32_test_support.h"
#include "support/window_access.h"

namespace redoviri {
namespace {

using redoviri::testing::EventLine;
using redoviri::testing::TestStore;
using widgets::Bitmap;
using Access = test::WindowAccess;

constexpr COLORREF kToday = TodayColour;
constexpr COLORREF kSelected = SelectedColour;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kSilver = RGB(192, 192, 192);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);

std::vector<COLORREF> PixelsOf(const Bitmap& b) { return test::BitmapPixels(b.Handle(), b.Width(), b.Height()); }

// Whether an image shows the picture of a resource.
bool ShowsPicture(const widgets::Image& image, int resourceId) {
  const Bitmap want = Bitmap::FromResource(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId));
  return image.Picture() && want && PixelsOf(image.Picture()) == PixelsOf(want);
}

// An icon drawn at the small icon size on white.
std::vector<COLORREF> IconPixels(HICON icon) { return test::IconPixels(icon, GetSystemMetrics(SM_CXSMICON)); }

std::vector<COLORREF> GeneratorIconPixels(const std::string& name) {
  return IconPixels(test::GeneratorIcon(name, GetSystemMetrics(SM_CXSMICON)).get());
}

class MainWindow : public ::testing::Test {
 protected:
  // Thursday 25 December 2003; the 1st is a Monday, so day d is in cell d.
  FixedClock clock{{{2003, 12, 25}, {10, 42, 7}}};
  test::FakeShell shell;
  testing::FakeFileSystem files;
  std::unique_ptr<AppModel> model;
  std::unique_ptr<TForm1> form;

  void SetUp() override { Create(); }

  void Create(DateLocale locale = EnglishDateLocale(true)) {
    form.reset();
    model = std::make_unique<AppModel>(clock, std::move(locale), EventFile{"Redoviri.ini", files});
    form = std::make_unique<TForm1>(TForm1Deps{.model = *model, .shell = &shell});
    model->onUpdate = [this](const ModelUpdate& u) { form->Present(u.calendar); };
  }

  // What a click on a day hands to the list window.
  struct SelectionRecord {
    std::vector<std::optional<CivilDate>> dates;
    std::vector<DayListing> listings;
  };
  void Record(SelectionRecord& record) {
    model->onUpdate = [this, &record](const ModelUpdate& u) {
      form->Present(u.calendar);
      if (u.list.heading) record.dates.push_back(model->List().ListedDate());
      if (u.list.rows) record.listings.push_back({model->List().Rows(), model->List().RowLines(), {}});
    };
  }

  // The model reads the events of a store's file.
  void UseStore(const TestStore& store) {
    files.files["Redoviri.ini"] = store.bytes();
    ASSERT_TRUE(model->Load().ok());
  }

  // What the user does: the year, then the month number.
  void ShowMonth(int year, int month) {
    w().UpDown2->SetText(std::to_string(year));
    w().Edit2->SetText(month < 10 ? "0" + std::to_string(month) : std::to_string(month));
  }

  TForm1Widgets& w() const { return Access::Widgets(*form); }
  TTrayIconF& tray() const { return Access::Tray(*form); }

  std::string Day(int k) const { return w().ld[k]->Caption(); }
  COLORREF Cell(int k) const { return w().pd[k]->Colour(); }

  // Cells before firstCell and after the month are empty; the days run on
  // from 1 in between.
  void ExpectMonthLaid(int firstCell, int length) const {
    for (int k = 1; k <= kDayCellCount; ++k) {
      const int day = k - firstCell + 1;
      const std::string want = day >= 1 && day <= length ? std::to_string(day) : "";
      EXPECT_EQ(Day(k), want) << "cell " << k;
    }
  }
};

// ------------------------------------------------------------- Creation

TEST_F(MainWindow, IsCreatedHiddenAsABorderlessTopmostToolWindow) {
  const HWND w = form->Handle();
  RECT client;
  GetClientRect(w, &client);
  EXPECT_EQ(client.right, 353);
  EXPECT_EQ(client.bottom, 311);
  EXPECT_FALSE(IsWindowVisible(w));
  EXPECT_FALSE(form->Visible());
  const LONG style = GetWindowLongA(w, GWL_STYLE), exStyle = GetWindowLongA(w, GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME));
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
  EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
  EXPECT_EQ(Access::FormOf(*form).Colour(), kSilver);
}

TEST_F(MainWindow, CreationFillsFieldsLabelsAndMonthChooser) {
  EXPECT_EQ(Access::TodayStamp(*form), "25122003");
  EXPECT_EQ(w().Label1->Caption(), "Thursday, December 25 2003");
  EXPECT_EQ(w().Label2->Caption(), "Today Thursday, December 25 2003 10:42:07");
  EXPECT_EQ(w().Edit2->Text(), "12");
  EXPECT_EQ(w().Edit1->Text(), "DECEMBER");
  EXPECT_EQ(w().UpDown2->Text(), "2003");
  EXPECT_EQ(form->Calendar1().Year(), 2003);
  EXPECT_EQ(form->Calendar1().Month(), 12);
  ExpectMonthLaid(1, 31);

  const widgets::StringGrid& chooser = *w().StringGrid1;
  EXPECT_FALSE(chooser.Visible());
  EXPECT_EQ(chooser.GetBounds().left, 19);
  EXPECT_EQ(chooser.GetBounds().top, 65);
  ASSERT_EQ(chooser.RowCount(), 12);
  EXPECT_EQ(chooser.Cell(0, 0), "01");
  EXPECT_EQ(chooser.Cell(1, 0), "JANUARY");
  EXPECT_EQ(chooser.Cell(0, 8), "09");
  EXPECT_EQ(chooser.Cell(1, 8), "SEPTEMBER");
  EXPECT_EQ(chooser.Cell(1, 11), "DECEMBER");

  EXPECT_EQ(w().Timer1->Interval(), 1000u);
  EXPECT_FALSE(w().Timer1->Enabled());
  EXPECT_EQ(w().Timer3->Interval(), 2000u);
  EXPECT_FALSE(w().Timer3->Enabled());

  EXPECT_TRUE(tray().Active());
  EXPECT_FALSE(tray().Animate());
  EXPECT_EQ(tray().AnimateInterval(), 1000);
  EXPECT_TRUE(tray().MinimizeApp());
  EXPECT_EQ(IconPixels(tray().Icon()), GeneratorIconPixels("d25"));
}

TEST_F(MainWindow, DayFirstLocaleGivesDayFirstTexts) {
  Create(EnglishDateLocale(false));
  EXPECT_EQ(w().Label1->Caption(), "Thursday, 25 December 2003");
  EXPECT_EQ(w().Label2->Caption(), "Today Thursday, 25 December 2003 10:42:07");
  std::string ticked;
  form->clockTextChanged = [&](const std::string& text) { ticked = text; };
  clock.Set({{2003, 12, 25}, {23, 59, 58}});
  form->Timer1Timer();
  EXPECT_EQ(w().Label2->Caption(), "Today Thursday, 25 December 2003 23:59:58");
  EXPECT_EQ(ticked, w().Label2->Caption());
}

// ------------------------------------------------------------- Month fill

TEST_F(MainWindow, MonthsAreLaidFromMondayOn) {
  ShowMonth(2003, 9);  // the 1st is a Monday
  ExpectMonthLaid(1, 30);
  ShowMonth(2003, 6);  // the 1st is a Sunday: cells 1..6 stay empty
  ExpectMonthLaid(7, 30);
  ShowMonth(2010, 2);  // common-year February from a Monday: 29..37 empty
  ExpectMonthLaid(1, 28);
  ShowMonth(2004, 8);  // 31 days from a Sunday end in the last cell
  ExpectMonthLaid(7, 31);
  EXPECT_EQ(Day(37), "31");
  ShowMonth(2000, 1);  // 31 days from a Saturday end in cell 36
  ExpectMonthLaid(6, 31);
  EXPECT_EQ(Day(37), "");

  const char* names[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
  for (int c = 0; c < 7; ++c) {
    EXPECT_EQ(w().HeaderPanel[c]->Caption(), names[c]);
    EXPECT_EQ(w().HeaderLabel[c]->Caption(), names[c]);
  }
}

TEST_F(MainWindow, TodaysCellAndHeaderHaveTheTodayColourAndRedText) {
  for (int k = 1; k <= kDayCellCount; ++k) {
    EXPECT_EQ(Cell(k), k == 25 ? kToday : kWhite) << "cell " << k;
    EXPECT_EQ(w().ld[k]->FontColour(), k == 25 ? kRed : kBlack) << "cell " << k;
  }
  for (int c = 0; c < 7; ++c) {
    const bool thursday = c == 3;
    EXPECT_EQ(w().HeaderPanel[c]->Colour(), thursday ? kToday : kSilver) << c;
    EXPECT_EQ(w().HeaderPanel[c]->FontColour(), thursday ? kRed : kBlack) << c;
    EXPECT_EQ(w().HeaderLabel[c]->FontColour(), thursday ? kRed : kBlack) << c;
  }
}

TEST_F(MainWindow, AnotherMonthHasNoTodayColourAnywhere) {
  w().pd[10]->SetColour(kSelected);
  ShowMonth(2003, 11);
  for (int k = 1; k <= kDayCellCount; ++k) {
    EXPECT_EQ(Cell(k), kWhite) << "cell " << k;
    EXPECT_EQ(w().ld[k]->FontColour(), kBlack) << "cell " << k;
  }
  for (int c = 0; c < 7; ++c) {
    EXPECT_EQ(w().HeaderPanel[c]->Colour(), kSilver);
    EXPECT_EQ(w().HeaderPanel[c]->FontColour(), kBlack);
  }
  // Back on today's month the colours return.
  ShowMonth(2003, 12);
  EXPECT_EQ(Cell(25), kToday);
  EXPECT_EQ(w().HeaderPanel[3]->Colour(), kToday);
}

TEST_F(MainWindow, RefillOfTodaysMonthKeepsTheSelectedCellAndOnlyTheRealToday) {
  form->ldClick(10);  // the 10th of December 2003 selected
  form->Button1Click();
  EXPECT_EQ(Cell(10), kSelected);

  // The day changes while December is shown: yesterday's cell is an
  // ordinary cell again.
  clock.Set({{2003, 12, 26}, {0, 0, 30}});
  model->Look();
  EXPECT_EQ(Cell(25), kWhite);
  EXPECT_EQ(w().ld[25]->FontColour(), kBlack);
  EXPECT_EQ(Cell(26), kToday);
  EXPECT_EQ(Cell(10), kSelected);
  EXPECT_EQ(w().HeaderPanel[3]->Colour(), kSilver);
  EXPECT_EQ(w().HeaderPanel[4]->Colour(), kToday);
  EXPECT_EQ(Access::TodayStamp(*form), "26122003");
}

TEST_F(MainWindow, TheFillLeavesNoMagentaKeyColourOnScreen) {
  ShowMonth(2000, 1);  // moon pictures on the 6th and 21st
  const TestStore store({EventLine("01102000", EventCategory::kLovely, "YNNN", "Ann")});
  UseStore(store);
  form->Button4Click();
  const std::vector<COLORREF> shot =
      Access::RenderedPixels(*form, {353, 311});
  const auto magenta = std::count(shot.begin(), shot.end(), RGB(255, 0, 255));
  const auto today = std::count(shot.begin(), shot.end(), kToday);
  EXPECT_GT(std::count(shot.begin(), shot.end(), kSelected), 300 * 30);  // the details panel was drawn
  EXPECT_EQ(magenta, 0);
  EXPECT_EQ(today, 0);  // not today's month
}

// ------------------------------------------------------------- Fields

TEST_F(MainWindow, YearFieldRules) {
  w().UpDown2->SetText("0");
  EXPECT_EQ(w().UpDown2->Text(), "1900");
  EXPECT_EQ(form->Calendar1().Year(), 1900);
  EXPECT_EQ(Day(6), "1");  // 1 December 1900 was a Saturday

  w().UpDown2->SetText("");
  EXPECT_EQ(w().UpDown2->Text(), "2003");
  EXPECT_EQ(form->Calendar1().Year(), 2003);

  w().UpDown2->SetText("x1");
  EXPECT_EQ(w().UpDown2->Text(), "2003");

  w().UpDown2->SetText("-5");  // ignored by the view
  EXPECT_EQ(form->Calendar1().Year(), 2003);
  EXPECT_EQ(Day(1), "1");
}

TEST_F(MainWindow, YearStepsStayWithinOneTo9999) {
  form->SpeedButton3Click();
  EXPECT_EQ(w().UpDown2->Text(), "2004");
  EXPECT_EQ(form->Calendar1().Year(), 2004);
  form->SpeedButton4Click();
  form->SpeedButton4Click();
  EXPECT_EQ(w().UpDown2->Text(), "2002");
  EXPECT_EQ(form->Calendar1().Year(), 2002);

  w().UpDown2->SetText("1");
  form->SpeedButton4Click();
  EXPECT_EQ(w().UpDown2->Text(), "1");
  EXPECT_EQ(form->Calendar1().Year(), 1);

  w().UpDown2->SetText("9999");
  form->SpeedButton3Click();
  EXPECT_EQ(w().UpDown2->Text(), "9999");
  EXPECT_EQ(form->Calendar1().Year(), 9999);
  ExpectMonthLaid(3, 31);  // 1 December 9999 is a Wednesday

  // The arrow keys in the year field step the same way.
  w().UpDown2->SetText("2003");
  SendMessageA(w().UpDown2->Handle(), WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(w().UpDown2->Text(), "2004");
  SendMessageA(w().UpDown2->Handle(), WM_KEYDOWN, VK_DOWN, 0);
  SendMessageA(w().UpDown2->Handle(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(w().UpDown2->Text(), "2002");
}

TEST_F(MainWindow, MonthChooserSetsTheFieldsAndRefillsOnlyOnAChange) {
  form->SpeedButton5Click();
  EXPECT_TRUE(w().StringGrid1->Visible());
  w().StringGrid1->SetRow(2);
  form->StringGrid1MouseUp();
  EXPECT_FALSE(w().StringGrid1->Visible());
  EXPECT_EQ(w().Edit2->Text(), "03");
  EXPECT_EQ(w().Edit1->Text(), "MARCH");
  EXPECT_EQ(form->Calendar1().Month(), 3);
  ExpectMonthLaid(6, 31);  // 1 March 2003 was a Saturday

  // A fill of a month other than today's whitens every cell: a cell left
  // coloured shows that choosing March again filled nothing.
  w().pd[9]->SetColour(kSelected);
  form->SpeedButton5Click();
  w().StringGrid1->SetRow(2);
  form->StringGrid1MouseUp();
  EXPECT_EQ(Cell(9), kSelected);

  form->SpeedButton5Click();
  w().StringGrid1->SetRow(3);
  form->StringGrid1MouseUp();
  EXPECT_EQ(w().Edit1->Text(), "APRIL");
  EXPECT_EQ(Cell(9), kWhite);
}

TEST_F(MainWindow, ClearedMonthFieldShowsTheCurrentMonth) {
  ShowMonth(2003, 4);
  w().Edit2->SetText("");
  EXPECT_EQ(w().Edit2->Text(), "12");
  EXPECT_EQ(w().Edit1->Text(), "DECEMBER");
  EXPECT_EQ(form->Calendar1().Month(), 12);
  EXPECT_EQ(Cell(25), kToday);
}

TEST_F(MainWindow, ViewCreatedOnThe31stPassesThroughShortMonths) {
  clock.Set({{2003, 1, 31}, {9, 0, 0}});
  Create();
  ShowMonth(2003, 2);
  EXPECT_EQ(form->Calendar1().Month(), 2);
  ExpectMonthLaid(6, 28);
  ShowMonth(2003, 4);
  EXPECT_EQ(form->Calendar1().Month(), 4);
  ExpectMonthLaid(2, 30);
  ShowMonth(2003, 1);
  EXPECT_EQ(Cell(31 + 2), kToday);  // 1 January 2003 was a Wednesday
}

TEST_F(MainWindow, PresentMonthButtonReturnsToToday) {
  ShowMonth(1999, 7);
  w().Label1->SetCaption("");
  clock.Set({{2003, 12, 25}, {11, 0, 1}});
  form->SpeedButton1Click();
  EXPECT_EQ(form->Calendar1().Year(), 2003);
  EXPECT_EQ(form->Calendar1().Month(), 12);
  EXPECT_EQ(w().Edit2->Text(), "12");
  EXPECT_EQ(w().Edit1->Text(), "DECEMBER");
  EXPECT_EQ(w().UpDown2->Text(), "2003");
  EXPECT_EQ(w().Label1->Caption(), "Thursday, December 25 2003");
  EXPECT_EQ(w().Label2->Caption(), "Today Thursday, December 25 2003 11:00:01");
  EXPECT_EQ(Cell(25), kToday);
}

// ------------------------------------------------------------- Moon marks

TEST_F(MainWindow, MoonMarksOfJanuary2000) {
  ShowMonth(2000, 1);  // the 1st is a Saturday: day d in cell d + 5
  auto mark = [&](int day) { return w().moon[day + 5]->Tag(); };
  EXPECT_EQ(mark(6), 1);   // new moon
  EXPECT_EQ(mark(21), 2);  // full moon
  EXPECT_EQ(mark(7), 0);
  EXPECT_EQ(mark(20), 0);
  EXPECT_TRUE(ShowsPicture(*w().moon[11], IDB_NEWMOON));
  EXPECT_TRUE(ShowsPicture(*w().moon[26], IDB_FULLMOON));
  int marked = 0;
  for (int k = 1; k <= kDayCellCount; ++k) {
    marked += w().moon[k]->Tag() != 0;
    EXPECT_EQ(static_cast<bool>(w().moon[k]->Picture()), w().moon[k]->Tag() != 0) << "cell " << k;
  }
  EXPECT_EQ(marked, 2);

  // The next fill replaces the marks.
  ShowMonth(2000, 2);
  EXPECT_EQ(w().moon[11]->Tag(), 0);
  EXPECT_FALSE(w().moon[11]->Picture());
}

// ------------------------------------------------------------- Marking pass

TEST_F(MainWindow, NoStoreNoMarks) {
  form->Button4Click();
  for (int k = 1; k <= kDayCellCount; ++k) {
    EXPECT_EQ(w().id[k]->Tag(), 0);
    EXPECT_FALSE(w().id[k]->Picture());
    EXPECT_EQ(w().ld[k]->Hint(), "");
  }
}

TEST_F(MainWindow, TwoBirthdaysGiveTheSeveralEventsPictureAndBothNames) {
  const TestStore store({EventLine("12101990", EventCategory::kBirthday, "YNNN", "Anna"),
                         EventLine("12101995", EventCategory::kBirthday, "YNNN", "Bob"),
                         EventLine("12251980", EventCategory::kBirthday, "YNNN", "Carl"),
                         EventLine("12251980", EventCategory::kLovely, "YNNN", "Wedding"),
                         EventLine("12171990", EventCategory::kWorkBusiness, "NYNN", "Report")});
  UseStore(store);
  form->Button4Click();
  EXPECT_EQ(w().id[10]->Tag(), 14);
  EXPECT_TRUE(ShowsPicture(*w().id[10], IDB_IMUL));
  EXPECT_EQ(w().ld[10]->Hint(), " birthday : Anna, birthday : Bob,");
  // The same on today's cell, and one event on an ordinary cell.
  EXPECT_EQ(w().id[25]->Tag(), 13);
  EXPECT_TRUE(ShowsPicture(*w().id[25], IDB_IMULTO));
  EXPECT_EQ(w().ld[25]->Hint(), " lovely : Wedding, birthday : Carl,");  // store order
  EXPECT_EQ(w().id[17]->Tag(), 3);
  EXPECT_TRUE(ShowsPicture(*w().id[17], IDB_IWOR));
  EXPECT_EQ(w().ld[17]->Hint(), " work : Report,");
  EXPECT_EQ(w().id[11]->Tag(), 0);
  EXPECT_FALSE(w().id[11]->Picture());

  // A second pass gives the same marks, not doubled hints.
  form->Button4Click();
  EXPECT_EQ(w().ld[10]->Hint(), " birthday : Anna, birthday : Bob,");

  // In another month the today pictures are not used and empty cells get nothing.
  ShowMonth(2004, 12);  // the 1st is a Wednesday: day d in cell d + 2
  EXPECT_EQ(w().id[12]->Tag(), 14);
  EXPECT_EQ(w().id[27]->Tag(), 14);
  EXPECT_EQ(w().id[19]->Tag(), 3);
  EXPECT_EQ(w().id[1]->Tag(), 0);
  EXPECT_EQ(w().ld[1]->Hint(), "");
}

TEST_F(MainWindow, WorkEventOnTodaysCellAndTheSelectedLooks) {
  const TestStore store({EventLine("12252003", EventCategory::kWorkBusiness, "NNYN", "Audit"),
                         EventLine("12102003", EventCategory::kBirthday, "NNYN", "Dora"),
                         EventLine("12112003", EventCategory::kBirthday, "NNYN", "Ed"),
                         EventLine("12112003", EventCategory::kOther, "NNYN", "Fay")});
  UseStore(store);
  form->Button4Click();
  EXPECT_EQ(w().id[25]->Tag(), 9);
  EXPECT_TRUE(ShowsPicture(*w().id[25], IDB_IWORTO));

  form->selClick(10);
  EXPECT_TRUE(ShowsPicture(*w().id[10], IDB_IBIRTHSEL));
  form->noselClick(10);
  EXPECT_TRUE(ShowsPicture(*w().id[10], IDB_IBIRTH));
  form->selClick(11);
  EXPECT_TRUE(ShowsPicture(*w().id[11], IDB_IMULSEL));
  form->noselClick(11);
  EXPECT_TRUE(ShowsPicture(*w().id[11], IDB_IMUL));
  form->selClick(25);  // today's cell looks the same selected
  EXPECT_TRUE(ShowsPicture(*w().id[25], IDB_IWORTO));

  w().id[12]->SetTag(99);  // an unknown code changes nothing
  form->selClick(12);
  EXPECT_FALSE(w().id[12]->Picture());

  // A change of month refills, marks and gives every cell its normal look.
  form->selClick(10);
  ShowMonth(2003, 11);
  ShowMonth(2003, 12);
  EXPECT_TRUE(ShowsPicture(*w().id[10], IDB_IBIRTH));
}

// ------------------------------------------------------------- Day selection


TEST_F(MainWindow, SelectingCellsLeavesOneHighlightAndOneSelectedLook) {
  const TestStore store({EventLine("12101990", EventCategory::kBirthday, "YNNN", "Anna"),
                         EventLine("12101995", EventCategory::kBirthday, "YNNN", "Bob"),
                         EventLine("12101990", EventCategory::kWorkBusiness, "YNNN", "Report"),
                         EventLine("12112003", EventCategory::kOther, "NNYN", "Fay"),
                         EventLine("12252003", EventCategory::kFeest, "NNYN", "Xmas")});
  UseStore(store);
  form->Button4Click();
  SelectionRecord record;
  Record(record);

  struct Step {
    int cell;
    int selectedCell;  // the one cell in SelectedColour afterwards (0: none)
    int selectedPicture;
    std::array<int, kCategoryCount> counts;  // shown counts, 0: hidden
  };
  const Step steps[] = {
      {10, 10, IDB_IMULSEL, {0, 2, 1, 0, 0, 0}},
      {11, 11, IDB_IOTHSEL, {0, 0, 0, 0, 0, 1}},
      {25, 0, IDB_IFEETO, {0, 0, 0, 0, 1, 0}},  // today's cell keeps its colour and look
      {10, 10, IDB_IMULSEL, {0, 2, 1, 0, 0, 0}},  // the same day twice: the same counts
  };
  for (const Step& step : steps) {
    SCOPED_TRACE("cell " + std::to_string(step.cell));
    form->ldClick(step.cell);
    EXPECT_EQ(form->SelectedDayText(), std::to_string(step.cell));
    for (int k = 1; k <= kDayCellCount; ++k) {
      const COLORREF want = k == 25 ? kToday : k == step.selectedCell ? kSelected : kWhite;
      EXPECT_EQ(Cell(k), want) << "cell " << k;
    }
    EXPECT_TRUE(ShowsPicture(*w().id[step.cell], step.selectedPicture));
    EXPECT_TRUE(ShowsPicture(*w().id[step.cell == 10 ? 11 : 10], step.cell == 10 ? IDB_IOTH : IDB_IMUL));
    for (int c = 1; c <= kCategoryCount; ++c) {
      const int want = step.counts[static_cast<std::size_t>(c - 1)];
      EXPECT_EQ(w().CountLabel[c]->Visible(), want > 0) << "category " << c;
      EXPECT_EQ(w().CategoryIcon[c]->Visible(), want > 0) << "category " << c;
      EXPECT_EQ(w().CountLabel[c]->Caption(), std::to_string(want)) << "category " << c;
    }
  }
  // The list window was told the date and given the rows, in store order.
  ASSERT_EQ(record.listings.size(), 4u);
  ASSERT_EQ(record.listings[0].rows.size(), 3u);
  EXPECT_EQ(record.listings[0].rows[0][kNameColumn], "Anna");
  EXPECT_EQ(record.listings[0].rows[1][kNameColumn], "Report");
  EXPECT_EQ(record.listings[0].rows[2][kNameColumn], "Bob");
  EXPECT_EQ(record.listings[0].rows[0][kDateColumn], "12/10/1990") << "the first date, month first";
  ASSERT_EQ(record.dates.size(), 4u);
  EXPECT_EQ(record.dates[0], (CivilDate{2003, 12, 10}));
  EXPECT_EQ(w().Label1->Caption(), "Wednesday, December 10 2003");
}

TEST_F(MainWindow, DetailsNameTheMoonOfTheSelectedDay) {
  SelectionRecord record;
  Record(record);
  int newMoon = 0, fullMoon = 0;
  for (int k = 1; k <= kDayCellCount; ++k) {
    const auto mark = static_cast<astro::MoonMark>(w().moon[k]->Tag());
    if (mark == astro::MoonMark::NewMoon) newMoon = k;
    if (mark == astro::MoonMark::FullMoon) fullMoon = k;
  }
  ASSERT_GT(newMoon, 0);
  ASSERT_GT(fullMoon, 0);
  const int plain = newMoon == 2 || fullMoon == 2 ? 3 : 2;
  const struct {
    int cell;
    std::string suffix;
  } cases[] = {{newMoon, " (New Moon)"}, {fullMoon, " (Full Moon)"}, {plain, ""}};
  for (const auto& c : cases) {
    form->ldClick(c.cell);
    const std::string date = FormatDate(DateForm::Long, EnglishDateLocale(true), {2003, 12, c.cell});
    EXPECT_EQ(w().Label1->Caption(), date + c.suffix) << "cell " << c.cell;
  }
}

TEST_F(MainWindow, AnEmptyCellSelectsNothingButStillTakesTheHighlight) {
  ShowMonth(2004, 2);  // starts on a Sunday: cells 1..6 are empty
  SelectionRecord record;
  Record(record);
  int listShown = 0;
  form->showEventList = [&] { ++listShown; };
  form->ldClick(9);
  form->ldClick(3);
  EXPECT_EQ(form->SelectedDayText(), "");
  EXPECT_EQ(Cell(3), kSelected);
  EXPECT_EQ(Cell(9), kWhite);
  EXPECT_EQ(w().Label1->Caption(), "");
  ASSERT_EQ(record.dates.size(), 2u);
  EXPECT_EQ(record.dates[1], std::nullopt) << "the list window's heading loses its date";
  EXPECT_EQ(record.listings.size(), 1u) << "no listing for the empty cell";
  for (int c = 1; c <= kCategoryCount; ++c) EXPECT_FALSE(w().CountLabel[c]->Visible());

  // Neither a double click there nor a click on the empty details opens the list.
  form->TrayClick();
  form->ld1DblClick();
  form->Label1Click();
  EXPECT_TRUE(form->Visible());
  EXPECT_EQ(listShown, 0);
  form->Button3Click();  // no day selected: lists nothing
  EXPECT_TRUE(record.listings.back().rows.empty());
}

TEST_F(MainWindow, DoubleClickOrDetailsOpenTheListOnTheSelectedDay) {
  int listShown = 0;
  form->showEventList = [&] { ++listShown; };
  for (const bool animated : {false, true}) {
    form->SetAnimated(animated);
    form->TrayClick();
    form->ldClick(4);  // a day without events still opens the list
    form->ld1DblClick();
    EXPECT_FALSE(form->Visible());
    // Animated, the list comes when the frame has shrunk away.
    EXPECT_EQ(listShown, 1) << animated;
    EXPECT_TRUE(test::PumpUntil([&] { return listShown == (animated ? 2 : 1); }));
    EXPECT_EQ(Access::ShowListAfterHide(*form), 0);
  }
  form->TrayClick();
  form->Label1Click();
  EXPECT_TRUE(test::PumpUntil([&] { return listShown == 3; }));
}

// ------------------------------------------------------------- Keyboard

TEST_F(MainWindow, TheKeyboardMovesTheDayAndTheMonthAndOpensTheDay) {
  int listShown = 0;
  form->showEventList = [&] { ++listShown; };
  form->SetAnimated(false);
  form->TrayClick();
  ASSERT_TRUE(test::PumpUntil([&] { return GetFocus() == w().calp->Handle(); }));
  EXPECT_EQ(GetForegroundWindow(), form->Handle());
  form->SelectToday();
  const auto press = [](UINT key, bool ctrl = false) { test::TypeKey(key, ctrl); };
  struct Step {
    const char* what;
    UINT key;
    bool ctrl;
    int year, month;
    const char* day;  // the selected day
  };
  const Step steps[] = {
      {"Right", VK_RIGHT, false, 2003, 12, "26"},
      {"Down into January", VK_DOWN, false, 2004, 1, "2"},
      {"Left", VK_LEFT, false, 2004, 1, "1"},
      {"Left into December", VK_LEFT, false, 2003, 12, "31"},
      {"Up", VK_UP, false, 2003, 12, "24"},
      {"Page Down", VK_NEXT, false, 2004, 1, "24"},
      {"Ctrl+Page Up", VK_PRIOR, true, 2003, 1, "24"},
      {"Page Up", VK_PRIOR, false, 2002, 12, "24"},
      {"Ctrl+Page Down", VK_NEXT, true, 2003, 12, "24"},
      {"Home: today", VK_HOME, false, 2003, 12, "25"},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    press(s.key, s.ctrl);
    EXPECT_EQ(form->Calendar1().Year(), s.year);
    EXPECT_EQ(form->Calendar1().Month(), s.month);
    EXPECT_EQ(form->SelectedDayText(), s.day);
    EXPECT_EQ(w().UpDown2->Text(), std::to_string(s.year));
  }
  EXPECT_EQ(Cell(25), kToday);
  press(VK_LEFT);
  EXPECT_EQ(Cell(24), kSelected);
  // What a screen reader reads of the grid: the selected day.
  char text[128] = {};
  GetWindowTextA(w().calp->Handle(), text, sizeof text);
  EXPECT_STREQ(text, "Wednesday, December 24 2003, no events");

  // Tab: the year field and back; the month fields only show.
  press(VK_TAB);
  EXPECT_EQ(GetFocus(), w().UpDown2->Handle());
  press(VK_TAB);
  EXPECT_EQ(GetFocus(), w().calp->Handle());

  press(VK_RETURN);  // the day's list, as a double click
  EXPECT_EQ(listShown, 1);
  EXPECT_FALSE(form->Visible());
  form->TrayClick();
  ASSERT_TRUE(test::PumpUntil([&] { return GetFocus() == w().calp->Handle(); }));
  press(VK_SPACE);
  EXPECT_EQ(listShown, 2);
  form->TrayClick();
  ASSERT_TRUE(test::PumpUntil([&] { return GetFocus() == w().calp->Handle(); }));
  press(VK_ESCAPE);  // as a close box
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(listShown, 2);
}

TEST_F(MainWindow, ATrayClickWhileTheCalendarHidesForTheListWins) {
  int listShown = 0;
  form->showEventList = [&] { ++listShown; };
  form->SetAnimated(true);
  form->TrayClick();
  form->ldClick(4);
  form->ld1DblClick();
  form->TrayClick();
  ASSERT_TRUE(test::PumpUntil(test::AnimationsOver));
  EXPECT_EQ(listShown, 0);
  EXPECT_TRUE(form->Visible());
  EXPECT_EQ(GetForegroundWindow(), form->Handle());
}

// What a screen reader finds: the grid's accessible name is the selected
// day, and a move of the selection tells it so.
std::vector<HWND> nameChanges;
void CALLBACK RecordNameChange(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG, DWORD, DWORD) {
  if (object == OBJID_CLIENT) nameChanges.push_back(hwnd);
}

TEST_F(MainWindow, ScreenReadersReadTheSelectedDay) {
  const TestStore store({EventLine("12252003", EventCategory::kLovely, "NNYN", "Kiss"),
                         EventLine("12252003", EventCategory::kOther, "NNYN", "Tea")});
  UseStore(store);
  const HWND grid = w().calp->Handle();
  const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr,
                                             RecordNameChange, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(hook, nullptr);
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  nameChanges.clear();
  const auto accessibleName = [&] { return test::AccessibleName(grid); };
  EXPECT_EQ(accessibleName(), "December 2003");
  form->ldClick(25);
  EXPECT_EQ(accessibleName(), "Thursday, December 25 2003, today, 2 events");
  form->ldClick(26);
  EXPECT_EQ(accessibleName(), "Friday, December 26 2003, no events");
  EXPECT_TRUE(test::PumpUntil([] { return nameChanges.size() >= 2; }));
  EXPECT_TRUE(std::all_of(nameChanges.begin(), nameChanges.end(), [&](HWND h) { return h == grid; }));
  UnhookWinEvent(hook);
  CoUninitialize();
}

// ------------------------------------------------------------- Tray

TEST_F(MainWindow, TodaysEventsGoToTheTooltipAndStartTheBlinking) {
  const TestStore store({EventLine("12252003", EventCategory::kLovely, "NNYN", "Kiss"),
                         EventLine("03011990", EventCategory::kBirthday, "YNNN", "Not today")});
  UseStore(store);
  shell.calls.clear();
  form->checktodayClick();
  // One change to the icon in its place.
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(shell.Last().message, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(shell.Last().Tip(), "Today : 1 lovely. ");
  EXPECT_TRUE(w().Timer3->Enabled());
  EXPECT_EQ(tray().Tag, 0);
  EXPECT_EQ(IconPixels(tray().Icon()), GeneratorIconPixels("d25"));

  // Day number, then the lovely icon, then the day number again.
  form->Timer3Timer();
  EXPECT_EQ(IconPixels(tray().Icon()), GeneratorIconPixels("d25"));
  form->Timer3Timer();
  EXPECT_EQ(IconPixels(tray().Icon()), GeneratorIconPixels("ictlov"));
  form->TrayDblClick();
  EXPECT_EQ(IconPixels(tray().Icon()), GeneratorIconPixels("d25"));

  // The option off: listed, not blinking.
  form->SetBlinking(false);
  form->checktodayClick();
  EXPECT_FALSE(w().Timer3->Enabled());
  EXPECT_EQ(shell.Last().Tip(), "Today : 1 lovely. ");
}

TEST_F(MainWindow, NoEventTodaySaysSo) {
  form->checktodayClick();  // no store yet
  EXPECT_EQ(shell.Last().Tip(), "Well, no event for today...");
  EXPECT_FALSE(w().Timer3->Enabled());
  EXPECT_TRUE(tray().Active());
}

TEST_F(MainWindow, BlinkShowsEachCategoryWithEventsInTurn) {
  const TestStore store({EventLine("12252003", EventCategory::kBirthday, "NNYN", "A"),
                         EventLine("12251990", EventCategory::kWorkBusiness, "YNNN", "B")});
  UseStore(store);
  form->checktodayClick();
  const auto day = GeneratorIconPixels("d25"), birthday = GeneratorIconPixels("ictbir"),
             work = GeneratorIconPixels("ictwor");
  const std::vector<COLORREF>* want[] = {&day, &birthday, &day, &work, &day, &day, &day, &birthday};
  for (std::size_t tick = 0; tick < std::size(want); ++tick) {
    form->Timer3Timer();
    EXPECT_EQ(IconPixels(tray().Icon()), *want[tick]) << "tick " << tick;
  }
}

TEST_F(MainWindow, AllSixCategoriesFillMoreThanTheTrayKeeps) {
  std::vector<std::string> lines;
  for (int c = 1; c <= 6; ++c) lines.push_back(EventLine("12252003", static_cast<EventCategory>(c), "NNYN", "e"));
  const TestStore store(lines);
  UseStore(store);
  form->checktodayClick();
  EXPECT_EQ(shell.Last().Tip(), "Today : 1 lovely. 1 birth. 1 work. 1 rel/off. 1 feest. 1 other");
}

TEST_F(MainWindow, DayChangeFollowsWithinTheMinute) {
  const TestStore store({EventLine("01011990", EventCategory::kFeest, "YNNN", "New year")});
  UseStore(store);
  form->checktodayClick();
  const std::size_t calls = shell.calls.size();
  model->Look();  // the same day: nothing
  EXPECT_EQ(shell.calls.size(), calls);
  EXPECT_EQ(Access::TodayStamp(*form), "25122003");

  clock.Set({{2004, 1, 1}, {0, 0, 40}});
  model->Look();
  EXPECT_EQ(Access::TodayStamp(*form), "01012004");
  EXPECT_EQ(w().Edit2->Text(), "01");
  EXPECT_EQ(w().Edit1->Text(), "JANUARY");
  EXPECT_EQ(w().UpDown2->Text(), "2004");
  EXPECT_EQ(form->Calendar1().Year(), 2004);
  EXPECT_EQ(form->Calendar1().Month(), 1);
  EXPECT_EQ(Cell(4), kToday);  // 1 January 2004 was a Thursday
  EXPECT_EQ(w().id[4]->Tag(), 11);
  EXPECT_EQ(shell.Last().Tip(), "Today : 1 feest. ");
  EXPECT_EQ(IconPixels(tray().Icon()), GeneratorIconPixels("d1"));
}

// ------------------------------------------------------------- Frame

TEST_F(MainWindow, TrayClickShowsAndCloseBoxesHide) {
  form->TrayClick();
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  form->TrayClick();  // a click while shown changes nothing
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  form->Panel2Click();
  EXPECT_FALSE(IsWindowVisible(form->Handle()));
}

TEST_F(MainWindow, HidingHandsOverToTheEventListOnlyWhenAsked) {
  int listShown = 0;
  form->showEventList = [&] { ++listShown; };

  // Animated: the event list comes once the frame has shrunk away, not before.
  form->TrayClick();
  form->SetShowListAfterHide(true);
  form->Panel2Click();
  EXPECT_FALSE(IsWindowVisible(form->Handle()));
  EXPECT_EQ(listShown, 0) << "not while the frame still runs";
  EXPECT_EQ(Access::ShowListAfterHide(*form), 1);
  ASSERT_TRUE(test::PumpUntil([&] { return listShown == 1; })) << "the end of the animation hands over";
  EXPECT_EQ(Access::ShowListAfterHide(*form), 0);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(form->Handle(), region), ERROR) << "the plain rectangle again, as before";
  DeleteObject(region);

  // The option off: the window hides and nothing else appears, then or later.
  form->SetAnimated(false);
  form->TrayClick();
  form->SetShowListAfterHide(true);
  form->Panel2Click();
  // Longer than an animation would take: still nothing.
  test::PumpFor(700);
  EXPECT_EQ(listShown, 1);
  EXPECT_EQ(Access::ShowListAfterHide(*form), 1);
}

TEST_F(MainWindow, TheFrameDragsTheWindowAndTheControlsBehaveNormally) {
  const widgets::Form& w = Access::FormOf(*form);
  EXPECT_EQ(w.HitTest({100, 2}), HTCAPTION);    // top bar
  EXPECT_EQ(w.HitTest({170, 12}), HTCAPTION);   // clock line on the top bar
  EXPECT_EQ(w.HitTest({5, 150}), HTCAPTION);    // left bar
  EXPECT_EQ(w.HitTest({345, 150}), HTCAPTION);  // right bar
  EXPECT_EQ(w.HitTest({100, 305}), HTCAPTION);  // bottom bar
  EXPECT_EQ(w.HitTest({20, 80}), HTCAPTION);    // legend strip
  EXPECT_EQ(w.HitTest({10, 10}), HTCLIENT);     // close box
  EXPECT_EQ(w.HitTest({100, 45}), HTCLIENT);    // details panel
  EXPECT_EQ(w.HitTest({35, 80}), HTCLIENT);     // Edit2
  EXPECT_EQ(w.HitTest({230, 80}), HTCLIENT);    // year field
  EXPECT_EQ(w.HitTest({290, 80}), HTCLIENT);    // navigation buttons
  EXPECT_EQ(w.HitTest({18 + 100, 95 + 60}), HTCLIENT);  // a day cell

  // The same answers reach the system.
  auto nc = [&](int x, int y) {
    POINT p{x, y};
    ClientToScreen(form->Handle(), &p);
    return SendMessageA(form->Handle(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
  };
  EXPECT_EQ(nc(170, 12), HTCAPTION);
  EXPECT_EQ(nc(35, 80), HTCLIENT);
}

// ------------------------------------------------------------- Locale

struct LocaleExpectation {
  const char* lang;
  const char* headers[7];  // Monday first
  const char* monthField;  // December, upper case
  const char* longDate;    // 25 December 2003
};

// Windows-1252, as the ANSI functions give the names.
const LocaleExpectation kLocales[] = {
    {"en_US", {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"}, "DECEMBER", "Thursday, December 25 2003"},
    {"fr_FR", {"lun.", "mar.", "mer.", "jeu.", "ven.", "sam.", "dim."}, "D\xE9" "CEMBRE", "jeudi, 25 d\xE9" "cembre 2003"},
};

TEST_F(MainWindow, NamesFollowTheUserLocale) {
  char lang[64] = "";
  GetEnvironmentVariableA("LANG", lang, sizeof lang);
  const LocaleExpectation* want = nullptr;
  for (const auto& e : kLocales)
    if (std::string_view(lang).starts_with(e.lang)) want = &e;
  if (!want) GTEST_SKIP() << "no expectations for LANG=" << lang;

  Create(UserDateLocale());
  for (int c = 0; c < 7; ++c) {
    EXPECT_EQ(w().HeaderPanel[c]->Caption(), want->headers[c]) << want->lang;
    EXPECT_EQ(w().HeaderLabel[c]->Caption(), want->headers[c]) << want->lang;
  }
  EXPECT_EQ(w().Edit1->Text(), want->monthField);
  EXPECT_EQ(w().StringGrid1->Cell(1, 11), want->monthField);
  EXPECT_EQ(w().Label1->Caption(), want->longDate);
}

}  // namespace
}  // namespace redoviri
