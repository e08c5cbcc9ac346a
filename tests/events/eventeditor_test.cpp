#include "events/eventeditor.h"

#include <gtest/gtest.h>

#include "support/event_store.h"

namespace redoviri {
namespace {

using testing::EventLine;

EventRecord Typed(std::string month, std::string day, std::string year, std::string dayCount = "0",
                  std::string time = "18:30") {
  EventRecord r;
  r.month = std::move(month);
  r.day = std::move(day);
  r.year = std::move(year);
  r.time = std::move(time);
  r.recurrence.eachYear = true;
  r.dayCount = std::move(dayCount);
  r.name = "Ann";
  r.comment = "  cake  ";
  return r;
}

TEST(EventEditor, TitlesFollowTheModeAndTheCategory) {
  EXPECT_EQ(EditorTitle(EditorMode::Add, EventCategory::kBirthday), "Add a birthday");
  EXPECT_EQ(EditorTitle(EditorMode::View, EventCategory::kFeest), "View a Feest event");
  EXPECT_EQ(EditorTitle(EditorMode::Delete, EventCategory::kWorkBusiness), "Delete a Working vent");
  EventEditor editor;
  editor.Add(EventCategory::kLovely);
  EXPECT_EQ(editor.Title(), "Add a lovely day");
  EXPECT_EQ(editor.PanelColour(), InfoOf(EventCategory::kLovely).colour);
  EXPECT_TRUE(editor.Writable());
}

TEST(EventEditor, ARowShowsAsItsFieldsInEitherDateOrder) {
  const std::string line = EventLine("12252003", EventCategory::kFeest, "NNNY", "Christmas", "7", "the tree");
  for (const bool monthFirst : {true, false}) {
    EventEditor editor;
    ASSERT_TRUE(editor.ShowRow(EditorMode::Delete, MakeDayRow(line, monthFirst), line, monthFirst));
    EXPECT_EQ(editor.Mode(), EditorMode::Delete);
    EXPECT_FALSE(editor.Writable());
    EXPECT_EQ(editor.Category(), EventCategory::kFeest);
    EXPECT_EQ(editor.Title(), "Delete a Feest event");
    const EventRecord& f = editor.Fields();
    EXPECT_EQ(f.month, "12");
    EXPECT_EQ(f.day, "25");
    EXPECT_EQ(f.year, "2003");
    EXPECT_EQ(f.name, "Christmas");
    EXPECT_EQ(f.comment, "the tree");
    EXPECT_EQ(f.recurrence, (RecurrenceKind{.eachNDays = true}));
    EXPECT_EQ(f.dayCount, "007");
    // What it shows saves as the line it came from.
    EXPECT_EQ(editor.Delete(f).line, line);
  }
}

TEST(EventEditor, AHandEditedCategoryShowsAsOtherAndAnEmptyRowShowsNothing) {
  DayRow row = MakeDayRow(EventLine("05102003", EventCategory::kBirthday, "YNNN"), true);
  row[kCategoryColumn] = "";  // a code outside 1..6
  EventEditor editor;
  ASSERT_TRUE(editor.ShowRow(EditorMode::View, row, "", true));
  EXPECT_EQ(editor.Category(), EventCategory::kOther);
  EXPECT_EQ(editor.Title(), "View a Other event");
  EXPECT_FALSE(editor.ShowRow(EditorMode::Delete, DayRow{}, "", true));
  EXPECT_EQ(editor.Mode(), EditorMode::View) << "an empty row changes nothing";
}

TEST(EventEditor, SaveGivesTheLineAndTheTypedRowOrTheMessage) {
  struct Case {
    EventRecord typed;
    bool monthFirst;
    std::string error;
  };
  const Case cases[] = {
      {Typed("05", "10", "2003"), true, ""},
      {Typed("05", "10", "2003"), false, ""},
      {Typed("02", "30", "2003"), true, "'02/30/2003' is not a valid date"},
      {Typed("02", "30", "2003"), false, "'30/02/2003' is not a valid date"},
      {Typed("  ", "10", "2003"), true, "'  /10/2003' is not a valid date"},
      {Typed("05", "10", "2003", "x"), true, "'x' is not a valid integer value"},
      {Typed("05", "10", "2003", "0", "  :  "), true, ""},
      {Typed("05", "10", "2003", "0", "23:59"), true, ""},
      {Typed("05", "10", "2003", "0", "00:71"), true, "'00:71' is not a valid time"},
      {Typed("05", "10", "2003", "0", "24:00"), true, "'24:00' is not a valid time"},
      {Typed("05", "10", "2003", "0", "1 :3 "), true, "'1 :3 ' is not a valid time"},
      {Typed("05", "10", "2003", "0", " 9:30"), true, "' 9:30' is not a valid time"},
      {Typed("05", "10", "2003", "0", "09:3x"), true, "'09:3x' is not a valid time"},
  };
  for (const Case& c : cases) {
    EventEditor editor;
    editor.Add(EventCategory::kBirthday);
    const EditorSave save = editor.Save(c.typed, c.monthFirst);
    EXPECT_EQ(save.error, c.error) << c.typed.month << "/" << c.typed.day;
    if (!c.error.empty()) {
      EXPECT_EQ(save.line, "");
      continue;
    }
    EventRecord record = c.typed;
    record.category = EventCategory::kBirthday;
    EXPECT_EQ(save.line, BuildEventLine(record).line);
    // The row as typed, beside the row the line lists as.
    const DayRow listed = MakeDayRow(save.line, c.monthFirst);
    EXPECT_EQ(save.row[kDateColumn], listed[kDateColumn]);
    EXPECT_EQ(save.row[kCategoryColumn], "birthday");
    EXPECT_EQ(save.row[kCommentColumn], "cake");
    EXPECT_EQ(save.row[kEachYearColumn], "Y");
    EXPECT_EQ(save.row[kOnlyOnceColumn], "N");
  }
}

TEST(EventEditor, DeleteTakesTheStoredLineElseRebuildsIt) {
  const std::string stored = EventLine("05102003", EventCategory::kBirthday, "YNNN", "Ann") + "  hand-edited tail";
  EventEditor editor;
  ASSERT_TRUE(editor.ShowRow(EditorMode::Delete, MakeDayRow(stored, true), stored, true));
  EXPECT_EQ(editor.Delete(editor.Fields()).line, stored);

  ASSERT_TRUE(editor.ShowRow(EditorMode::Delete, MakeDayRow(stored, true), "", true));
  EXPECT_EQ(editor.Delete(editor.Fields()).line, EventLine("05102003", EventCategory::kBirthday, "YNNN", "Ann"));
  EventRecord bad = editor.Fields();
  bad.dayCount = "x";
  EXPECT_EQ(editor.Delete(bad).error, "'x' is not a valid integer value");
}

// The check boxes 1..4 in their order on the screen: Each Year, Each
// Month, Each (N days), Only one time.
RecurrenceKind Boxes(bool year, bool month, bool nDays, bool once) {
  return {.eachYear = year, .eachMonth = month, .onlyOnce = once, .eachNDays = nDays};
}

TEST(EventEditor, OnlyOneTimeExcludesTheOtherBoxes) {
  struct Case {
    RecurrenceKind before;  // with the box just checked
    int box;
    RecurrenceKind after;
  };
  const Case cases[] = {
      {Boxes(true, true, true, true), kOnlyOnceBox, Boxes(false, false, false, true)},
      {Boxes(true, false, false, true), 1, Boxes(true, false, false, false)},
      {Boxes(false, true, false, true), 2, Boxes(false, true, false, false)},
      {Boxes(false, false, true, true), 3, Boxes(false, false, true, false)},
      {Boxes(false, false, false, true), 1, Boxes(false, false, false, true)},  // box 1 not checked: nothing
  };
  for (const Case& c : cases) {
    RecurrenceKind r = c.before;
    CheckRecurrenceBox(r, c.box);
    EXPECT_EQ(r, c.after) << "box " << c.box;
  }
}

}  // namespace
}  // namespace redoviri
