// The program following the machine, in the assembled application: the
// system's clock moved or the machine woke from sleep (the new day shows at
// once, not at the next tick of the minute timer), and the regional settings
// changed (names and date order are read again and every window shows
// them). The messages go to the main window as Windows would broadcast them.
#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/colours.h"
#include "base/dateformat.h"
#include "base/monthgrid.h"
#include "support/event_store.h"
#include "resources/resource_ids.h"
#include "support/app_fixture.h"
#include "support/win32_test_support.h"
#include "support/window_access.h"

namespace redoviri {
namespace {

using testing::EventLine;
using Access = test::WindowAccess;

std::vector<COLORREF> IconPixels(HICON icon) { return test::IconPixels(icon, GetSystemMetrics(SM_CXSMICON)); }

std::vector<COLORREF> DayIconPixels(int day) {
  return IconPixels(test::GeneratorIcon(test::DayIconName(day), GetSystemMetrics(SM_CXSMICON)).get());
}

// ------------------------------------------------------------- The day

// How the machine tells of a moved clock or a wake-up.
struct Wake {
  const char* name;
  UINT msg;
  WPARAM wp;
};

const Wake kWakes[] = {
    {"TimeChange", WM_TIMECHANGE, 0},
    {"ResumeAutomatic", WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC},
    {"ResumeSuspend", WM_POWERBROADCAST, PBT_APMRESUMESUSPEND},
};

// From Friday 14 February 2003, 10:42:07, one after the other.
struct Crossing {
  const char* what;
  LocalDateTime now;
  const char* monthNumber;
  const char* monthName;
  const char* tip;
};

const Crossing kCrossings[] = {
    {"midnight", {{2003, 2, 15}, {0, 0, 5}}, "02", "FEBRUARY", "Today : 1 birth. "},
    {"back over midnight (another zone)", {{2003, 2, 14}, {23, 30, 0}}, "02", "FEBRUARY",
     "Well, no event for today..."},
    {"month end", {{2003, 3, 1}, {6, 30, 0}}, "03", "MARCH", "Today : 1 work. "},
    {"year end", {{2004, 1, 1}, {7, 15, 0}}, "01", "JANUARY", "Today : 1 work. 1 feest. "},
};

class DayChangeAtOnce : public test::AppTest, public ::testing::WithParamInterface<Wake> {
 protected:
  TForm1& main() { return app->Form1(); }
  TForm1Widgets& w() { return Access::Widgets(app->Form1()); }

  // What the day change touches.
  struct Seen {
    std::string stamp, monthNumber, monthName, year, tip;
    int calendarYear, calendarMonth;
    std::vector<int> todayCells;
    std::vector<COLORREF> icon;
    std::size_t shellCalls;
    bool operator==(const Seen&) const = default;
  };
  Seen Look() {
    Seen s{Access::TodayStamp(main()), w().Edit2->Text(), w().Edit1->Text(), w().UpDown2->Text(),
           Access::Tray(main()).ToolTip(), main().Calendar1().Year(), main().Calendar1().Month(), {},
           IconPixels(Access::Tray(main()).Icon()), shell.calls.size()};
    for (int k = 1; k <= kDayCellCount; ++k)
      if (w().pd[k]->Colour() == TodayColour) s.todayCells.push_back(k);
    return s;
  }
};

TEST_P(DayChangeAtOnce, TheNewDayShowsAtOnceAcrossMidnightMonthAndYearEnds) {
  Start({EventLine("01011990", EventCategory::kFeest, "YNNN", "New year"),
         EventLine("01011990", EventCategory::kWorkBusiness, "NYNN", "Rent"),
         EventLine("02151980", EventCategory::kBirthday, "YNNN", "Anna")});
  const HWND receiver = app->Clock().Handle();
  ASSERT_FALSE(IsWindowVisible(receiver)) << "a hidden window hears the news too";

  for (const Crossing& c : kCrossings) {
    SCOPED_TRACE(c.what);
    clock->Set(c.now);
    // Other power news (going to sleep, the battery) is no wake-up.
    const Seen before = Look();
    for (const WPARAM other : {WPARAM{PBT_APMSUSPEND}, WPARAM{PBT_APMPOWERSTATUSCHANGE}})
      SendMessageA(receiver, WM_POWERBROADCAST, other, 0);
    EXPECT_EQ(Look(), before);

    SendMessageA(receiver, GetParam().msg, GetParam().wp, 0);
    const CivilDate& d = c.now.date;
    const Seen after = Look();
    EXPECT_EQ(after.stamp, FormatDate("ddmmyyyy", EnglishDateLocale(true), d));
    EXPECT_EQ(after.monthNumber, c.monthNumber);
    EXPECT_EQ(after.monthName, c.monthName);
    EXPECT_EQ(after.year, std::to_string(d.year));
    EXPECT_EQ(after.calendarYear, d.year);
    EXPECT_EQ(after.calendarMonth, d.month);
    EXPECT_EQ(after.todayCells, std::vector<int>{MonthPlacement(d.year, d.month).CellOfDay(d.day)});
    EXPECT_EQ(after.tip, c.tip);
    EXPECT_EQ(shell.Last().Tip(), c.tip);
    EXPECT_EQ(after.icon, DayIconPixels(d.day));

    // The same news once more (both resume messages come for one wake-up)
    // finds the day seen already.
    SendMessageA(receiver, GetParam().msg, GetParam().wp, 0);
    EXPECT_EQ(Look(), after);
  }
  // The one clock still looks every 15 s.
  EXPECT_EQ(Access::Timers(app->Clock()).front()->Interval(), kLookIntervalMs);
}

INSTANTIATE_TEST_SUITE_P(Wakes, DayChangeAtOnce, ::testing::ValuesIn(kWakes),
                         [](const ::testing::TestParamInfo<Wake>& info) { return std::string(info.param.name); });

// ------------------------------------------------------------- The names

// Another language, ordered day first. Names are Windows-1252 text.
DateLocale GermanDateLocale() {
  return {false,
          {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"},
          {"Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag"},
          {"Januar", "Februar", "M\xE4rz", "April", "Mai", "Juni", "Juli", "August", "September", "Oktober",
           "November", "Dezember"}};
}

struct Regional {
  const char* name;
  DateLocale (*read)();
  std::array<const char*, 7> headers;  // Monday first
  const char* details;                 // today, as at the start
  const char* clockLine;
  const char* monthName;
  std::array<const char*, 3> chooser;  // the month chooser's first three names
  const char* listHeading;             // as at the start
  const char* chooserField;            // today, in the typing order
  const char* selectedDetails;         // after a click on the 1st, a new moon
  const char* selectedListHeading;
};

const Regional kRegionals[] = {
    {"EnglishDayFirst", [] { return EnglishDateLocale(false); }, {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"},
     "Friday, 14 February 2003", "Today Friday, 14 February 2003 10:42:07", "FEBRUARY",
     {"JANUARY", "FEBRUARY", "MARCH"}, "Here are the events for 14 February 2003", "14/02/2003",
     "Saturday, 1 February 2003 (New Moon)", "Here are the events for 01 February 2003"},
    {"German", GermanDateLocale, {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"}, "Freitag, 14 Februar 2003",
     "Today Freitag, 14 Februar 2003 10:42:07", "FEBRUAR", {"JANUAR", "FEBRUAR", "M\xE4RZ"},
     "Here are the events for 14 Februar 2003", "14/02/2003", "Samstag, 1 Februar 2003 (New Moon)",
     "Here are the events for 01 Februar 2003"},
};

class RegionalSettings : public test::AppTest, public ::testing::WithParamInterface<Regional> {
 protected:
  TForm1Widgets& w() { return Access::Widgets(app->Form1()); }

  // Every text the names or the date order show in.
  struct Names {
    std::array<std::string, 7> headerPanels, headerLabels;
    std::string details, clockLine, monthName;
    std::array<std::string, 3> chooser;
    std::string listHeading, chooserField;
    bool operator==(const Names&) const = default;
  };
  Names Look() {
    Names n;
    for (int c = 0; c < 7; ++c) {
      n.headerPanels[c] = w().HeaderPanel[c]->Caption();
      n.headerLabels[c] = w().HeaderLabel[c]->Caption();
    }
    n.details = w().Label1->Caption();
    n.clockLine = w().Label2->Caption();
    n.monthName = w().Edit1->Text();
    for (int r = 0; r < 3; ++r) n.chooser[r] = w().StringGrid1->Cell(1, r);
    n.listHeading = Access::Widgets(app->Form2()).Label1->Caption();
    n.chooserField = Access::Widgets(app->Form4()).MaskEdit1.Text();
    return n;
  }

  void SettingChanged(const char* section) {
    SendMessageA(app->Form1().Handle(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(section));
  }
};

TEST_P(RegionalSettings, AChangeRewritesNamesAndOrderEverywhere) {
  const Regional& r = GetParam();
  Start({});
  readLocale = r.read;
  const Names english = Look();
  ASSERT_EQ(english.details, "Friday, February 14 2003");
  ASSERT_EQ(english.listHeading, "Here are the events for February 14 2003");
  ASSERT_EQ(english.chooserField, "02/14/2003");

  // Other settings are not the regional ones.
  for (const char* other : {"Environment", "WindowMetrics", static_cast<const char*>(nullptr)}) {
    SettingChanged(other);
    EXPECT_EQ(localeReads, 0) << (other ? other : "no section");
    EXPECT_EQ(Look(), english) << (other ? other : "no section");
  }

  SettingChanged("intl");
  EXPECT_EQ(localeReads, 1);
  const Names changed = Look();
  for (int c = 0; c < 7; ++c) {
    EXPECT_EQ(changed.headerPanels[c], r.headers[c]) << "column " << c;
    EXPECT_EQ(changed.headerLabels[c], r.headers[c]) << "column " << c;
  }
  EXPECT_EQ(changed.details, r.details);
  EXPECT_EQ(changed.clockLine, r.clockLine);
  EXPECT_EQ(changed.monthName, r.monthName);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(changed.chooser[i], r.chooser[i]) << "month " << i + 1;
  EXPECT_EQ(changed.listHeading, r.listHeading);
  EXPECT_EQ(changed.chooserField, r.chooserField);
  // Today keeps its colour through the refill.
  EXPECT_EQ(w().pd[TodayCell()]->Colour(), TodayColour);

  // A selected day keeps its moon, and the list its day, through a change
  // back to the English names.
  app->Form1().ldClick(MonthPlacement(2003, 2).CellOfDay(1));
  EXPECT_EQ(w().Label1->Caption(), r.selectedDetails);
  EXPECT_EQ(Access::Widgets(app->Form2()).Label1->Caption(), r.selectedListHeading);
  readLocale = [] { return EnglishDateLocale(true); };
  SettingChanged("intl");
  EXPECT_EQ(w().Label1->Caption(), "Saturday, February 1 2003 (New Moon)");
  EXPECT_EQ(Access::Widgets(app->Form2()).Label1->Caption(), "Here are the events for February 01 2003");
  EXPECT_EQ(Access::Widgets(app->Form4()).MaskEdit1.Text(), "02/14/2003");
  EXPECT_EQ(w().HeaderLabel[0]->Caption(), "Mon");
  EXPECT_EQ(w().Edit1->Text(), "FEBRUARY");
}

using DateChooserField = test::AppTest;

TEST_F(DateChooserField, AFieldThatHoldsNoWholeDateIsLeftAsTypedWhenTheOrderChanges) {
  Start({});
  readLocale = [] { return EnglishDateLocale(false); };
  widgets::MaskEdit& field = Access::Widgets(app->Form4()).MaskEdit1;
  field.SetText("13/45/2003");  // no date in either order
  SendMessageA(app->Form1().Handle(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("intl"));
  EXPECT_EQ(field.Text(), "13/45/2003");
  EXPECT_EQ(Access::Widgets(app->Form1()).Label1->Caption(), "Friday, 14 February 2003");
}

INSTANTIATE_TEST_SUITE_P(Locales, RegionalSettings, ::testing::ValuesIn(kRegionals),
                         [](const ::testing::TestParamInfo<Regional>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace redoviri
