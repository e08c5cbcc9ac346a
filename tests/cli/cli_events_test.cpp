#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "base/clock.h"
#include "base/locale.h"
#include "support/cli_run.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace redoviri::cli {
namespace {

namespace fs = std::filesystem;
using testing::RunTool;

constexpr const char* kNewFileLine = "Redoviri by DUZOVU event file";

std::string Padded(std::string_view text, std::size_t width) {
  std::string out(text);
  out.resize(width, ' ');
  return out;
}

// An event line written out by hand: date "mmddyyyy", flags "YNNN" for each
// year, each month, only once and each N days.
std::string Line(std::string_view date, std::string_view time, char category, std::string_view flags,
                 std::string_view count, std::string_view name, std::string_view comment = "") {
  std::string line = std::string(date) + ';' + std::string(time) + ';' + category;
  for (const char flag : flags) line += std::string(";") + flag;
  return line + ';' + std::string(count) + ';' + Padded(name, 30) + ';' + Padded(comment, 50);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
    fields.push_back(line.substr(start, tab - start));
  }
  fields.push_back(line.substr(start));
  return fields;
}

// The small store most cases read (in the file's order, not the store's).
const std::string kAnn = Line("05101990", "08:30", '2', "YNNN", "000", "Ann; Bo");
const std::string kAudit = Line("05102003", "09:00", '3', "NNYN", "000", "Audit", "q2 report");
const std::string kBob = Line("05201995", "07:00", '2', "YNNN", "000", "Bob");
const std::string kFair = Line("05152003", "10:00", '5', "NNNY", "007", "Fair", "every week");
// Its trailing blanks stripped by an editor: it still falls on 20 May 2003.
const std::string kShort = "05202003;12:00;1;N;N;Y;N;000;Short";
const std::string kApril31 = Line("04312003", "12:00", '1', "YYYY", "001", "April 31");

class CliEventsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    dir_ = fs::temp_directory_path() / ("redoviri_cli_events_" + std::to_string(random()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }

  static void Write(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    ASSERT_TRUE(out.good()) << path;
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  // An event file with a reserved line and the given event lines.
  std::string StoreFile(const std::vector<std::string>& lines) {
    const std::string path = PathOf("Redoviri.ini");
    std::string bytes = "reserved line\r\n";
    for (const std::string& line : lines) bytes += line + "\r\n";
    Write(path, bytes);
    return path;
  }
  std::string SmallStore() { return StoreFile({kAnn, kAudit, kBob, kFair, kShort, kApril31}); }

 private:
  fs::path dir_;
};

// A command that must succeed, with nothing on the error stream.
std::string Ok(const Args& args) {
  const auto r = RunTool(args);
  EXPECT_EQ(r.code, kOk) << r.err;
  EXPECT_EQ(r.err, "");
  return r.out;
}

TEST_F(CliEventsTest, ListShowsTheStoreLinesAsHeld) {
  const std::string file = SmallStore();
  // Store order; trailing blanks, the short line and the impossible date kept.
  EXPECT_EQ(Ok({"list", "--file", file}),
            kApril31 + "\n" + kAnn + "\n" + kAudit + "\n" + kFair + "\n" + kBob + "\n" + kShort + "\n");

  const std::string missing = PathOf("none/Redoviri.ini");
  EXPECT_EQ(Ok({"list", "--file", missing}), "");
  EXPECT_FALSE(fs::exists(missing));
}

TEST_F(CliEventsTest, MonthShowsCellsMarksMoonAndHints) {
  const std::string file = SmallStore();
  const auto lines = Lines(Ok({"month", "2003-05", "--file", file, "--today", "2003-05-20"}));
  ASSERT_EQ(lines.size(), 37u);
  // 1 May 2003 is a Thursday: cell 4. Cell k is on line k.
  const auto cell = [&](int k) { return Fields(lines[static_cast<std::size_t>(k - 1)]); };
  for (int k = 1; k <= 37; ++k) {
    const auto f = cell(k);
    ASSERT_EQ(f.size(), 6u) << lines[static_cast<std::size_t>(k - 1)];
    EXPECT_EQ(f[0], std::to_string(k));
    EXPECT_EQ(f[1], k >= 4 && k <= 34 ? std::to_string(k - 3) : "");
  }
  EXPECT_EQ(cell(1), (std::vector<std::string>{"1", "", "0", "0", "normal", ""}));
  // Two events on the 10th: the several-events mark, both in store order.
  EXPECT_EQ(cell(13), (std::vector<std::string>{"13", "10", "14", "0", "normal", " birthday : Ann; Bo, work : Audit,"}));
  // The each-7-days event from the 15th on.
  EXPECT_EQ(cell(18), (std::vector<std::string>{"18", "15", "5", "0", "normal", " feest : Fair,"}));
  EXPECT_EQ(cell(25)[2], "5");
  EXPECT_EQ(cell(32)[2], "5");
  EXPECT_EQ(cell(11)[2], "0");
  // Today's cell: the birthday and the short line of the same day, with the
  // today picture of several events.
  EXPECT_EQ(cell(23), (std::vector<std::string>{"23", "20", "13", "0", "today", " birthday : Bob, lovely : Short,"}));
  for (int k = 1; k <= 37; ++k) {
    if (k != 23) {
      EXPECT_EQ(cell(k)[4], "normal") << k;
    }
  }
  // New moon on the 1st and the 30th, full moon on the 16th (the night of
  // the lunar eclipse); the 31st follows a marked day and is not marked.
  std::vector<int> moonCells;
  for (int k = 1; k <= 37; ++k) {
    if (cell(k)[3] != "0") moonCells.push_back(k);
  }
  EXPECT_EQ(moonCells, (std::vector<int>{4, 19, 33}));
  EXPECT_EQ(cell(4)[3], "1");
  EXPECT_EQ(cell(19)[3], "2");
  EXPECT_EQ(cell(33)[3], "1");
}

TEST_F(CliEventsTest, MonthTodayMarksFollowTheTodayCell) {
  const std::string file = SmallStore();
  // Several events on today's cell.
  auto lines = Lines(Ok({"month", "2003-05", "--file", file, "--today", "2003-05-10"}));
  ASSERT_EQ(lines.size(), 37u);
  EXPECT_EQ(Fields(lines[12]), (std::vector<std::string>{"13", "10", "13", "0", "today",
                                                         " birthday : Ann; Bo, work : Audit,"}));
  EXPECT_EQ(Fields(lines[22])[2], "14");

  // Today in another month: no today cell, only the ordinary pictures.
  lines = Lines(Ok({"month", "2003-05", "--file", file, "--today", "2004-05-10"}));
  ASSERT_EQ(lines.size(), 37u);
  for (const std::string& line : lines) EXPECT_EQ(Fields(line)[4], "normal") << line;
  EXPECT_EQ(Fields(lines[12])[2], "14");

  // Without --today the system date is today.
  const CivilDate now = SystemClock().Now().date;
  char month[8];
  std::snprintf(month, sizeof month, "%04d-%02d", now.year, now.month);
  lines = Lines(Ok({"month", month, "--file", file}));
  ASSERT_EQ(lines.size(), 37u);
  const auto today = std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
    const auto f = Fields(line);
    return f[4] == "today" && f[1] == std::to_string(now.day);
  });
  const auto anyToday = std::count_if(lines.begin(), lines.end(),
                                      [](const std::string& line) { return Fields(line)[4] == "today"; });
  EXPECT_EQ(today, 1);
  EXPECT_EQ(anyToday, 1);
}

TEST_F(CliEventsTest, DayListsRowsAndCounts) {
  const std::string file = SmallStore();
  EXPECT_EQ(Ok({"day", "2003-05-10", "--file", file, "--order", "mdy"}),
            "Ann; Bo\t05/10/1990\t08:30\tbirthday\t\tY\tN\tN\tN\t000\n"
            "Audit\t05/10/2003\t09:00\twork/business\tq2 report\tN\tN\tY\tN\t000\n"
            "counts\t0\t1\t1\t0\t0\t0\n");
  EXPECT_EQ(Ok({"day", "2003-05-22", "--file", file, "--order", "dmy"}),
            "Fair\t15/05/2003\t10:00\tfeest\tevery week\tN\tN\tN\tY\t007\n"
            "counts\t0\t0\t0\t0\t1\t0\n");
  // The short line of the 20th is listed like the others.
  EXPECT_EQ(Ok({"day", "2003-05-20", "--file", file, "--order", "dmy"}),
            "Bob\t20/05/1995\t07:00\tbirthday\t\tY\tN\tN\tN\t000\n"
            "Short\t20/05/2003\t12:00\tlovely\t\tN\tN\tY\tN\t000\n"
            "counts\t1\t1\t0\t0\t0\t0\n");
  EXPECT_EQ(Ok({"day", "2003-05-21", "--file", file}), "counts\t0\t0\t0\t0\t0\t0\n");
  // The locale's order when none is given.
  EXPECT_EQ(Ok({"day", "2003-05-10", "--file", file}),
            Ok({"day", "2003-05-10", "--file", file, "--order", UserDateLocale().IsMonthFirst() ? "mdy" : "dmy"}));
}

TEST_F(CliEventsTest, DayKeepsItsFieldsApartFromTabsInAHandEditedLine) {
  const std::string file = StoreFile({Line("05102003", "09:00", '6', "NNYN", "000", "Tab\there", "a\tb")});
  EXPECT_EQ(Ok({"day", "2003-05-10", "--file", file, "--order", "mdy"}),
            "Tab here\t05/10/2003\t09:00\tother\ta b\tN\tN\tY\tN\t000\ncounts\t0\t0\t0\t0\t0\t1\n");
}

TEST_F(CliEventsTest, TodayGivesTooltipCountsAndBlinking) {
  const std::string file = SmallStore();
  EXPECT_EQ(Ok({"today", "--file", file, "--date", "2003-05-10"}),
            "Today : 1 birth. 1 work. \n"
            "counts\t0\t1\t1\t0\t0\t0\t2\n"
            "blink\tday birthday day work day day day birthday day work day day\n");
  EXPECT_EQ(Ok({"today", "--file", file, "--date", "2003-05-11"}),
            "Well, no event for today...\ncounts\t0\t0\t0\t0\t0\t0\t0\nblink\tnone\n");
  EXPECT_EQ(Ok({"today", "--file", PathOf("missing.ini"), "--date", "2003-05-10"}),
            "Well, no event for today...\ncounts\t0\t0\t0\t0\t0\t0\t0\nblink\tnone\n");
}

TEST_F(CliEventsTest, TodayWithEveryCategoryShowsTheWholeTooltip) {
  std::vector<std::string> lines;
  for (char c = '1'; c <= '6'; ++c) lines.push_back(Line("01012000", "10:00", c, "NYNN", "000", "e"));
  lines.push_back(Line("01012000", "11:00", '2', "YYNN", "000", "twice a match, once counted"));
  const std::string file = StoreFile(lines);
  // The last event falls on New Year's day by two rules.
  const auto out = Lines(Ok({"today", "--file", file, "--date", "2003-01-01"}));
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[0], "Today : 1 lovely. 2 birth. 1 work. 1 rel/off. 1 feest. 1 other. ");
  EXPECT_GT(out[0].size(), 62u);
  EXPECT_EQ(out[1], "counts\t1\t2\t1\t1\t1\t1\t7");
  EXPECT_EQ(out[2], "blink\tday lovely day birthday day work day religion day feest day other");
}

TEST_F(CliEventsTest, AddListDeleteRoundTrip) {
  const std::string file = PathOf("new/folder/Redoviri.ini");
  const std::string ann = "05101990;08:30;2;Y;N;N;N;000;" + Padded("Ann", 30) + ";" + Padded("cake; candles", 50);
  const std::string standup = "01022003;09:15;3;N;Y;N;Y;014;" + Padded("Stand up; daily", 30) + ";" + Padded("", 50);

  EXPECT_EQ(Ok({"add", "--file", file, "--category", "2", "--date", "1990-05-10", "--time", "08:30", "--name", " Ann  ",
                "--comment", "cake; candles", "--each-year"}),
            ann + "\n");
  EXPECT_EQ(Read(file), std::string(kNewFileLine) + "\r\n" + ann + "\r\n");
  EXPECT_EQ(Ok({"add", "--file", file, "--category", "3", "--date", "2003-01-02", "--time", "09:15", "--name",
                "Stand up; daily", "--every", "14", "--each-month"}),
            standup + "\n");
  // Appended in the order of saving; listed in the store's order.
  EXPECT_EQ(Read(file), std::string(kNewFileLine) + "\r\n" + ann + "\r\n" + standup + "\r\n");
  EXPECT_EQ(Ok({"list", "--file", file}), standup + "\n" + ann + "\n");

  EXPECT_EQ(Ok({"delete", "--file", file, "--category", "2", "--date", "1990-05-10", "--time", "08:30", "--name",
                "Ann", "--comment", "cake; candles", "--each-year"}),
            ann + "\n");
  EXPECT_EQ(Read(file), std::string(kNewFileLine) + "\r\n" + standup + "\r\n");
  EXPECT_EQ(Ok({"delete", "--file", file, "--category", "3", "--date", "2003-01-02", "--time", "09:15", "--name",
                "Stand up; daily", "--each-month", "--every", "14"}),
            standup + "\n");
  EXPECT_EQ(Read(file), std::string(kNewFileLine) + "\r\n");
  EXPECT_EQ(Ok({"list", "--file", file}), "");
}

TEST_F(CliEventsTest, ARuleIsAddedFromItsFirstDayDeletedWholeAndAnUnreadableTailReported) {
  const std::string file = StoreFile({kBob});
  const Args team = {"--file", file, "--category", "3", "--date", "2027-01-01", "--time", "10:00", "--name", "Team",
                     "--nth", "2", "--weekday", "tue", "--times", "3"};
  const std::string line = "01122027;10:00;3;N;N;Y;N;000;" + Padded("Team", 30) + ";" + Padded("", 50) +
                           ";EVERY=1M;ON=2TU;UNTIL=20270309";
  Args add = team, remove = team;
  add.insert(add.begin(), "add");
  remove.insert(remove.begin(), "delete");
  EXPECT_EQ(Ok(add), line + "\n");
  EXPECT_EQ(RunTool(add).code, kRefused);
  // The same first 110 columns with another end are another event.
  Args longer = remove;
  longer.back() = "4";
  EXPECT_EQ(RunTool(longer).code, kRefused);
  EXPECT_EQ(Ok(remove), line + "\n");

  const std::string damaged = kBob.substr(0, 110) + ";EVERY=1M;ON=5TU";
  const std::string checked = StoreFile({damaged});
  const auto r = RunTool({"list", "--file", checked, "--check"});
  EXPECT_EQ(r.code, kRefused);
  EXPECT_EQ(r.out, damaged + "\n");
  EXPECT_EQ(r.err, "unreadable tail\tON=5TU\t" + damaged + "\n");
}

TEST_F(CliEventsTest, ChangeAndDeleteOfAnEventOrOfOneDayOfASeries) {
  const std::string file = StoreFile({kBob, kBob});
  const Args bob = {"--file", file, "--category", "2", "--date", "1995-05-20", "--time", "07:00", "--name", "Bob",
                    "--each-year"};
  const auto with = [&](const char* command, Args more) {
    Args args = bob;
    args.insert(args.begin(), command);
    args.insert(args.end(), more.begin(), more.end());
    return args;
  };
  // Two equal lines: which one is meant cannot be told.
  EXPECT_EQ(RunTool(with("change", {"--new-time", "08:00"})).err,
            "redoviri-cli: change: there are 2 such events saved\n");
  ASSERT_EQ(RunTool(with("delete", {})).code, kOk);
  // Only 20 May 2003: the series skips it, the day stands alone at 08:00.
  const std::string skipped = kBob + ";SKIP=20030520";
  const std::string single = Line("05202003", "08:00", '2', "NNYN", "000", "Bob");
  EXPECT_EQ(Ok(with("change", {"--new-time", "08:00", "--only-on", "2003-05-20"})),
            kBob + "\n" + skipped + "\n" + single + "\n");
  EXPECT_EQ(Read(file), "reserved line\r\n" + skipped + "\r\n" + single + "\r\n");
  EXPECT_EQ(RunTool(with("delete", {"--skip", "2003-05-20", "--from", "2003-05-21"})).err,
            "redoviri-cli: delete: the event does not fall on 2003-05-21\n");
  ASSERT_EQ(RunTool(with("delete", {"--skip", "2003-05-20", "--from", "2010-05-20"})).code, kOk);
  EXPECT_EQ(Read(file), "reserved line\r\n" + kBob + ";UNTIL=20100519;SKIP=20030520\r\n" + single + "\r\n");
}

// Reminders through add and change; the coming week: a day event, a timed one, a weekly rule, February's end.
TEST_F(CliEventsTest, RemindersRoundTripAndComeInTimeOrder) {
  const std::string file = StoreFile({Line("03022027", "  :  ", '2', "YNNN", "000", "Anna") + ";REMIND=1440",
                                      Line("03012027", "09:00", '3', "NNNY", "007", "Team") + ";EVERY=1W;ON=MO,TH;REMIND=120",
                                      Line("02282027", "18:00", '6', "NNYN", "000", "Rent") + ";EVERY=1M;ON=LASTDAY;REMIND=2520"});
  const std::string once = Line("03012027", "10:30", '3', "NNYN", "000", "Dentist");
  EXPECT_EQ(Ok({"add", "--file", file, "--category", "3", "--date", "2027-03-01", "--time", "10:30", "--name", "Dentist",
                "--once", "--remind", "1w,15,15m"}), once + ";REMIND=15,10080\n");
  EXPECT_EQ(Ok({"change", "--file", file, "--category", "3", "--date", "2027-03-01", "--time", "10:30", "--name", "Dentist",
                "--once", "--remind", "15m,7d", "--new-remind", "15m"}), once + ";REMIND=15,10080\n" + once + ";REMIND=15\n");
  ASSERT_EQ(RunTool({"change", "--file", file, "--category", "3", "--date", "2027-03-01", "--time", "09:00", "--name", "Team",
                     "--weekdays", "mon,thu", "--remind", "2h", "--new-time", "08:00", "--only-on", "2027-03-04"}).code, kOk);
  EXPECT_EQ(Ok({"upcoming", "--file", file, "--from", "2027-02-27", "--days", "6"}),
            "2027-02-27 00:00\treminder\t2027-02-28\t18:00\tother\tRent\ttomorrow (18:00)\n"
            "2027-02-28 18:00\tevent\t2027-02-28\t18:00\tother\tRent\t\n"
            "2027-03-01 07:00\treminder\t2027-03-01\t09:00\twork/business\tTeam\tin 2 h (09:00)\n"
            "2027-03-01 09:00\tevent\t2027-03-01\t09:00\twork/business\tTeam\t\n"
            "2027-03-01 09:00\treminder\t2027-03-02\tday\tbirthday\tAnna\ttomorrow\n"
            "2027-03-01 10:15\treminder\t2027-03-01\t10:30\twork/business\tDentist\tin 15 min (10:30)\n"
            "2027-03-01 10:30\tevent\t2027-03-01\t10:30\twork/business\tDentist\t\n"
            "2027-03-02 09:00\tevent\t2027-03-02\tday\tbirthday\tAnna\ttoday\n"
            "2027-03-04 06:00\treminder\t2027-03-04\t08:00\twork/business\tTeam\tin 2 h (08:00)\n"
            "2027-03-04 08:00\tevent\t2027-03-04\t08:00\twork/business\tTeam\t\n");
  EXPECT_EQ(Ok({"upcoming", "--file", file, "--from", "2027-02-26", "--days", "1"}), "");  // not 27 February's 00:00
}

TEST_F(CliEventsTest, AddKeepsTheReservedLineAndBuildsEveryRecurrence) {
  const std::string file = StoreFile({kBob});
  const std::string once = "12312003;23:59;6;N;N;Y;N;000;" + Padded("New year's eve", 30) + ";" + Padded("", 50);
  EXPECT_EQ(Ok({"add", "--file", file, "--once", "--category", "6", "--date", "2003-12-31", "--time", "23:59",
                "--name", "New year's eve"}),
            once + "\n");
  const std::string none = "02292004;00:00;1;N;N;N;N;000;" + Padded("", 30) + ";" + Padded("", 50);
  EXPECT_EQ(Ok({"add", "--file", file, "--category", "1", "--date", "2004-02-29", "--time", "00:00", "--name", ""}),
            none + "\n");
  EXPECT_EQ(Read(file), "reserved line\r\n" + kBob + "\r\n" + once + "\r\n" + none + "\r\n");
}

TEST_F(CliEventsTest, AddIntoAnEmptyFileKeepsTheEvent) {
  // An empty file's reserved line is empty: it is written before the event,
  // so the event is not taken for the reserved line.
  const std::string file = PathOf("Redoviri.ini");
  Write(file, "");
  const Args anna = {"add",    "--file", file,   "--category", "2",          "--date",
                     "2003-03-15", "--time", "09:00", "--name",  "Anna", "--each-year"};
  const std::string line = Ok(anna);
  EXPECT_EQ(Ok({"list", "--file", file}), line);
  EXPECT_EQ(Read(file), "\r\n" + line.substr(0, line.size() - 1) + "\r\n");
  EXPECT_EQ(RunTool(anna).code, kRefused);
}

// An event without a time (the editor's cleared field, an all-day import)
// is added and deleted with --time none.
TEST_F(CliEventsTest, TimeNoneIsTheEmptyTimeField) {
  const std::string allDay = Line("05102003", "  :  ", '2', "YNNN", "000", "All day");
  const std::string file = StoreFile({allDay});
  const Args fields = {"--category", "2", "--date", "2003-05-10", "--time", "none", "--name", "All day", "--each-year"};
  const auto with = [&](std::string command) {
    Args args = {std::move(command), "--file", file};
    args.insert(args.end(), fields.begin(), fields.end());
    return args;
  };
  EXPECT_EQ(RunTool(with("add")).code, kRefused);  // the same event
  EXPECT_EQ(Ok(with("delete")), allDay + "\n");
  EXPECT_EQ(Ok({"list", "--file", file}), "");
  EXPECT_EQ(Ok(with("add")), allDay + "\n");
  // "00:00" is a time: another event.
  Args midnight = with("delete");
  midnight[8] = "00:00";
  EXPECT_EQ(RunTool(midnight).code, kRefused);
}

#ifndef _WIN32
// The native tool's arguments are UTF-8; the file holds Windows-1252, as
// the program writes it and import-ics converts to it.
TEST_F(CliEventsTest, TextArgumentsAreStoredInTheFilesCodePage) {
  const std::string imported = Line("05102003", "09:00", '2', "YNNN", "000", "Zo\xEB");
  const std::string file = StoreFile({imported});
  const auto event = [&](std::string command, std::string name) {
    return Args{std::move(command), "--file", file, "--category", "2", "--date", "2003-05-10",
                "--time", "09:00", "--name", std::move(name), "--each-year"};
  };
  EXPECT_EQ(Ok(event("delete", "Zo\xC3\xAB")), imported + "\n");
  // Thirty letters of two UTF-8 bytes each fill the name field exactly.
  std::string e30;
  for (int i = 0; i < 30; ++i) e30 += "\xC3\xA9";
  EXPECT_EQ(Ok(event("add", e30 + "x")), Line("05102003", "09:00", '2', "YNNN", "000", std::string(30, '\xE9')) + "\n");
  EXPECT_EQ(Ok(event("add", "\xE2\x82\xAC")), Line("05102003", "09:00", '2', "YNNN", "000", "\x80") + "\n");
  for (const char* refused : {"\xE6\x97\xA5", "Zo\xEB"}) {  // a letter Windows-1252 lacks; not UTF-8
    const auto r = RunTool(event("add", refused));
    EXPECT_EQ(r.code, kBadInput);
    EXPECT_NE(r.err.find("--name holds 1 character(s) the event file's code page (Windows-1252) cannot hold"),
              std::string::npos)
        << r.err;
  }
}
#endif

TEST_F(CliEventsTest, DeleteFindsALineWhoseBlanksWereStripped) {
  const std::string stripped = kBob.substr(0, kBob.find_last_not_of(' ') + 1);
  const std::string file = StoreFile({kAnn, stripped});
  const Args bob = {"add", "--file", file, "--category", "2", "--date", "1995-05-20", "--time", "07:00",
                    "--name", "Bob", "--each-year"};
  EXPECT_EQ(RunTool(bob).code, kRefused);
  Args del = bob;
  del[0] = "delete";
  EXPECT_EQ(Ok(del), stripped + "\n");
  EXPECT_EQ(Read(file), "reserved line\r\n" + kAnn + "\r\n");
}

TEST_F(CliEventsTest, AddRefusesTheSameEvent) {
  const std::string file = StoreFile({kAnn, kAudit});
  const std::string before = Read(file);
  const Args audit = {"add",    "--file", file,   "--category", "3",    "--date",    "2003-05-10",
                      "--time", "09:00",  "--name", "Audit",    "--once", "--comment", "q2 report"};
  const auto r = RunTool(audit);
  EXPECT_EQ(r.code, kRefused);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "redoviri-cli: add: There is the same event already saved..\n");
  EXPECT_EQ(Read(file), before);

  // Another comment makes another event.
  Args other = audit;
  other.back() = "q3 report";
  EXPECT_EQ(Ok(other), kAudit.substr(0, 60) + Padded("q3 report", 50) + "\n");
}

TEST_F(CliEventsTest, DeleteRemovesTheFirstEqualLineOnly) {
  const std::string file = StoreFile({kBob, kAudit, kBob});
  EXPECT_EQ(Ok({"delete", "--file", file, "--category", "2", "--date", "1995-05-20", "--time", "07:00", "--name", "Bob",
                "--each-year"}),
            kBob + "\n");
  // Rewritten in the store's order, reserved line first.
  EXPECT_EQ(Read(file), "reserved line\r\n" + kAudit + "\r\n" + kBob + "\r\n");
}

TEST_F(CliEventsTest, DeleteOfAnEventThatIsNotThereIsRefused) {
  const std::string file = StoreFile({kAnn, kAudit});
  const std::string before = Read(file);
  // Only the time differs from a stored event.
  const Args audit = {"delete", "--file", file,   "--category", "3",    "--date",    "2003-05-10",
                      "--time", "09:01",  "--name", "Audit",    "--once", "--comment", "q2 report"};
  auto r = RunTool(audit);
  EXPECT_EQ(r.code, kRefused);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "redoviri-cli: delete: there is no such event saved\n");
  EXPECT_EQ(Read(file), before);

  Args noFile = audit;
  noFile[2] = PathOf("missing.ini");
  r = RunTool(noFile);
  EXPECT_EQ(r.code, kRefused);
  EXPECT_FALSE(fs::exists(noFile[2]));
}

TEST_F(CliEventsTest, BadInputIsRefusedWithOneLine) {
  const std::string f = SmallStore();
  const std::string before = Read(f);
  const Args add = {"add", "--file", f, "--category", "1", "--date", "2003-05-10", "--time", "08:30", "--name", "x"};
  const auto with = [](Args args, const Args& more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
  };
  // An add with one option's value replaced.
  const auto changed = [&](const std::string& option, const std::string& value) {
    Args args = add;
    *(std::find(args.begin(), args.end(), option) + 1) = value;
    return args;
  };
  const Args addWithoutFile = {"add", "--category", "1", "--date", "2003-05-10", "--time", "08:30", "--name", "x"};
  Args deleteBadDate = changed("--date", "2003-02-29");
  deleteBadDate[0] = "delete";

  const std::string notReminder = "' is not a valid reminder (1 minute to 4 weeks: 15m, 2h, 1d, 1w or minutes)";
  const std::string twentyOne = "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21";
  const std::pair<Args, std::string> cases[] = {
      {{"list"}, "list: missing --file PATH"},
      {{"list", "--file", ""}, "list: missing --file PATH"},
      {{"month", "2003-05"}, "month: missing --file PATH"},
      {{"day", "2003-05-10"}, "day: missing --file PATH"},
      {{"today", "--date", "2003-05-10"}, "today: missing --file PATH"},
      {addWithoutFile, "add: missing --file PATH"},
      {{"delete"}, "delete: missing --file PATH"},
      {{"list", "--file"}, "list: --file needs a value"},
      {{"list", "--file", f, "--file", f}, "list: --file given twice"},
      {{"list", "--file", f, "--verbose"}, "list: unknown option '--verbose'"},
      {{"list", "--file", f, "all"}, "list: unexpected argument 'all'"},
      {{"month", "--file", f}, "month: missing month (YYYY-MM)"},
      {{"month", "2003-13", "--file", f}, "month: '2003-13': the month must be 01..12"},
      {{"month", "2003-5", "--file", f}, "month: '2003-5': expected YYYY-MM"},
      {{"month", "2003-05", "2003-06", "--file", f}, "month: unexpected argument '2003-06'"},
      {{"month", "2003-05", "--file", f, "--today", "2003-02-29"}, "month: '2003-02-29': no such date"},
      {{"day", "2003-02-29", "--file", f}, "day: '2003-02-29': no such date"},
      {{"day", "2003-13-01", "--file", f}, "day: '2003-13-01': the month must be 01..12"},
      {{"day", "abcd-ef-gh", "--file", f}, "day: 'abcd-ef-gh': expected YYYY-MM-DD"},
      {{"day", "0000-01-01", "--file", f}, "day: '0000-01-01': the year must be 0001..9999"},
      // The astro command's time of day is not part of an event date.
      {{"day", "2003-05-10T12:00", "--file", f}, "day: '2003-05-10T12:00': expected YYYY-MM-DD"},
      {{"day", "2003-05-10", "--file", f, "--order", "ymd"}, "day: 'ymd' is not a valid order (mdy or dmy)"},
      {{"day", "2003-05-10", "--file", f, "-o"}, "day: unknown option '-o'"},
      {{"today", "--file", f, "--date", "2003-13-01"}, "today: '2003-13-01': the month must be 01..12"},
      {changed("--category", "7"), "add: '7' is not a valid category (1..6)"},
      {changed("--category", "0"), "add: '0' is not a valid category (1..6)"},
      {changed("--category", "12"), "add: '12' is not a valid category (1..6)"},
      {changed("--category", "b"), "add: 'b' is not a valid category (1..6)"},
      {changed("--date", "2003-02-29"), "add: '2003-02-29' is not a valid date"},
      {changed("--date", "2003-13-01"), "add: '2003-13-01' is not a valid date"},
      {changed("--date", "10/05/2003"), "add: '10/05/2003' is not a valid date"},
      {changed("--time", "24:00"), "add: '24:00' is not a valid time"},
      {changed("--time", "08:60"), "add: '08:60' is not a valid time"},
      {changed("--time", "8:30"), "add: '8:30' is not a valid time"},
      {changed("--time", "ab:cd"), "add: 'ab:cd' is not a valid time"},
      {changed("--time", "08:30:00"), "add: '08:30:00' is not a valid time"},
      {changed("--name", "two\tparts"), "add: --name holds a control character"},
      {with(add, {"--comment", "line\nbreak"}), "add: --comment holds a control character"},
      {with(add, {"--once", "--each-year"}), "add: --once cannot be combined with --each-year, --each-month or --every"},
      {with(add, {"--each-month", "--once"}),
       "add: --once cannot be combined with --each-year, --each-month or --every"},
      {with(add, {"--once", "--every", "3"}),
       "add: --once cannot be combined with --each-year, --each-month or --every"},
      {with(add, {"--every", "abc"}), "add: 'abc' is not a valid integer value"},
      {with(add, {"--every", "1000"}), "add: '1000' is not a valid day count (0..999)"},
      // A message stays on one line whatever it quotes.
      {with(add, {"--every", "1\n2"}), "add: '1?2' is not a valid integer value"},
      {{"list", "--file", f, "--x\ry"}, "list: unknown option '--x?y'"},
      {with(add, {"--each-year", "--each-year"}), "add: --each-year given twice"},
      {{"add", "--file", f, "--category", "1", "--date", "2003-05-10", "--time", "08:30"}, "add: missing --name TEXT"},
      {{"add", "--file", f, "--date", "2003-05-10", "--time", "08:30", "--name", "x"}, "add: missing --category 1..6"},
      {{"add", "--file", f, "--category", "1", "--time", "08:30", "--name", "x"}, "add: missing --date YYYY-MM-DD"},
      {{"add", "--file", f, "--category", "1", "--date", "2003-05-10", "--name", "x"}, "add: missing --time hh:nn or none"},
      {deleteBadDate, "delete: '2003-02-29' is not a valid date"},
      {with(add, {"--nth", "5", "--weekday", "tue"}), "add: '5' is not a valid nth (1..4)"},
      {with(add, {"--nth", "2", "--weekday", "tux"}), "add: 'tux' is not a valid weekday"},
      {with(add, {"--nth", "2"}), "add: missing --weekday mon..sun"},
      {with(add, {"--weekdays", "fri-mon"}), "add: 'fri-mon' is not a valid list of weekdays"},
      {with(add, {"--every-weeks", "53"}), "add: '53' is not a valid every-weeks (1..52)"},
      {with(add, {"--last-day", "--weekdays", "mon"}), "add: only one rule of " + std::string(
           "--nth, --last-day, --first-workday, --last-workday, --weekdays, --every-weeks, --every-months, --every-years")},
      {with(add, {"--last-day", "--each-year"}), "add: --each-year, --each-month, --once and --every cannot be combined "
                                                  "with a rule of --nth, --last-day, --first-workday, --last-workday, "
                                                  "--weekdays, --every-weeks, --every-months, --every-years"},
      {with(add, {"--every-months", "2", "--until", "2003-05-01"}),
       "add: The event would fall on no day: its end is before its first day"},
      {with(add, {"--remind", "15m,0"}), "add: '0" + notReminder},
      {with(add, {"--remind", "4w,40321"}), "add: '40321" + notReminder},
      {with(add, {"--remind", "99999999999w"}), "add: '99999999999w" + notReminder},
      {with(add, {"--remind", "15m,"}), "add: '" + notReminder},
      {with(add, {"--remind", twentyOne}), "add: '" + twentyOne + "' holds more than 20 reminders"},
      {{"upcoming", "--file", f, "--days", "367"}, "upcoming: '367' is not a valid number of days (1..366)"},
      {with(add, {"--times", "3"}), "add: --times goes with a rule of --nth, --last-day, --first-workday, "
                                    "--last-workday, --weekdays, --every-weeks, --every-months, --every-years"},
  };
  for (const auto& [args, message] : cases) {
    const auto r = RunTool(args);
    EXPECT_EQ(r.code, kBadInput) << message;
    EXPECT_EQ(r.out, "") << message;
    EXPECT_EQ(r.err, "redoviri-cli: " + message + "\n");
  }
  EXPECT_EQ(Read(f), before);
}

TEST_F(CliEventsTest, FileErrorsEndWithTheRuntimeMessage) {
  // A folder cannot be made inside a plain file.
  const std::string plain = PathOf("plain.txt");
  Write(plain, "not a folder");
  const std::string file = plain + "/sub/Redoviri.ini";
  const auto r = RunTool({"add", "--file", file, "--category", "1", "--date", "2003-05-10", "--time", "08:30", "--name",
                          "x"});
  EXPECT_EQ(r.code, kFileError);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "redoviri-cli: add: Path not found\n");
  EXPECT_EQ(Read(plain), "not a folder");
}

#ifdef _WIN32
// The tool itself, beside this test, run with a UTF-16 command line (as a
// console gives it, each argument quoted): its exit code and error stream.
std::pair<DWORD, std::string> RunToolProcess(const std::vector<std::wstring>& args, const fs::path& folder) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring command = L"\"" + (fs::path(self).parent_path() / L"redoviri-cli.exe").wstring() + L"\"";
  for (const std::wstring& arg : args) command += L" \"" + arg + L"\"";
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdError = CreateFileW((folder / "err.txt").c_str(), GENERIC_WRITE, 0, &inherited, CREATE_ALWAYS, 0, nullptr);
  PROCESS_INFORMATION pi{};
  DWORD code = 255;
  if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
    WaitForSingleObject(pi.hProcess, 60000);
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
  }
  CloseHandle(si.hStdError);
  std::ifstream err(folder / "err.txt");  // text mode: the tool's lines end in CR LF there
  return {code, std::string{std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>()}};
}

// A name or comment the code page cannot hold is refused, as the native
// tool refuses it, and not stored as a look-alike ("Lukasz") or as "?".
TEST_F(CliEventsTest, TheWindowsToolRefusesTextTheCodePageCannotHold) {
  ASSERT_EQ(GetACP(), 1252u) << "the cases are those of Windows-1252";
  const std::string file = StoreFile({});
  const std::string before = Read(file);
  const fs::path folder = fs::path(file).parent_path();
  const auto add = [&](std::initializer_list<std::wstring> more) {
    std::vector<std::wstring> args{L"add",    L"--file", fs::path(file).wstring(), L"--category", L"2", L"--date",
                                   L"1990-02-14", L"--time", L"09:30", L"--name"};
    args.insert(args.end(), more);
    return args;
  };
  const std::tuple<std::vector<std::wstring>, std::string, int> refused[] = {
      {add({L"Łukasz"}), "add: --name", 1},
      {add({L"Ωmega"}), "add: --name", 1},
      {add({L"Анна"}), "add: --name", 4},
      {add({L"a😀"}), "add: --name", 1},
      {add({L"Ann", L"--comment", L"日本"}), "add: --comment", 2},
      {{L"list", L"--file", L"Ł.ini"}, "list: --file", 1},
  };
  for (const auto& [args, what, unheld] : refused) {
    SCOPED_TRACE(what + " " + std::to_string(unheld));
    const auto [code, err] = RunToolProcess(args, folder);
    EXPECT_EQ(code, DWORD{kBadInput});
    EXPECT_EQ(err, "redoviri-cli: " + what + " holds " + std::to_string(unheld) +
                       " character(s) the event file's code page (Windows-1252) cannot hold\n");
  }
  EXPECT_EQ(Read(file), before);
  // What it holds is stored as given.
  EXPECT_EQ(RunToolProcess(add({L"Zoë €"}), folder).first, DWORD{kOk});
  EXPECT_EQ(Read(file), before + Line("02141990", "09:30", '2', "NNNN", "000", "Zo\xEB \x80") + "\r\n");
}

// A pipe or a device as the event file: "Not a file", as from the native
// tool, rather than the system's fault for it (I/O error 87, 66).
TEST_F(CliEventsTest, TheWindowsToolRefusesPipesAndDevicesAsNotAFile) {
  const std::string pipeName = "\\\\.\\pipe\\redoviri_cli_" + std::to_string(GetCurrentProcessId());
  const HANDLE pipe = CreateNamedPipeA(pipeName.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, PIPE_UNLIMITED_INSTANCES,
                                       512, 512, 0, nullptr);
  ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
  std::vector<std::string> files{"NUL", "CON", pipeName};
  // Under Wine, a FIFO made on the Linux side too (Wine starts Linux
  // programs as well, but cannot wait for them): only the folder's
  // listing shows it.
  const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
  const std::string fifo = PathOf("fifo.ini");
  const auto onLinux = [&](std::string command, bool listed) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, PathOf("").c_str(), &si, &pi)) {
      return false;
    }
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    for (int i = 0; i < 500; ++i) {
      WIN32_FIND_DATAA found;
      const HANDLE search = FindFirstFileA(fifo.c_str(), &found);
      if (search != INVALID_HANDLE_VALUE) FindClose(search);
      if ((search != INVALID_HANDLE_VALUE) == listed) return true;
      Sleep(10);
    }
    return false;
  };
  if (wine) {
    ASSERT_TRUE(onLinux("Z:\\usr\\bin\\mkfifo fifo.ini", true));
    files.push_back(fifo);
  }
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    for (const Args& args : {Args{"list", "--file", file}, Args{"add", "--file", file, "--category", "2", "--date",
                                                                   "1990-02-14", "--time", "09:30", "--name", "Ann"}}) {
      const auto r = RunTool(args);
      EXPECT_EQ(r.code, kFileError);
      EXPECT_EQ(r.err, "redoviri-cli: " + args[0] + ": Not a file\n");
    }
  }
  CloseHandle(pipe);
  // Removed here: the runtime's removal of the test folder does not end on it.
  if (wine) {
    EXPECT_TRUE(onLinux("Z:\\usr\\bin\\rm fifo.ini", false));
  }
}
#endif

}  // namespace
}  // namespace redoviri::cli
