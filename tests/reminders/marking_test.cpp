#include "reminders/marking.h"

#include <gtest/gtest.h>

#include <random>

#include "support/event_store.h"
#include "support/generated_events.h"

namespace redoviri {
namespace {

using testing::EventLine;
using testing::TestStore;

// The month as the month fill lays it out: Monday in the first column,
// cells before the 1st and after the last day empty.
MonthMarkInput Month(int year, int month, int today = 0) {
  MonthMarkInput input;
  input.year = year;
  input.month = month;
  const int first = (DayOfWeek({year, month, 1}) + 5) % 7;
  for (int d = 1; d <= DaysInMonth(year, month); ++d) {
    input.cells[static_cast<std::size_t>(first + d - 1)] = {d, d == today};
  }
  return input;
}

// The mark of the cell holding `day`.
const CellMark& MarkOf(const std::array<CellMark, kDayCellCount>& marks, const MonthMarkInput& month, int day) {
  for (std::size_t k = 0; k < marks.size(); ++k) {
    if (month.cells[k].day == day) return marks[k];
  }
  ADD_FAILURE() << "no cell for day " << day;
  return marks[0];
}

// Days of the month whose cell got a mark.
std::vector<int> MarkedDays(const std::array<CellMark, kDayCellCount>& marks, const MonthMarkInput& month) {
  std::vector<int> days;
  for (std::size_t k = 0; k < marks.size(); ++k) {
    if (marks[k].dayMark != kNoEventMark) days.push_back(month.cells[k].day);
  }
  return days;
}

TEST(MarkingTest, OneEventShowsItsCategory) {
  for (int code = 1; code <= kCategoryCount; ++code) {
    const auto category = *CategoryFromCode(code);
    TestStore store({EventLine("05102003", category, "YNNN", "Party")});
    const MonthMarkInput may = Month(2003, 5);
    const auto marks = MarkMonth(store.list(), may);
    EXPECT_EQ(MarkedDays(marks, may), std::vector<int>{10});
    EXPECT_EQ(MarkOf(marks, may, 10).dayMark, code);
    EXPECT_EQ(MarkOf(marks, may, 10).hint, std::string(InfoOf(category).hintLabel) + "Party,");

    // The same event on today's cell uses the today set of pictures.
    const MonthMarkInput mayToday = Month(2003, 5, 10);
    EXPECT_EQ(MarkOf(MarkMonth(store.list(), mayToday), mayToday, 10).dayMark, code + 6);
  }
}

TEST(MarkingTest, TwoEventsShowTheSeveralEventsPicture) {
  TestStore store({EventLine("05101990", EventCategory::kBirthday, "YNNN", "Ann"),
                   EventLine("05102001", EventCategory::kBirthday, "YNNN", "Bob")});
  const MonthMarkInput may = Month(2003, 5);
  const auto marks = MarkMonth(store.list(), may);
  const CellMark& mark = MarkOf(marks, may, 10);
  EXPECT_EQ(mark.dayMark, kSeveralMark);
  EXPECT_EQ(mark.hint, " birthday : Ann, birthday : Bob,");
  EXPECT_EQ(mark.matchCount, 2);

  const MonthMarkInput mayToday = Month(2003, 5, 10);
  EXPECT_EQ(MarkOf(MarkMonth(store.list(), mayToday), mayToday, 10).dayMark, kSeveralTodayMark);
}

TEST(MarkingTest, OneWorkEventOnTodaysCell) {
  TestStore store({EventLine("05102003", EventCategory::kWorkBusiness, "NNYN", "Audit"),
                   EventLine("05112003", EventCategory::kLovely, "NNYN", "Walk")});
  const MonthMarkInput may = Month(2003, 5, 10);
  const auto marks = MarkMonth(store.list(), may);
  EXPECT_EQ(MarkOf(marks, may, 10).dayMark, 9);
  EXPECT_EQ(MarkOf(marks, may, 10).hint, " work : Audit,");
  EXPECT_EQ(MarkOf(marks, may, 11).dayMark, 1);  // today's set only on today's cell
}

TEST(MarkingTest, HintsListEventsInStoreOrder) {
  // Store order is by line: the 1985 event comes before the 1999 one, and
  // the each-month event of January before both.
  TestStore store({EventLine("05101999", EventCategory::kFeest, "YNNN", "Late"),
                   EventLine("05101985", EventCategory::kReligionLegal, "YNNN", "Early"),
                   EventLine("01102003", EventCategory::kOther, "NYNN", "Monthly")});
  const MonthMarkInput may = Month(2003, 5);
  EXPECT_EQ(MarkOf(MarkMonth(store.list(), may), may, 10).hint,
            " other : Monthly, religion/official : Early, feest : Late,");
}

TEST(MarkingTest, HintShowsTheFirst25NameCharacters) {
  TestStore store({EventLine("05102003", EventCategory::kLovely, "NNYN", "Anniversary of our wedding day")});
  const MonthMarkInput may = Month(2003, 5);
  EXPECT_EQ(MarkOf(MarkMonth(store.list(), may), may, 10).hint, " lovely : Anniversary of our weddin,");
}

TEST(MarkingTest, EmptyCellsGetNoMark) {
  // A daily event falls on every day, but never on the cells outside the month.
  TestStore store({EventLine("01011990", EventCategory::kOther, "NNNY", "Daily", "1")});
  const MonthMarkInput feb = Month(2003, 2);
  const auto marks = MarkMonth(store.list(), feb);
  int marked = 0;
  for (std::size_t k = 0; k < marks.size(); ++k) {
    if (feb.cells[k].day == 0) {
      EXPECT_EQ(marks[k], CellMark{}) << "cell " << k + 1;
    } else {
      EXPECT_EQ(marks[k].dayMark, 6);
      ++marked;
    }
  }
  EXPECT_EQ(marked, 28);
}

TEST(MarkingTest, CategoryOutsideOneToSixChangesNothing) {
  std::string seven = EventLine("05102003", EventCategory::kLovely, "NNYN", "Seven");
  seven[15] = '7';
  std::string letter = seven;
  letter[15] = 'b';
  TestStore store({seven, letter, EventLine("05102003", EventCategory::kBirthday, "NNYN", "Ann")});
  const MonthMarkInput may = Month(2003, 5);
  const auto marks = MarkMonth(store.list(), may);
  const CellMark& mark = MarkOf(marks, may, 10);
  EXPECT_EQ(mark.dayMark, 2);
  EXPECT_EQ(mark.hint, " birthday : Ann,");

  TestStore alone({seven});
  EXPECT_EQ(MarkOf(MarkMonth(alone.list(), may), may, 10), CellMark{});
}

TEST(MarkingTest, UnreadableLineDoesNotStopThePass) {
  std::string april31 = EventLine("04302003", EventCategory::kLovely, "YYYY", "Broken", "1");
  april31.replace(2, 2, "31");
  // Sorted first, before the events that must still be marked.
  TestStore store({april31, EventLine("05102003", EventCategory::kBirthday, "NNYN", "Ann"),
                   EventLine("05202003", EventCategory::kFeest, "NNYN", "Fair")});
  ASSERT_EQ(store.list().EventLineAt(0), april31);
  const MonthMarkInput may = Month(2003, 5);
  const auto marks = MarkMonth(store.list(), may);
  EXPECT_EQ(MarkedDays(marks, may), (std::vector<int>{10, 20}));
}

TEST(MarkingTest, TheOnePassAgreesWithAskingEachDay) {
  // The pass asks each event once for its days of the month; asking the
  // rule for each cell's day instead must mark the same cells, with the
  // same hints in store order.
  std::mt19937 rng(7);
  std::vector<std::string> lines;
  for (int i = 0; i < 400; ++i) lines.push_back(testing::RandomEventLine(rng));
  lines.push_back(EventLine("05101990", EventCategory::kBirthday, "YNNN", "Ann"));
  lines.push_back(EventLine("05102003", EventCategory::kWorkBusiness, "NNYN", "Audit"));
  const TestStore store(lines);
  for (const auto& [year, month] : {std::pair{2003, 5}, std::pair{2004, 2}, std::pair{2010, 12}}) {
    const MonthMarkInput input = Month(year, month, 10);
    const auto marks = MarkMonth(store.list(), input);
    for (std::size_t k = 0; k < marks.size(); ++k) {
      const int day = input.cells[k].day;
      std::string hint;
      int count = 0;
      if (day != 0) {
        const MatchDay matchDay = *MakeMatchDay(year, month, day);
        for (const EventList::Entry& e : store.list().Entries()) {
          if (!FallsOn(e.parsed, matchDay)) continue;
          const auto category = CategoryFromCode(e.parsed.category);
          if (!category) continue;
          hint += std::string(InfoOf(*category).hintLabel) + std::string(ReadHintName(e.line)) + ",";
          ++count;
        }
      }
      EXPECT_EQ(marks[k].matchCount, count) << year << "-" << month << " cell " << k + 1;
      EXPECT_EQ(marks[k].hint, hint) << year << "-" << month << " cell " << k + 1;
    }
  }
}

TEST(MarkingTest, ACellOfADayTheMonthLacksGetsNoMark) {
  // A cell that somehow holds the 31st of April: no event falls on it, not
  // even one of each month on the 31st.
  const TestStore store({EventLine("03312003", EventCategory::kLovely, "NYNN", "Month end")});
  MonthMarkInput input;
  input.year = 2003;
  input.month = 4;
  input.cells[0].day = 30;
  input.cells[1].day = 31;
  const auto marks = MarkMonth(store.list(), input);
  EXPECT_EQ(marks[0].dayMark, kNoEventMark);
  EXPECT_EQ(marks[1].dayMark, kNoEventMark);
}

}  // namespace
}  // namespace redoviri
