#include "reminders/daylisting.h"

#include <gtest/gtest.h>

#include "support/event_store.h"

namespace redoviri {
namespace {

using testing::EventLine;
using testing::TestStore;

TEST(DayListingTest, DayWithoutEventsListsNothing) {
  TestStore store({EventLine("05102003", EventCategory::kBirthday, "NNYN", "Ann")});
  const DayListing listing = ListDay(store.list(), {2003, 5, 11}, true);
  EXPECT_TRUE(listing.rows.empty());
  EXPECT_EQ(listing.counts, CategoryCounts{});
}

TEST(DayListingTest, RowsInStoreOrderAndCountsPerCategory) {
  TestStore store({EventLine("03051999", EventCategory::kWorkBusiness, "YNNN", "Audit"),
                   EventLine("03051990", EventCategory::kBirthday, "YNNN", "Ann"),
                   EventLine("01052003", EventCategory::kBirthday, "NYNN", "Bob"),
                   EventLine("03062003", EventCategory::kLovely, "YNNN", "Not today")});
  const DayListing listing = ListDay(store.list(), {2003, 3, 5}, true);
  ASSERT_EQ(listing.rows.size(), 3u);
  EXPECT_EQ(listing.rows[0][kNameColumn], "Bob");
  EXPECT_EQ(listing.rows[1][kNameColumn], "Ann");
  EXPECT_EQ(listing.rows[2][kNameColumn], "Audit");
  EXPECT_EQ(listing.counts, (CategoryCounts{0, 2, 1, 0, 0, 0}));
}

TEST(DayListingTest, RowShowsTheStoredFirstDateInTheSystemOrder) {
  TestStore store({EventLine("03051990", EventCategory::kReligionLegal, "YNNY", "Feast of the first spring day",
                             "12", "  bring  flowers ")});
  const DayRow want = {"Feast of the first spring day", "03/05/1990", "10:00", "religion/legal", "bring  flowers",
                       "Y", "N", "N", "Y", "012"};
  const DayListing monthFirst = ListDay(store.list(), {2003, 3, 5}, true);
  ASSERT_EQ(monthFirst.rows.size(), 1u);
  EXPECT_EQ(monthFirst.rows[0], want);

  const DayListing dayFirst = ListDay(store.list(), {2003, 3, 5}, false);
  ASSERT_EQ(dayFirst.rows.size(), 1u);
  EXPECT_EQ(dayFirst.rows[0][kDateColumn], "05/03/1990");
}

TEST(DayListingTest, NameOf30CharactersIsShownWhole) {
  const std::string name = "Grandmother Wilhelmina van Or";  // 29 characters plus one below
  TestStore store({EventLine("03052003", EventCategory::kOther, "NNYN", name + "a")});
  const DayListing listing = ListDay(store.list(), {2003, 3, 5}, true);
  ASSERT_EQ(listing.rows.size(), 1u);
  EXPECT_EQ(listing.rows[0][kNameColumn], name + "a");
}

TEST(DayListingTest, RowOfAHandEditedLine) {
  // A short line with an unknown category digit still gives a full row.
  const std::string line = "03052003;07:00;9;N;N;Y;N;000;Hand made";
  const DayRow row = MakeDayRow(line, true);
  EXPECT_EQ(row[kNameColumn], "Hand made");
  EXPECT_EQ(row[kCategoryColumn], "");
  EXPECT_EQ(row[kCommentColumn], "");
  // Short or padded to its full length, it is listed on its day, and
  // counted in no category.
  for (const std::string& stored : {line, line + std::string(kEventLineLength - line.size(), ' ')}) {
    TestStore store({stored});
    const DayListing listing = ListDay(store.list(), {2003, 3, 5}, true);
    ASSERT_EQ(listing.rows.size(), 1u);
    EXPECT_EQ(listing.rows[0], row);
    EXPECT_EQ(listing.counts, CategoryCounts{});
  }
}

TEST(DayListingTest, UnreadableLinesAreLeftOutAndTheRestListed) {
  TestStore store({"03052003;07:00;1;Y;Y;Y;Y;abc;Bad count", "02312003;07:00;1;Y;Y;Y;Y;001;Bad date",
                   EventLine("03052003", EventCategory::kFeest, "NNYN", "Fair")});
  const DayListing listing = ListDay(store.list(), {2003, 3, 5}, true);
  ASSERT_EQ(listing.rows.size(), 1u);
  EXPECT_EQ(listing.rows[0][kNameColumn], "Fair");
  EXPECT_EQ(listing.counts, (CategoryCounts{0, 0, 0, 0, 1, 0}));
}

TEST(DayListingTest, NoSelectedDayListsNothing) {
  TestStore store({EventLine("01011990", EventCategory::kOther, "NNNY", "Daily", "1")});
  EXPECT_TRUE(ListDay(store.list(), {2003, 3, 0}, true).rows.empty());
  EXPECT_TRUE(ListDay(store.list(), {2003, 2, 30}, true).rows.empty());
  EXPECT_EQ(ListDay(store.list(), {2003, 2, 28}, true).rows.size(), 1u);
}

}  // namespace
}  // namespace redoviri
