// The application model natively: each change on its one path and what
// every presenter then holds; the list presenter's commands; another
// program's change of the event file seen at a look; the reminder window's
// boxes.
#include "calendar/appmodel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "events/fake_filesystem.h"
#include "events/reminderchoice.h"
#include "support/event_store.h"

namespace redoviri {
namespace {

using testing::AtTime;
using testing::EventLine;
using testing::FakeFileSystem;

constexpr const char* kFile = "Redoviri.ini";
// Friday 14 February 2003.
const std::string kAnna = AtTime(EventLine("02141990", EventCategory::kBirthday, "YNNN", "Anna"), "10:30");
const std::string kBob = AtTime(EventLine("02142003", EventCategory::kOther, "NNYN", "Bob"), "10:30");
const std::string kCarl = AtTime(EventLine("02142003", EventCategory::kWorkBusiness, "NNYN", "Carl"), "10:30");
const std::string kAbe = EventLine("02141985", EventCategory::kLovely, "YNNN", "Abe");
const std::string kDora = EventLine("03012003", EventCategory::kFeest, "NNYN", "Dora");

std::string FileOf(const std::vector<std::string>& lines) {
  std::string bytes = "Redoviri by DUZOVU event file\r\n";
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

LocalDateTime At(int hour, int minute, int day = 14) { return {{2003, 2, day}, {hour, minute, 0}}; }

class AppModelTest : public ::testing::Test {
 public:
  void Start(const std::vector<std::string>& lines) {
    files.nowNs = 1'000'000'000'000;
    files.Edit(kFile, FileOf(lines));
    files.nowNs += 10'000'000'000;
    model = std::make_unique<AppModel>(clock, EnglishDateLocale(true), EventFile{kFile, files});
    model->onUpdate = [this](const ModelUpdate& u) { updates.push_back(u); };
    ASSERT_TRUE(model->Load().ok());
    model->CalendarCommand([](CalendarPresenter& p) { return p.SelectToday(); });
  }
  // Another program writes the file, some seconds later.
  void OtherProgramWrites(const std::vector<std::string>& lines) {
    files.nowNs += 5'000'000'000;
    files.Edit(kFile, FileOf(lines));
    files.nowNs += 5'000'000'000;
  }
  std::vector<std::string> ListedNames() const {
    std::vector<std::string> names;
    for (const DayRow& row : model->List().Rows()) names.push_back(row[kNameColumn]);
    return names;
  }
  std::vector<std::string> NoticeNames() const {
    std::vector<std::string> names;
    for (const Notice& n : model->Notices().Board().Notices()) names.push_back(ReadName(n.line));
    return names;
  }
  // The calendar shows what a pass over the whole store would show.
  void ExpectAsAWholePass() const {
    const CalendarPresenter& shown = model->Calendar();
    CalendarPresenter whole(shown.TodayDate(), EnglishDateLocale(true));
    whole.SetEvents(&model->Store());
    (void)whole.GoToMonth(shown.Year(), shown.Month());
    (void)whole.SelectToday();
    (void)whole.StoreChanged();
    for (int k = 1; k <= kDayCellCount; ++k) {
      EXPECT_EQ(shown.View().Cell(k).dayMark, whole.View().Cell(k).dayMark) << "cell " << k;
      EXPECT_EQ(shown.View().Cell(k).hint, whole.View().Cell(k).hint) << "cell " << k;
    }
    EXPECT_EQ(shown.TodayEventCounts(), whole.TodayEventCounts());
    EXPECT_EQ(shown.Listing().lines, whole.Listing().lines);
  }
  int TodayTotal() const { return model->Calendar().TodayEventCounts().total; }
  int TodayMark() const { return model->Calendar().View().Cell(*model->Calendar().View().TodayCell()).dayMark; }

  FixedClock clock{At(10, 0)};
  FakeFileSystem files;
  std::unique_ptr<AppModel> model;
  std::vector<ModelUpdate> updates;
};

TEST_F(AppModelTest, EveryChangeReachesTheMarksTodaysCountsTheListedDayAndTheNotices) {
  const struct {
    const char* what;
    std::function<void(AppModelTest&)> change;
    int todayTotal;
    int todayMark;
    std::vector<std::string> listed;  // today's rows
    std::vector<std::string> due;     // at 10:31
  } kCases[] = {
      {"a save: its row at the bottom", [](AppModelTest& t) { EXPECT_TRUE(t.model->SaveLine(kBob).written()); },
       3, kSeveralTodayMark, {"Carl", "Bob"}, {"Anna", "Carl", "Bob"}},
      {"a save that sorts first", [](AppModelTest& t) { EXPECT_TRUE(t.model->SaveLine(kAbe).written()); },
       3, kSeveralTodayMark, {"Carl", "Abe"}, {"Anna", "Carl"}},
      {"a save of another day", [](AppModelTest& t) { EXPECT_TRUE(t.model->SaveLine(kDora).written()); },
       2, kSeveralTodayMark, {"Carl", "Dora"}, {"Anna", "Carl"}},
      {"a delete", [](AppModelTest& t) { EXPECT_TRUE(t.model->DeleteLine(kCarl).written()); },
       1, 2 + kTodayMarkOffset, {}, {"Anna"}},
      {"another program adds", [](AppModelTest& t) { t.OtherProgramWrites({kAnna, kBob, kCarl}); t.model->Look(); },
       3, kSeveralTodayMark, {"Carl", "Bob"}, {"Anna", "Carl", "Bob"}},
      {"another program deletes", [](AppModelTest& t) { t.OtherProgramWrites({kAnna}); t.model->Look(); },
       1, 2 + kTodayMarkOffset, {}, {"Anna"}},
      {"a file that cannot be read keeps what is shown, then is read",
       [](AppModelTest& t) {
         t.OtherProgramWrites({kAnna});
         t.files.FailNext(FakeFileSystem::Op::kRead, "I/O error 32");
         t.model->Look();
         EXPECT_EQ(t.TodayTotal(), 2);
         EXPECT_EQ(t.ListedNames(), (std::vector<std::string>{"Anna", "Carl"}));
         t.model->Look();
       },
       1, 2 + kTodayMarkOffset, {}, {"Anna"}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    clock.Set(At(10, 0));
    Start({kAnna, kCarl});
    c.change(*this);
    ExpectAsAWholePass();
    EXPECT_EQ(TodayTotal(), c.todayTotal);
    EXPECT_EQ(TodayMark(), c.todayMark);
    // Anna's birthday is listed first each time: the rows after hers.
    std::vector<std::string> listed = ListedNames();
    std::erase(listed, "Anna");
    EXPECT_EQ(listed, c.listed);
    const std::size_t appended = files.appended.size();
    const int replaced = files.replaceCount;
    clock.Set(At(10, 31));
    model->Look();
    EXPECT_EQ(NoticeNames(), c.due);
    EXPECT_FALSE(updates.back().notices.balloon.empty());
    EXPECT_EQ(files.appended.size(), appended) << "nothing is written because of a look";
    EXPECT_EQ(files.replaceCount, replaced);
  }
}

TEST_F(AppModelTest, ALookAtAnUnchangedFileReadsNoContentAndTheFirstLookStartsAtTheStart) {
  clock.Set(At(10, 29));
  Start({kAnna});
  // The start took a minute: what fell due meanwhile still comes.
  clock.Set(At(10, 30));
  files.trace.clear();
  for (int i = 0; i < 4; ++i) {
    files.nowNs += 15'000'000'000;
    model->Look();
  }
  EXPECT_EQ(std::count(files.trace.begin(), files.trace.end(), FakeFileSystem::Op::kRead), 0);
  EXPECT_EQ(NoticeNames(), std::vector<std::string>{"Anna"});
  // A new day at a look: the calendar moves to it.
  clock.Set(At(0, 0, 15));
  model->Look();
  EXPECT_EQ(model->Calendar().TodayDate(), (CivilDate{2003, 2, 15}));
  EXPECT_EQ(TodayTotal(), 0);
}

TEST_F(AppModelTest, TheListWindowsCommandsAndTheEditorsOutcomes) {
  Start({kAnna, kCarl});
  const ListPresenter& list = model->List();
  EXPECT_EQ(list.HeadingText(), "Here are the events for February 14 2003");
  EXPECT_EQ(list.Fields().day, "14");

  // A kind's button: add mode, the fields keep what was typed, the
  // keyboard in the name field.
  EventRecord typed = list.Fields();
  typed.name = "Eve";
  typed.time = "00:71";
  model->ListCommand([&](ListPresenter& p) { return p.Add(2, typed); });
  EXPECT_TRUE(updates.back().list.nameFocus);
  EXPECT_EQ(list.Title(), "Add a birthday");
  EXPECT_TRUE(list.SaveShown() && list.DateChooserShown());
  EXPECT_EQ(list.Fields().name, "Eve");

  // "Only one time" excludes the others.
  typed.recurrence = {true, true, true, false};
  model->ListCommand([&](ListPresenter& p) { return p.CheckBox(4, typed); });
  EXPECT_FALSE(list.Fields().recurrence.eachYear || list.Fields().recurrence.eachMonth);

  const struct {
    const char* what;
    std::string time, day;
    ListOutcome::Kind kind;
    std::string message;
  } kSaves[] = {
      {"a time that is no time", "00:71", "14", ListOutcome::Kind::InputError, "'00:71' is not a valid time"},
      {"a day that is no day", "10:30", "30", ListOutcome::Kind::InputError, "'02/30/2003' is not a valid date"},
      {"written", "10:30", "14", ListOutcome::Kind::Written, ""},
      {"the same again", "10:30", "14", ListOutcome::Kind::Refused, std::string(EventList::kSameEventSaved)},
  };
  for (const auto& s : kSaves) {
    SCOPED_TRACE(s.what);
    typed.time = s.time;
    typed.day = s.day;
    const ListOutcome outcome = model->SaveEvent(typed);
    EXPECT_EQ(outcome.kind, s.kind);
    EXPECT_EQ(outcome.message, s.message);
    EXPECT_EQ(list.EditorShown(), s.kind != ListOutcome::Kind::Written);
    model->ListCommand([&](ListPresenter& p) { return p.Add(2, typed); });
  }
  // The saved row stands at the bottom, selected rows stay with their event.
  ASSERT_EQ(list.Rows().size(), 3u);
  EXPECT_EQ(list.Rows().back()[kNameColumn], "Eve");
  model->ListCommand([](ListPresenter& p) { return p.SelectLine(kCarl); });
  const int carl = list.SelectedRow();
  EXPECT_EQ(list.Rows()[static_cast<std::size_t>(carl)][kNameColumn], "Carl");

  // View and delete: the row's fields, read-only; a delete asks first.
  model->ListCommand([](ListPresenter& p) { return p.View(EditorMode::Delete); });
  EXPECT_EQ(list.Fields().name, "Carl");
  EXPECT_FALSE(list.Writable());
  EXPECT_EQ(list.ExitLeft(), kExitLeftWithSave);
  const ListOutcome asked = model->AskDelete(list.Fields());
  EXPECT_EQ(asked.kind, ListOutcome::Kind::Ask);
  EXPECT_EQ(asked.message, kDeleteQuestion);
  OtherProgramWrites({kAnna});  // gone meanwhile
  EXPECT_EQ(model->DeleteAsked().message, EventList::kEventGone);

  // Back to the calendar: the saved rows take their places.
  model->ListCommand([](ListPresenter& p) { return p.Closed(); });
  EXPECT_EQ(list.Rows().front()[kNameColumn], "Anna");
}

TEST_F(AppModelTest, ARuleOfTheRuleWindowIsSavedFromItsFirstDayListedInWordsAndDeleted) {
  Start({kAnna});
  const ListPresenter& list = model->List();
  EventRecord typed = list.Fields();
  typed.name = "Review";
  typed.day = "01";
  model->ListCommand([&](ListPresenter& p) { return p.Add(3, typed); });
  const RepeatRule second = {.unit = RuleUnit::kMonth, .on = RuleDay::kNthWeekday, .weekdays = 1u << 4, .ordinal = 2};
  model->ListCommand([&](ListPresenter& p) { return p.SetRule(second, typed); });
  EXPECT_EQ(list.RuleWords(), "the second Friday of each month");
  // A checked box takes the rule's place; the rule window's choice again.
  typed.recurrence.eachYear = true;
  model->ListCommand([&](ListPresenter& p) { return p.CheckBox(1, typed); });
  EXPECT_EQ(list.RuleWords(), "");
  model->ListCommand([&](ListPresenter& p) { return p.SetRule(second, typed); });
  EXPECT_FALSE(list.Fields().recurrence.eachYear);

  // Saved from 1 February on: its first day is Friday 14 February.
  ASSERT_EQ(model->SaveEvent(list.Fields()).kind, ListOutcome::Kind::Written);
  EXPECT_EQ(list.Rows().back()[kDateColumn], "02/14/2003");
  EXPECT_EQ(list.Rows().back()[kOnlyOnceColumn], "N");
  EXPECT_EQ(TodayTotal(), 2);
  ExpectAsAWholePass();
  const int saved = static_cast<int>(list.Rows().size()) - 1;
  model->ListCommand([&](ListPresenter& p) { return p.SelectRow(saved); });
  model->ListCommand([](ListPresenter& p) { return p.View(EditorMode::Delete); });
  EXPECT_EQ(list.RuleWords(), "the second Friday of each month");
  // A series listed on one of its days: which days is asked first.
  ASSERT_EQ(model->AskDelete(list.Fields()).kind, ListOutcome::Kind::AskSeries);
  EXPECT_EQ(model->SeriesChosen(SeriesScope::kEveryDay).kind, ListOutcome::Kind::Written);
  EXPECT_EQ(TodayTotal(), 1);
}

TEST_F(AppModelTest, RemindersStayThroughTheBoxesAndTheRuleWindowAreNoRuleInWordsAndAreSaved) {
  Start({kAnna});
  const ListPresenter& list = model->List();
  EventRecord typed = list.Fields();
  typed.name = "Review";
  model->ListCommand([&](ListPresenter& p) { return p.Add(3, typed); });
  const RepeatRule second = {.unit = RuleUnit::kMonth, .on = RuleDay::kNthWeekday, .weekdays = 1u << 4, .ordinal = 2};
  const std::string both = "reminders: 1 day and 15 minutes before";
  const struct {
    const char* what;
    std::function<ListRedraw(ListPresenter&)> command;
    std::vector<int> reminders;
    std::string ruleWords, reminderWords;
  } kSteps[] = {
      {"chosen: in order, none twice, none out of range",
       [&](ListPresenter& p) { return p.SetReminders({1440, 15, 15, 0, kMaxRemindMinutes + 1}, typed); }, {15, 1440},
       "", both},
      {"the rule window's rule", [&](ListPresenter& p) { return p.SetRule(second, typed); }, {15, 1440},
       "the second Friday of each month", both},
      {"a checked box", [&](ListPresenter& p) { typed.recurrence.eachYear = true; return p.CheckBox(1, typed); },
       {15, 1440}, "", both},
  };
  for (const auto& step : kSteps) {
    SCOPED_TRACE(step.what);
    model->ListCommand(step.command);
    EXPECT_EQ(list.Fields().rule.reminders, step.reminders);
    EXPECT_EQ(list.RuleWords(), step.ruleWords);
    EXPECT_EQ(list.ReminderWords(), step.reminderWords);
  }
  // Saved after column 110; viewed, a tail of reminders alone is no rule.
  ASSERT_EQ(model->SaveEvent(list.Fields()).kind, ListOutcome::Kind::Written);
  EXPECT_EQ(RuleTailOf(list.RowLines().back()), ";REMIND=15,1440");
  const int saved = static_cast<int>(list.Rows().size()) - 1;
  model->ListCommand([&](ListPresenter& p) { return p.SelectRow(saved); });
  model->ListCommand([](ListPresenter& p) { return p.View(EditorMode::View); });
  EXPECT_EQ(list.RuleWords(), "");
  EXPECT_EQ(list.ReminderWords(), both);
}

TEST(ReminderChoice, TheUsualTimesTheEventsOwnCheckedAndNoMoreThanTwenty) {
  std::vector<int> odd;  // 20 times ahead that are not usual ones
  for (int m = 1; odd.size() < 20; ++m)
    if (m % 5 != 0) odd.push_back(m);
  const struct {
    std::vector<int> current;
    bool checkAll;
    std::size_t boxes;
    std::string sixth;  // the caption of box 6
    std::string words;
    bool ok;
  } kRows[] = {
      {{}, false, 12, "1 &hour before", "Only the notice at the event's time", true},
      {{1440, 45}, false, 13, "45 minutes before", "Reminders: 1 day and 45 minutes before", true},
      {odd, true, 32, "&5 minutes before", "No more than 20 reminders: uncheck 11", false},
  };
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.words);
    std::vector<ReminderBox> boxes = ReminderBoxes(row.current);
    ASSERT_EQ(boxes.size(), row.boxes);
    EXPECT_EQ(boxes[0].caption, "At the time");
    EXPECT_EQ(boxes[5].caption, row.sixth);
    for (ReminderBox& box : boxes) box.checked |= row.checkAll;
    const ReminderOutcome outcome = ChosenReminders(boxes);
    EXPECT_EQ(outcome.words, row.words);
    EXPECT_EQ(outcome.ok, row.ok);
  }
}

// The event lines of the file, sorted: what a run of changes left.
std::vector<std::string> FileLines(const FakeFileSystem& files) {
  std::vector<std::string> lines;
  const std::string& bytes = files.files.at(kFile);
  for (std::size_t at = bytes.find("\r\n") + 2; at < bytes.size();) {
    const std::size_t end = bytes.find("\r\n", at);
    lines.push_back(bytes.substr(at, end - at));
    at = end + 2;
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

TEST_F(AppModelTest, ChangesInOneWriteAndAnyChangeOfTheRunTakenBackAndDoneAgain) {
  Start({kAnna, kBob});
  const ListPresenter& list = model->List();
  const auto view = [&](const std::string& line) {
    model->ListCommand([&](ListPresenter& p) { return p.SelectLine(line); });
    model->ListCommand([](ListPresenter& p) { return p.View(EditorMode::View); });
  };
  // Bob at 11:00 instead of 10:30, as a feest event.
  view(kBob);
  ASSERT_TRUE(list.ChangeShown());
  model->ListCommand([](ListPresenter& p) { return p.Change(); });
  EXPECT_EQ(list.Title(), "Change a other event");
  EventRecord typed = list.Fields();
  typed.time = "11:00";
  model->ListCommand([&](ListPresenter& p) { return p.Add(5, typed); });
  EXPECT_EQ(list.Title(), "Change a feest day");
  ASSERT_EQ(model->SaveEvent(typed).kind, ListOutcome::Kind::Written);
  std::string bob11 = AtTime(EventLine("02142003", EventCategory::kFeest, "NNYN", "Bob"), "11:00");
  EXPECT_EQ(FileLines(files), (std::vector<std::string>{kAnna, bob11}));
  EXPECT_EQ(list.Rows()[static_cast<std::size_t>(list.SelectedRow())][kTimeColumn], "11:00");
  ExpectAsAWholePass();

  // An unchanged save writes nothing; a change into another event's line
  // is the duplicate.
  view(bob11);
  model->ListCommand([](ListPresenter& p) { return p.Change(); });
  EXPECT_EQ(model->SaveEvent(list.Fields()).kind, ListOutcome::Kind::Nothing);
  view(bob11);
  model->ListCommand([](ListPresenter& p) { return p.Change(); });
  typed = list.Fields();
  model->ListCommand([&](ListPresenter& p) { return p.Add(2, typed); });
  typed.name = "Anna";
  typed.year = "1990";
  typed.time = "10:30";
  typed.recurrence = {.eachYear = true};
  EXPECT_EQ(model->SaveEvent(typed).message, EventList::kSameEventSaved);
  ASSERT_TRUE(model->DeleteLine(kAnna).written());
  ASSERT_TRUE(model->SaveLine(kCarl).written());

  // Back through the run and forward again, the file as it was each time.
  const std::vector<std::vector<std::string>> states = {
      {kCarl, bob11}, {bob11}, {kAnna, bob11}, {kAnna, kBob}};
  const std::vector<std::string> texts = {"Undo save of Carl", "Undo delete of Anna", "Undo change of Bob"};
  for (std::size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(model->UndoText(), texts[i]);
    ASSERT_TRUE(model->Undo().written()) << texts[i];
    EXPECT_EQ(FileLines(files), states[i + 1]);
  }
  EXPECT_EQ(model->UndoText(), "");
  EXPECT_EQ(model->RedoText(), "Redo change of Bob");
  ASSERT_TRUE(model->Redo().written());
  EXPECT_EQ(FileLines(files), states[2]);
  ExpectAsAWholePass();

  // Another program changes Bob: undoing the change is refused, unwritten.
  OtherProgramWrites({kAnna, kDora});
  const ListOutcome refused = model->Undo();
  EXPECT_EQ(refused.kind, ListOutcome::Kind::Refused);
  EXPECT_EQ(refused.message, "Bob was changed by an other program since: nothing was changed..");
  EXPECT_EQ(FileLines(files), (std::vector<std::string>{kAnna, kDora}));
  ExpectAsAWholePass();
}

TEST_F(AppModelTest, ADayOfASeriesIsAskedAboutThenChangedOrDeletedOnThatDayAlone) {
  // Fridays from 7 February, listed on Friday 14 February.
  const std::string fridays = AtTime(EventLine("02072003", EventCategory::kOther, "NNNY", "Gym"), "10:30")
                                  .replace(25, 3, "007");
  Start({fridays});
  const ListPresenter& list = model->List();
  model->ListCommand([&](ListPresenter& p) { return p.SelectLine(fridays); });
  model->ListCommand([](ListPresenter& p) { return p.View(EditorMode::View); });
  model->ListCommand([](ListPresenter& p) { return p.Change(); });
  EventRecord typed = list.Fields();
  typed.time = "18:00";
  const ListOutcome asked = model->SaveEvent(typed);
  ASSERT_EQ(asked.kind, ListOutcome::Kind::AskSeries);
  EXPECT_EQ(asked.message, "The event repeats. Change it on Friday 14 February 2003:");
  EXPECT_TRUE(model->SeriesChosen(SeriesScope::kOnlyThatDay).written());
  EXPECT_EQ(FileLines(files), (std::vector<std::string>{
                                  fridays + ";SKIP=20030214",
                                  AtTime(EventLine("02142003", EventCategory::kOther, "NNYN", "Gym"), "18:00")}));
  ExpectAsAWholePass();
  // The changed day stays selected; a cancelled question writes nothing.
  EXPECT_EQ(list.Rows()[static_cast<std::size_t>(list.SelectedRow())][kTimeColumn], "18:00");
  model->ListCommand([&](ListPresenter& p) { return p.SelectLine(fridays + ";SKIP=20030214"); });
  EXPECT_EQ(model->SeriesChosen(std::nullopt).kind, ListOutcome::Kind::Nothing);
  const std::vector<std::string> split = FileLines(files);
  ASSERT_EQ(split.size(), 2u);
  // The split is taken back and done again, each in one write.
  EXPECT_EQ(model->UndoText(), "Undo change of Gym");
  ASSERT_TRUE(model->Undo().written());
  EXPECT_EQ(FileLines(files), std::vector<std::string>{fridays});
  ASSERT_TRUE(model->Redo().written());
  EXPECT_EQ(FileLines(files), split);
  ExpectAsAWholePass();
}

}  // namespace
}  // namespace redoviri
